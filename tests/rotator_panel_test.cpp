// The map window's rotator panel: the needle, the aim, and the panel itself
// against the real rotctld (dummy rotator) and misbehaving daemons.

#include "map/azimuthal_map.h"
#include "rotator_fakes.h"
#include "rotator_panel_window.h"
#include "settings/rotator_settings.h"
#include "settings/settings_store.h"
#include "ui/form1.h"
#include "ui/form1_controls.h"
#include "ui/map_view.h"
#include "ui/map_window.h"
#include "ui/rotator_panel.h"

#include <QAction>
#include <QDialog>
#include <QDialogButtonBox>
#include <QDoubleSpinBox>
#include <QElapsedTimer>
#include <QLabel>
#include <QLineEdit>
#include <QPainter>
#include <QPushButton>
#include <QTest>
#include <QTimer>

#include <gtest/gtest.h>

#include <cmath>
#include <map>
#include <memory>
#include <numbers>

namespace {

using namespace std::chrono_literals;
using skybrant::AzimuthalMap;
using skybrant::EarthImages;
using skybrant::MapColours;
using skybrant::Position;

// Antialiased edges blend a little; the needle's colour is far from the
// map's own.
bool isAntenna(QRgb pixel)
{
    const QRgb a = MapColours::antenna;
    return std::abs(qRed(pixel) - qRed(a)) < 40 && std::abs(qGreen(pixel) - qGreen(a)) < 40 &&
        std::abs(qBlue(pixel) - qBlue(a)) < 40;
}

TEST(AntennaNeedle, PointsAlongTheBearingFromTheCentre)
{
    struct Case {
        const char* name;
        double bearing;
    };
    for (const Case& c : {Case{"north", 0}, Case{"east", 90}, Case{"south-south-west", 200}, Case{"negative", -30}}) {
        SCOPED_TRACE(c.name);
        AzimuthalMap map(Position{51.5, -0.12}, 512, std::make_shared<const EarthImages>());
        QImage picture = map.picture(std::nullopt);
        QPainter painter(&picture);
        map.drawNeedle(painter, c.bearing);
        painter.end();
        const double radians = c.bearing * std::numbers::pi / 180;
        const auto at = [&](double along, double bearing) {
            const QPointF p =
                map.centrePixel() + QPointF(std::sin(bearing), -std::cos(bearing)) * (map.radiusPixels() * along);
            return picture.pixel(static_cast<int>(std::floor(p.x())), static_cast<int>(std::floor(p.y())));
        };
        for (const double along : {0.3, 0.6}) {
            EXPECT_TRUE(isAntenna(at(along, radians))) << along;
            // Nothing of it the other way, or a quarter turn off.
            EXPECT_FALSE(isAntenna(at(along, radians + std::numbers::pi))) << along;
            EXPECT_FALSE(isAntenna(at(along, radians + std::numbers::pi / 2))) << along;
        }
    }
}

using skybrant::rotctl::AzimuthRange;
using skybrant::rotctl::RotatorLink;
using skybrant::settings::RotatorOptions;
using skybrant::settings::RotatorPreset;
using skybrant::testing::FakeRotator;
using skybrant::testing::LoopbackSocket;
using skybrant::testing::MemoryStore;
using skybrant::testing::PanelWindow;
using skybrant::testing::RestartableRotctld;
using skybrant::testing::waitUntil;
using skybrant::ui::MapWindow;
using skybrant::ui::RotatorPanel;
using State = RotatorLink::State;

TEST(RotatorOptionsStore, KeepsItsOwnSectionAndReadsBadValuesAsUnset)
{
    MemoryStore store;
    store.values[{QStringLiteral("Map"), QStringLiteral("Unit")}] = QStringLiteral("mi");
    RotatorOptions options;
    options.address = QStringLiteral("[::1]:4533");
    options.offset = -12.5;
    options.minAzimuth = -180;
    options.maxAzimuth = 180;
    options.presets.at(0) = {QStringLiteral("Home = north; #1"), QStringLiteral("0")};
    options.presets.at(7) = {QString(), QStringLiteral("FN20xr")};
    QString error;
    ASSERT_TRUE(saveRotatorOptions(store, options, error));
    EXPECT_EQ(skybrant::settings::loadRotatorOptions(store), options);
    EXPECT_EQ(store.values.at({QStringLiteral("Map"), QStringLiteral("Unit")}), QStringLiteral("mi"));

    store.values[{QStringLiteral("Rotator"), QStringLiteral("Offset")}] = QStringLiteral("lots");
    store.values[{QStringLiteral("Rotator"), QStringLiteral("MinAzimuth")}] = QStringLiteral("200");
    const RotatorOptions read = skybrant::settings::loadRotatorOptions(store);
    EXPECT_EQ(read.offset, 0);
    EXPECT_FALSE(read.minAzimuth) << "a lower limit above the upper one is no range";
    EXPECT_FALSE(read.maxAzimuth);

    store.failCommit = true;
    EXPECT_FALSE(saveRotatorOptions(store, options, error));
    EXPECT_EQ(error, QStringLiteral("cannot write /nowhere/Skybrant.ini"));
}

// The dummy turns about 6 degrees a second.
constexpr auto kTurnLimit = 30s;

TEST(RotatorPanelDaemon, ShortPathArrivesWithTheNeedleFollowingAndLongPathStops)
{
    SKIP_WITHOUT_ROTCTLD();
    RestartableRotctld daemon({"-C", "min_az=-180,max_az=180"});
    MemoryStore store;
    PanelWindow w(store);
    EXPECT_EQ(w.text("rotatorState"), QStringLiteral("Disconnected"));
    // From 0 N 0 E the other station at 5 N 1 E is at 11 degrees; the long
    // path at 191 is -169 in this range.
    ASSERT_TRUE(w.window.takeOtherText(QStringLiteral("5 1")));
    w.connectTo(daemon.port);
    ASSERT_TRUE(w.connectedWithPosition()) << w.text("rotatorProblem").toStdString();
    EXPECT_EQ(w.text("rotatorState"), QStringLiteral("Connected to 127.0.0.1:%1").arg(daemon.port));
    EXPECT_EQ(w.text("rotatorRangeNote"), QStringLiteral("-180..180, from the rotator"));
    EXPECT_EQ(store.values.at({QStringLiteral("Rotator"), QStringLiteral("Address")}),
        QStringLiteral("127.0.0.1:%1").arg(daemon.port));
    EXPECT_EQ(w.window.view()->needle(), std::optional(0.0));

    QTest::keyClick(&w.window, Qt::Key_S, Qt::ControlModifier);
    ASSERT_EQ(w.panel->aim().targetAzimuth(), std::optional(11.0));
    std::vector<double> needles;
    ASSERT_TRUE(waitUntil(
        [&] {
            if (const auto n = w.window.view()->needle(); n && (needles.empty() || needles.back() != *n)) {
                needles.push_back(*n);
            }
            return w.panel->aim().arrived();
        },
        kTurnLimit));
    EXPECT_EQ(w.text("rotatorProgress"), QStringLiteral("At 11\u00b0"));
    EXPECT_GE(needles.size(), 3U) << "the needle moved with the antenna";
    EXPECT_TRUE(std::is_sorted(needles.begin(), needles.end()));

    QTest::keyClick(&w.window, Qt::Key_L, Qt::ControlModifier);
    ASSERT_EQ(w.panel->aim().targetAzimuth(), std::optional(-169.0));
    ASSERT_TRUE(waitUntil([&] { return w.panel->aim().azimuth().value_or(100) < 0; }, kTurnLimit));
    EXPECT_TRUE(w.text("rotatorProgress").startsWith(QStringLiteral("Turning to 191\u00b0: ")))
        << w.text("rotatorProgress").toStdString();
    QTest::keyClick(&w.window, Qt::Key_Escape);
    ASSERT_TRUE(waitUntil([&] { return w.text("rotatorProgress").startsWith(QStringLiteral("Stopped at")); }, 5s));
    QTest::qWait(700);
    const double stopped = w.panel->aim().azimuth().value_or(0);
    QTest::qWait(700);
    EXPECT_NEAR(w.panel->aim().azimuth().value_or(0), stopped, 0.01);
    EXPECT_GT(stopped, -150) << "halted short of -169";

    QTest::mouseClick(w.find<QPushButton>("rotatorPark"), Qt::LeftButton);
    ASSERT_TRUE(waitUntil([&] { return std::abs(w.panel->aim().azimuth().value_or(99)) < 0.5; }, kTurnLimit));
    EXPECT_TRUE(w.find<QLabel>("rotatorProblem")->isHidden()) << w.text("rotatorProblem").toStdString();
}

TEST(RotatorPanelDaemon, PresetsOffsetAndTypedHeadingsTurnWithinTheRange)
{
    SKIP_WITHOUT_ROTCTLD();
    RestartableRotctld daemon({"-C", "min_az=0,max_az=450"});
    MemoryStore store;
    PanelWindow w(store);
    w.connectTo(daemon.port);
    ASSERT_TRUE(w.connectedWithPosition()) << w.text("rotatorProblem").toStdString();
    EXPECT_EQ(w.text("rotatorRangeNote"), QStringLiteral("0..450, from the rotator"));

    std::array<RotatorPreset, 8> presets{};
    presets.at(0) = {QStringLiteral("Low"), QStringLiteral("350")};
    presets.at(1) = {QStringLiteral("Near"), QStringLiteral("1 2")};  // a station at 1 N 2 E: 63 degrees
    presets.at(2) = {QStringLiteral("Nowhere"), QStringLiteral("no such place")};
    w.panel->setPresets(presets);
    EXPECT_EQ(w.find<QPushButton>("rotatorPreset1")->text(), QStringLiteral("1 Low"));
    EXPECT_EQ(store.values.at({QStringLiteral("Rotator"), QStringLiteral("Preset2Target")}), QStringLiteral("1 2"));

    // From 0, 350 can only be 350 in 0..450.
    QTest::keyClick(&w.window, Qt::Key_1, Qt::AltModifier);
    EXPECT_EQ(w.panel->aim().targetAzimuth(), std::optional(350.0));
    QTest::keyClick(&w.window, Qt::Key_Escape);
    QTest::keyClick(&w.window, Qt::Key_2, Qt::AltModifier);
    EXPECT_EQ(w.panel->aim().targetAzimuth(), std::optional(63.0));
    QTest::keyClick(&w.window, Qt::Key_3, Qt::AltModifier);
    EXPECT_TRUE(w.text("rotatorProblem").startsWith(QStringLiteral("Preset 3: ")))
        << w.text("rotatorProblem").toStdString();
    QTest::mouseClick(w.find<QPushButton>("rotatorPreset5"), Qt::LeftButton);
    EXPECT_EQ(w.text("rotatorProblem"), QStringLiteral("Preset 5 is empty: set it with Edit presets"));
    QTest::keyClick(&w.window, Qt::Key_Escape);

    // A mast offset of 10: heading 15 is azimuth 25; the reading shows 10 less.
    w.find<QDoubleSpinBox>("rotatorOffset")->setValue(10);
    EXPECT_EQ(store.values.at({QStringLiteral("Rotator"), QStringLiteral("Offset")}), QStringLiteral("10"));
    auto* typed = w.find<QLineEdit>("rotatorHeading");
    typed->setText(QStringLiteral("15"));
    QTest::keyClick(typed, Qt::Key_Return);
    EXPECT_EQ(w.panel->aim().targetAzimuth(), std::optional(25.0));
    ASSERT_TRUE(waitUntil([&] { return w.panel->aim().arrived(); }, kTurnLimit));
    EXPECT_NEAR(w.heading(), 15, 2.5);
    EXPECT_TRUE(w.text("rotatorPosition").contains(QStringLiteral("(the rotator reads 2")))
        << w.text("rotatorPosition").toStdString();

    typed->setText(QStringLiteral("north-east"));
    QTest::keyClick(typed, Qt::Key_Return);
    EXPECT_EQ(w.text("rotatorProblem"), QStringLiteral("\"north-east\" is not a heading: type degrees from 0 to 360"));

    // A narrower range typed in the panel wins over the daemon's.
    auto* range = w.find<QLineEdit>("rotatorRange");
    range->setText(QStringLiteral("0..90"));
    QTest::keyClick(range, Qt::Key_Return);
    EXPECT_EQ(w.text("rotatorRangeNote"), QStringLiteral("0..90, as typed"));
    EXPECT_EQ(store.values.at({QStringLiteral("Rotator"), QStringLiteral("MaxAzimuth")}), QStringLiteral("90"));
    typed->setText(QStringLiteral("200"));
    QTest::keyClick(typed, Qt::Key_Return);
    EXPECT_TRUE(w.text("rotatorProblem").contains(QStringLiteral("its range is 0..90")));
    range->setText(QStringLiteral("wide"));
    QTest::keyClick(range, Qt::Key_Return);
    EXPECT_TRUE(w.text("rotatorProblem").startsWith(QStringLiteral("\"wide\" is not a range")));
    EXPECT_EQ(w.text("rotatorRangeNote"), QStringLiteral("0..90, as typed"));
}

TEST(RotatorPanelDaemon, SaysWhenTheDaemonGoesAndConnectsAgainWhenItReturns)
{
    SKIP_WITHOUT_ROTCTLD();
    RestartableRotctld daemon;
    MemoryStore store;
    PanelWindow w(store);
    w.connectTo(daemon.port);
    ASSERT_TRUE(w.connectedWithPosition());
    daemon.kill();
    ASSERT_TRUE(waitUntil([&] { return w.panel->link().state() == State::Reconnecting; }, 5s));
    EXPECT_TRUE(w.text("rotatorState")
                    .startsWith(QStringLiteral("Not connected; trying 127.0.0.1:%1 again in ").arg(daemon.port)));
    EXPECT_FALSE(w.find<QLabel>("rotatorProblem")->isHidden());
    EXPECT_FALSE(w.window.view()->needle()) << "no needle for a position not known";
    ASSERT_TRUE(daemon.start());
    ASSERT_TRUE(w.connectedWithPosition());
    EXPECT_TRUE(w.find<QLabel>("rotatorProblem")->isHidden());
    QTest::mouseClick(w.find<QPushButton>("rotatorConnect"), Qt::LeftButton);
    EXPECT_EQ(w.text("rotatorState"), QStringLiteral("Disconnected"));
}

TEST(RotatorPanelConnection, ProblemsShowInThePanelWhileTheWindowWorks)
{
    const std::string limits = "Minimum Azimuth: 0.000000\nMaximum Azimuth: 360.000000\nRPRT 0\n";
    struct Case {
        const char* name;
        std::vector<std::string> replies;
        bool hangUp;
        bool turn;
        const char* said;
    };
    const Case cases[] = {
        {"silent", {}, false, false, "did not answer \"+\\dump_state\" within 2 s"},
        {"error code", {limits, "0.00\n0.00\n", "RPRT -9\n"}, false, true,
            "refused azimuth 11: RPRT -9 (Command rejected by the rig)"},
        {"garbage", {limits, "\x1b[2J\n"}, true, false, "as its azimuth, which is not a number"},
        {"hang-up", {limits, "0.00\n"}, true, false, "hung up in the middle of its reply to \"p\""},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        FakeRotator fake(c.replies, c.hangUp);
        MemoryStore store;
        PanelWindow w(store);
        w.quietTiming();  // no position request between the scripted replies
        ASSERT_TRUE(w.window.takeOtherText(QStringLiteral("5 1")));
        QTimer beat;
        int beats = 0;
        QObject::connect(&beat, &QTimer::timeout, [&] { ++beats; });
        beat.start(20);
        QElapsedTimer clock;
        clock.start();
        w.connectTo(fake.port());
        if (c.turn) {
            ASSERT_TRUE(w.connectedWithPosition());
            QTest::mouseClick(w.find<QPushButton>("rotatorShortPath"), Qt::LeftButton);
        }
        ASSERT_TRUE(waitUntil([&] { return !w.find<QLabel>("rotatorProblem")->isHidden(); }, 6s));
        EXPECT_TRUE(w.text("rotatorProblem").contains(QLatin1String(c.said))) << w.text("rotatorProblem").toStdString();
        EXPECT_LT(clock.elapsed(), 5000);
        EXPECT_GE(beats, static_cast<int>(clock.elapsed() / 20 / 4)) << "the window stalled";
        // The rest of the window still answers.
        EXPECT_TRUE(w.window.takeOtherText(QStringLiteral("JO01")));
        w.panel->disconnectRotator();
    }
}

TEST(RotatorPanelConnection, RefusedAndMistypedAddressesAreSaid)
{
    LoopbackSocket refusing(false);
    MemoryStore store;
    PanelWindow w(store);
    // A host alone is on port 4533; a colon with no port after it is a slip.
    w.find<QLineEdit>("rotatorAddress")->setText(QStringLiteral("localhost:"));
    QTest::mouseClick(w.find<QPushButton>("rotatorConnect"), Qt::LeftButton);
    // The address is named once.
    EXPECT_TRUE(w.text("rotatorProblem").startsWith(QStringLiteral("The rotator address \"localhost:\" has no port")))
        << w.text("rotatorProblem").toStdString();
    EXPECT_EQ(w.text("rotatorProblem").count(QStringLiteral("localhost:")), 1)
        << w.text("rotatorProblem").toStdString();
    EXPECT_EQ(w.panel->link().state(), State::Disconnected);
    EXPECT_EQ(store.values.count({QStringLiteral("Rotator"), QStringLiteral("Address")}), 0U) << "not saved";

    w.connectTo(refusing.port);
    ASSERT_TRUE(waitUntil([&] { return !w.find<QLabel>("rotatorProblem")->isHidden(); }, 5s));
    EXPECT_TRUE(w.text("rotatorProblem").endsWith(QStringLiteral("connection refused (is rotctld running there?)")));
    EXPECT_EQ(w.find<QPushButton>("rotatorConnect")->text(), QStringLiteral("Disconnect"));
    QTest::mouseClick(w.find<QPushButton>("rotatorShortPath"), Qt::LeftButton);
    EXPECT_EQ(
        w.text("rotatorProblem"), QStringLiteral("No heading to turn to: put the other station on the map first"));
    QTest::mouseClick(w.find<QPushButton>("rotatorStop"), Qt::LeftButton);
    EXPECT_EQ(w.text("rotatorProblem"), QStringLiteral("Not connected to a rotator: there is nothing to stop"));
}

TEST(RotatorPanelKeyboard, EveryControlIsReachedWithTabAndNamed)
{
    MemoryStore store;
    PanelWindow w(store);
    std::vector<QWidget*> reached;
    QWidget* at = &w.window;
    for (int i = 0; i < 200; ++i) {
        at = at->nextInFocusChain();
        if (at == &w.window) {
            break;
        }
        if ((at->focusPolicy() & Qt::TabFocus) != 0 && at->isVisible() && at->isEnabled() &&
            w.panel->isAncestorOf(at)) {
            reached.push_back(at);
        }
    }
    for (const char* name : {"rotatorAddress", "rotatorConnect", "rotatorState", "rotatorPosition", "rotatorShortPath",
             "rotatorLongPath", "rotatorHeading", "rotatorStop", "rotatorPark", "rotatorRange", "rotatorRangeNote",
             "rotatorOffset", "rotatorCompass", "rotatorPreset1", "rotatorPreset8", "rotatorEditPresets"}) {
        SCOPED_TRACE(name);
        auto* widget = w.find(name);
        EXPECT_NE(std::find(reached.begin(), reached.end(), widget), reached.end());
        EXPECT_FALSE(widget->accessibleName().isEmpty());
    }
}

TEST(RotatorPanelPresets, EditorKeepsReadableTargetsAndSaysWhichIsNot)
{
    MemoryStore store;
    PanelWindow w(store);
    QTest::mouseClick(w.find<QPushButton>("rotatorEditPresets"), Qt::LeftButton);
    auto* dialog = w.window.findChild<QDialog*>(QStringLiteral("rotatorPresetsDialog"));
    ASSERT_NE(dialog, nullptr);
    dialog->findChild<QLineEdit*>(QStringLiteral("presetName1"))->setText(QStringLiteral("VK long"));
    dialog->findChild<QLineEdit*>(QStringLiteral("presetTarget1"))->setText(QStringLiteral("QF56"));
    dialog->findChild<QLineEdit*>(QStringLiteral("presetTarget2"))->setText(QStringLiteral("not a station at all"));
    auto* buttons = dialog->findChild<QDialogButtonBox*>();
    QTest::mouseClick(buttons->button(QDialogButtonBox::Ok), Qt::LeftButton);
    auto* problem = dialog->findChild<QLabel*>(QStringLiteral("presetProblem"));
    EXPECT_TRUE(problem->text().startsWith(QStringLiteral("Preset 2: "))) << problem->text().toStdString();
    EXPECT_TRUE(dialog->isVisible());
    EXPECT_TRUE(w.panel->options().presets.at(0).target.isEmpty()) << "nothing kept until all can be read";

    dialog->findChild<QLineEdit*>(QStringLiteral("presetTarget2"))->setText(QStringLiteral("270"));
    QTest::mouseClick(buttons->button(QDialogButtonBox::Ok), Qt::LeftButton);
    EXPECT_EQ(w.panel->options().presets.at(0), (RotatorPreset{QStringLiteral("VK long"), QStringLiteral("QF56")}));
    EXPECT_EQ(w.find<QPushButton>("rotatorPreset2")->text(), QStringLiteral("2 270"));
    EXPECT_EQ(store.values.at({QStringLiteral("Rotator"), QStringLiteral("Preset1Name")}), QStringLiteral("VK long"));

    // Kept for the next window.
    PanelWindow again(store);
    EXPECT_EQ(again.find<QPushButton>("rotatorPreset1")->text(), QStringLiteral("1 VK long"));
}

TEST(Form1RotatorMenu, OffersTheHeadingShownOnlyWithARotatorSaved)
{
    SKIP_WITHOUT_ROTCTLD();
    RestartableRotctld daemon;
    MemoryStore store;
    skybrant::ui::Form1 form(nullptr, &store);
    form.show();
    auto* turn = form.findChild<QAction*>(QStringLiteral("turnAntennaAction"));
    ASSERT_NE(turn, nullptr);
    auto* heading = form.findChild<QLineEdit*>(QStringLiteral("txtBA"));
    ASSERT_NE(heading, nullptr);
    heading->setText(QStringLiteral("11"));
    form.prepareContextMenu();
    EXPECT_FALSE(turn->isVisible()) << "no rotator saved";

    store.values[{QStringLiteral("Rotator"), QStringLiteral("Address")}] =
        QStringLiteral("127.0.0.1:%1").arg(daemon.port);
    form.prepareContextMenu();
    ASSERT_TRUE(turn->isVisible());
    EXPECT_EQ(turn->text(), QStringLiteral("Turn the antenna to 11 degrees"));
    heading->setText(QString());
    form.prepareContextMenu();
    EXPECT_FALSE(turn->isVisible()) << "no heading shown";

    heading->setText(QStringLiteral("11"));
    form.prepareContextMenu();
    turn->trigger();
    ASSERT_NE(form.mapWindow(), nullptr);
    RotatorPanel* panel = form.mapWindow()->rotator();
    ASSERT_TRUE(waitUntil([&] { return panel->aim().targetAzimuth().has_value(); }, 10s));
    EXPECT_EQ(panel->aim().targetAzimuth(), std::optional(11.0));
    ASSERT_TRUE(waitUntil([&] { return daemon.port != 0 && panel->aim().arrived(); }, kTurnLimit));
}

}  // namespace
