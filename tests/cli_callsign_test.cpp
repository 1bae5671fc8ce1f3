// Stations given by callsign on the command line: read in the program's
// own code, and through the built skybrant-cli.

#include "cli/callsign_stations.h"
#include "cli/station_args.h"
#include "country_file_on_disk.h"
#include "named_pipe.h"
#include "skybrant_version.h"

#include <QDir>
#include <QFile>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QProcessEnvironment>
#include <QString>
#include <QStringList>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace skybrant::cli {
namespace {

// A country file with a callsign that is also a locator (AA00AA) and one
// listed with its own position.
constexpr std::string_view kCountryFile = R"(England:  14: 27: EU: 52.77:   1.47:   0.0: G:
    G,M,=G4XYZ<51.50/0.13>;
Australia: 30: 59: OC: -23.70: -132.33: -10.0: VK:
    VK;
Malta:    15: 28: EU: 35.88: -14.42:  -1.0: 9H:
    9H;
Juan de Nova, Europa: 39: 53: AF: -17.05: -42.72: -3.0: FR/j:
    =FR/J;
USA:      05: 08: NA: 37.60:  91.87:   5.0: K:
    AA,K,W;
VER:      05: 08: NA: 37.60:  91.87:   5.0: K:
    =VER20240101;
)";

class CallsignStations : public ::testing::Test {
protected:
    const skybrant::testing::CountryFileOnDisk file{"skybrant_cli_cty", kCountryFile};
    const std::string& path = file.path();
};

TEST_F(CallsignStations, TokensKeepTheirMeaningBeforeCallsigns)
{
    struct Case {
        const char* name;
        std::vector<std::string_view> fields;
        ReadResult result;
        const char* ownCall;  // "" when own is not by callsign
        const char* otherCall;
        const char* error;
    } cases[] = {
        {"locator then callsign", {"JO01", "VK2ABC"}, ReadResult::Ok, "", "VK2ABC", ""},
        {"callsigns starting with a digit", {"9h1aa", "DL/G4ABC"}, ReadResult::Ok, "9H1AA", "DL/G4ABC", ""},
        {"a locator stays a locator", {"AA00AA", "G4ABC"}, ReadResult::Ok, "", "G4ABC", ""},
        {"numbers stay numbers", {"51.5", "-0.12", "W1AW"}, ReadResult::Ok, "", "W1AW", ""},
        {"maritime mobile", {"G4ABC/MM", "JO01"}, ReadResult::BadField, "", "",
            "own station: G4ABC/MM is maritime mobile (/MM): a station at sea has no fixed position"},
        {"no country", {"JO01", "QQ1ABC"}, ReadResult::BadField, "", "",
            "other station: no country of the country file has a prefix of QQ1ABC"},
    };
    for (const Case& row : cases) {
        SCOPED_TRACE(row.name);
        Callsigns callsigns(path);
        Position own;
        Position other;
        std::string error;
        EXPECT_EQ(readPair(row.fields, own, other, error, &callsigns), row.result);
        EXPECT_EQ(error, row.error);
        EXPECT_EQ(callsigns.own() ? callsigns.own()->call : "", row.ownCall);
        EXPECT_EQ(callsigns.other() ? callsigns.other()->call : "", row.otherCall);
    }
}

