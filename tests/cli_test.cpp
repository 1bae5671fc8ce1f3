// Runs the built skybrant-cli as a user would.

#include <QProcess>
#include <QString>
#include <QStringList>

#include <gtest/gtest.h>

namespace {

struct CliRun {
    int exitCode = -1;
    QString out;
    QString err;
};

CliRun cli(const QStringList& args, const QByteArray& input = {})
{
    QProcess p;
    p.start(QStringLiteral(SKYBRANT_CLI_PATH), args);
    EXPECT_TRUE(p.waitForStarted());
    p.write(input);
    p.closeWriteChannel();
    EXPECT_TRUE(p.waitForFinished(60000));
    EXPECT_EQ(p.exitStatus(), QProcess::NormalExit);
    return {p.exitCode(), QString::fromUtf8(p.readAllStandardOutput()), QString::fromUtf8(p.readAllStandardError())};
}

QStringList words(const char* text)
{
    return QString::fromLatin1(text).split(u' ');
}

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
        {"--batch 1 2", 2, "takes no stations as arguments"},
    };
    for (const auto& c : cases) {
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

TEST(Cli, HelpAndVersion)
{
    const CliRun help = cli({QStringLiteral("--help")});
    EXPECT_EQ(help.exitCode, 0);
    for (const char* word : {"Usage:", "--batch", "--version", "LAD LAM LAS N|S LOD LOM LOS E|W", "Exit status"}) {
        EXPECT_TRUE(help.out.contains(QString::fromUtf8(word))) << word;
    }
    const CliRun version = cli({QStringLiteral("--version")});
    EXPECT_EQ(version.exitCode, 0);
    EXPECT_TRUE(version.out.startsWith(u"skybrant-cli "));
}

}  // namespace
