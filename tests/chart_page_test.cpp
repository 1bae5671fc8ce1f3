// The bearing chart's printed page: the first page of the PDF rendered by
// pdftoppm (Debian poppler-utils), with the title and the first rows where
// the layout puts them.

#include "cli_run.h"

#include <QFile>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace skybrant::testing {
namespace {

const QString kPackaged = QStringLiteral("/usr/share/hamradio-files/cty.dat");

// A grey picture from pdftoppm -pgm: width, height, one byte a pixel.
struct Grey {
    int width = 0;
    int height = 0;
    QByteArray pixels;
    int at(int x, int y) const { return static_cast<unsigned char>(pixels[y * width + x]); }
    bool ink(int x, int y) const { return at(x, y) < 160; }
    // Dark pixels in the box [x0, x1) x [y0, y1).
    int inkIn(int x0, int y0, int x1, int y1) const
    {
        int n = 0;
        for (int y = y0; y < y1; ++y) {
            for (int x = x0; x < x1; ++x) {
                n += ink(x, y) ? 1 : 0;
            }
        }
        return n;
    }
    // The longest run of dark pixels in row y from x.
    int runFrom(int x, int y) const
    {
        int n = 0;
        while (x + n < width && ink(x + n, y)) {
            ++n;
        }
        return n;
    }
};

Grey readPgm(const QByteArray& bytes)
{
    Grey g;
    // "P5\n<width> <height>\n255\n" then the pixels.
    const QList<QByteArray> head = bytes.left(64).split('\n');
    if (head.size() < 4 || head[0] != "P5") {
        return g;
    }
    const QList<QByteArray> size = head[1].split(' ');
    g.width = size.value(0).toInt();
    g.height = size.value(1).toInt();
    const qsizetype start = head[0].size() + head[1].size() + head[2].size() + 3;
    g.pixels = bytes.mid(start);
    if (g.pixels.size() != static_cast<qsizetype>(g.width) * g.height) {
        g.width = g.height = 0;
    }
    return g;
}

QByteArray run(const QString& program, const QStringList& args)
{
    QProcess p;
    p.start(program, args);
    EXPECT_TRUE(p.waitForFinished(60000)) << program.toStdString();
    EXPECT_EQ(p.exitCode(), 0) << program.toStdString() << ": " << p.readAllStandardError().toStdString();
    return p.readAllStandardOutput();
}

TEST(ChartPage, FirstPageHasTheTitleAndTheFirstRowsInPlace)
{
    const QString pdftoppm = QStandardPaths::findExecutable(QStringLiteral("pdftoppm"));
    const QString pdftotext = QStandardPaths::findExecutable(QStringLiteral("pdftotext"));
    if (pdftoppm.isEmpty() || pdftotext.isEmpty() || !QFile::exists(kPackaged)) {
        GTEST_SKIP() << "needs pdftoppm and pdftotext (Debian poppler-utils) and the packaged country file";
    }
    QTemporaryDir dir;
    qputenv("XDG_CONFIG_HOME", dir.path().toUtf8());
    qputenv("LC_ALL", "C");  // A4
    const QString pdf = dir.filePath(QStringLiteral("chart.pdf"));
    const CliRun chart =
        cli({"--chart", pdf, "--from", "JO01", "--cty", kPackaged, "--date", "2026-06-21", "--magnetic"});
    ASSERT_EQ(chart.exitCode, 0) << chart.err.toStdString();

    // The words of the page, in reading order.
    const QString text = QString::fromUtf8(run(pdftotext, {"-f", "1", "-l", "1", "-layout", pdf, "-"}));
    const QStringList expected{"Bearing chart", "From 51.5 N 1 E (JO01mm) on 2026-06-21: 346 entities by beam heading",
        "distances in km, country file VER20230502", "magnetic", "WMM-2025", "Prefix", "Entity", "LP mag", "T2",
        "Tuvalu"};
    qsizetype from = 0;
    // The font joins f and i into one glyph, which the text gives back as one.
    const QString flat = QString(text).replace(QChar(0xFB01), QStringLiteral("fi")).simplified();
    for (const QString& word : expected) {
        const qsizetype found = flat.indexOf(word, from);
        EXPECT_GE(found, 0) << word.toStdString() << " after " << from << " in:\n" << text.toStdString();
        from = std::max(from, found);
    }

    // The picture at 72 dpi: one pixel to the point, A4 595 x 842.
    const Grey page = readPgm(run(pdftoppm, {"-f", "1", "-l", "1", "-r", "72", "-gray", pdf}));
    ASSERT_EQ(page.width, 595);
    ASSERT_EQ(page.height, 842);
    EXPECT_EQ(page.inkIn(0, 0, page.width, 22), 0) << "ink in the top margin";
    EXPECT_EQ(page.inkIn(0, 0, 22, page.height), 0) << "ink in the left margin";
    // "Bearing chart" at the top left, 14 points high.
    EXPECT_GT(page.inkIn(24, 24, 136, 40), 100);
    EXPECT_EQ(page.inkIn(146, 24, page.width, 40), 0) << "the title is short";
    // The rule under the column names of both columns, below the title lines.
    int rule = -1;
    for (int y = 60; y < 140 && rule < 0; ++y) {
        if (page.runFrom(24, y) > 200) {
            rule = y;
        }
    }
    ASSERT_GT(rule, 0) << "no rule under the column names";
    // Margins of 24 points and 12 between the columns.
    const int right = 24 + (595 - 48 - 12) / 2 + 12;
    EXPECT_GT(page.runFrom(right + 1, rule), 200) << "no second column";
    // Column names just above the rule, in both columns; the first row just
    // below it, and the second on a grey band.
    EXPECT_GT(page.inkIn(24, rule - 10, 56, rule), 20);
    EXPECT_GT(page.inkIn(right, rule - 10, right + 32, rule), 20);
    EXPECT_GT(page.inkIn(24, rule + 2, 41, rule + 11), 5) << "no first row (T2)";
    EXPECT_GT(page.inkIn(right, rule + 2, right + 17, rule + 11), 5) << "no first row in the second column";
    // The second row on a grey band, seen at the end of the first column.
    EXPECT_NEAR(page.at(right - 13, rule + 16), 0xee, 10) << "the second row's band";
    EXPECT_EQ(page.at(right - 13, rule + 6), 0xff) << "the first row's white";
    // Rows run down to the foot of the page.
    EXPECT_GT(page.inkIn(24, 800, 56, 814), 5);
}

}  // namespace
}  // namespace skybrant::testing
