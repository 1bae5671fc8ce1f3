// The log on the map: QSOs grouped by the place of the station worked,
// filtered and coloured by band; the log panel reading a log that grows,
// naming a bad record, and keeping its file and filters in [Log].
#include "memory_store.h"

#include "core/country_files.h"
#include "map/band_colours.h"
#include "ui/log_panel.h"
#include "ui/log_places.h"
#include "ui/map_view.h"
#include "ui/map_window.h"

#include <QApplication>
#include <QComboBox>
#include <QFile>
#include <QHelpEvent>
#include <QLabel>
#include <QTemporaryDir>
#include <QTest>
#include <QToolTip>

#include <gtest/gtest.h>

#include <chrono>
#include <functional>
#include <string>
#include <vector>

namespace skybrant {
namespace {

using namespace std::chrono_literals;
using testing::MemoryStore;
using ui::PointLayer;

std::string field(const std::string& name, const std::string& value)
{
    return "<" + name + ":" + std::to_string(value.size()) + ">" + value;
}

// A record with the fields given; empty values are left out.
std::string record(const std::string& call, const std::string& grid, const std::string& band, const std::string& mode,
    const std::string& date, const std::string& time = "1200")
{
    std::string text = field("CALL", call);
    for (const auto& [name, value] :
        {std::pair{"GRIDSQUARE", grid}, {"BAND", band}, {"MODE", mode}, {"QSO_DATE", date}, {"TIME_ON", time}}) {
        if (!value.empty()) {
            text += field(name, value);
        }
    }
    return text + "<EOR>\n";
}

// Runs the event loop until done() holds or time is up; true when it held.
bool waitUntil(const std::function<bool()>& done, std::chrono::milliseconds limit)
{
    return QTest::qWaitFor(done, static_cast<int>(limit.count()));
}

const std::string kHeader = "Made by the tests\n<ADIF_VER:5>3.1.4<EOH>\n";

bool write(const QString& path, const std::string& text, QIODevice::OpenMode mode = QIODevice::WriteOnly)
{
    QFile file(path);
    return file.open(mode) && file.write(text.data(), static_cast<qint64>(text.size())) == std::ssize(text);
}

class LogMap : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(config_.isValid());
        ASSERT_TRUE(logs_.isValid());
        savedConfig_ = qgetenv("XDG_CONFIG_HOME");
        savedData_ = qgetenv("XDG_DATA_HOME");
        qputenv("XDG_CONFIG_HOME", config_.path().toLocal8Bit());
        // No country file of the operator's: the packaged one is read.
        qputenv("XDG_DATA_HOME", config_.path().toLocal8Bit());
    }
    void TearDown() override
    {
        qputenv("XDG_CONFIG_HOME", savedConfig_);
        qputenv("XDG_DATA_HOME", savedData_);
    }

    QString logPath(const char* name) const { return logs_.filePath(QLatin1String(name)); }

    QTemporaryDir config_;
    QTemporaryDir logs_;
    QByteArray savedConfig_;
    QByteArray savedData_;
};