TEST_F(CallsignStations, PositionsAndTheirText)
{
    Callsigns callsigns(path);
    StationArguments arguments;
    arguments.fields = {"G4XYZ"};
    arguments.call = "VK2ABC";
    arguments.callsigns = &callsigns;
    const StationsRead read = readStationArguments(arguments);
    ASSERT_EQ(read.status, StationsRead::Status::Ok) << read.error;
    EXPECT_DOUBLE_EQ(read.own.lonDegrees, -0.13);
    EXPECT_DOUBLE_EQ(read.other.latDegrees, -23.70);
    EXPECT_DOUBLE_EQ(read.other.lonDegrees, 132.33);
    std::string text;
    appendCallsignText(callsigns, text);
    appendCountryFileText(callsigns, text);
    EXPECT_EQ(text,
        "My station: G4XYZ, England (G), EU, CQ zone 14, ITU zone 27, UTC\n"
        "Other station: VK2ABC, Australia (VK), OC, CQ zone 30, ITU zone 59, UTC+10, about: the "
        "country's reference point\n"
        "Country file: \"" +
            path + "\" (VER20240101)\n");
    std::string csv;
    appendCallsignCsv(callsigns, csv);
    EXPECT_EQ(csv, ",G4XYZ,England,G,EU,14,27,0,,VK2ABC,Australia,VK,OC,30,59,10,about,,,,");

    std::string json = "{\"distance\":1}\n";
    appendCallsignJson(callsigns, true, json);
    EXPECT_EQ(json,
        "{\"distance\":1,\"own_callsign\":{\"callsign\":\"G4XYZ\",\"entity\":\"England\",\"prefix\":\"G\","
        "\"continent\":\"EU\",\"cq_zone\":14,\"itu_zone\":27,\"utc_offset\":0,\"about\":false,\"wae\":false,"
        "\"dxcc_entity\":null},"
        "\"other_callsign\":{\"callsign\":\"VK2ABC\",\"entity\":\"Australia\",\"prefix\":\"VK\","
        "\"continent\":\"OC\",\"cq_zone\":30,\"itu_zone\":59,\"utc_offset\":10,\"about\":true,\"wae\":false,"
        "\"dxcc_entity\":null},"
        "\"country_file\":{\"path\":\"" +
            path + "\",\"version\":\"VER20240101\"}}\n");

    callsigns.startPair();
    std::string error;
    Position station;
    ASSERT_TRUE(callsigns.lookUp("FR/J", true, station, error)) << error;
    csv.clear();
    appendCallsignCsv(callsigns, csv);
    EXPECT_EQ(csv, ",FR/J,\"Juan de Nova, Europa\",FR/j,AF,39,53,3,about,,,,,,,,,,,,");
}

TEST_F(CallsignStations, CallOptionAndUnreadableFiles)
{
    struct Case {
        const char* name;
        std::string file;
        std::optional<std::string> to;
        std::string call;
        StationsRead::Status status;
        std::string error;
    } cases[] = {
        {"call read as callsign though a locator", path, std::nullopt, "AA00AA", StationsRead::Status::Ok, ""},
        {"call and to", path, "JO01", "W1AW", StationsRead::Status::Usage,
            "--call and --to both give the other station; give one of them"},
        {"two callsigns in call", path, std::nullopt, "W1AW K1ABC", StationsRead::Status::Usage,
            "--call: expected one callsign, found 2 fields"},
        {"not a callsign", path, std::nullopt, "W1AW!", StationsRead::Status::BadField,
            "--call: \"W1AW!\" is not a callsign: at most 32 letters, digits and '/' between parts"},
        {"missing file", path + ".missing", std::nullopt, "W1AW", StationsRead::Status::BadField,
            "--call: cannot open the country file \"" + path + ".missing\": No such file or directory"},
    };
    for (const Case& row : cases) {
        SCOPED_TRACE(row.name);
        Callsigns callsigns(row.file);
        StationArguments arguments;
        arguments.from = "JO01";
        arguments.to = row.to;
        arguments.call = row.call;
        arguments.callsigns = &callsigns;
        const StationsRead read = readStationArguments(arguments);
        EXPECT_EQ(read.status, row.status);
        EXPECT_EQ(read.error, row.error);
    }
}

TEST(CallsignText, UtcOffsets)
{
    struct Case {
        double hours;
        const char* text;
    } cases[] = {{0, "UTC"}, {10, "UTC+10"}, {-5, "UTC-5"}, {5.75, "UTC+5:45"}, {-3.5, "UTC-3:30"},
        {12.75, "UTC+12:45"}, {0.1, "UTC+0:06"}};
    for (const Case& row : cases) {
        SCOPED_TRACE(row.text);
        EXPECT_EQ(utcOffsetText(row.hours), row.text);
    }
}

}  // namespace
}  // namespace skybrant::cli

