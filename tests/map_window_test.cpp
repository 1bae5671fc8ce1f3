// The map window: opened alone and from the calculator's window, following
// its presses, taking the other station from its field and from clicks,
// and keeping its options apart from the own station.

#include "form1_fixture.h"

#include "core/country_files.h"
#include "core/locator.h"
#include "core/station_reader.h"
#include "core/sun.h"
#include "core/sun_texts.h"
#include "settings/settings_store.h"
#include "ui/map_view.h"
#include "ui/map_window.h"

#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QLabel>
#include <QMouseEvent>
#include <QTemporaryDir>

#include <algorithm>
#include <chrono>
#include <filesystem>
#include <fstream>
#include <map>
#include <string>
#include <utility>
#include <vector>

namespace skybrant::ui {
namespace {

// The settings in memory, every save recorded.
class MemoryStore final : public settings::SettingsStore {
public:
    using Key = std::pair<QString, QString>;  // section, key

    QString get(const QString& /*application*/, const QString& section, const QString& key,
        const QString& defaultValue) override
    {
        const auto it = values.find({section, key});
        return it == values.end() ? defaultValue : it->second;
    }
    void save(const QString& /*application*/, const QString& section, const QString& key, const QString& value) override
    {
        values[{section, key}] = value;
        saved.emplace_back(section, key);
    }
    bool commit(QString& /*error*/) override { return true; }
    std::optional<QString> readProblem(const QString& /*application*/) override { return std::nullopt; }
    void keepUntilChanged(const QString& /*application*/, const QString& /*section*/, const QString& /*key*/,
        const QString& /*substitute*/) override
    {
    }