// The log as the map reads it, grouped and filtered: a table of filters.
TEST_F(LogMap, GroupsByPlaceFiltersAndColoursByBand)
{
    const QString path = logPath("log.adi");
    // JO01 twice (two calls), FN20 with a LAT/LON-only QSO elsewhere, and
    // the latest QSO at JO01 on 20m CW.
    const std::string log = kHeader + record("G4AAA", "JO01", "40M", "SSB", "20261201", "0900") +
        record("G4BBB", "JO01", "20m", "cw", "20261205", "1000") + record("W2XYZ", "FN20", "20M", "FT8", "20261203") +
        field("CALL", "VE1ZZ") + field("LAT", "N044 30.000") + field("LON", "W063 30.000") + field("BAND", "40m") +
        field("MODE", "FT8") + field("QSO_DATE", "20261204") + "<EOR>\n";
    ASSERT_TRUE(write(path, log));
    ui::LogSlice slice = ui::readLogSlice(path.toStdString(), {}, defaultCountryFile(), nullptr);
    ASSERT_TRUE(slice.read.ok) << slice.read.error;
    EXPECT_EQ(slice.problems, 0U);
    ui::WorkedPlaces places;
    places.add(slice.qsos);
    EXPECT_EQ(places.qsoCount(), 4U);
    EXPECT_EQ(places.placeCount(), 3U);
    EXPECT_EQ(places.bands(), (std::vector<std::string>{"40m", "20m"}));
    EXPECT_EQ(places.modes(), (std::vector<std::string>{"CW", "FT8", "SSB"}));

    struct Case {
        const char* name;
        ui::LogFilter filter;
        // The dots, the latest QSO's first: label and band.
        std::vector<std::pair<QString, const char*>> dots;
    };
    const Case cases[] = {
        {"all", {}, {{"G4BBB", "20m"}, {"VE1ZZ", "40m"}, {"W2XYZ", "20m"}}},
        {"40m", {"40m", ""}, {{"VE1ZZ", "40m"}, {"G4AAA", "40m"}}},
        {"20M in the log's case", {"20M", ""}, {{"G4BBB", "20m"}, {"W2XYZ", "20m"}}},
        {"FT8", {"", "ft8"}, {{"VE1ZZ", "40m"}, {"W2XYZ", "20m"}}},
        {"40m SSB", {"40m", "SSB"}, {{"G4AAA", "40m"}}},
        {"a band not in the log", {"6m", ""}, {}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        std::vector<std::size_t> shown;
        const std::vector<MapPoint> points = places.points(c.filter, shown);
        ASSERT_EQ(points.size(), c.dots.size());
        ASSERT_EQ(shown.size(), c.dots.size());
        for (std::size_t i = 0; i < points.size(); ++i) {
            EXPECT_EQ(points[i].label, c.dots[i].first);
            EXPECT_EQ(points[i].colour, bandColour(c.dots[i].second));
            const ui::PlacedQso* latest = places.latest(shown[i], c.filter);
            ASSERT_NE(latest, nullptr);
            EXPECT_EQ(QString::fromStdString(latest->call), c.dots[i].first);
        }
    }
    // The grid's place wins over nothing else: JO01's dot is at its centre.
    std::vector<std::size_t> shown;
    const std::vector<MapPoint> all = places.points({}, shown);
    EXPECT_NEAR(all[0].position.latDegrees, 51.5, 1e-9);
    EXPECT_NEAR(all[0].position.lonDegrees, 1, 1e-9);
    EXPECT_NEAR(all[1].position.latDegrees, 44.5, 1e-9);
    EXPECT_NEAR(all[1].position.lonDegrees, -63.5, 1e-9);
    // The tip names both calls at JO01 and the latest QSO.
    EXPECT_EQ(places.tip(shown[0], {}), QStringLiteral("G4BBB, G4AAA\nLatest: G4BBB 20m CW 2026-12-05 10:00"));
}

// A QSO with neither grid nor coordinates is placed by its call through the
// country file; one whose call the file does not know is named.
TEST_F(LogMap, CallAlonePlacedThroughTheCountryFile)
{
    if (!QFile::exists(QStringLiteral("/usr/share/hamradio-files/cty.dat"))) {
        GTEST_SKIP() << "the packaged country file (hamradio-files) is not installed";
    }
    const QString path = logPath("calls.adi");
    const std::string first = kHeader + record("JA1ABC", "", "20m", "FT8", "20261201");
    ASSERT_TRUE(write(path, first + record("Q0", "", "20m", "FT8", "20261201")));
    const ui::LogSlice slice = ui::readLogSlice(path.toStdString(), {}, defaultCountryFile(), nullptr);
    ASSERT_TRUE(slice.read.ok) << slice.read.error;
    ASSERT_EQ(slice.qsos.size(), 1U);
    EXPECT_NEAR(slice.qsos[0].position.latDegrees, 36.4, 1.0);
    EXPECT_NEAR(slice.qsos[0].position.lonDegrees, 138.4, 1.0);
    EXPECT_EQ(slice.problems, 1U);
    ASSERT_TRUE(slice.firstProblem.has_value());
    EXPECT_EQ(slice.firstProblem->record, 2U);
    EXPECT_EQ(slice.firstProblem->offset, first.size());
}

TEST_F(LogMap, TipNamesAFewCallsThenHowManyMore)
{
    std::vector<ui::PlacedQso> qsos;
    qsos.reserve(8);
    for (int i = 0; i < 7; ++i) {
        qsos.push_back(ui::PlacedQso{positionFromDegrees(10, 20), "K" + std::to_string(i) + "AA", "15m", "SSB",
            "2026120" + std::to_string(i + 1), "1200"});
    }
    qsos.push_back(qsos.front());  // worked again: named once
    ui::WorkedPlaces places;
    places.add(qsos);
    EXPECT_EQ(places.placeCount(), 1U);
    EXPECT_EQ(
        places.tip(0, {}), QStringLiteral("K0AA, K6AA, K5AA, K4AA and 3 more\nLatest: K6AA 15m SSB 2026-12-07 12:00"));
    EXPECT_EQ(places.tip(0, {"20m", ""}), QString());
}

struct LogWindow {
    explicit LogWindow(MemoryStore& store) : window(&store)
    {
        panel = window.log();
        view = window.view();
    }
    std::size_t dots() const { return view->points(PointLayer::Worked).size(); }

    ui::MapWindow window;
    ui::LogPanel* panel = nullptr;
    ui::MapView* view = nullptr;
};

// A log the digital-mode program appends to: the new QSO shows within
// seconds; a log replaced by a shorter one is read again from its start.
TEST_F(LogMap, GrowingLogReadAgainFromWhereItWas)
{
    MemoryStore store;
    LogWindow w(store);
    const QString path = logPath("wsjtx_log.adi");
    ASSERT_TRUE(write(path, kHeader + record("DL1ABC", "JO62", "20m", "FT8", "20261210", "2030")));
    w.panel->open(path);
    ASSERT_TRUE(waitUntil([&] { return w.dots() == 1; }, 5s)) << w.panel->stateText().toStdString();
    EXPECT_TRUE(w.panel->stateText().startsWith(QStringLiteral("1 QSO, 1 place, read ")))
        << w.panel->stateText().toStdString();

    // Appended, a record split over two writes as a program may write it.
    const std::string next = record("JA1XYZ", "PM95", "20m", "FT8", "20261210", "2035");
    ASSERT_TRUE(write(path, next.substr(0, 20), QIODevice::Append));
    ASSERT_TRUE(write(path, next.substr(20), QIODevice::Append));
    ASSERT_TRUE(waitUntil([&] { return w.dots() == 2; }, 8s)) << w.panel->stateText().toStdString();
    EXPECT_EQ(w.view->points(PointLayer::Worked).front().label, QStringLiteral("JA1XYZ"));
    EXPECT_EQ(w.panel->places().qsoCount(), 2U);

    // Replaced by a new, shorter log.
    ASSERT_TRUE(write(path, kHeader + record("VK2AB", "QF56", "15m", "SSB", "20261211")));
    ASSERT_TRUE(waitUntil(
        [&] { return w.dots() == 1 && w.view->points(PointLayer::Worked).front().label == QStringLiteral("VK2AB"); },
        8s))
        << w.panel->stateText().toStdString();
    EXPECT_EQ(w.panel->places().qsoCount(), 1U);

    // Replaced by another, longer log moved into its place (a log rotated):
    // read from its start, not from where the old one ended.
    const QString other = logPath("other.adi");
    ASSERT_TRUE(write(other,
        kHeader + record("ZL1AA", "RF64", "40m", "CW", "20261212") + record("ZL2BB", "RE78", "40m", "CW", "20261212") +
            record("ZL3CC", "RE66", "40m", "CW", "20261212")));
    ASSERT_TRUE(QFile::remove(path));
    ASSERT_TRUE(QFile::rename(other, path));
    ASSERT_TRUE(waitUntil([&] { return w.dots() == 3; }, 8s)) << w.panel->stateText().toStdString();
    EXPECT_EQ(w.panel->places().qsoCount(), 3U);
    EXPECT_EQ(w.panel->places().bands(), std::vector<std::string>{"40m"});

    // Forgotten: no dots, no reading.
    w.panel->forget();
    EXPECT_EQ(w.dots(), 0U);
    EXPECT_EQ(w.panel->stateText(), QStringLiteral("No log chosen."));
}

TEST_F(LogMap, BadRecordNamedInTheStateLine)
{
    MemoryStore store;
    LogWindow w(store);
    const QString path = logPath("bad.adi");
    const std::string first = kHeader + record("G4AAA", "JO01", "40m", "SSB", "20261201");
    // A grid that is no locator, then a length past the record's end.
    const std::string bad = field("CALL", "G4BBB") + field("GRIDSQUARE", "ZZ99") + "<EOR>\n";
    const std::string worse = "<CALL:40>G4CCC<EOR>\n";
    ASSERT_TRUE(write(path, first + bad + worse + record("G4DDD", "IO91", "40m", "SSB", "20261202")));
    w.panel->open(path);
    ASSERT_TRUE(waitUntil([&] { return w.panel->stateText().contains(QLatin1String("QSOs")); }, 5s));
    const QString state = w.panel->stateText();
    EXPECT_TRUE(state.startsWith(QStringLiteral("2 QSOs, 2 places, read "))) << state.toStdString();
    const QString where = QStringLiteral("Not used: record 2 at byte %1: ").arg(first.size());
    EXPECT_TRUE(state.contains(where)) << state.toStdString();
    EXPECT_TRUE(state.contains(QLatin1String("GRIDSQUARE"))) << state.toStdString();
    EXPECT_TRUE(state.endsWith(QStringLiteral(", and 1 more record"))) << state.toStdString();

    // An unreadable file says so, and the map keeps nothing of it.
    w.panel->open(logPath("missing.adi"));
    ASSERT_TRUE(waitUntil([&] { return w.panel->stateText().contains(QLatin1String("cannot open")); }, 5s))
        << w.panel->stateText().toStdString();
    EXPECT_EQ(w.dots(), 0U);
}

TEST_F(LogMap, FileAndFiltersKeptInTheLogSection)
{
    MemoryStore store;
    const QString path = logPath("log.adi");
    ASSERT_TRUE(write(path,
        kHeader + record("G4AAA", "JO01", "40m", "SSB", "20261201") +
            record("W2XYZ", "FN20", "20m", "FT8", "20261203")));
    {
        LogWindow w(store);
        w.panel->open(path);
        ASSERT_TRUE(waitUntil([&] { return w.dots() == 2; }, 5s));
        QComboBox* band = w.panel->bandFilter();
        ASSERT_EQ(band->count(), 3);  // All, 40m, 20m
        band->setCurrentIndex(band->findText(QStringLiteral("20m")));
        EXPECT_EQ(w.dots(), 1U);
    }
    EXPECT_EQ(store.values.at({QStringLiteral("Log"), QStringLiteral("File")}), path);
    EXPECT_EQ(store.values.at({QStringLiteral("Log"), QStringLiteral("Band")}), QStringLiteral("20m"));
    EXPECT_EQ(store.values.at({QStringLiteral("Log"), QStringLiteral("Mode")}), QString());
    {
        // Read back on the next run: the log and the band shown.
        LogWindow w(store);
        EXPECT_EQ(w.panel->file(), path);
        EXPECT_EQ(w.panel->bandFilter()->currentText(), QStringLiteral("20m"));
        ASSERT_TRUE(waitUntil([&] { return w.dots() == 1; }, 5s));
        EXPECT_EQ(w.view->points(PointLayer::Worked).front().label, QStringLiteral("W2XYZ"));
    }
    // A band line not understood: said, all bands shown, the line kept.
    store.values[{QStringLiteral("Log"), QStringLiteral("Band")}] = QStringLiteral("twenty");
    {
        LogWindow w(store);
        ASSERT_TRUE(waitUntil([&] { return w.dots() == 2; }, 5s));
        EXPECT_EQ(w.panel->bandFilter()->currentText(), QStringLiteral("All"));
        const auto* problem = w.window.findChild<QLabel*>(QStringLiteral("logProblem"));
        ASSERT_NE(problem, nullptr);
        EXPECT_TRUE(problem->text().contains(QLatin1String("twenty"))) << problem->text().toStdString();
        w.panel->modeFilter()->setCurrentIndex(w.panel->modeFilter()->findText(QStringLiteral("FT8")));
    }
    EXPECT_EQ(store.values.at({QStringLiteral("Log"), QStringLiteral("Band")}), QStringLiteral("twenty"));
    EXPECT_EQ(store.values.at({QStringLiteral("Log"), QStringLiteral("Mode")}), QStringLiteral("FT8"));
}

// A click on a dot makes the place the other station under the call
// worked there; a click beside the dots makes the place clicked the other
// station, as a click on the map always does.
TEST_F(LogMap, ClickOnADotMakesItTheOtherStation)
{
    MemoryStore store;
    LogWindow w(store);
    w.window.resize(1000, 700);
    w.window.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&w.window));
    w.window.setOwn(positionFromDegrees(51.5, -0.1167));
    const QString path = logPath("log.adi");
    ASSERT_TRUE(write(path, kHeader + record("W2&XYZ", "FN20", "20m", "FT8", "20261203")));
    w.panel->open(path);
    ASSERT_TRUE(waitUntil([&] { return w.dots() == 1; }, 5s)) << w.panel->stateText().toStdString();
    const Position place = w.view->points(PointLayer::Worked).front().position;
    const QPointF at = w.view->widgetPointOf(place);
    const auto hit = w.view->pointAt(at + QPointF(1, 1));
    ASSERT_TRUE(hit.has_value());
    EXPECT_EQ(hit->layer, PointLayer::Worked);
    EXPECT_EQ(
        w.view->pointTip(hit->layer, hit->index), QStringLiteral("W2&XYZ\nLatest: W2&XYZ 20m FT8 2026-12-03 12:00"));
    QTest::mouseClick(w.view, Qt::LeftButton, {}, at.toPoint());
    ASSERT_TRUE(w.window.model().other().has_value());
    EXPECT_EQ(w.window.model().other()->label, "W2&XYZ");
    EXPECT_EQ(w.window.model().other()->position.latUnits, place.latUnits);
    EXPECT_EQ(w.window.model().other()->source, aim::Source::Clicked);

    // The tip as the pointer rests there, shown as plain text.
    QHelpEvent rest(QEvent::ToolTip, at.toPoint(), w.view->mapToGlobal(at.toPoint()));
    QApplication::sendEvent(w.view, &rest);
    EXPECT_TRUE(QToolTip::text().contains(QLatin1String("W2&amp;XYZ<br>Latest:"))) << QToolTip::text().toStdString();
    QToolTip::hideText();

    // A spot on the same place is found before the worked station.
    w.view->setPoints(PointLayer::Spots, {MapPoint{place, 0xffffffff, 1, QStringLiteral("SPOT")}});
    const auto spot = w.view->pointAt(at);
    ASSERT_TRUE(spot.has_value());
    EXPECT_EQ(spot->layer, PointLayer::Spots);
    EXPECT_EQ(spot->index, 0U);
    w.view->setPoints(PointLayer::Spots, {});

    const QPointF beside = at + QPointF(40, 40);
    EXPECT_FALSE(w.view->pointAt(beside).has_value());
    QTest::mouseClick(w.view, Qt::LeftButton, {}, beside.toPoint());
    ASSERT_TRUE(w.window.model().other().has_value());
    EXPECT_NE(w.window.model().other()->label, "W2&XYZ");
}

}  // namespace
}  // namespace skybrant
