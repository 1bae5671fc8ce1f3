// skybrant-cli --adif: every QSO of a log with the figures --batch gives
// for the same pair, in CSV, text and JSON, and each bad record named in
// its place.

#include "cli_run.h"

#include <QDir>
#include <QFile>
#include <QJsonObject>
#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace skybrant::testing {
namespace {

// A log beside an empty settings home, so that no saved own station of the
// machine is read.
class LogRun {
public:
    explicit LogRun(const QByteArray& log)
    {
        QFile file(path());
        EXPECT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(log);
        qputenv("XDG_CONFIG_HOME", dir_.path().toUtf8());
    }
    QString path() const { return dir_.filePath(QStringLiteral("log.adi")); }
    CliRun run(const QStringList& args) const { return cli(QStringList{QStringLiteral("--adif"), path()} + args); }

private:
    QTemporaryDir dir_;
};

const QByteArray kLog = "Written for a test\n<ADIF_VER:5>3.1.4<EOH>\n"
                        "<call:6>DL1ABC<gridsquare:4>JO62<qso_date:8:d>20240102<time_on:4>1234<band:3>20m"
                        "<mode:7>FT8,FT4<eor>\n"
                        "<CALL:4>K1AB<LAT:11>N042 30.000<LON:11>W071 00.000<MY_GRIDSQUARE:4>JO01<EOR>\n"
                        "<CALL:3>DL1ABC<EOR>\n"
                        "<CALL:4>VK2A<GRIDSQUARE:10>QF56od45xx<EOR>\n";

TEST(CliAdifTest, GivesEachQsoTheFiguresOfItsPair)
{
    const LogRun log(kLog);
    const CliRun csv = log.run(words("--from FN20 --long-path"));
    EXPECT_EQ(csv.exitCode, 1) << "one record is bad";
    const QStringList lines = csv.out.split(u'\n', Qt::SkipEmptyParts);
    ASSERT_EQ(lines.size(), 5) << csv.out.toStdString();
    EXPECT_EQ(lines[0],
        "record,call,qso_date,time_on,band,mode,from,distance,own_heading,other_heading,"
        "long_distance,long_heading");
    // The same pairs through --batch: the log's own station where it has one.
    const CliRun batch =
        cli(words("--batch --long-path"), "FN20 JO62\nJO01 N042 30.000 W071 00.000\nFN20 QF56od45xx\n");
    const QStringList figures = batch.out.split(u'\n', Qt::SkipEmptyParts);
    ASSERT_EQ(figures.size(), 3) << batch.out.toStdString();
    EXPECT_EQ(lines[1], "1,DL1ABC,20240102,1234,20m,\"FT8,FT4\",own," + figures[0]);
    EXPECT_EQ(lines[2], "2,K1AB,,,,,log," + figures[1]);
    EXPECT_TRUE(lines[3].startsWith("ERROR: record 3 at byte ")) << lines[3].toStdString();
    EXPECT_TRUE(lines[3].contains("CALL")) << lines[3].toStdString();
    EXPECT_EQ(lines[4], "4,VK2A,,,,,own," + figures[2]);
    EXPECT_TRUE(csv.err.contains("1 of the log's records")) << csv.err.toStdString();
}

TEST(CliAdifTest, WritesJsonAndText)
{
    const LogRun log(kLog);
    const CliRun json = log.run(words("--from FN20 --json"));
    const QStringList objects = json.out.split(u'\n', Qt::SkipEmptyParts);
    ASSERT_EQ(objects.size(), 4) << json.out.toStdString();
    const QJsonObject first = jsonObject(objects[0]);
    EXPECT_EQ(first["record"].toInt(), 1);
    EXPECT_EQ(first["call"].toString(), "DL1ABC");
    EXPECT_EQ(first["mode"].toString(), "FT8,FT4");
    EXPECT_EQ(first["from"].toString(), "own");
    EXPECT_TRUE(first["distance"].isDouble());
    EXPECT_EQ(jsonObject(objects[1])["from"].toString(), "log");
    const QJsonObject bad = jsonObject(objects[2]);
    EXPECT_EQ(bad["record"].toInt(), 3);
    EXPECT_TRUE(bad["error"].toString().contains("CALL"));
    EXPECT_EQ(bad["offset"].toInt(), kLog.indexOf("<CALL:3>"));

    const CliRun text = log.run(words("--from FN20 --text"));
    EXPECT_TRUE(text.out.contains("QSO 1: DL1ABC 20240102 1234 20m FT8,FT4, from the own station\nDistance: "))
        << text.out.toStdString();
    EXPECT_TRUE(text.out.contains("QSO 2: K1AB, from the log's own station\n")) << text.out.toStdString();
}

TEST(CliAdifTest, RefusesWhatCannotBeRead)
{
    const LogRun log(kLog);
    const struct {
        const char* name;
        QStringList args;
        int exitCode;
        const char* said;  // on the error stream
    } cases[] = {
        {"no such log", {"--adif", "/nonexistent/log.adi", "--from", "FN20"}, 1, "\"/nonexistent/log.adi\""},
        {"with --to", {"--adif", log.path(), "--to", "FN20"}, 2, "cannot go with --to"},
        {"with --batch", {"--adif", log.path(), "--batch"}, 2, "--batch"},
        {"own station unreadable", {"--adif", log.path(), "--from", "XX99"}, 1, "--from"},
        {"text with json", {"--adif", log.path(), "--text", "--json"}, 2, "--json"},
    };
    for (const auto& c : cases) {
        const CliRun run = cli(c.args);
        EXPECT_EQ(run.exitCode, c.exitCode) << c.name << ": " << run.err.toStdString();
        EXPECT_TRUE(run.err.contains(c.said)) << c.name << ": " << run.err.toStdString();
    }
    // With no own station, only the QSO that names its own is figured.
    const CliRun none = log.run({});
    EXPECT_EQ(none.exitCode, 1);
    EXPECT_EQ(none.out.count(QStringLiteral("no own station given")), 2) << none.out.toStdString();
    EXPECT_TRUE(none.out.contains("\n2,K1AB,")) << none.out.toStdString();
}

}  // namespace
}  // namespace skybrant::testing
