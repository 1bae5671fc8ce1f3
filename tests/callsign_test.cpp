#include "core/callsign.h"
#include "core/country_files.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <map>
#include <sstream>
#include <string>
#include <vector>

namespace skybrant {
namespace {

constexpr const char* kPackagedFile = "/usr/share/hamradio-files/cty.dat";

constexpr std::string_view kHomeAndAway = R"(England:   14: 27: EU: 52.77:   1.47:  0.0: G:
    G,M,=G4XYZ/P<51.50/0.13>;
Germany:   14: 28: EU: 51.00: -10.00: -1.0: DL:
    DA,DL;
Hawaii:    31: 61: OC: 21.12: 157.48: 10.0: KH6:
    KH6;
USA:       05: 08: NA: 37.60:  91.87:  5.0: K:
    K,W,=W1AW/MM;
Call Six:  05: 08: NA: 36.00:  90.00:  5.0: K6:
    K6,AH6;
Anguilla:  08: 11: NA: 18.23:  63.00:  4.0: VP2E:
    VP2E;
Norway:    14: 18: EU: 61.00: -9.00:  -1.0: LA:
    LA,LH;
)";

// Where each way of writing a portable station leads.
TEST(Callsign, PortableFormsAndSuffixes)
{
    CountryFiles files;
    std::string error;
    ASSERT_TRUE(files.read(kHomeAndAway, "test.dat", error)) << error;
    struct Case {
        const char* call;
        CallsignStatus status;
        const char* entity;
    } cases[] = {
        {"G4ABC", CallsignStatus::Found, "England"},
        {" g4abc ", CallsignStatus::Found, "England"},
        {"DL/G4ABC", CallsignStatus::Found, "Germany"},
        {"G4ABC/DL", CallsignStatus::Found, "Germany"},
        {"KH6/W1ABC", CallsignStatus::Found, "Hawaii"},
        {"W1ABC/KH6", CallsignStatus::Found, "Hawaii"},
        {"VP2E/K1ABC", CallsignStatus::Found, "Anguilla"},
        {"DL/G4ABC/P", CallsignStatus::Found, "Germany"},
        {"G4ABC/P", CallsignStatus::Found, "England"},
        {"G4ABC/M", CallsignStatus::Found, "England"},
        {"G4ABC/QRP", CallsignStatus::Found, "England"},
        {"G4ABC/A", CallsignStatus::Found, "England"},
        {"G4ABC/P/QRP", CallsignStatus::Found, "England"},
        {"G4ABC/MM", CallsignStatus::MaritimeMobile, ""},
        {"DL1ABC/AM", CallsignStatus::AeronauticalMobile, ""},
        {"G4ABC/P/MM", CallsignStatus::MaritimeMobile, ""},
        {"W1AW/MM", CallsignStatus::Found, "USA"},  // the file lists it
        {"G4ABC/QQ", CallsignStatus::Found, "England"},  // QQ is nobody's prefix
        {"K1ABC/6", CallsignStatus::Found, "Call Six"},
        {"K6ABC/1", CallsignStatus::Found, "USA"},
        {"G4ABC/LH", CallsignStatus::Found, "England"},  // a lighthouse stays home, though LH is a prefix
        {"G4ABC/R", CallsignStatus::Found, "England"},  // so does a rover
        {"QQ1ABC", CallsignStatus::NoEntity, ""},
        {"", CallsignStatus::NotACallsign, ""},
        {"G4 ABC", CallsignStatus::NotACallsign, ""},
        {"G4ABC/", CallsignStatus::NotACallsign, ""},
        {"/G4ABC", CallsignStatus::NotACallsign, ""},
        {"G4ABC//P", CallsignStatus::NotACallsign, ""},
        {"G4ABÇ", CallsignStatus::NotACallsign, ""},
        {"G/G/G/G/G/G/G", CallsignStatus::NotACallsign, ""},
        {"G12345678901234567890123456789012", CallsignStatus::NotACallsign, ""},
    };
    for (const Case& row : cases) {
        SCOPED_TRACE(row.call);
        const CallsignInfo info = lookupCallsign(files, row.call);
        EXPECT_EQ(info.status, row.status);
        EXPECT_EQ(info.entity, row.entity);
    }
    const CallsignInfo exact = lookupCallsign(files, "G4XYZ/P");
    EXPECT_FALSE(exact.entityReferencePoint) << "the file's own position for this call";
    EXPECT_DOUBLE_EQ(exact.position.lonDegrees, -0.13);
}

TEST(Callsign, ShapedLikeACallsign)
{
    struct Case {
        const char* text;
        bool shaped;
    } cases[] = {
        {"W1AW", true},
        {"w1aw", true},
        {"DL/G4ABC", true},
        {"1A0KM", true},
        {"G4ABC/MM", true},
        {"12.5", false},
        {"-33", false},
        {"N", false},
        {"DL", false},
        {"DL/G", false},
        {"FN2", false},
        {"JO01", false},
        {"JO0", false},
        {"G4ABC/", false},
        {"G4 ABC", false},
        {"", false},
    };
    for (const Case& row : cases) {
        SCOPED_TRACE(row.text);
        EXPECT_EQ(isCallsignShaped(row.text), row.shaped);
    }
}

TEST(Callsign, ProblemsSaySoInWords)
{
    const CountryFiles files;
    struct Case {
        const char* call;
        CallsignStatus status;
        const char* message;
    } cases[] = {
        {"G4ABC/MM", CallsignStatus::MaritimeMobile,
            "G4ABC/MM is maritime mobile (/MM): a station at sea has no fixed position"},
        {" G4ABC/AM", CallsignStatus::AeronauticalMobile,
            "G4ABC/AM is aeronautical mobile (/AM): a station in the air has no fixed position"},
        {"G4ABC", CallsignStatus::NoEntity, "no country of the country file has a prefix of G4ABC"},
        {"G4\x01", CallsignStatus::NotACallsign,
            "\"G4\\x01\" is not a callsign: at most 32 letters, digits and '/' between parts"},
    };
    for (const Case& row : cases) {
        SCOPED_TRACE(row.call);
        const CallsignInfo info = lookupCallsign(files, row.call);
        EXPECT_EQ(info.status, row.status);
        EXPECT_EQ(callsignProblem(info, row.call), row.message);
    }
}

class PackagedFile : public ::testing::Test {
protected:
    void SetUp() override
    {
        if (!std::filesystem::exists(kPackagedFile)) {
            GTEST_SKIP() << kPackagedFile << " is absent: install the Debian package hamradio-files";
        }
        std::string error;
        ASSERT_TRUE(files.load(kPackagedFile, error)) << error;
    }
    CountryFiles files;
};

// The expected values are those of the packaged file's lines:
//   Sov Mil Order of Malta:   15:  28:  EU:   41.90:   -12.43:    -1.0:  1A:
//       1A;
//   Malta:                    15:  28:  EU:   35.88:   -14.42:    -1.0:  9H:
//       9H,...
//   Fed. Rep. of Germany:     14:  28:  EU:   51.00:   -10.00:    -1.0:  DL:
//       DA,DB,DC,DD,DE,DF,DG,DH,DI,DJ,DK,DL,...
//   England:                  14:  27:  EU:   52.77:     1.47:     0.0:  G:
//       23C,2E,2R,G,M,...
//   United States of America: 05:  08:  NA:   37.60:    91.87:     5.0:  K:
//       AA,AB,AC,AD,AE,AF,AG,AI,AJ,AK,K,N,W,=N2NL/MM(7),=NH7RO/M,...
//   Hawaii:                   31:  61:  OC:   21.12:   157.48:    10.0:  KH6:
//       AH6,AH7,KH6,KH7,NH6,NH7,WH6,WH7,=AA2TT,...
//   Australia:                30:  59:  OC:  -23.70:  -132.33:   -10.0:  VK:
//       AX,VI,VJ,VK,VL,...
TEST_F(PackagedFile, KnownCallsigns)
{
    struct Case {
        const char* call;
        const char* entity;
        const char* prefix;
        const char* continent;
        int cqZone;
        int ituZone;
        double utcOffset;
        double lat;
        double lon;
    } cases[] = {
        {"W1AW", "United States of America", "K", "NA", 5, 8, -5.0, 37.60, -91.87},
        {"K1ABC", "United States of America", "K", "NA", 5, 8, -5.0, 37.60, -91.87},
        {"KH6ABC", "Hawaii", "KH6", "OC", 31, 61, -10.0, 21.12, -157.48},
        {"VK2ABC", "Australia", "VK", "OC", 30, 59, 10.0, -23.70, 132.33},
        {"G4ABC", "England", "G", "EU", 14, 27, 0.0, 52.77, -1.47},
        {"G4ABC/P", "England", "G", "EU", 14, 27, 0.0, 52.77, -1.47},
        {"DL/G4ABC", "Fed. Rep. of Germany", "DL", "EU", 14, 28, 1.0, 51.00, 10.00},
        {"9H1AA", "Malta", "9H", "EU", 15, 28, 1.0, 35.88, 14.42},
        {"1A0KM", "Sov Mil Order of Malta", "1A", "EU", 15, 28, 1.0, 41.90, 12.43},
        // Exact calls beat their prefixes: AA is American, NH7 Hawaiian.
        {"AA2TT", "Hawaii", "KH6", "OC", 31, 61, -10.0, 21.12, -157.48},
        {"NH7RO/M", "United States of America", "K", "NA", 5, 8, -5.0, 37.60, -91.87},
        {"N2NL/MM", "United States of America", "K", "NA", 7, 8, -5.0, 37.60, -91.87},
    };
    for (const auto& row : cases) {
        SCOPED_TRACE(row.call);
        const CallsignInfo info = lookupCallsign(files, row.call);
        ASSERT_EQ(info.status, CallsignStatus::Found);
        EXPECT_EQ(info.entity, row.entity);
        EXPECT_EQ(info.primaryPrefix, row.prefix);
        EXPECT_EQ(info.continent, row.continent);
        EXPECT_EQ(info.cqZone, row.cqZone);
        EXPECT_EQ(info.ituZone, row.ituZone);
        EXPECT_DOUBLE_EQ(info.utcOffsetHours, row.utcOffset);
        EXPECT_DOUBLE_EQ(info.position.latDegrees, row.lat);
        EXPECT_DOUBLE_EQ(info.position.lonDegrees, row.lon);
        EXPECT_TRUE(info.entityReferencePoint);
    }
    EXPECT_EQ(lookupCallsign(files, "G4ABC/MM").status, CallsignStatus::MaritimeMobile);
}

// Each prefix and exact call of the file, read here with a plain split of
// its lines, looks up to the entity that lists it; a call listed twice goes
// to the entity of the other list ('*'), the narrower of the two.
TEST_F(PackagedFile, EveryListingLooksUpToItsEntity)
{
    std::ifstream in(kPackagedFile);
    std::map<std::string, std::vector<std::string>> owners;
    std::map<std::string, bool> otherList;
    std::string line;
    std::string entity;
    while (std::getline(in, line)) {
        if (!line.empty() && line[0] != ' ') {
            entity = line.substr(0, line.find(':'));
            otherList[entity] = line.find('*') != std::string::npos;
            continue;
        }
        std::istringstream entries(line);
        std::string entry;
        while (std::getline(entries, entry, ',')) {
            const auto start = entry.find_first_not_of(' ');
            if (start == std::string::npos) {
                continue;
            }
            entry = entry.substr(start, entry.find_first_of("([<{~;") - start);
            owners[entry[0] == '=' ? entry.substr(1) : entry].push_back(entity);
        }
    }
    ASSERT_GT(owners.size(), 10000U);
    for (const auto& [call, listedBy] : owners) {
        std::string expected = listedBy.front();
        for (const std::string& owner : listedBy) {
            if (otherList[owner]) {
                expected = owner;
            }
        }
        const CallsignInfo info = lookupCallsign(files, call);
        EXPECT_EQ(info.entity, expected) << call;
    }
}

// Longitudes come out east-positive: North America west of Greenwich, Asia
// east of it; every reference point on the globe.
TEST_F(PackagedFile, PositionsEastPositiveOnTheGlobe)
{
    ASSERT_GT(files.entities().size(), 300U);
    for (const CountryEntity& entity : files.entities()) {
        SCOPED_TRACE(entity.name);
        EXPECT_GE(entity.lonDegrees, -180.0);
        EXPECT_LE(entity.lonDegrees, 180.0);
        EXPECT_GE(entity.latDegrees, -90.0);
        EXPECT_LE(entity.latDegrees, 90.0);
        if (entity.continent == "NA") {
            EXPECT_LT(entity.lonDegrees, 0.0);
        }
        if (entity.continent == "AS") {
            EXPECT_GT(entity.lonDegrees, 0.0);
        }
    }
    EXPECT_EQ(files.version().substr(0, 3), "VER");
}

}  // namespace
}  // namespace skybrant
