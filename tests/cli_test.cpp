// Runs the built skybrant-cli as a user would.

#include "cli_run.h"

#include <QJsonArray>
#include <QJsonObject>
#include <QProcess>
#include <QString>
#include <QStringList>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <algorithm>
#include <fstream>
#include <string>

namespace {

using skybrant::testing::cli;
using skybrant::testing::CliRun;
using skybrant::testing::jsonObject;
using skybrant::testing::words;

TEST(Cli, OnePairPrintsThreeLabelledLines)
{
    const CliRun r = cli(words("51 30 0 N 0 7 0 W 40 42 0 N 74 0 0 W"));
    EXPECT_EQ(r.exitCode, 0);
    EXPECT_EQ(r.out,
        "Distance: 5539.2 km\n"
        "Beam heading from my station: 288 degrees\n"
        "Beam heading from the other station: 51 degrees\n");
    EXPECT_EQ(r.err, "");
}

TEST(Cli, NegativeNumbersAreFieldsNotOptions)
{
    const CliRun r = cli(words("-10 0 0 S 20 0 0 E 30 -0 0 N 20 0 0 E"));
    EXPECT_EQ(r.exitCode, 0) << r.err.toStdString();
    EXPECT_EQ(r.out,
        "Distance: 2210.9 km\n"
        "Beam heading from my station: 0 degrees\n"
        "Beam heading from the other station: 180 degrees\n");
}

TEST(Cli, SamePlaceExplainsTheMissingHeadings)
{
    const CliRun r = cli(words("10 0 0 N 180 0 0 E 10 0 0 N 180 0 0 W"));
    EXPECT_EQ(r.exitCode, 0);
    EXPECT_EQ(r.out,
        "Distance: 0 km\n"
        "Beam heading from my station: none\n"
        "Beam heading from the other station: none\n"
        "Note: Both stations are at the same place, so there is no beam heading.\n");
}

TEST(Cli, BadInputAndUsageErrorsHaveTheirOwnStatus)
{
    struct Case {
        const char* args;
        int exitCode;
        const char* err;
    };
    const Case cases[] = {
        {"91 0 0 N 0 0 0 E 0 0 0 N 0 0 0 E", 1, "ERROR: own latitude degrees: \"91\" is out of range"},
        {"0 0 0 N 0 0 0 E 0 0 0 N 0 0 0 Q", 1, "other longitude hemisphere"},
        {"1 2 3", 2, "found 3"},
        {"--frobnicate", 2, "Unknown option 'frobnicate'"},
        {"--help-all", 2, "Unknown option 'help-all'"},
        {"--batch 1 2", 2, "takes no stations as arguments"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.args);
        const CliRun r = cli(words(c.args));
        EXPECT_EQ(r.exitCode, c.exitCode) << c.args;
        EXPECT_TRUE(r.err.contains(QString::fromUtf8(c.err))) << r.err.toStdString();
        EXPECT_EQ(r.out, "") << c.args;
    }
    const CliRun none = cli({});
    EXPECT_EQ(none.exitCode, 2);
    EXPECT_TRUE(none.err.contains(u"--help"));
}

TEST(Cli, BatchReportsFailedLinesInItsStatus)
{
    const CliRun good = cli({QStringLiteral("--batch")},
        "# header\n51 30 0 N 0 7 0 W 40 42 0 N 74 0 0 W\n\n0 0 0 N 0 0 0 E 0 0 0 n 0 0 0 w\n");
    EXPECT_EQ(good.exitCode, 0);
    EXPECT_EQ(good.out, "# header\n5539.2,288,51\n\n0,,\n");

    const CliRun mixed = cli({QStringLiteral("--batch")},
        "51 30 0 N 0 7 0 W 40 42 0 N 74 0 0 W\nnot a pair\n"
        "51 30 0 N 0 7 0 W 33 51 0 S 151 12 0 E\n");
    EXPECT_EQ(mixed.exitCode, 1);
    const QStringList lines = mixed.out.split(u'\n');
    ASSERT_EQ(lines.size(), 4);
    EXPECT_EQ(lines[0], "5539.2,288,51");
    EXPECT_TRUE(lines[1].startsWith(u"ERROR: own locator \"not\": character 3"));
    EXPECT_EQ(lines[2], "16892.3,61,319");
}

TEST(Cli, StationsFromOptionsFieldsOrBoth)
{
    struct Case {
        QStringList args;
        int exitCode;
        const char* out;  // start of standard output, or of standard error on failure
    };
    const char* jo01ToFn20 = "Distance: 5690.9 km\nBeam heading from my station: 289 degrees\n";
    const Case cases[] = {
        {words("JO01 FN20"), 0, jo01ToFn20},
        {words("--from JO01 --to FN20"), 0, jo01ToFn20},
        {words("--from JO01 40.5 -75"), 0, jo01ToFn20},
        {words("--to FN20 51 30 0 N 1 0 0 E"), 0, jo01ToFn20},
        {{"--from", "51.5 1", "--to", "40 30 0 N 75 0 0 W"}, 0, jo01ToFn20},
        {{"--from", "  51.5\t1 ", "--to=FN20"}, 0, jo01ToFn20},
        {{"--from", "-51.5 -1", "--to", "-40.5 75"}, 0, "Distance: 5690.9 km\nBeam heading from my station: 109"},
        {words("--from JO01 --to FN20 IO91"), 2, "skybrant-cli: with both --from and --to"},
        {words("--from JO01"), 2, "skybrant-cli: the other station, after --from: expected one station"},
        {words("--to JO01 1 2 3"), 2, "skybrant-cli: the own station, with --to: expected one station"},
        {{"--from", "51.5"}, 2, "skybrant-cli: --from: expected one station"},
        {{"--from", "JO0", "--to", "FN20"}, 1, "skybrant-cli: ERROR: --from: own locator \"JO0\" has 3 characters"},
        {{"--from", "JO01", "--to", "95 0"}, 1, "skybrant-cli: ERROR: --to: other latitude: \"95\" is out of range"},
        {words("JO01 FN2"), 1, "skybrant-cli: ERROR: other locator \"FN2\" has 3 characters"},
        {{"JO01 FN20"}, 0, jo01ToFn20},
        {{"-.5", "0", "0", "0"}, 0, "Distance: 55.3 km\nBeam heading from my station: 0 degrees\n"},
        {words("--from JO01 --from JO02 FN20"), 2, "skybrant-cli: --from is given more than once"},
        {words("JO01 FN20 --units mi --units km"), 2, "skybrant-cli: --units is given more than once"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.args.join(u' ').toStdString());
        const CliRun r = cli(c.args);
        EXPECT_EQ(r.exitCode, c.exitCode) << c.args.join(u' ').toStdString() << "\n" << r.err.toStdString();
        EXPECT_TRUE((c.exitCode == 0 ? r.out : r.err).startsWith(QString::fromUtf8(c.out)))
            << c.args.join(u' ').toStdString() << "\n"
            << r.out.toStdString() << r.err.toStdString();
    }
}

TEST(Cli, EveryExtraShowsItsOwnLines)
{
    const CliRun r = cli(words("--from JO01 --to FN20xr --long-path --ellipsoid --locator --units nmi"));
    EXPECT_EQ(r.exitCode, 0);
    EXPECT_EQ(r.out,
        "Distance: 3046.3 nmi\n"
        "Beam heading from my station: 289 degrees\n"
        "Beam heading from the other station: 51 degrees\n"
        "Long path distance: 18553.7 nmi\n"
        "Long path beam heading from my station: 109 degrees\n"
        "WGS84 ellipsoid distance: 3056.6 nmi\n"
        "WGS84 ellipsoid heading from my station: 289 degrees\n"
        "WGS84 ellipsoid heading from the other station: 51 degrees\n"
        "Locator of my station: JO01mm (JO01mm00)\n"
        "Locator of the other station: FN20xr (FN20xr55)\n");

    // One degree along the equator: 60 nautical miles, 69 1/11 statute miles.
    struct Case {
        const char* unit;
        const char* out;
    };
    for (const Case c :
        {Case{"km", "Distance: 110.5 km\n"}, Case{"mi", "Distance: 69.1 mi\n"}, Case{"nmi", "Distance: 60 nmi\n"}}) {
        SCOPED_TRACE(c.unit);
        const CliRun u = cli({"0", "0", "0", "1", "--long-path", "--units", c.unit});
        EXPECT_TRUE(u.out.startsWith(QString::fromUtf8(c.out))) << u.out.toStdString();
    }
    const CliRun same = cli(words("JO01 JO01 --long-path --ellipsoid"));
    EXPECT_TRUE(same.out.contains(u"Long path distance: 39796.4 km\nLong path beam heading from my station: none\n"))
        << same.out.toStdString();
    EXPECT_TRUE(same.out.contains(u"WGS84 ellipsoid heading from my station: none\n"));
}

TEST(Cli, JsonNamesEveryFieldAndStatesUnits)
{
    const CliRun one = cli(words("--from JO01 --to FN20xr --long-path --ellipsoid --locator --units mi --json"));
    EXPECT_EQ(one.exitCode, 0);
    ASSERT_TRUE(one.out.endsWith(u"}\n"));
    EXPECT_EQ(one.out.count(u'\n'), 1);
    const QJsonObject o = jsonObject(one.out);
    EXPECT_EQ(o.value(u"distance").toDouble(), 3507.9);
    EXPECT_EQ(o.value(u"distance_unit").toString(), "mi");
    EXPECT_EQ(o.value(u"heading_own_to_other").toDouble(), 289);
    EXPECT_EQ(o.value(u"heading_other_to_own").toDouble(), 51);
    EXPECT_EQ(o.value(u"heading_unit").toString(), "degrees clockwise from true north");
    EXPECT_EQ(o.value(u"coordinate_unit").toString(), "degrees, north and east positive");
    EXPECT_EQ(o.value(u"long_path_heading_own_to_other").toDouble(), 109);
    EXPECT_EQ(o.value(u"ellipsoid").toString(), "WGS84");
    EXPECT_TRUE(o.value(u"ellipsoid_distance").isDouble());
    EXPECT_EQ(o.value(u"own").toObject().value(u"latitude").toDouble(), 51.5);
    EXPECT_EQ(o.value(u"own").toObject().value(u"longitude").toDouble(), 1);
    EXPECT_EQ(o.value(u"other").toObject().value(u"locator").toString(), "FN20xr");
    EXPECT_EQ(o.value(u"other").toObject().value(u"locator8").toString(), "FN20xr55");
    EXPECT_FALSE(o.contains(u"line"));

    const CliRun batch =
        cli({QStringLiteral("--batch"), QStringLiteral("--json")}, "# pairs\nJO01 JO01\n\n\xff\xfe bad\nJO01 FN20\n");
    EXPECT_EQ(batch.exitCode, 1);
    QStringList lines = batch.out.split(u'\n');
    ASSERT_EQ(lines.size(), 4) << batch.out.toStdString();
    EXPECT_EQ(lines.takeLast(), "");
    const QJsonObject same = jsonObject(lines[0]);
    EXPECT_EQ(same.value(u"line").toInt(), 2);
    EXPECT_TRUE(same.value(u"heading_own_to_other").isNull());
    EXPECT_TRUE(same.value(u"note").toString().contains(u"same place"));
    const QJsonObject bad = jsonObject(lines[1]);
    EXPECT_EQ(bad.value(u"line").toInt(), 4);
    EXPECT_TRUE(bad.value(u"error").toString().startsWith(u"own locator \"\\xFF"))
        << bad.value(u"error").toString().toStdString();
    EXPECT_EQ(jsonObject(lines[2]).value(u"line").toInt(), 5);
}

TEST(Cli, OptionValuesAreChecked)
{
    struct Case {
        QStringList args;
        const char* err;
    };
    const Case cases[] = {
        {words("JO01 FN20 --units furlongs"), "--units: \"furlongs\" is not a unit; allowed: km, mi or nmi"},
        {words("JO01 FN20 --units KMS"), "--units: \"KMS\" is not a unit"},
        // The Kelvin sign lowers to k in Unicode, but is no letter of a unit.
        {{"JO01", "FN20", "--units", QStringLiteral("\u212Am")}, "is not a unit; allowed: km, mi or nmi"},
        {words("JO01 FN20 --rotate localhost:4533 --timeout 0"), "--timeout: \"0\" is not a number of seconds"},
        {words("JO01 FN20 --rotate localhost:4533 --timeout -1"), "--timeout: \"-1\" is not a number of seconds"},
        {words("JO01 FN20 --rotate localhost:4533 --timeout 3601"), "--timeout: \"3601\""},
        {words("JO01 FN20 --rotate localhost:4533 --timeout soon"), "--timeout: \"soon\""},
        {words("JO01 FN20 --timeout 5"), "--timeout is the wait for the rotator and needs --rotate"},
        {words("JO01 FN20 --rotate localhost:"), "--rotate: "},
        {words("JO01 FN20 --rotate :4533"), "--rotate: "},
        {words("JO01 FN20 --rotate localhost:99999"), "--rotate: "},
        {words("--batch --rotate localhost:4533"), "--rotate turns to one pair's heading and cannot go with --batch"},
        {words("--batch --from JO01"), "--batch reads the pairs from standard input"},
        {words("JO01 FN20 --header"), "--header names the columns of --batch's lines and needs --batch"},
        {words("--batch --json --header"), "--header names CSV columns and cannot go with --json"},
        {words("--batch --header --header"), "--header is given more than once"},
        {words("--batch --units=mi --units km"), "--units is given more than once"},
        {words("--batch --json=yes"), "Unexpected value after '--json'."},
        {words("JO01 FN20 --units"), "Missing value after '--units'."},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.args.join(u' ').toStdString());
        const CliRun r = cli(c.args);
        EXPECT_EQ(r.exitCode, 2) << c.args.join(u' ').toStdString();
        EXPECT_TRUE(r.err.contains(QString::fromUtf8(c.err))) << r.err.toStdString();
        EXPECT_EQ(r.out, "");
    }
}