    std::map<Key, QString> values;
    std::vector<Key> saved;
};

void saveLondon(MemoryStore& store)
{
    const std::pair<const char*, const char*> own[] = {
        {"Degree", "51"}, {"Minute", "30"}, {"Second", "0"}, {"N/S", "N"}};
    const std::pair<const char*, const char*> lon[] = {{"Degree", "0"}, {"Minute", "7"}, {"Second", "0"}, {"E/W", "W"}};
    for (const auto& [key, value] : own) {
        store.values[{QStringLiteral("Latitude"), QLatin1String(key)}] = QLatin1String(value);
    }
    for (const auto& [key, value] : lon) {
        store.values[{QStringLiteral("Longitude"), QLatin1String(key)}] = QLatin1String(value);
    }
}

QString figure(const QWidget* window, const char* name)
{
    const auto* label = window->findChild<QLabel*>(QLatin1String(name));
    EXPECT_NE(label, nullptr) << name;
    return label != nullptr ? label->text() : QString();
}

QString locator(const Position& p)
{
    return QString::fromStdString(locatorOf(p, 6));
}

class MapWindowTest : public Form1Test { };

using namespace std::chrono;
using Clock = system_clock;

// A clock for the window that stands where the test puts it.
struct FakeClock {
    Clock::time_point at;
    MapWindow::Clock reader()
    {
        return [this] { return at; };
    }
};

// XDG_DATA_HOME pointed at a folder while it lives, as it was afterwards.
class DataHome {
public:
    explicit DataHome(const QString& path)
        : had_(qEnvironmentVariableIsSet("XDG_DATA_HOME")), old_(qgetenv("XDG_DATA_HOME"))
    {
        qputenv("XDG_DATA_HOME", path.toUtf8());
    }
    DataHome(const DataHome&) = delete;
    DataHome& operator=(const DataHome&) = delete;
    DataHome(DataHome&&) = delete;
    DataHome& operator=(DataHome&&) = delete;
    ~DataHome() { had_ ? qputenv("XDG_DATA_HOME", old_) : qunsetenv("XDG_DATA_HOME"); }

private:
    bool had_;
    QByteArray old_;
};

Clock::time_point utc(year_month_day date, hours h, minutes m, milliseconds ms = {})
{
    return sys_days{date} + h + m + ms;
}

TEST_F(MapWindowTest, OpensAloneAndFromTheWindow)
{
    struct Case {
        const char* name;
        std::function<MapWindow*(Form1Test&, Form1&, MemoryStore&, std::unique_ptr<MapWindow>&)> open;
    };
    const Case cases[] = {
        {"alone, own station as saved",
            [](Form1Test&, Form1&, MemoryStore& store, std::unique_ptr<MapWindow>& alone) {
                saveLondon(store);
                alone = std::make_unique<MapWindow>(&store);
                alone->setOwn(savedOwnStation(&store));
                alone->show();
                return alone.get();
            }},
        {"F2 in the window",
            [](Form1Test&, Form1& form, MemoryStore&, std::unique_ptr<MapWindow>&) {
                QTest::keyClick(&form, Qt::Key_F2);
                return form.mapWindow();
            }},
        {"Map in the window's context menu",
            [](Form1Test&, Form1& form, MemoryStore&, std::unique_ptr<MapWindow>&) {
                EXPECT_EQ(form.contextMenuPolicy(), Qt::ActionsContextMenu);
                auto* action = form.findChild<QAction*>(QStringLiteral("mapAction"));
                EXPECT_NE(action, nullptr);
                if (action == nullptr) {
                    return static_cast<MapWindow*>(nullptr);
                }
                EXPECT_EQ(action->text(), QStringLiteral("Map"));
                EXPECT_EQ(action->shortcut(), QKeySequence(Qt::Key_F2));
                EXPECT_TRUE(form.actions().contains(action));
                action->trigger();
                return form.mapWindow();
            }},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        SetUp();
        enter("1", "51 30 0 N 0 7 0 W");
        MemoryStore store;
        std::unique_ptr<MapWindow> alone;
        MapWindow* map = c.open(*this, *form, store, alone);
        ASSERT_NE(map, nullptr);
        EXPECT_TRUE(map->isVisible());
        EXPECT_TRUE(figure(map, "ownStation").startsWith(QStringLiteral("51.5000\u00b0 N, 0.1167\u00b0 W  IO91wm")))
            << figure(map, "ownStation").toStdString();
        EXPECT_FALSE(map->view()->picture().isNull());
        // The text boxes keep the platform's own menu.
        EXPECT_EQ(edit("txtLAD1")->contextMenuPolicy(), Qt::DefaultContextMenu);
    }
}

TEST_F(MapWindowTest, FollowsEachPressOfTheComputeButton)
{
    struct Case {
        const char* name;
        const char* other;
        Position expected;
    };
    const Case cases[] = {
        {"New York", "40 42 0 N 74 0 0 W", positionFromDegrees(40.7, -74)},
        {"Sydney", "33 52 0 S 151 12 0 E", positionFromDegrees(-(33 + 52 / 60.0), 151.2)},
    };
    enter("1", "51 30 0 N 0 7 0 W");
    QTest::keyClick(form.get(), Qt::Key_F2);
    MapWindow* map = form->mapWindow();
    ASSERT_NE(map, nullptr);
    EXPECT_EQ(figure(map, "heading"), QStringLiteral("\u2014"));
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        enter("2", c.other);
        press();
        EXPECT_TRUE(figure(map, "otherStation").endsWith(locator(c.expected)));
        EXPECT_TRUE(figure(map, "heading").startsWith(edit("txtBA")->text() + QStringLiteral("\u00b0 true, ")))
            << figure(map, "heading").toStdString();
        EXPECT_EQ(figure(map, "backHeading"), edit("txtAB")->text() + QStringLiteral("\u00b0"));
        EXPECT_EQ(figure(map, "shortPath"), edit("txtAB3")->text() + QStringLiteral(" km"));
    }
}

TEST_F(MapWindowTest, FieldTakesEveryStationFormWithTheToolsMessages)
{
    const bool countryFile = std::filesystem::exists(defaultCountryFile());
    // The one reader, as skybrant-cli reads its arguments.
    const auto readerMessage = [](std::vector<std::string_view> tokens) {
        skybrant::Station station;
        std::string error;
        StationReader().readOne(tokens, Side::Other, station, error);
        return QString::fromStdString(error);
    };
    const auto readerLocator = [](const char* text) {
        skybrant::Station station;
        std::string error;
        StationReader().readOne(stationTokens(text), Side::Other, station, error);
        return locator(onTheGlobe(station.position));
    };
    struct Case {
        const char* name;
        const char* typed;
        QString otherEndsWith;  // empty: refused
        QString problem;
    };
    const Case cases[] = {
        {"locator", "FN20xr", QStringLiteral("FN20xr"), {}},
        {"LAT LON", "40.7 -74", locator(positionFromDegrees(40.7, -74)), {}},
        {"eight fields", "40 42 0 N 74 0 0 W", locator(positionFromDegrees(40.7, -74)), {}},
        {"no seconds", "40 42 N 74 0 W", locator(positionFromDegrees(40.7, -74)), {}},
        {"letters and signs", "40°42'N 74°00'W", locator(positionFromDegrees(40.7, -74)), {}},
        {"ADIF location", "N040 42.000 W074 00.000", locator(positionFromDegrees(40.7, -74)), {}},
        {"south and east", "S33.87 E151.21", readerLocator("-33.87 151.21"), {}},
        {"past the pole", "89 60 60 N 0 0 0 E", readerLocator("89 60 60 N 0 0 0 E"), {}},
        {"bad locator letter", "JOAA", {}, readerMessage({"JOAA"})},
        {"minutes of 60", "40 60 N 74 0 W", {}, readerMessage({"40", "60", "N", "74", "0", "W"})},
        {"latitude out of range", "91 0", {}, readerMessage({"91", "0"})},
        {"three fields", "1 2 3", {}, readerMessage({"1", "2", "3"})},
    };
    MemoryStore store;
    MapWindow map(&store);
    map.show();
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        map.setOther(std::nullopt);
        auto* field = map.findChild<QLineEdit*>(QStringLiteral("otherField"));
        ASSERT_NE(field, nullptr);
        field->setText(QString::fromUtf8(c.typed));
        field->setFocus();
        QTest::keyClick(field, Qt::Key_Return);
        // A word that is no locator may be a prefix: the country file is asked first.
        QTRY_VERIFY(!figure(&map, "problem").startsWith(u"Looking up"));
        if (c.otherEndsWith.isEmpty()) {
            EXPECT_FALSE(c.problem.isEmpty());
            EXPECT_EQ(figure(&map, "problem"), c.problem);
            EXPECT_EQ(figure(&map, "otherStation"), QStringLiteral("\u2014"));
        } else {
            EXPECT_EQ(figure(&map, "problem"), QString());
            EXPECT_TRUE(figure(&map, "otherStation").endsWith(c.otherEndsWith))
                << figure(&map, "otherStation").toStdString();
        }
    }
    if (!countryFile) {
        GTEST_SKIP() << "no country file at " << defaultCountryFile() << " (Debian package hamradio-files)";
    }
    SCOPED_TRACE("callsign");
    EXPECT_TRUE(map.takeOtherText(QStringLiteral("w1aw")));
    // The country file is read off the window's thread the first time.
    QTRY_VERIFY(!figure(&map, "problem").startsWith(u"Looking up"));
    EXPECT_TRUE(figure(&map, "otherStation").startsWith(QStringLiteral("W1AW, United States")))
        << figure(&map, "otherStation").toStdString();
    // At its country's reference point: the country's clock, named as such,
    // not the station's own.
    EXPECT_TRUE(figure(&map, "otherStation").contains(QStringLiteral("about: the country's reference point")));
    EXPECT_TRUE(figure(&map, "otherSun").contains(QStringLiteral(" at UTC-5)")))
        << figure(&map, "otherSun").toStdString();
    EXPECT_FALSE(figure(&map, "otherSun").contains(QStringLiteral("local")));
    EXPECT_FALSE(map.takeOtherText(QStringLiteral("G4ABC/MM")));
    EXPECT_TRUE(figure(&map, "problem").contains(QStringLiteral("maritime mobile")));
}