// The built program.
namespace {

struct CliRun {
    int exitCode = -1;
    QString out;
    QString err;
};

CliRun cli(const QStringList& args, const QByteArray& input = {}, const QString& dataHome = {})
{
    QProcess p;
    if (!dataHome.isEmpty()) {
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        environment.insert(QStringLiteral("XDG_DATA_HOME"), dataHome);
        p.setProcessEnvironment(environment);
    }
    p.start(QStringLiteral(SKYBRANT_CLI_PATH), args);
    EXPECT_TRUE(p.waitForStarted());
    p.write(input);
    p.closeWriteChannel();
    EXPECT_TRUE(p.waitForFinished(60000));
    return {p.exitCode(), QString::fromUtf8(p.readAllStandardOutput()), QString::fromUtf8(p.readAllStandardError())};
}

// England and Australia at made-up reference points, so that the figures
// cannot come from any other file; each pair's figures are those of its
// positions given in degrees (G4XYZ stands at 51 N 1 E: the file's
// longitudes are positive west).
constexpr char kMadeUpCountryFile[] = "England:   14: 27: EU: 51.50:   0.00:   0.0: G:\n"
                                      "    G,M,=G4XYZ<51.00/-1.00>;\n"
                                      "Australia: 30: 59: OC: -33.50: -151.00: -10.0: VK:\n"
                                      "    VK,=VER20991231;\n";

class CliCallsigns : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(dir.isValid());
        file = dir.filePath(QStringLiteral("test-cty.dat"));
        QFile out(file);
        ASSERT_TRUE(out.open(QIODevice::WriteOnly));
        out.write(kMadeUpCountryFile);
    }
    QTemporaryDir dir;
    QString file;
};

TEST_F(CliCallsigns, StationsByCallsignInEachForm)
{
    struct Case {
        const char* name;
        QStringList args;
        QByteArray input;
        int exitCode;
        QString out;
    } cases[] = {
        {"fields", {"G4ABC", "VK2ABC"}, {}, 0,
            "Distance: 16843.9 km\n"
            "Beam heading from my station: 61 degrees\n"
            "Beam heading from the other station: 319 degrees\n"
            "My station: G4ABC, England (G), EU, CQ zone 14, ITU zone 27, UTC, about: the country's reference "
            "point\n"
            "Other station: VK2ABC, Australia (VK), OC, CQ zone 30, ITU zone 59, UTC+10, about: the country's "
            "reference point\n"},
        {"--to and a locator", {"IO91", "--to", "vk2abc"}, {}, 0,
            "Distance: 16903.5 km\n"
            "Beam heading from my station: 59 degrees\n"
            "Beam heading from the other station: 320 degrees\n"
            "Other station: VK2ABC, Australia (VK), OC, CQ zone 30, ITU zone 59, UTC+10, about: the country's "
            "reference point\n"},
        {"exact call with its own position", {"--from", "G4XYZ", "--to", "51.5 0"}, {}, 0,
            "Distance: 88.6 km\n"
            "Beam heading from my station: 309 degrees\n"
            "Beam heading from the other station: 128 degrees\n"
            "My station: G4XYZ, England (G), EU, CQ zone 14, ITU zone 27, UTC\n"},
        {"batch with the column group", {"--batch", "--entity"}, "G4ABC 51.5 0\nVK2ABC/MM G4ABC\n", 1,
            "0,,,G4ABC,England,G,EU,14,27,0,about,,,,,,,,,,,,\n"
            "ERROR: own station: VK2ABC/MM is maritime mobile (/MM): a station at sea has no fixed position\n"},
        {"--call for a text that is also a locator", {"JO01", "--call", "MM00AA"}, {}, 0,
            "Distance: 68.8 km\n"
            "Beam heading from my station: 270 degrees\n"
            "Beam heading from the other station: 90 degrees\n"
            "Other station: MM00AA, England (G), EU, CQ zone 14, ITU zone 27, UTC, about: the country's reference "
            "point\n"},
        {"--call with --batch", {"--batch", "--call", "G4ABC"}, {}, 2, ""},
    };
    for (const Case& row : cases) {
        SCOPED_TRACE(row.name);
        const CliRun r = cli(QStringList(row.args) << QStringLiteral("--cty") << file, row.input);
        EXPECT_EQ(r.exitCode, row.exitCode) << r.err.toStdString();
        EXPECT_EQ(r.out.toStdString(), row.out.toStdString());
    }
}