// A file name is the bytes given, whatever they are: a name that is not
// UTF-8 reaches the file system as typed.
TEST(Cli, FileNamesKeptAsTheBytesGiven)
{
    const QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    const std::string folder = dir.path().toStdString();
    std::ofstream(folder + "/c\xfft.dat") << "Australia: 30: 59: OC: -33.50: -151.00: -10.0: VK:\n    VK;\n";
    // The shell makes the byte, which no QString argument could carry.
    QProcess p;
    p.setWorkingDirectory(dir.path());
    p.start(QStringLiteral("/bin/sh"),
        {QStringLiteral("-c"), QStringLiteral("exec \"$0\" JO01 VK2ABC --cty \"$(printf 'c\\377t.dat')\""),
            QStringLiteral(SKYBRANT_CLI_PATH)});
    ASSERT_TRUE(p.waitForFinished(60000));
    const QString out = QString::fromUtf8(p.readAllStandardOutput());
    EXPECT_EQ(p.exitCode(), 0) << p.readAllStandardError().toStdString();
    EXPECT_TRUE(out.contains(u"Australia")) << out.toStdString();
}

// A character that could drive a terminal, other than the line ends of the
// output itself.
bool hasRawControl(const QString& text)
{
    return std::any_of(text.begin(), text.end(),
        [](QChar c) { return (c.unicode() < 0x20 && c != u'\n') || (c.unicode() >= 0x7f && c.unicode() <= 0x9f); });
}

