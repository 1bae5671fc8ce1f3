// The map window and north as a compass shows it: the magnetic beam heading
// in the station panel, the mast offset from a compass reading, the map
// printed and the bearing chart saved.

#include "core/magnetic.h"
#include "core/report.h"
#include "rotator/rotator_limits.h"
#include "rotator_panel_window.h"
#include "rotator_peers.h"
#include "ui/compass_reading.h"
#include "ui/station_lookup.h"

#include <QDialog>
#include <QDialogButtonBox>
#include <QDoubleSpinBox>
#include <QFile>
#include <QPointer>
#include <QPrinter>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <cmath>
#include <filesystem>

namespace {

using namespace std::chrono;
using namespace std::chrono_literals;
using skybrant::Position;
using skybrant::positionFromDegrees;
using skybrant::testing::FakeRotator;
using skybrant::testing::MemoryStore;
using skybrant::testing::PanelWindow;
using skybrant::testing::waitUntil;

const std::string kLimits = "Minimum Azimuth: 0.000000\nMaximum Azimuth: 360.000000\nRPRT 0\n";
const Position kLondon = positionFromDegrees(51.5, -0.1167);

// The window's clock stopped at noon UTC of a date.
skybrant::ui::MapWindow::Clock noonOf(year_month_day date)
{
    return [date] { return system_clock::time_point(sys_days(date) + 12h); };
}

// An environment variable pointed at a folder while this lives.
class EnvironmentFolder {
public:
    EnvironmentFolder(const char* name, const QString& path)
        : name_(name), had_(qEnvironmentVariableIsSet(name)), old_(qgetenv(name))
    {
        qputenv(name, path.toUtf8());
    }
    ~EnvironmentFolder() { had_ ? qputenv(name_, old_) : qunsetenv(name_); }
    EnvironmentFolder(const EnvironmentFolder&) = delete;
    EnvironmentFolder& operator=(const EnvironmentFolder&) = delete;

private:
    const char* name_;
    bool had_;
    QByteArray old_;
};

TEST(MapNorth, PanelGivesTheHeadingTrueAndMagneticWithCoresNotes)
{
    struct Case {
        const char* name;
        Position own;
        const char* other;
        year_month_day date;
        // As skybrant-cli IO91wm FN20xr --magnetic --date 2026-06-21 and the
        // like give the figures.
        const char* line;
    };
    const Case cases[] = {
        {"London to New York", kLondon, "FN20xr", 2026y / June / 21,
            "288\u00b0 true, 287\u00b0 magnetic (declination 1.2\u00b0 E)"},
        {"by the geomagnetic pole", positionFromDegrees(85, 139), "IO91", 2026y / June / 21,
            "324\u00b0 true, 3\u00b0 magnetic (declination 39.1\u00b0 W)\nA compass at the own station is "
            "unreliable: the horizontal magnetic field there is under 2,000 nT."},
        {"north Canada after the model's years", positionFromDegrees(80, -120), "IO91", 2031y / June / 21,
            "51\u00b0 true, 52\u00b0 magnetic (declination 0.4\u00b0 W)\nA compass at the own station may be "
            "unreliable: the horizontal magnetic field there is under 6,000 nT.\nThe date is outside 2025.0 to "
            "2030.0, the years the magnetic model WMM-2025 is made for, so the declinations may be off."},
    };
    MemoryStore store;
    PanelWindow w(store);
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        w.window.setClock(noonOf(c.date));
        w.window.setOwn(c.own);
        ASSERT_TRUE(w.window.takeOtherText(QLatin1String(c.other)));
        const QString shown = w.text("heading");
        EXPECT_EQ(shown, QString::fromUtf8(c.line));

        // The same figures from core for the stations the window holds.
        skybrant::ReportOptions options;
        options.magneticDate = c.date;
        const auto& other = w.window.model().other();
        ASSERT_TRUE(other);
        const skybrant::Report r = skybrant::makeReport(c.own, other->position, options);
        const QString core = QStringLiteral("%1\u00b0 true, %2\u00b0 magnetic (declination %3)")
                                 .arg(r.ownToOther.value)
                                 .arg(r.ownMagneticHeading.value)
                                 .arg(QString::fromStdString(skybrant::declinationText(r.ownDeclination.value)));
        EXPECT_EQ(shown.section(u'\n', 0, 0), core);
        // The other figures as they were.
        EXPECT_EQ(w.text("backHeading"), QStringLiteral("%1\u00b0").arg(r.otherToOwn.value));
    }
    // A new day at the same stations: the declination of that day.
    w.window.setClock(noonOf(2026y / June / 21));
    const QString june = w.text("heading");
    w.window.setClock(noonOf(2029y / December / 31));
    EXPECT_NE(w.text("heading"), june);
    EXPECT_FALSE(w.text("heading").contains(QStringLiteral("outside"))) << "2029 is within the model's years";
}