// A log of callsigns, one of them shaped like a locator: --calls reads the
// other station of each line as a callsign, as '@' does for one word.
TEST_F(CliCallsigns, CallsReadsEveryOtherStationAsACallsign)
{
    const QByteArray lines = "JO01 GB22GE\nJO01 VK2ABC\n";
    const CliRun asLocators = cli({"--batch", "--cty", file}, lines);
    const CliRun asCalls = cli({"--batch", "--calls", "--cty", file}, lines);
    const CliRun marked = cli({"--batch", "--cty", file}, "JO01 @GB22GE\nJO01 @VK2ABC\n");
    EXPECT_EQ(asCalls.exitCode, 0) << asCalls.err.toStdString();
    EXPECT_EQ(asCalls.out, marked.out);
    EXPECT_NE(asCalls.out.section(u'\n', 0, 0), asLocators.out.section(u'\n', 0, 0));
    EXPECT_EQ(asCalls.out.section(u'\n', 1, 1), asLocators.out.section(u'\n', 1, 1));
}

TEST_F(CliCallsigns, FileNamedWithItsVersion)
{
    const CliRun version = cli({QStringLiteral("--version"), QStringLiteral("--cty"), file});
    EXPECT_EQ(version.exitCode, 0);
    EXPECT_TRUE(version.out.endsWith(QStringLiteral("\nCountry file: \"%1\" (VER20991231)\n").arg(file)))
        << version.out.toStdString();

    const CliRun named = cli(
        {QStringLiteral("JO01"), QStringLiteral("JO02"), QStringLiteral("--entity"), QStringLiteral("--cty"), file});
    EXPECT_EQ(named.exitCode, 0);
    EXPECT_TRUE(named.out.endsWith(QStringLiteral("\nCountry file: \"%1\" (VER20991231)\n").arg(file)))
        << named.out.toStdString();

    const CliRun json = cli({QStringLiteral("G4ABC"), QStringLiteral("VK2ABC"), QStringLiteral("--json"),
        QStringLiteral("--entity"), QStringLiteral("--cty"), file});
    EXPECT_EQ(json.exitCode, 0);
    const QJsonObject o = QJsonDocument::fromJson(json.out.toUtf8()).object();
    EXPECT_EQ(o.value(u"other_callsign").toObject().value(u"entity").toString(), "Australia");
    EXPECT_EQ(o.value(u"other_callsign").toObject().value(u"utc_offset").toDouble(), 10);
    EXPECT_TRUE(o.value(u"own_callsign").toObject().value(u"about").toBool());
    EXPECT_EQ(o.value(u"country_file").toObject().value(u"version").toString(), "VER20991231");

    // The operator's own file in the data folder comes before the packaged one.
    ASSERT_TRUE(QDir(dir.path()).mkpath(QStringLiteral("data/Skybrant")));
    ASSERT_TRUE(QFile::copy(file, dir.filePath(QStringLiteral("data/Skybrant/cty.dat"))));
    const CliRun own =
        cli({QStringLiteral("JO01"), QStringLiteral("JO02"), QStringLiteral("--entity")}, {}, dir.filePath("data"));
    EXPECT_TRUE(own.out.endsWith(u"/data/Skybrant/cty.dat\" (VER20991231)\n")) << own.out.toStdString();

    const CliRun missing = cli({QStringLiteral("JO01"), QStringLiteral("W1AW"), QStringLiteral("--cty"),
        dir.filePath(QStringLiteral("none.dat"))});
    EXPECT_EQ(missing.exitCode, 1);
    EXPECT_EQ(missing.out, "");
    EXPECT_EQ(missing.err,
        QStringLiteral("skybrant-cli: ERROR: other station: cannot open the country file \"%1\": No such file or "
                       "directory\n")
            .arg(dir.filePath(QStringLiteral("none.dat"))));
}