TEST(Cli, HostileOptionValuesReachNoTerminalRaw)
{
    const QString hostile[] = {
        QStringLiteral("\x1b]0;owned\x07"),  // sets the terminal's title
        QStringLiteral("\x1b[2J"),  // clears the screen
        QStringLiteral("\a\b\r\x7f"),  // BEL, backspace, carriage return, DEL
        QString(QChar(0x9b)) + QStringLiteral("31m"),  // C1 control sequence introducer
    };
    for (const QString& bytes : hostile) {
        struct Case {
            const char* name;
            QStringList args;
        };
        const Case cases[] = {
            {"--units", {"JO01", "FN20", "--units", bytes}},
            {"--timeout", {"JO01", "FN20", "--rotate", "127.0.0.1:4533", "--timeout", bytes}},
            {"--rotate host", {"JO01", "FN20", "--rotate", "[" + bytes + "]:4533"}},
            {"--rotate port", {"JO01", "FN20", "--rotate", "localhost:" + bytes}},
            {"--from", {"--from", "JO" + bytes, "--to", "FN20"}},
            {"--to number", {"--from", "JO01", "--to", "5" + bytes + " 0"}},
            {"station field", {"JO01", "40" + bytes, "-75"}},
            {"unknown option", {"--" + bytes}},
        };
        for (const auto& c : cases) {
            SCOPED_TRACE(c.name + (": " + bytes.toUtf8().toPercentEncoding().toStdString()));
            const CliRun r = cli(c.args);
            EXPECT_NE(r.exitCode, 0);
            EXPECT_FALSE(hasRawControl(r.err)) << r.err.toStdString();
            EXPECT_FALSE(hasRawControl(r.out)) << r.out.toStdString();
        }
    }
}

