#include "core/callsign.h"
#include "core/country_files.h"
#include "named_pipe.h"

#include <gtest/gtest.h>

#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <optional>
#include <string>
#include <sys/stat.h>
#include <sys/sysmacros.h>
#include <unistd.h>
#include <vector>

namespace skybrant {
namespace {

// Every override form, on prefixes and exact calls; a '*' entity whose
// exact call is also listed by its DXCC country, once before and once after
// it; a blank line, a line ending in CR and a list closed on a line of its
// own.
constexpr std::string_view kHandMade = R"(Test Land A:              14:  27:  EU:   52.77:     1.47:     0.0:  G:
    G,M,=G4XYZ<51.50/0.13>,=GB0ABC/P;
Test Land B:              14:  28:  EU:   51.00:   -10.00:    -1.0:  DL:
    DA,DL,=DL0XX(15)[29]{AF}~-3.5~;

United States:            05:  08:  NA:   37.60:    91.87:     5.0:  K:
    K,N,W,K0(4)[7],KL7{OC},
    W6<34.00/118.00>~8~,=W1AW,=K1ABC/MM;
Pacific:                  31:  61:  OC:   21.12:   157.48:    10.0:  KH6:
    KH6,=VER20240101;
Eastern:                  32:  56:  OC:  -17.78:  -177.92:   -12.0:  3D2:
    3D2;)"
                                       "\r\n"
                                       R"(Scotland:                 14:  27:  EU:   56.82:     4.18:     0.0:  GM:
    GM,=GB2XX,
    ;
Other List Isle:          14:  27:  EU:   60.50:     1.50:     0.0:  *GM/s:
    =GB2XX,=4U1XX;
Austria:                  15:  28:  EU:   47.33:   -13.33:    -1.0:  OE:
    OE,=4U1XX;
)";

CountryFiles handMade()
{
    CountryFiles files;
    std::string error;
    EXPECT_TRUE(files.read(kHandMade, "test.dat", error)) << error;
    return files;
}

struct Expected {
    const char* call;
    const char* entity;
    const char* continent;
    int cqZone;
    int ituZone;
    double utcOffset;
    double lat;
    double lon;
    bool referencePoint;
};

void expectFound(const CallsignInfo& info, const Expected& row)
{
    ASSERT_EQ(info.status, CallsignStatus::Found);
    EXPECT_EQ(info.entity, row.entity);
    EXPECT_EQ(info.continent, row.continent);
    EXPECT_EQ(info.cqZone, row.cqZone);
    EXPECT_EQ(info.ituZone, row.ituZone);
    EXPECT_DOUBLE_EQ(info.utcOffsetHours, row.utcOffset);
    EXPECT_DOUBLE_EQ(info.position.latDegrees, row.lat);
    EXPECT_DOUBLE_EQ(info.position.lonDegrees, row.lon);
    EXPECT_EQ(info.entityReferencePoint, row.referencePoint);
}

TEST(CountryFile, ReadsEntitiesAndOverridesEastPositive)
{
    const CountryFiles files = handMade();
    const Expected rows[] = {
        {"G4ABC", "Test Land A", "EU", 14, 27, 0.0, 52.77, -1.47, true},
        {"g4xyz", "Test Land A", "EU", 14, 27, 0.0, 51.50, -0.13, false},
        {"DL1ABC", "Test Land B", "EU", 14, 28, 1.0, 51.00, 10.00, true},
        {"DL0XX", "Test Land B", "AF", 15, 29, 3.5, 51.00, 10.00, true},
        {"K1ABC", "United States", "NA", 5, 8, -5.0, 37.60, -91.87, true},
        {"K0ABC", "United States", "NA", 4, 7, -5.0, 37.60, -91.87, true},
        {"KL7AA", "United States", "OC", 5, 8, -5.0, 37.60, -91.87, true},
        {"W6ABC", "United States", "NA", 5, 8, -8.0, 34.00, -118.00, false},
        {"W1AW", "United States", "NA", 5, 8, -5.0, 37.60, -91.87, true},
        {"KH6ABC", "Pacific", "OC", 31, 61, -10.0, 21.12, -157.48, true},
        {"3D2AB", "Eastern", "OC", 32, 56, 12.0, -17.78, 177.92, true},
        {"GM4ABC", "Scotland", "EU", 14, 27, 0.0, 56.82, -4.18, true},
        {"GB2XX", "Other List Isle", "EU", 14, 27, 0.0, 60.50, -1.50, true},
        {"4U1XX", "Other List Isle", "EU", 14, 27, 0.0, 60.50, -1.50, true},
        {"OE1ABC", "Austria", "EU", 15, 28, 1.0, 47.33, 13.33, true},
    };
    for (const Expected& row : rows) {
        SCOPED_TRACE(row.call);
        expectFound(lookupCallsign(files, row.call), row);
    }
    const CallsignInfo isle = lookupCallsign(files, "GB2XX");
    EXPECT_TRUE(isle.otherList);
    EXPECT_EQ(isle.primaryPrefix, "GM/s");
    EXPECT_EQ(files.entities().size(), 8U);
    EXPECT_EQ(files.version(), "VER20240101");
}