// A named pipe where the country file should be: a reader would wait for
// a writer for ever. Each run ends at once, saying what stands there.
TEST(CliCountryFile, NamedPipeIsRefusedAtOnce)
{
    const skybrant::testing::PrivateFolder folder;
    ASSERT_TRUE(folder.valid());
    ASSERT_TRUE(folder.makePipe("data/Skybrant/cty.dat"));
    const QString dataHome = QString::fromStdString((folder.path() / "data").string());
    const QString pipe = dataHome + QStringLiteral("/Skybrant/cty.dat");
    const QString refused = QStringLiteral("the country file \"%1\" is a named pipe, not a regular file").arg(pipe);
    struct Case {
        const char* name;
        QStringList args;
        QByteArray input;
        int exitCode;
        QString out;
        QString err;
    } cases[] = {
        {"pair with a callsign", {"JO01", "G4ABC"}, {}, 1, {}, "skybrant-cli: ERROR: other station: " + refused + "\n"},
        {"pair with --cty", {"JO01", "G4ABC", "--cty", pipe}, {}, 1, {},
            "skybrant-cli: ERROR: other station: " + refused + "\n"},
        {"batch with --entity", {"--batch", "--entity"}, "JO01 G4ABC\n", 1, "ERROR: other station: " + refused + "\n",
            {}},
        {"--version", {"--version"}, {}, 0,
            QStringLiteral("skybrant-cli %1\nCountry file: %2\n").arg(QStringLiteral(SKYBRANT_VERSION), refused), {}},
    };
    for (const Case& row : cases) {
        SCOPED_TRACE(row.name);
        QProcess p;
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        environment.insert(QStringLiteral("XDG_DATA_HOME"), dataHome);
        p.setProcessEnvironment(environment);
        p.start(QStringLiteral(SKYBRANT_CLI_PATH), row.args);
        ASSERT_TRUE(p.waitForStarted());
        p.write(row.input);
        p.closeWriteChannel();
        if (!p.waitForFinished(10000)) {
            p.kill();
            p.waitForFinished();
            ADD_FAILURE() << "still running after 10 s: waiting on the named pipe";
            continue;
        }
        EXPECT_EQ(p.exitCode(), row.exitCode);
        const QString out = QString::fromUtf8(p.readAllStandardOutput());
        const QString err = QString::fromUtf8(p.readAllStandardError());
        EXPECT_EQ(out.toStdString(), row.out.toStdString());
        EXPECT_EQ(err.toStdString(), row.err.toStdString());
    }
}

}  // namespace

namespace {

// The other station as skybrant-cli --json gives it for a text, against
// the one reader: the command line takes every form where the reader puts
// it, as the map window's field does (map_window_test.cpp).
TEST(CliStationForms, ArgumentsGoWhereTheReaderPutsThem)
{
    const char* const texts[] = {"FN20xr", "40.7 -74", "40 42 0 N 74 0 0 W", "40 42 N 74 0 W", "40°42'N 74°00'W",
        "40:42N 74:00W", "40d42N 74d0W", "N040 42.000 W074 00.000", "S33.87 E151.21", "0.12W 51.5N",
        "89 60 60 N 0 0 0 E"};
    for (const char* text : texts) {
        SCOPED_TRACE(text);
        skybrant::Station station;
        std::string error;
        ASSERT_EQ(
            skybrant::StationReader().readOne(skybrant::stationTokens(text), skybrant::Side::Other, station, error),
            skybrant::ReadResult::Ok)
            << error;
        const CliRun run = cli({"--json", "--from", "JO01", "--to", QString::fromUtf8(text)});
        ASSERT_EQ(run.exitCode, 0) << run.err.toStdString();
        const QJsonObject other =
            QJsonDocument::fromJson(run.out.toUtf8()).object().value(QStringLiteral("other")).toObject();
        // Shown at the point of the globe a latitude past a pole stands for.
        const skybrant::Position at = skybrant::onTheGlobe(station.position);
        EXPECT_NEAR(other.value(QStringLiteral("latitude")).toDouble(), at.latDegrees, 1e-9);
        EXPECT_NEAR(other.value(QStringLiteral("longitude")).toDouble(), at.lonDegrees, 1e-9);
    }
}

}  // namespace