TEST_F(MapWindowTest, ClickSetsTheOtherStationWhereThePointerIs)
{
    struct Case {
        const char* name;
        Position target;
    };
    const Case cases[] = {
        {"New York", positionFromDegrees(40.7, -74)},
        {"Cape Town", positionFromDegrees(-33.9, 18.4)},
        {"Tokyo", positionFromDegrees(35.7, 139.7)},
    };
    MapWindow map(nullptr);
    map.setOwn(positionFromDegrees(51.5, -0.1167));
    map.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&map));
    MapView* view = map.view();
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const QPoint at = view->widgetPointOf(c.target).toPoint();
        QMouseEvent move(
            QEvent::MouseMove, QPointF(at), view->mapToGlobal(QPointF(at)), Qt::NoButton, Qt::NoButton, Qt::NoModifier);
        QApplication::sendEvent(view, &move);
        const QString pointer = figure(&map, "pointer");
        QTest::mouseClick(view, Qt::LeftButton, {}, at);
        const auto clicked = view->positionAt(at);
        ASSERT_TRUE(clicked.has_value());
        // Within a pixel of the aimed-at place: a pixel spans under a
        // degree of arc at this size.
        const GreatCircleResult apart = solvePositions(c.target, *clicked);
        EXPECT_LT(apart.centralAngle, 1.0);
        EXPECT_TRUE(figure(&map, "otherStation").endsWith(locator(*clicked)));
        EXPECT_TRUE(pointer.endsWith(locator(*clicked))) << pointer.toStdString();
    }
}

