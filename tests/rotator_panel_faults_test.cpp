// The rotator panel against a flooding or refusing daemon, saved lines it
// cannot read, and hostile text typed or saved.

#include "rotator_panel_window.h"
#include "settings/rotator_settings.h"

#include <QDoubleSpinBox>
#include <QElapsedTimer>
#include <QLabel>
#include <QPushButton>
#include <QTest>
#include <QTimer>

#include <gtest/gtest.h>

namespace {

using namespace std::chrono_literals;
using skybrant::rotctl::RotatorLink;
using skybrant::settings::RotatorPreset;
using skybrant::testing::FakeRotator;
using skybrant::testing::FloodingRotator;
using skybrant::testing::MemoryStore;
using skybrant::testing::PanelWindow;
using skybrant::testing::shortLines;
using skybrant::testing::waitUntil;

TEST(RotatorPanelFlood, AFloodingDaemonIsDroppedWhileTheWindowWorks)
{
    // 10 MB of short lines in answer to "+\dump_state", each 64 KiB begun
    // as the state is.
    FloodingRotator fake("dump_state:\n" + shortLines(std::size_t{64} * 1024), std::size_t{10} * 1024 * 1024, 0ms);
    MemoryStore store;
    PanelWindow w(store);
    w.quietTiming();
    QTimer beat;
    int beats = 0;
    QObject::connect(&beat, &QTimer::timeout, [&] { ++beats; });
    beat.start(20);
    QElapsedTimer clock;
    clock.start();
    w.connectTo(fake.port());
    ASSERT_TRUE(waitUntil([&] { return !w.find<QLabel>("rotatorProblem")->isHidden(); }, 10s));
    EXPECT_TRUE(w.text("rotatorProblem").contains(u"sent over 200 lines in one reply, which is not its protocol"))
        << w.text("rotatorProblem").toStdString();
    // Well under the 31 s the window once froze for, with room for a loaded machine.
    EXPECT_LT(clock.elapsed(), 5000);
    EXPECT_GE(beats, static_cast<int>(clock.elapsed() / 20 / 4)) << "the window stalled";
    EXPECT_TRUE(w.window.takeOtherText(QStringLiteral("JO01")));
    w.panel->disconnectRotator();
}

TEST(RotatorPanelFlood, LinesOfAnythingButTheStateAreNotItsProtocol)
{
    // A line every 20 ms: the first one already shows it is not rotctld.
    FloodingRotator fake("x\n", 2000, 20ms);
    MemoryStore store;
    PanelWindow w(store);
    w.quietTiming();
    QElapsedTimer clock;
    clock.start();
    w.connectTo(fake.port());
    ASSERT_TRUE(waitUntil([&] { return !w.find<QLabel>("rotatorProblem")->isHidden(); }, 10s));
    EXPECT_TRUE(w.text("rotatorProblem").contains(u"sent \"x\" in reply to \\dump_state, which is not its protocol"))
        << w.text("rotatorProblem").toStdString();
    EXPECT_LT(clock.elapsed(), 5000);
    w.panel->disconnectRotator();
}

TEST(RotatorPanelRefusal, ARefusalEndsWhatThePanelSaysIsHappening)
{
    const std::string limits = "Minimum Azimuth: 0.000000\nMaximum Azimuth: 360.000000\nRPRT 0\n";
    struct Case {
        const char* name;
        const char* button;
        const char* said;
    };
    const Case cases[] = {
        {"turn", "rotatorShortPath", "refused azimuth 11: RPRT -9 (Command rejected by the rig)"},
        {"stop", "rotatorStop", "refused to stop: RPRT -9"},
        {"park", "rotatorPark", "refused to park: RPRT -9"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        FakeRotator fake({limits, "0.00\n0.00\n", "RPRT -9\n"}, false);
        MemoryStore store;
        PanelWindow w(store);
        w.quietTiming();
        ASSERT_TRUE(w.window.takeOtherText(QStringLiteral("5 1")));
        w.connectTo(fake.port());
        ASSERT_TRUE(w.connectedWithPosition());
        QTest::mouseClick(w.find<QPushButton>(c.button), Qt::LeftButton);
        EXPECT_FALSE(w.find<QLabel>("rotatorProgress")->isHidden()) << "said at once";
        ASSERT_TRUE(waitUntil([&] { return !w.find<QLabel>("rotatorProblem")->isHidden(); }, 5s));
        EXPECT_TRUE(w.text("rotatorProblem").contains(QLatin1String(c.said))) << w.text("rotatorProblem").toStdString();
        EXPECT_TRUE(w.find<QLabel>("rotatorProgress")->isHidden()) << w.text("rotatorProgress").toStdString();
        EXPECT_FALSE(w.panel->aim().targetAzimuth());
        w.panel->disconnectRotator();
    }
}

TEST(RotatorPanelSettings, LinesNotUnderstoodAreSaidAndKeptUntilTheirSettingChanges)
{
    const QString flood(100000, u'9');
    struct Case {
        const char* name;
        std::map<QString, QString> saved;  // under [Rotator]
        const char* said;  // empty: all understood
        double offset;  // shown and applied
        bool range;  // whose lines are kept
    };
    const Case cases[] = {
        {"offset beyond half a turn", {{"Offset", "500"}},
            "The saved line \"Offset=500\" under [Rotator] is not understood; it stays as it is until you change the "
            "mast offset.",
            0, false},
        {"offset not a number", {{"Offset", "NaN"}}, "The saved line \"Offset=NaN\" under [Rotator]", 0, false},
        {"offset of a flood", {{"Offset", flood}}, "The saved line \"Offset=99999", 0, false},
        {"offset to a hundredth", {{"Offset", "10.25"}}, "", 10.3, false},
        {"offset at the end", {{"Offset", "-180"}}, "", -180, false},
        {"a limit that is not a number", {{"MinAzimuth", "west"}, {"MaxAzimuth", "180"}},
            "The saved line \"MinAzimuth=west\" under [Rotator] is not understood; it stays as it is until you change "
            "the range. The saved line \"MaxAzimuth=180\"",
            0, true},
        {"limits beyond the protocol", {{"MinAzimuth", "-1e17"}, {"MaxAzimuth", "1e17"}},
            "The saved line \"MinAzimuth=-1e17\"", 0, true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        MemoryStore store;
        for (const auto& [key, value] : c.saved) {
            store.values[{QStringLiteral("Rotator"), key}] = value;
        }
        PanelWindow w(store);
        auto* offset = w.find<QDoubleSpinBox>("rotatorOffset");
        EXPECT_EQ(offset->value(), c.offset);
        EXPECT_EQ(w.panel->aim().offset(), c.offset) << "applied as shown";
        EXPECT_EQ(w.panel->options().offset, c.offset) << "saved as shown";
        if (*c.said == '\0') {
            EXPECT_TRUE(w.find<QLabel>("rotatorProblem")->isHidden()) << w.text("rotatorProblem").toStdString();
            continue;
        }
        EXPECT_TRUE(w.text("rotatorProblem").startsWith(QLatin1String(c.said)))
            << w.text("rotatorProblem").toStdString();
        EXPECT_LT(w.text("rotatorProblem").size(), 400);

        // Another setting saved: the lines stay as they were.
        std::array<RotatorPreset, 8> presets{};
        presets.at(0) = {QStringLiteral("Home"), QStringLiteral("0")};
        w.panel->setPresets(presets);
        for (const auto& [key, value] : c.saved) {
            EXPECT_EQ(store.values.at({QStringLiteral("Rotator"), key}), value) << key.toStdString();
        }
        // Their own setting changed: written anew.
        if (c.range) {
            auto* range = w.find<QLineEdit>("rotatorRange");
            range->setText(QStringLiteral("-180..180"));
            QTest::keyClick(range, Qt::Key_Return);
            EXPECT_EQ(store.values.at({QStringLiteral("Rotator"), QStringLiteral("MinAzimuth")}), u"-180");
            EXPECT_EQ(store.values.at({QStringLiteral("Rotator"), QStringLiteral("MaxAzimuth")}), u"180");
        } else {
            offset->setValue(12.5);
            EXPECT_EQ(store.values.at({QStringLiteral("Rotator"), QStringLiteral("Offset")}), u"12.5");
        }
    }
}

TEST(RotatorPanelHostileText, LongTextIsCutShortAndTheWindowStaysNarrow)
{
    MemoryStore store;
    PanelWindow w(store);
    // A host name past any resolver's (as long as the box takes), and a
    // preset named at length.
    w.find<QLineEdit>("rotatorAddress")->setText(QString(30000, u'a') + QStringLiteral(":4533"));
    QTest::mouseClick(w.find<QPushButton>("rotatorConnect"), Qt::LeftButton);
    EXPECT_TRUE(w.text("rotatorProblem").contains(u"longer than the 253 a host name can have"))
        << w.text("rotatorProblem").left(400).toStdString();
    EXPECT_LT(w.text("rotatorProblem").size(), 400);
    std::array<RotatorPreset, 8> presets{};
    presets.at(0) = {QString(50000, u'N'), QStringLiteral("0")};
    w.panel->setPresets(presets);
    EXPECT_LT(w.find<QPushButton>("rotatorPreset1")->text().size(), 40);
    QTest::qWait(50);
    // A quoted 60 bytes is the widest word: the panel stays on screen.
    EXPECT_LT(w.panel->sizeHint().width(), 800);

    // The longest host name a resolver takes is named in part.
    w.find<QLineEdit>("rotatorAddress")->setText(QString(253, u'b') + QStringLiteral(":4533"));
    QTest::mouseClick(w.find<QPushButton>("rotatorConnect"), Qt::LeftButton);
    EXPECT_TRUE(w.text("rotatorState").startsWith(QStringLiteral("Connecting to \"bbbb")))
        << w.text("rotatorState").toStdString();
    EXPECT_LT(w.text("rotatorState").size(), 100);
    QTest::qWait(50);
    EXPECT_LT(w.panel->sizeHint().width(), 800);
    w.panel->disconnectRotator();
}

}  // namespace
