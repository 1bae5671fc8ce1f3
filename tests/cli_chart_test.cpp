// skybrant-cli --chart over the packaged country file: every entity once,
// each with the figures of the single pair to its reference point, in the
// three orders, the formats and the printed page.

#include "cli_run.h"

#include <QDir>
#include <QFile>
#include <QJsonArray>
#include <QSet>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <cstdlib>
#include <string>

namespace skybrant::testing {
namespace {

const QString kPackaged = QStringLiteral("/usr/share/hamradio-files/cty.dat");
// JO01's centre, written as degrees for the single pairs.
const QString kOwn = QStringLiteral("JO01");
const QString kOwnDegrees = QStringLiteral("51.5 1");

// The primary prefixes of the file's entity lines, read here on their own:
// the eighth field of every line that does not start with a blank.
QStringList primaryPrefixes(const QString& path)
{
    QFile file(path);
    EXPECT_TRUE(file.open(QIODevice::ReadOnly));
    QStringList prefixes;
    for (const QByteArray& line : file.readAll().split('\n')) {
        if (line.isEmpty() || line[0] == ' ' || line[0] == '\t' || line[0] == '\r') {
            continue;
        }
        const QList<QByteArray> fields = line.split(':');
        if (fields.size() >= 8) {
            prefixes << QString::fromLatin1(fields[7].trimmed()).remove(u'*');
        }
    }
    return prefixes;
}

QJsonArray chartEntities(const QStringList& extra)
{
    const CliRun run = cli(QStringList{"--chart", "--from", kOwn, "--json", "--cty", kPackaged} + extra);
    EXPECT_EQ(run.exitCode, 0) << run.err.toStdString();
    return jsonObject(run.out)["entities"].toArray();
}

class ChartTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        if (!QFile::exists(kPackaged)) {
            GTEST_SKIP() << "no packaged country file at " << kPackaged.toStdString() << " (Debian hamradio-files)";
        }
        qputenv("XDG_CONFIG_HOME", home.path().toUtf8());
        qputenv("XDG_DATA_HOME", home.path().toUtf8());
    }
    QTemporaryDir home;
};

TEST_F(ChartTest, EveryEntityOnceWithTheFiguresOfItsSinglePair)
{
    const QJsonArray entities = chartEntities({"--magnetic", "--date", "2026-06-21"});
    ASSERT_EQ(entities.size(), 346);
    QStringList prefixes;
    QByteArray pairs;
    for (const QJsonValue e : entities) {
        prefixes << e["prefix"].toString();
        pairs += (kOwnDegrees + u' ' + QString::number(e["latitude"].toDouble(), 'g', 17) + u' ' +
            QString::number(e["longitude"].toDouble(), 'g', 17) + u'\n')
                     .toUtf8();
    }
    QStringList expected = primaryPrefixes(kPackaged);
    EXPECT_EQ(expected.size(), 346);
    QStringList sortedPrefixes = prefixes;
    sortedPrefixes.sort();
    expected.sort();
    EXPECT_EQ(sortedPrefixes, expected) << "an entity missing or twice";
    EXPECT_EQ(QSet<QString>(prefixes.begin(), prefixes.end()).size(), 346);

    // The same reference points as single pairs, one per batch line.
    const CliRun batch = cli({"--batch", "--long-path", "--magnetic", "--date", "2026-06-21"}, pairs);
    ASSERT_EQ(batch.exitCode, 0) << batch.err.toStdString();
    const QStringList lines = batch.out.split(u'\n', Qt::SkipEmptyParts);
    ASSERT_EQ(lines.size(), entities.size());
    const auto shown = [](const QJsonValue& v) { return v.isNull() ? QString() : QString::number(v.toDouble()); };
    for (qsizetype i = 0; i < lines.size(); ++i) {
        const QStringList c = lines[i].split(u',');
        const QJsonValue e = entities[i];
        const QString row = e["prefix"].toString() + ": " + lines[i];
        EXPECT_EQ(shown(e["distance"]), c[0]) << row.toStdString();
        EXPECT_EQ(shown(e["heading"]), c[1]) << row.toStdString();
        EXPECT_EQ(shown(e["long_path_distance"]), c[3]) << row.toStdString();
        EXPECT_EQ(shown(e["long_path_heading"]), c[4]) << row.toStdString();
        EXPECT_EQ(shown(e["magnetic_heading"]), c[5]) << row.toStdString();
    }
}