TEST(CountryFile, RefusesDamagedTextNamingFileAndLine)
{
    const std::string header = "Land:  14:  27:  EU:   52.77:   1.47:   0.0:  G:\n";
    struct Case {
        const char* name;
        std::string text;
        std::string error;
    } cases[] = {
        {"missing ; at the end", header + "    G,M,\n",
            "test.dat:2: the file ends before the list of \"Land\" (line 1) is closed with ';'"},
        {"missing ; before the next entity", header + "    G,M,\n" + header + "    2E;\n",
            "test.dat:3: a new entity starts before the list of \"Land\" (line 1) is closed with ';'"},
        {"list line without , or ;", header + "    G,M\n    2E;\n",
            "test.dat:2: the line of prefixes of \"Land\" ends with neither ',' (more follow) nor ';' (the list is "
            "closed)"},
        {"damaged line", header + "    G;\n\x01\xFFgarbage\n",
            "test.dat:3: an entity line has 8 fields, each ended by ':' (name, CQ zone, ITU zone, continent, latitude, "
            "longitude, UTC offset, primary prefix); this line is \"\\x01\\xFFgarbage\""},
        {"seven fields", "Land: 14: 27: EU: 52.77: 1.47: G:\n    G;\n", "test.dat:1: an entity line has 8 fields"},
        {"CQ zone 41", "Land: 41: 27: EU: 52.77: 1.47: 0.0: G:\n    G;\n",
            "test.dat:1: the CQ zone \" 41\" is not a whole number from 1 to 40"},
        {"ITU zone not a number", "Land: 14: x: EU: 52.77: 1.47: 0.0: G:\n    G;\n", "test.dat:1: the ITU zone"},
        {"unknown continent", "Land: 14: 27: XX: 52.77: 1.47: 0.0: G:\n    G;\n", "test.dat:1: the continent"},
        {"latitude past the pole", "Land: 14: 27: EU: 90.5: 1.47: 0.0: G:\n    G;\n", "test.dat:1: the latitude"},
        {"longitude infinite", "Land: 14: 27: EU: 52.77: inf: 0.0: G:\n    G;\n", "test.dat:1: the longitude"},
        {"UTC offset 15 hours", "Land: 14: 27: EU: 52.77: 1.47: 15: G:\n    G;\n", "test.dat:1: the UTC offset"},
        {"empty name", " : 14: 27: EU: 52.77: 1.47: 0.0: G:\n    G;\n", "test.dat:1: the entity name"},
        {"bad primary prefix", "Land: 14: 27: EU: 52.77: 1.47: 0.0: G#:\n    G;\n", "test.dat:1: the primary prefix"},
        {"bad character in a prefix", header + "    G#;\n", "test.dat:2: the entry \"G#\" in the list of \"Land\""},
        {"empty entry", header + "    G,,M;\n", "test.dat:2: the entry \"\" in the list of \"Land\""},
        {"override not closed", header + "    G(14;\n", "test.dat:2: the entry \"G(14\" has text that is not"},
        {"text after an override", header + "    G(14)x;\n", "test.dat:2: the entry \"G(14)x\" has text"},
        {"CQ zone override 0", header + "    G(0);\n", "test.dat:2: the override \"(0)\" of \"G(0)\""},
        {"ITU zone override 91", header + "    =G4A[91];\n", "test.dat:2: the override \"[91]\""},
        {"position without /", header + "    G<51.0 0.1>;\n", "test.dat:2: the override \"<51.0 0.1>\""},
        {"position past the pole", header + "    G<91/0>;\n", "test.dat:2: the override \"<91/0>\""},
        {"unknown continent override", header + "    G{ZZ};\n", "test.dat:2: the override \"{ZZ}\""},
        {"UTC offset override not a number", header + "    G~x~;\n", "test.dat:2: the override \"~x~\""},
        {"text after ;", header + "    G; M\n", "test.dat:2: text follows the ';' that closes the list of \"Land\""},
        {"empty file", "", "test.dat: the file holds no entities; it is not a country file (cty.dat)"},
        {"blank lines only", "\n  \n", "test.dat: the file holds no entities"},
    };
    for (const Case& row : cases) {
        SCOPED_TRACE(row.name);
        CountryFiles files = handMade();
        std::string error;
        EXPECT_FALSE(files.read(row.text, "test.dat", error));
        EXPECT_EQ(error.substr(0, row.error.size()), row.error) << error;
        EXPECT_TRUE(files.empty()) << "a refused file keeps nothing";
        EXPECT_EQ(lookupCallsign(files, "G4ABC").status, CallsignStatus::NoEntity);
    }
}

