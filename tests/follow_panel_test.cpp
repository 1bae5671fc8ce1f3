// The map window following WSJT-X: Status datagrams from a fake WSJT-X on
// loopback become the other station and turns of a dummy rotctld, by the
// rules of following, with every decision shown.

#include "aim/station_text.h"
#include "rotator_panel_window.h"
#include "ui/follow_panel.h"
#include "ui/station_lookup.h"
#include "wsjtx_fake.h"

#include <QComboBox>
#include <QLabel>
#include <QPushButton>
#include <QUdpSocket>

#include <gtest/gtest.h>

#include <cmath>
#include <functional>

namespace {

using namespace std::chrono_literals;
using skybrant::aim::AimingModel;
using skybrant::aim::Source;
using skybrant::testing::MemoryStore;
using skybrant::testing::PanelWindow;
using skybrant::testing::RestartableRotctld;
using skybrant::testing::waitUntil;

quint16 freeUdpPort()
{
    QUdpSocket probe;
    probe.bind(QHostAddress::LocalHost, 0);
    return probe.localPort();
}

skybrant::Position at(const char* text)
{
    return skybrant::aim::readStationText(text, nullptr, Source::Typed).station.value().position;
}

struct Following {
    explicit Following(MemoryStore& store) : window(store) { }
    // The serial of the last request to the antenna, -1 before any.
    long serial()
    {
        const auto& asked = window.window.model().lastAntennaRequest();
        return asked ? static_cast<long>(asked->serial) : -1;
    }
    void send(const skybrant::fake::WsjtxDatagram& datagram)
    {
        const QByteArray bytes(
            reinterpret_cast<const char*>(datagram.bytes().data()), static_cast<qsizetype>(datagram.bytes().size()));
        sender.writeDatagram(bytes, QHostAddress::LocalHost, port);
    }
    QString decision() { return window.text("followDecision"); }

    PanelWindow window;
    QUdpSocket sender;
    quint16 port = 0;
};

TEST(FollowPanel, WsjtxPicksTurnTheRotatorByTheRules)
{
    RestartableRotctld daemon;
    MemoryStore store;
    const quint16 port = freeUdpPort();
    store.values[{"Follow", "Mode"}] = "turn";
    store.values[{"Follow", "Listen"}] = QStringLiteral("127.0.0.1:%1").arg(port);
    store.values[{"Follow", "Interval"}] = "0";
    Following f(store);
    f.port = port;
    AimingModel& model = f.window.window.model();
    model.request(skybrant::aim::SetOwn{at("JO01mm")});
    f.window.connectTo(daemon.port);
    ASSERT_TRUE(f.window.connectedWithPosition());
    ASSERT_TRUE(f.window.window.follower()->listening()) << f.window.text("followState").toStdString();

    const struct {
        const char* name;
        const char* call;
        const char* grid;
        std::function<void()> before;
        bool turns;
        const char* decision;  // how it begins
    } cases[] = {
        {"a new call turns", "K1ABC", "FN42", {}, true, "Turn to "},
        {"the same call and grid again do nothing", "K1ABC", "FN42", {}, false, "Turn to "},
        {"a square next door is within the threshold", "K1ABC", "FN43", {}, false, "Ignored: "},
        {"a manual turn pauses until a new call", "K1ABC", "EM12",
            [&] {
                model.request(skybrant::aim::TurnTo{100, Source::Typed});
            },
            false, "Paused by a manual command until a new call"},
        {"a new call follows again", "VE3XYZ", "EN82", {}, true, "Turn to "},
        {"a call alone is placed by the country file", "JA1XYZ", "",
            [&] { ASSERT_TRUE(waitUntil([&] { return f.window.window.callsigns().files() != nullptr; }, 10s)); }, true,
            "Turn to "},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        if (c.before) {
            c.before();
        }
        const long before = f.serial();
        const QString shownBefore = f.window.text("followLast");
        f.send(skybrant::fake::status(c.call, c.grid));
        if (c.turns) {
            ASSERT_TRUE(waitUntil([&] { return f.serial() > before; }, 5s));
            const auto& asked = model.lastAntennaRequest();
            EXPECT_EQ(asked->source, Source::Program);
            ASSERT_TRUE(model.other());
            EXPECT_EQ(model.other()->label, c.call);
            EXPECT_EQ(model.other()->source, Source::Program);
            // The antenna goes where the panel says the station is.
            const double heading = model.report()->result.headingOwnToOther;
            EXPECT_EQ(model.antenna().turnHeading(), std::round(heading));
            EXPECT_EQ(f.decision(), QStringLiteral("Turn to %1°").arg(std::lround(heading)));
        } else {
            QTest::qWait(300);
            EXPECT_EQ(f.serial(), before);
        }
        EXPECT_TRUE(f.decision().startsWith(QLatin1String(c.decision))) << f.decision().toStdString();
        EXPECT_TRUE(f.window.text("followLast").contains(QLatin1String(c.call)) || shownBefore.contains(c.call));
    }

    // Park stops following until it is resumed.
    model.request(skybrant::aim::Park{Source::Typed});
    EXPECT_EQ(f.decision(), "Following stopped by park");
    const long parked = f.serial();
    f.send(skybrant::fake::status("DL1ABC", "JO62"));
    QTest::qWait(300);
    EXPECT_EQ(f.serial(), parked);
    QTest::mouseClick(f.window.find<QPushButton>("followResume"), Qt::LeftButton);
    f.send(skybrant::fake::status("SM5ABC", "JO89"));
    EXPECT_TRUE(waitUntil([&] { return f.serial() > parked; }, 5s));
}

TEST(FollowPanel, OffUntilChosenAndSaysWhyItCannotListen)
{
    MemoryStore store;
    Following off(store);
    EXPECT_FALSE(off.window.window.follower()->listening());
    EXPECT_EQ(off.window.text("followState"), "Off: choose what to follow");

    // Choosing to follow is kept; a port already taken is told, not hidden.
    QUdpSocket taken;
    ASSERT_TRUE(taken.bind(QHostAddress::LocalHost, 0));
    store.values[{"Follow", "Listen"}] = QStringLiteral("127.0.0.1:%1").arg(taken.localPort());
    Following busy(store);
    busy.window.find<QComboBox>("followMode")->setCurrentIndex(1);
    EXPECT_EQ((store.values[{"Follow", "Mode"}]), "show");
    EXPECT_FALSE(busy.window.window.follower()->listening());
    EXPECT_TRUE(busy.window.text("followState").startsWith("Cannot listen: "))
        << busy.window.text("followState").toStdString();
}

}  // namespace