TEST(Cli, UnitSymbolsInEitherCase)
{
    struct Case {
        const char* name;
        QStringList args;
        const char* out;  // the symbol is shown as the program writes it
    };
    const Case cases[] = {
        {"capitals", words("0 0 0 1 --units KM"), "Distance: 110.5 km\n"},
        {"mixed", words("0 0 0 1 --units Mi"), "Distance: 69.1 mi\n"},
        {"nautical in capitals", words("0 0 0 1 --units NMI"), "Distance: 60 nmi\n"},
        {"with the equals sign", words("0 0 0 1 --units=nMi"), "Distance: 60 nmi\n"},
        {"in JSON", words("0 0 0 1 --units MI --json"), "{\"own\":"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        const CliRun r = cli(c.args);
        EXPECT_EQ(r.exitCode, 0) << r.err.toStdString();
        EXPECT_TRUE(r.out.startsWith(QString::fromUtf8(c.out))) << r.out.toStdString();
    }
    EXPECT_EQ(jsonObject(cli(words("0 0 0 1 --units MI --json")).out).value(u"distance_unit").toString(), "mi");
    const CliRun batch = cli(words("--batch --units NMI"), "0 0 0 1\n");
    EXPECT_EQ(batch.exitCode, 0);
    EXPECT_EQ(batch.out, "60,90,270\n");
}

// From a pole every path runs along a meridian: the heading is the turn from
// the meridian the station was given on, on the ellipsoid as on the sphere.
TEST(Cli, EllipsoidHeadingsAtAPoleTurnFromTheGivenMeridian)
{
    struct Case {
        const char* name;
        QStringList args;
        const char* lines;  // the long path and ellipsoid lines
    };
    const Case cases[] = {
        {"from the north pole", {"90 0", "50 10"},
            "Long path beam heading from my station: 350 degrees\n"
            "WGS84 ellipsoid distance: 4461.1 km\n"
            "WGS84 ellipsoid heading from my station: 170 degrees\n"
            "WGS84 ellipsoid heading from the other station: 0 degrees\n"},
        {"towards the north pole", {"50 10", "90 0"},
            "Long path beam heading from my station: 180 degrees\n"
            "WGS84 ellipsoid distance: 4461.1 km\n"
            "WGS84 ellipsoid heading from my station: 0 degrees\n"
            "WGS84 ellipsoid heading from the other station: 170 degrees\n"},
        {"from the north pole as entry fields", words("90 0 0 N 90 0 0 W 50 0 0 N 10 0 0 E"),
            "Long path beam heading from my station: 260 degrees\n"
            "WGS84 ellipsoid distance: 4461.1 km\n"
            "WGS84 ellipsoid heading from my station: 80 degrees\n"
            "WGS84 ellipsoid heading from the other station: 0 degrees\n"},
        {"from the south pole", {"-90 45", "-50 10"},
            "Long path beam heading from my station: 145 degrees\n"
            "WGS84 ellipsoid distance: 4461.1 km\n"
            "WGS84 ellipsoid heading from my station: 325 degrees\n"
            "WGS84 ellipsoid heading from the other station: 180 degrees\n"},
        {"towards the south pole", {"-50 10", "-90 45"},
            "Long path beam heading from my station: 0 degrees\n"
            "WGS84 ellipsoid distance: 4461.1 km\n"
            "WGS84 ellipsoid heading from my station: 180 degrees\n"
            "WGS84 ellipsoid heading from the other station: 325 degrees\n"},
        {"both at the north pole", {"90 0", "90 120"},
            "Long path beam heading from my station: none\n"
            "WGS84 ellipsoid distance: 0 km\n"
            "WGS84 ellipsoid heading from my station: none\n"
            "WGS84 ellipsoid heading from the other station: none\n"},
        {"one at each pole", {"90 10", "-90 -30"},
            "Long path beam heading from my station: none\n"
            "WGS84 ellipsoid distance: 20003.9 km\n"
            "WGS84 ellipsoid heading from my station: none\n"
            "WGS84 ellipsoid heading from the other station: none\n"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        const CliRun r = cli(c.args + words("--long-path --ellipsoid"));
        EXPECT_EQ(r.exitCode, 0) << r.err.toStdString();
        EXPECT_TRUE(r.out.contains(QString::fromUtf8(c.lines))) << r.out.toStdString();
    }
}

// At a pole the locator is the square on the longitude the JSON shows.
TEST(Cli, PoleLocatorFollowsTheLongitudeShown)
{
    struct Case {
        const char* name;
        QStringList args;
        double longitude;
        const char* locator8;
    };
    const Case cases[] = {
        {"north pole at 45 E", words("90 0 0 N 45 0 0 E 0 0 0 N 0 0 0 E"), 45, "LR29mx09"},
        {"north pole at 180 E", words("90 0 0 N 180 0 0 E 0 0 0 N 0 0 0 E"), 180, "AR09ax09"},
        {"south pole at 74 2 30 W", words("90 0 0 S 74 2 30 W 0 0 0 N 0 0 0 E"), -(74 + 2.0 / 60 + 30.0 / 3600),
            "FA20xa50"},
        {"south pole in decimal degrees", {"-90 -0.5", "0 0"}, -0.5, "IA90sa00"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        const CliRun r = cli(c.args + words("--locator --json"));
        EXPECT_EQ(r.exitCode, 0) << r.err.toStdString();
        const QJsonObject own = jsonObject(r.out).value(u"own").toObject();
        EXPECT_DOUBLE_EQ(own.value(u"longitude").toDouble(), c.longitude);
        EXPECT_EQ(own.value(u"locator8").toString(), c.locator8);
    }
}

TEST(Cli, JsonReportsABadFieldAsAnObject)
{
    struct Case {
        const char* name;
        QStringList args;
        const char* error;
    };
    const Case cases[] = {
        {"a short locator", words("JO01 FN2"),
            "other locator \"FN2\" has 3 characters; a locator has 2, 4, 6, 8 or 10"},
        {"a latitude out of range", words("91 0 0 N 0 0 0 E 0 0 0 N 0 0 0 E"),
            "own latitude degrees: \"91\" is out of range; allowed: at most 90"},
        {"a bad --to", {"--from", "JO01", "--to", "95 0"}, "--to: other latitude: \"95\" is out of range"},
        {"a control character", {"JO01", QStringLiteral("FN\x1b")}, "other locator \"FN\\x1B\": character 3"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        const CliRun r = cli(c.args + QStringList{QStringLiteral("--json")});
        EXPECT_EQ(r.exitCode, 1);
        ASSERT_TRUE(r.out.endsWith(u"}\n")) << r.out.toStdString();
        EXPECT_EQ(r.out.count(u'\n'), 1);
        const QJsonObject o = jsonObject(r.out);
        EXPECT_EQ(o.keys(), QStringList{QStringLiteral("error")});
        const QString error = o.value(u"error").toString();
        EXPECT_TRUE(error.startsWith(QString::fromUtf8(c.error))) << error.toStdString();
        // The same sentence, once, on the error stream.
        EXPECT_EQ(r.err, QStringLiteral("skybrant-cli: ERROR: ") + error + u'\n');
    }
    // A usage error is about the command line, not a pair: no JSON.
    const CliRun usage = cli(words("JO01 --json"));
    EXPECT_EQ(usage.exitCode, 2);
    EXPECT_EQ(usage.out, "");
}

}  // namespace