TEST_F(MapWindowTest, OptionsKeptInTheirOwnSection)
{
    MemoryStore store;
    saveLondon(store);
    const auto ownBefore = store.values;
    {
        MapWindow map(&store);
        map.show();
        map.findChild<QComboBox*>(QStringLiteral("unit"))->setCurrentIndex(1);
        map.findChild<QCheckBox*>(QStringLiteral("rings"))->setChecked(false);
        map.findChild<QCheckBox*>(QStringLiteral("images"))->setChecked(false);
        map.setOther(positionFromDegrees(40.7, -74));
        EXPECT_TRUE(figure(&map, "shortPath").endsWith(QStringLiteral(" mi")));
    }
    ASSERT_FALSE(store.saved.empty());
    for (const auto& [section, key] : store.saved) {
        SCOPED_TRACE(key.toStdString());
        EXPECT_EQ(section, QStringLiteral("Map"));
    }
    for (const auto& [key, value] : ownBefore) {
        SCOPED_TRACE(key.second.toStdString());
        EXPECT_EQ(store.values.at(key), value);
    }
    struct Case {
        const char* key;
        const char* value;
    };
    const Case cases[] = {{"Unit", "mi"}, {"Rings", "false"}, {"Images", "false"}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.key);
        const MemoryStore::Key key(QStringLiteral("Map"), QLatin1String(c.key));
        EXPECT_EQ(store.values[key], QLatin1String(c.value));
    }
    MapWindow again(&store);
    EXPECT_EQ(again.findChild<QComboBox*>(QStringLiteral("unit"))->currentText(), QStringLiteral("mi"));
    EXPECT_FALSE(again.findChild<QCheckBox*>(QStringLiteral("rings"))->isChecked());
    EXPECT_FALSE(again.findChild<QCheckBox*>(QStringLiteral("images"))->isChecked());
}