TEST_F(ChartTest, SortedByHeadingPrefixOrDistance)
{
    struct Case {
        const char* sort;
        const char* member;
    };
    for (const Case c : {Case{"heading", "heading"}, Case{"distance", "distance"}, Case{"prefix", "prefix"}}) {
        const QJsonArray entities = chartEntities({"--sort", c.sort});
        ASSERT_EQ(entities.size(), 346) << c.sort;
        for (qsizetype i = 1; i < entities.size(); ++i) {
            const QJsonValue a = entities[i - 1][c.member];
            const QJsonValue b = entities[i][c.member];
            if (a.isString()) {
                EXPECT_LE(a.toString().toStdString(), b.toString().toStdString()) << c.sort << " at " << i;
            } else {
                EXPECT_LE(a.toDouble(), b.toDouble()) << c.sort << " at " << i;
            }
        }
    }
}

TEST_F(ChartTest, TextAndCsvHoldTheSameRows)
{
    const CliRun text = cli({"--chart", "--from", kOwn, "--cty", kPackaged, "--date", "2026-06-21"});
    ASSERT_EQ(text.exitCode, 0) << text.err.toStdString();
    const QStringList textLines = text.out.split(u'\n', Qt::SkipEmptyParts);
    ASSERT_EQ(textLines.size(), 348);
    EXPECT_EQ(textLines[0].toStdString(),
        "From 51.5 N 1 E (JO01mm) on 2026-06-21: 346 entities by beam heading, distances in km, country file "
        "VER20230502");
    EXPECT_TRUE(textLines[1].startsWith("Prefix  Entity")) << textLines[1].toStdString();

    const CliRun csv = cli({"--chart", "--from", kOwn, "--cty", kPackaged, "--csv", "--magnetic"});
    ASSERT_EQ(csv.exitCode, 0) << csv.err.toStdString();
    const QStringList csvLines = csv.out.split(u'\n', Qt::SkipEmptyParts);
    ASSERT_EQ(csvLines.size(), 347);
    EXPECT_EQ(csvLines[0].toStdString(),
        "prefix,entity,continent,heading,distance,long_heading,long_distance,magnetic_heading,long_magnetic_heading");
    // The first row of both is the entity with the smallest heading.
    EXPECT_TRUE(textLines[2].startsWith(csvLines[1].section(u',', 0, 0) + u' ')) << textLines[2].toStdString();
}

TEST_F(ChartTest, WhatCannotMakeAChartIsSaid)
{
    struct Case {
        const char* name;
        QStringList args;
        int status;
        const char* error;
    };
    const QList<Case> cases{
        {"another station", {"--chart", "--from", "JO01", "--to", "FN20"}, 2, "give no other station"},
        {"no own station", {"--chart"}, 2, "no own station"},
        {"not a picture", {"--chart=wall.txt", "--from", "JO01"}, 2,
            "\"wall.txt\" ends in none of .pdf, .svg and .png"},
        {"sort alone", {"--from", "JO01", "--to", "FN20", "--sort", "prefix"}, 2, "--sort orders the chart"},
        {"an unknown order", {"--chart", "--from", "JO01", "--sort", "size"}, 2, "is none of heading, prefix"},
        {"with a map", {"--chart", "--from", "JO01", "--map", "m.png"}, 2, "cannot go with --map"},
        {"with batch", {"--chart", "--batch"}, 2, "cannot go with --batch"},
        {"a missing country file", {"--chart", "--from", "JO01", "--cty", "/nonexistent/cty.dat"}, 1,
            "/nonexistent/cty.dat"},
        {"a folder that is not there", {"--chart", "/nonexistent/wall.pdf", "--from", "JO01"}, 1,
            "cannot write the chart to \"/nonexistent/wall.pdf\""},
    };
    for (const Case& c : cases) {
        const CliRun run = cli(c.args);
        EXPECT_EQ(run.exitCode, c.status) << c.name << ": " << run.err.toStdString();
        EXPECT_TRUE(run.err.contains(QString::fromUtf8(c.error))) << c.name << ": " << run.err.toStdString();
        EXPECT_TRUE(run.out.isEmpty()) << c.name;
    }
}

}  // namespace
}  // namespace skybrant::testing