TEST(CountryFile, LoadNamesFilesItCannotRead)
{
    const testing::PrivateFolder temporary;
    ASSERT_TRUE(temporary.valid());
    const std::filesystem::path& folder = temporary.path();
    std::ofstream(folder / "cty.dat") << kHandMade;
    std::ofstream(folder / "damaged.dat") << "Land: 14: 27: EU: 52.77: 1.47: 0.0: G:\n    G,\n";
    // A node reading endless zero bytes, made here rather than using the
    // system's.
    const std::string zero = (folder / "zero").string();
    const bool haveZero = mknod(zero.c_str(), S_IFCHR | 0600, makedev(1, 5)) == 0;
    const std::string pipe = (folder / "pipe.dat").string();
    ASSERT_TRUE(temporary.makePipe("pipe.dat"));
    const std::filesystem::path toPipe = folder / "to-pipe.dat";
    std::filesystem::create_symlink(pipe, toPipe);
    // Holes, taking no room on the disk.
    const std::filesystem::path huge = folder / "huge.dat";
    std::ofstream(huge) << kHandMade;
    std::filesystem::resize_file(huge, CountryFiles::kMaxFileBytes + 1);
    const std::filesystem::path toHuge = folder / "to-huge.dat";
    std::filesystem::create_symlink(huge, toHuge);
    // A load that waits on the pipe ends with an empty file, and fails here.
    const testing::PipeRescue rescue(pipe, std::chrono::seconds(3));

    const auto named = [](const std::filesystem::path& path) { return "the country file \"" + path.string() + "\""; };
    struct Case {
        const char* name;
        std::filesystem::path path;
        std::optional<std::string> error;  // none: loads
    } cases[] = {
        {"country file", folder / "cty.dat", std::nullopt},
        {"missing", folder / "none.dat",
            "cannot open the country file \"" + (folder / "none.dat").string() + "\": No such file or directory"},
        {"folder", folder, named(folder) + " is a folder, not a regular file"},
        {"damaged", folder / "damaged.dat",
            (folder / "damaged.dat").string() + ":2: the file ends before the list of \"Land\" (line 1)"},
        {"device", zero, named(zero) + " is a device, not a regular file"},
        {"named pipe", pipe, named(pipe) + " is a named pipe, not a regular file"},
        {"link to a named pipe", toPipe, named(toPipe) + " is a named pipe, not a regular file"},
        {"huge", huge, named(huge) + " is larger than 16 MiB; it is not a country file (cty.dat)"},
        {"link to a huge file", toHuge, named(toHuge) + " is larger than 16 MiB"},
    };
    for (const Case& row : cases) {
        SCOPED_TRACE(row.name);
        if (row.path == zero && !haveZero) {
            continue;
        }
        CountryFiles files;
        std::string error;
        const auto start = std::chrono::steady_clock::now();
        EXPECT_EQ(files.load(row.path.string(), error), !row.error);
        EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(2)) << "waited on the file";
        EXPECT_EQ(error.substr(0, row.error.value_or("").size()), row.error.value_or("")) << error;
        EXPECT_EQ(files.empty(), row.error.has_value());
    }
}

// The operator's own file in the data folder stands before the packaged one.
TEST(CountryFile, OwnFileBeforeThePackagedOne)
{
    const std::filesystem::path folder =
        std::filesystem::temp_directory_path() / ("skybrant_cty_data_" + std::to_string(getpid()));
    std::filesystem::remove_all(folder);
    std::filesystem::create_directories(folder / "data" / "Skybrant");
    std::ofstream(folder / "data" / "Skybrant" / "cty.dat") << kHandMade;
    const std::string ownFile = (folder / "data" / "Skybrant" / "cty.dat").string();
    const std::string packaged(kPackagedCountryFile);
    const char* savedData = std::getenv("XDG_DATA_HOME");
    const char* savedHome = std::getenv("HOME");
    const std::optional<std::string> restoreData = savedData ? std::optional<std::string>(savedData) : std::nullopt;
    const std::optional<std::string> restoreHome = savedHome ? std::optional<std::string>(savedHome) : std::nullopt;

    struct Case {
        const char* name;
        std::optional<std::string> dataHome;
        std::optional<std::string> home;
        std::string own;
        std::string chosen;
    } cases[] = {
        {"own file present", (folder / "data").string(), "/nonexistent", ownFile, ownFile},
        {"no own file", (folder / "empty").string(), "/nonexistent", (folder / "empty/Skybrant/cty.dat").string(),
            packaged},
        {"data home unset", std::nullopt, folder.string(), (folder / ".local/share/Skybrant/cty.dat").string(),
            packaged},
        {"data home not absolute", "data", folder.string(), (folder / ".local/share/Skybrant/cty.dat").string(),
            packaged},
        {"neither set", std::nullopt, std::nullopt, "", packaged},
    };
    const auto set = [](const char* name, const std::optional<std::string>& value) {
        if (value) {
            setenv(name, value->c_str(), 1);
        } else {
            unsetenv(name);
        }
    };
    for (const Case& row : cases) {
        SCOPED_TRACE(row.name);
        set("XDG_DATA_HOME", row.dataHome);
        set("HOME", row.home);
        EXPECT_EQ(userCountryFile(), row.own);
        EXPECT_EQ(defaultCountryFile(), row.chosen);
    }
    set("XDG_DATA_HOME", restoreData);
    set("HOME", restoreHome);
    std::filesystem::remove_all(folder);
}

}  // namespace
}  // namespace skybrant