TEST_F(MapWindowTest, KeyboardReachesEveryControlAndF11FillsTheScreen)
{
    MapWindow map(nullptr);
    map.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&map));
    std::vector<QString> reached;
    QWidget* w = &map;
    for (int i = 0; i < 100; ++i) {
        w = w->nextInFocusChain();
        if (w == &map) {
            break;
        }
        if ((w->focusPolicy() & Qt::TabFocus) != 0 && w->isVisible()) {
            reached.push_back(w->objectName());
        }
    }
    for (const char* name : {"otherField", "show", "unit", "rings", "images", "printMap", "saveChart", "heading",
             "shortPath", "longPath", "ownSun", "otherSun"}) {
        SCOPED_TRACE(name);
        EXPECT_NE(std::find(reached.begin(), reached.end(), QLatin1String(name)), reached.end());
        const auto* widget = map.findChild<QWidget*>(QLatin1String(name));
        ASSERT_NE(widget, nullptr);
        if (qobject_cast<const QLabel*>(widget) != nullptr) {
            EXPECT_FALSE(widget->accessibleName().isEmpty());
        }
    }
    QTest::keyClick(&map, Qt::Key_F11);
    EXPECT_TRUE(map.isFullScreen());
    QTest::keyClick(&map, Qt::Key_F11);
    EXPECT_FALSE(map.isFullScreen());
}

TEST_F(MapWindowTest, GreylineRedrawnAsEachMinuteBegins)
{
    constexpr year_month_day kDay = year{2026} / June / 21;
    struct Case {
        const char* name;
        Clock::time_point now;
        sys_seconds drawn;  // the minute the night side shows
        milliseconds nextIn;  // the next redraw
    };
    const Case cases[] = {
        {"within a minute", utc(kDay, 12h, 34min, 56250ms), sys_days{kDay} + 12h + 34min, 3750ms},
        {"on the minute", utc(kDay, 12h, 35min), sys_days{kDay} + 12h + 35min, 60000ms},
        {"a moment before the minute", utc(kDay, 12h, 35min, 59998ms), sys_days{kDay} + 12h + 35min, 2ms},
        {"under a millisecond past it", utc(kDay, 23h, 59min) + 500us, sys_days{kDay} + 23h + 59min, 60000ms},
        {"the last minute of the year", utc(year{2026} / December / 31, 23h, 59min, 30000ms),
            sys_days{year{2026} / December / 31} + 23h + 59min, 30000ms},
    };
    FakeClock clock;
    MapWindow map(nullptr);
    map.setClock(clock.reader());
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        clock.at = c.now;
        map.setClock(clock.reader());
        EXPECT_EQ(map.view()->nightTime(), c.drawn);
        EXPECT_TRUE(map.minuteTimer().isActive());
        EXPECT_TRUE(map.minuteTimer().isSingleShot());
        EXPECT_EQ(map.minuteTimer().intervalAsDuration(), c.nextIn);
    }

    // The timer itself: due in 40 ms, it draws the new minute and is set
    // for the whole minute after.
    clock.at = utc(kDay, 8h, 14min, 59960ms);
    map.setClock(clock.reader());
    EXPECT_EQ(map.view()->nightTime(), sys_days{kDay} + 8h + 14min);
    clock.at = utc(kDay, 8h, 15min, 5ms);
    QTRY_COMPARE_WITH_TIMEOUT(map.view()->nightTime(), std::optional<sys_seconds>(sys_days{kDay} + 8h + 15min), 5000);
    EXPECT_EQ(map.minuteTimer().intervalAsDuration(), 59995ms);
}