TEST(CompassOffset, IsTheRotatorsReadingLessTheTrueHeadingWithinHalfATurn)
{
    struct Case {
        const char* name;
        double azimuth;
        double magnetic;
        double declination;
        double offset;
    };
    const Case cases[] = {
        {"aligned, no declination", 300, 300, 0, 0},
        {"west declination", 310, 300, -1.2, 11.2},
        {"east declination", 300, 300, 1.2, -1.2},
        {"across north", 5, 355, 2, 8},
        {"the other way across north", 350, 10, 0, -20},
        {"more than half a turn", 190, 0, 0, -170},
        {"a reading past a full turn", 370, 5, 0, 5},
        {"half a turn", 180, 0, 0, 180},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const double offset = skybrant::ui::offsetFromCompass(c.azimuth, c.magnetic, c.declination);
        EXPECT_NEAR(offset, c.offset, 1e-9);
        // The antenna's true heading as the rotator then shows it.
        const double shown = std::fmod(c.azimuth - offset + 720, 360.0);
        EXPECT_NEAR(std::fmod(c.magnetic + c.declination + 360, 360.0), shown, 1e-9);
    }
}

struct CompassDialog {
    explicit CompassDialog(PanelWindow& w)
    {
        QTest::mouseClick(w.find<QPushButton>("rotatorCompass"), Qt::LeftButton);
        dialog = w.window.findChild<QDialog*>(QStringLiteral("compassDialog"));
        EXPECT_NE(dialog, nullptr);
    }
    // Gone before the next is looked for.
    ~CompassDialog() { delete dialog.data(); }
    CompassDialog(const CompassDialog&) = delete;
    CompassDialog& operator=(const CompassDialog&) = delete;
    // Types the reading and presses OK.
    void read(const char* text)
    {
        dialog->findChild<QLineEdit*>(QStringLiteral("compassReading"))->setText(QString::fromUtf8(text));
        QTest::mouseClick(dialog->findChild<QDialogButtonBox*>()->button(QDialogButtonBox::Ok), Qt::LeftButton);
    }
    QString problem() const { return dialog->findChild<QLabel*>(QStringLiteral("compassProblem"))->text(); }
    QPointer<QDialog> dialog;
};

TEST(CompassOffset, IsSavedAsTheOffsetFieldSavesItAndRefusedWithoutAReadingOrAPosition)
{
    FakeRotator fake({kLimits, "300.00\n0.00\n"}, false);
    MemoryStore store;
    PanelWindow w(store);
    w.quietTiming();
    w.window.setClock(noonOf(2026y / June / 21));
    w.window.setOwn(kLondon);
    const double declination = skybrant::magneticFieldAt(kLondon, 2026y / June / 21).declination;
    const QString offsetKey = QStringLiteral("Offset");
    const auto saved = [&] { return store.values[{QStringLiteral("Rotator"), offsetKey}]; };

    // Before the rotator has said where it points.
    {
        CompassDialog compass(w);
        ASSERT_NE(compass.dialog, nullptr);
        compass.read("300");
        EXPECT_TRUE(compass.problem().startsWith(QStringLiteral("The rotator has not said where it points")))
            << compass.problem().toStdString();
        EXPECT_TRUE(compass.dialog->isVisible());
        EXPECT_EQ(w.panel->options().offset, 0);
    }

    w.connectTo(fake.port());
    ASSERT_TRUE(w.connectedWithPosition());
    ASSERT_EQ(w.panel->aim().azimuth(), std::optional(300.0));
    struct Case {
        const char* reading;
        const char* offset;  // as saved
    };
    // London's declination is 1.2 degrees E: 300 magnetic is 301.2 true.
    const Case cases[] = {{"300", "-1.2"}, {"10\u00b0", "-71.2"}, {" 359.5 ", "-60.7"}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.reading);
        CompassDialog compass(w);
        ASSERT_NE(compass.dialog, nullptr);
        compass.read(c.reading);
        QTest::qWait(0);
        EXPECT_TRUE(compass.dialog.isNull() || !compass.dialog->isVisible()) << compass.problem().toStdString();
        const double expected = *skybrant::rotctl::mastOffset(skybrant::ui::offsetFromCompass(
            300, QString::fromUtf8(c.reading).remove(u'\u00b0').trimmed().toDouble(), declination));
        EXPECT_EQ(w.panel->options().offset, expected);
        EXPECT_EQ(saved(), QLatin1String(c.offset));
        EXPECT_EQ(w.find<QDoubleSpinBox>("rotatorOffset")->value(), expected);
        // The antenna as the rotator panel shows it: the true heading.
        EXPECT_NEAR(w.heading(), std::fmod(300 - expected + 360, 360.0), 1e-9);
    }

    for (const char* notAHeading : {"north-west", "", "400", "-10"}) {
        SCOPED_TRACE(notAHeading);
        CompassDialog compass(w);
        ASSERT_NE(compass.dialog, nullptr);
        compass.read(notAHeading);
        EXPECT_TRUE(compass.problem().endsWith(QStringLiteral(" is not a compass heading: type degrees from 0 to 360")))
            << compass.problem().toStdString();
        EXPECT_TRUE(compass.dialog->isVisible());
        EXPECT_EQ(saved(), QLatin1String("-60.7")) << "the offset stays as it was";
    }
}