TEST_F(MapWindowTest, SunFiguresAtBothEndsForTheClock)
{
    // A country file of its own: India half an hour off the hour, the
    // United States behind UTC.
    QTemporaryDir data;
    ASSERT_TRUE(data.isValid());
    ASSERT_TRUE(QDir(data.path()).mkpath(QStringLiteral("Skybrant")));
    {
        std::ofstream cty(data.filePath(QStringLiteral("Skybrant/cty.dat")).toStdString());
        cty << "India:                    22:  41:  AS:   22.50:   -77.58:    -5.5:  VU:\n    VU;\n"
               "United States:            05:  08:  NA:   37.60:    91.87:     5.0:  K:\n    K,W;\n";
    }
    const DataHome home(data.path());

    const Position london = positionFromDegrees(51.5, -0.1167);
    struct Case {
        const char* name;
        year_month_day date;
        const char* other;  // as typed into the field
        const char* ownSun;
        const char* otherSun;
    };
    // To the nearest minute, as PyEphem (upper limb at the horizon, the
    // sun's centre 0.833 degrees below it) and NOAA's equations both give
    // them; local times from the country file's offset.
    const Case cases[] = {
        {"equinox, New York by position", year{2026} / March / 20, "40.7 -74", "rises 06:03 UTC, sets 18:13 UTC",
            "rises 10:59 UTC, sets 23:08 UTC"},
        {"mid-June, India by callsign", year{2026} / June / 15, "VU2ABC", "rises 03:43 UTC, sets 20:19 UTC",
            "rises 00:05 UTC (05:35 at UTC+5:30), sets 13:35 UTC (19:05 at UTC+5:30)"},
        {"midwinter, the United States by callsign", year{2026} / December / 21, "W1AW",
            "rises 08:04 UTC, sets 15:53 UTC", "rises 13:19 UTC (08:19 at UTC-5), sets 22:53 UTC (17:53 at UTC-5)"},
        {"mid-June, Svalbard", year{2026} / June / 15, "78.2 15.6", "rises 03:43 UTC, sets 20:19 UTC", "polar day"},
        {"midwinter, Svalbard", year{2026} / December / 21, "78.2 15.6", "rises 08:04 UTC, sets 15:53 UTC",
            "polar night"},
        // Typed past the pole: the point on the far side, as skybrant-cli takes it.
        {"midsummer, past the north pole", year{2026} / June / 21, "89 60 60 N 0 0 0 E",
            "rises 03:43 UTC, sets 20:22 UTC", "polar day"},
    };
    // What skybrant-cli --sun says for the same station and day.
    const auto cliText = [](const Position& p, year_month_day date) {
        const SunTexts t = sunTexts(p, date);
        return t.sunrise == t.sunset ? QString::fromStdString(t.sunrise)
                                     : QStringLiteral("rises %1 UTC, sets %2 UTC")
                                           .arg(QString::fromStdString(t.sunrise), QString::fromStdString(t.sunset));
    };
    FakeClock clock;
    MapWindow map(nullptr);
    map.setOwn(london);
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        clock.at = sys_days{c.date} + 10h + 30min;
        map.setClock(clock.reader());
        ASSERT_TRUE(map.takeOtherText(QLatin1String(c.other))) << figure(&map, "problem").toStdString();
        QTRY_VERIFY(!figure(&map, "problem").startsWith(u"Looking up"));
        EXPECT_EQ(figure(&map, "ownSun"), QLatin1String(c.ownSun));
        EXPECT_EQ(figure(&map, "otherSun"), QLatin1String(c.otherSun));
        EXPECT_EQ(figure(&map, "ownSun"), cliText(london, c.date));
    }

    // Past midnight UTC the figures move on to the new day (at the equinox
    // the day grows by minutes).
    clock.at = sys_days{year{2026} / March / 20} + 23h + 59min + 59s;
    map.setClock(clock.reader());
    EXPECT_EQ(figure(&map, "ownSun"), QStringLiteral("rises 06:03 UTC, sets 18:13 UTC"));
    clock.at += 1s;
    map.setClock(clock.reader());
    EXPECT_EQ(figure(&map, "ownSun"), QStringLiteral("rises 06:01 UTC, sets 18:15 UTC"));
}

}  // namespace
}  // namespace skybrant::ui