TEST(MapOutput, PrintsTheMapToAPdfAndSaysWhenThePrinterCannotBeUsed)
{
    QTemporaryDir dir;
    EnvironmentFolder config("XDG_CONFIG_HOME", dir.path());
    MemoryStore store;
    PanelWindow w(store);
    w.window.setOwn(kLondon);
    ASSERT_TRUE(w.window.takeOtherText(QStringLiteral("FN20xr")));
    for (const char* name : {"printMap", "saveChart"}) {
        EXPECT_TRUE(w.find<QPushButton>(name)->isVisibleTo(&w.window)) << name;
    }

    QPrinter printer(QPrinter::HighResolution);
    printer.setOutputFormat(QPrinter::PdfFormat);
    printer.setOutputFileName(dir.filePath(QStringLiteral("map.pdf")));
    QString error;
    ASSERT_TRUE(w.window.printMap(printer, error)) << error.toStdString();
    QFile pdf(dir.filePath(QStringLiteral("map.pdf")));
    ASSERT_TRUE(pdf.open(QIODevice::ReadOnly));
    const QByteArray bytes = pdf.readAll();
    EXPECT_TRUE(bytes.startsWith("%PDF-"));
    // The map is a picture of some size, not an empty page.
    EXPECT_GT(bytes.size(), 20000);

    printer.setOutputFileName(dir.filePath(QStringLiteral("no such folder/map.pdf")));
    EXPECT_FALSE(w.window.printMap(printer, error));
    EXPECT_TRUE(error.contains(QStringLiteral("no such folder/map.pdf"))) << error.toStdString();
}

TEST(MapOutput, SavesTheBearingChartAsItsNameAsksAndSaysWhatCannotBeSaved)
{
    const char* packaged = "/usr/share/hamradio-files/cty.dat";
    if (!std::filesystem::exists(packaged)) {
        GTEST_SKIP() << "needs the packaged country file (Debian hamradio-files)";
    }
    QTemporaryDir dir;
    EnvironmentFolder config("XDG_CONFIG_HOME", dir.path());
    EnvironmentFolder data("XDG_DATA_HOME", dir.path());
    MemoryStore store;
    PanelWindow w(store);
    w.window.setOwn(kLondon);
    w.window.setClock(noonOf(2026y / June / 21));
    QString error;
    EXPECT_FALSE(w.window.saveChart(dir.filePath(QStringLiteral("early.pdf")), error)) << "the file is not read yet";
    EXPECT_EQ(error, QStringLiteral("The country file is still being read: save the chart again in a moment."));
    EXPECT_FALSE(QFile::exists(dir.filePath(QStringLiteral("early.pdf"))));
    ASSERT_TRUE(waitUntil([&] { return w.window.callsigns().files() != nullptr; }, 30s));

    struct Case {
        const char* file;
        QByteArray starts;
    };
    const Case cases[] = {{"chart.pdf", "%PDF-"}, {"chart.SVG", "<?xml"}, {"chart.png", "\x89PNG"}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.file);
        const QString path = dir.filePath(QLatin1String(c.file));
        ASSERT_TRUE(w.window.saveChart(path, error)) << error.toStdString();
        QFile file(path);
        ASSERT_TRUE(file.open(QIODevice::ReadOnly));
        const QByteArray bytes = file.readAll();
        EXPECT_TRUE(bytes.startsWith(c.starts));
        EXPECT_GT(bytes.size(), 10000);
    }
    QFile svg(dir.filePath(QStringLiteral("chart.SVG")));
    ASSERT_TRUE(svg.open(QIODevice::ReadOnly));
    const QByteArray text = svg.readAll();
    // The chart's title, of the window's date, with its magnetic headings.
    EXPECT_TRUE(text.contains("2026-06-21")) << text.left(3000).toStdString();
    EXPECT_TRUE(text.contains("346 entities"));
    EXPECT_TRUE(text.contains("WMM-2025"));

    struct Bad {
        const char* file;
        const char* error;
    };
    const Bad bad[] = {
        {"no such folder/chart.pdf", "Cannot save the bearing chart: cannot write the chart to "},
        {"chart.txt", "Cannot save the bearing chart to "},
        {"", "Cannot save the bearing chart to "},
    };
    for (const Bad& b : bad) {
        SCOPED_TRACE(b.file);
        const QString path = dir.filePath(QLatin1String(b.file));
        EXPECT_FALSE(w.window.saveChart(path, error));
        EXPECT_TRUE(error.startsWith(QLatin1String(b.error))) << error.toStdString();
    }
}

}  // namespace
