// The live rotator link against the real rotctld (dummy rotator) and against
// scripted daemons that misbehave.

#include "rotator/rotator_link.h"
#include "rotator_fakes.h"

#include <QElapsedTimer>
#include <QTimer>

#include <gtest/gtest.h>

#include <cmath>
#include <memory>
#include <vector>

namespace {

using namespace std::chrono_literals;
using skybrant::rotctl::AzimuthRange;
using skybrant::rotctl::RotatorAddress;
using skybrant::rotctl::RotatorLink;
using skybrant::testing::FakeRotator;
using skybrant::testing::LoopbackSocket;
using skybrant::testing::RestartableRotctld;
using skybrant::testing::SlowRotator;
using skybrant::testing::waitUntil;
using State = RotatorLink::State;

// The dummy turns about 6 degrees a second; the margins allow for a loaded
// machine.
constexpr auto kTurnLimit = 30s;

RotatorAddress loopback(std::uint16_t port)
{
    return {"127.0.0.1", port};
}

// What a link said and did, as it happened.
struct Heard {
    explicit Heard(RotatorLink& link)
    {
        QObject::connect(&link, &RotatorLink::problem, [this](const QString& text) { problems << text; });
        QObject::connect(&link, &RotatorLink::stateChanged, [this](State state) { states.push_back(state); });
        QObject::connect(&link, &RotatorLink::azimuthChanged, [this](double azimuth) { azimuths.push_back(azimuth); });
        QObject::connect(&link, &RotatorLink::rangeChanged, [this](AzimuthRange range) { ranges.push_back(range); });
        QObject::connect(&link, &RotatorLink::turnAccepted, [this](double azimuth) { turns.push_back(azimuth); });
        QObject::connect(&link, &RotatorLink::stopAccepted, [this] { ++stops; });
        QObject::connect(&link, &RotatorLink::parkAccepted, [this] { ++parks; });
    }
    QStringList problems;
    std::vector<State> states;
    std::vector<double> azimuths;
    std::vector<AzimuthRange> ranges;
    std::vector<double> turns;
    int stops = 0;
    int parks = 0;
};

RotatorLink::Timing quick()
{
    RotatorLink::Timing timing;
    timing.exchange = 500ms;
    timing.poll = 200ms;
    timing.firstPause = 100ms;
    timing.longestPause = 400ms;
    return timing;
}

TEST(RotatorLinkDaemon, ConnectsReadsTheRangeAndFollowsATurn)
{
    SKIP_WITHOUT_ROTCTLD();
    RestartableRotctld daemon({"-C", "min_az=-180,max_az=180"});
    RotatorLink link;
    link.setTiming(quick());
    Heard heard(link);
    link.connectTo(loopback(daemon.port));
    EXPECT_EQ(link.state(), State::Connecting);
    ASSERT_TRUE(waitUntil([&] { return !heard.azimuths.empty(); }, 10s)) << heard.problems.join('\n').toStdString();
    EXPECT_EQ(link.state(), State::Connected);
    ASSERT_EQ(heard.ranges.size(), 1U);
    EXPECT_EQ(heard.ranges[0].min, -180);
    EXPECT_EQ(heard.ranges[0].max, 180);
    EXPECT_NEAR(heard.azimuths.back(), 0, 0.01);

    ASSERT_TRUE(link.turnTo(-15));
    ASSERT_TRUE(waitUntil([&] { return link.azimuth() && std::abs(*link.azimuth() + 15) < 0.5; }, kTurnLimit));
    EXPECT_EQ(heard.turns, std::vector<double>{-15});
    // The position was seen on its way, not only at the end.
    EXPECT_GT(
        std::count_if(heard.azimuths.begin(), heard.azimuths.end(), [](double a) { return a < -1 && a > -14; }), 0);
    EXPECT_TRUE(heard.problems.isEmpty()) << heard.problems.join('\n').toStdString();
}

TEST(RotatorLinkConnection, ATurnKeepsTheElevationLastReported)
{
    FakeRotator fake(skybrant::testing::daemonScript(
        skybrant::testing::stateReply("0.000000", "360.000000"), "RPRT 0\n", {"10.00\n30.00\n"}));
    RotatorLink link;
    link.setTiming(quick());
    Heard heard(link);
    link.connectTo(loopback(fake.port()));
    ASSERT_TRUE(waitUntil([&] { return !heard.azimuths.empty(); }, 5s)) << heard.problems.join('\n').toStdString();
    ASSERT_TRUE(link.turnTo(20));
    ASSERT_TRUE(waitUntil([&] { return !heard.turns.empty(); }, 5s)) << heard.problems.join('\n').toStdString();
    link.disconnectFrom();
    // An az/el rotator's antenna stays up: not "P 20.00 0.00".
    EXPECT_NE(fake.heard().find("P 20.00 30.00\n"), std::string::npos);
}

TEST(RotatorLinkDaemon, StopHaltsShortOfTheTargetAndParkTurnsHome)
{
    SKIP_WITHOUT_ROTCTLD();
    RestartableRotctld daemon;
    RotatorLink link;
    link.setTiming(quick());
    Heard heard(link);
    link.connectTo(loopback(daemon.port));
    ASSERT_TRUE(waitUntil([&] { return !heard.azimuths.empty(); }, 10s));
    ASSERT_TRUE(link.turnTo(90));
    ASSERT_TRUE(waitUntil([&] { return link.azimuth() && *link.azimuth() > 5; }, kTurnLimit));
    ASSERT_TRUE(link.stop());
    ASSERT_TRUE(waitUntil([&] { return heard.stops == 1; }, 5s));
    // Two readings a while apart, both the same and well short of 90.
    QTest::qWait(600);
    const double stopped = link.azimuth().value_or(-1);
    QTest::qWait(600);
    EXPECT_NEAR(link.azimuth().value_or(-2), stopped, 0.01);
    EXPECT_LT(stopped, 80);

    ASSERT_TRUE(link.park());
    ASSERT_TRUE(waitUntil([&] { return heard.parks == 1; }, 5s));
    ASSERT_TRUE(waitUntil([&] { return link.azimuth() && std::abs(*link.azimuth()) < 0.5; }, kTurnLimit));
    EXPECT_TRUE(heard.problems.isEmpty()) << heard.problems.join('\n').toStdString();
}

TEST(RotatorLinkDaemon, ReportsTheDaemonsRefusal)
{
    SKIP_WITHOUT_ROTCTLD();
    RestartableRotctld daemon({"-C", "min_az=0,max_az=450"});
    RotatorLink link;
    link.setTiming(quick());
    Heard heard(link);
    link.connectTo(loopback(daemon.port));
    ASSERT_TRUE(waitUntil([&] { return !heard.ranges.empty(); }, 10s));
    EXPECT_EQ(heard.ranges[0].max, 450);
    link.turnTo(500);
    ASSERT_TRUE(waitUntil([&] { return !heard.problems.isEmpty(); }, 5s));
    EXPECT_EQ(heard.problems[0].toStdString(),
        "the rotator at 127.0.0.1:" + std::to_string(daemon.port) +
            " refused azimuth 500: RPRT -1 (Invalid parameter)");
    // An error code is an answer: the connection stays.
    EXPECT_EQ(link.state(), State::Connected);
}

TEST(RotatorLinkDaemon, FindsTheDaemonAgainAfterARestart)
{
    SKIP_WITHOUT_ROTCTLD();
    RestartableRotctld daemon;
    RotatorLink link;
    link.setTiming(quick());
    Heard heard(link);
    link.connectTo(loopback(daemon.port));
    ASSERT_TRUE(waitUntil([&] { return link.state() == State::Connected && !heard.azimuths.empty(); }, 10s));

    daemon.kill();
    ASSERT_TRUE(waitUntil([&] { return link.state() == State::Reconnecting; }, 5s));
    ASSERT_FALSE(heard.problems.isEmpty());
    EXPECT_TRUE(heard.problems[0].contains(QStringLiteral("closed the connection")) ||
        heard.problems[0].contains(QStringLiteral("hung up")))
        << heard.problems[0].toStdString();
    EXPECT_FALSE(link.azimuth());
    // A few refused attempts while it is away.
    QTest::qWait(800);
    EXPECT_EQ(link.state(), State::Reconnecting);

    ASSERT_TRUE(daemon.start());
    heard.azimuths.clear();
    ASSERT_TRUE(waitUntil([&] { return link.state() == State::Connected && !heard.azimuths.empty(); }, 10s));
}

TEST(RotatorLinkConnection, RefusedAttemptsPauseLongerEachTimeUpToTheLimit)
{
    LoopbackSocket refusing(false);
    RotatorLink link;
    link.setTiming(quick());
    Heard heard(link);
    std::vector<long long> pauses;
    QObject::connect(&link, &RotatorLink::problem, [&] { pauses.push_back(link.nextPause().count()); });
    link.connectTo(loopback(refusing.port));
    ASSERT_TRUE(waitUntil([&] { return pauses.size() >= 5; }, 10s));
    EXPECT_EQ(
        std::vector<long long>(pauses.begin(), pauses.begin() + 5), (std::vector<long long>{100, 200, 400, 400, 400}));
    EXPECT_EQ(heard.problems[0].toStdString(),
        "cannot connect to the rotator at 127.0.0.1:" + std::to_string(refusing.port) +
            ": connection refused (is rotctld running there?)");
    EXPECT_EQ(link.state(), State::Reconnecting);
    EXPECT_FALSE(link.turnTo(10));
    EXPECT_FALSE(link.stop());
    EXPECT_FALSE(link.park());

    link.disconnectFrom();
    EXPECT_EQ(link.state(), State::Disconnected);
    const auto count = heard.problems.size();
    QTest::qWait(600);
    EXPECT_EQ(heard.problems.size(), count) << "no attempts once disconnected";
}

// A daemon that breaks the protocol, and what the operator reads about it.
struct Misbehaviour {
    const char* name;
    std::vector<std::string> replies;
    bool hangUp;
    bool turn;  // turn once connected, so the third reply answers the turn
    const char* said;
    State after;
};

const std::string kLimits = "Minimum Azimuth: 0.000000\nMaximum Azimuth: 360.000000\nRPRT 0\n";

TEST(RotatorLinkConnection, MisbehavingDaemonsAreReportedInTimeWhileTheLoopRuns)
{
    const std::vector<Misbehaviour> cases{
        {"silent", {}, false, false, "did not answer \"+\\dump_state\" within 0.5 s", State::Reconnecting},
        {"not a number", {kLimits, "north\n0.00\n"}, true, false,
            "reported \"north\" as its azimuth, which is not a number", State::Reconnecting},
        {"beyond any position", {kLimits, "1e300\n0.00\n"}, true, false, "outside the protocol's -360..720",
            State::Reconnecting},
        {"position error", {kLimits, "RPRT -5\n"}, false, false,
            "could not report its position: RPRT -5 (Communication timed out)", State::Connected},
        {"no limits", {"RPRT -4\n", "10.00\n0.00\n"}, false, false,
            "did not give its azimuth limits: RPRT -4 (Feature not implemented)", State::Connected},
        {"turn refused", {kLimits, "10.00\n0.00\n", "RPRT -9\n"}, false, true,
            "refused azimuth 20: RPRT -9 (Command rejected by the rig)", State::Connected},
        {"turn answered with noise", {kLimits, "10.00\n0.00\n", "OK\n"}, true, true,
            "answered the turn with \"OK\" instead of RPRT", State::Reconnecting},
        {"hang-up mid-reply", {kLimits, "12.50\n"}, true, false, "hung up in the middle of its reply to \"p\"",
            State::Reconnecting},
        {"line without end", {std::string(400, 'x')}, false, false, "sent a line of over 256 bytes",
            State::Reconnecting},
        {"unasked", {kLimits, "10.00\n0.00\nRPRT 0\n"}, false, false, "sent \"RPRT 0\" unasked", State::Reconnecting},
    };
    for (const Misbehaviour& c : cases) {
        SCOPED_TRACE(c.name);
        FakeRotator fake(c.replies, c.hangUp);
        RotatorLink link;
        auto timing = quick();
        timing.firstPause = 10s;  // one attempt is enough here
        timing.poll = 10s;
        link.setTiming(timing);
        Heard heard(link);
        QTimer beat;
        int beats = 0;
        QObject::connect(&beat, &QTimer::timeout, [&] { ++beats; });
        beat.start(20);
        if (c.turn) {
            QObject::connect(&link, &RotatorLink::stateChanged, [&](State state) {
                if (state == State::Connected) {
                    link.turnTo(20);
                }
            });
        }
        QElapsedTimer clock;
        clock.start();
        link.connectTo(loopback(fake.port()));
        ASSERT_TRUE(waitUntil([&] { return !heard.problems.isEmpty(); }, 5s));
        const auto took = clock.elapsed();
        EXPECT_TRUE(heard.problems[0].contains(QLatin1String(c.said))) << heard.problems[0].toStdString();
        EXPECT_TRUE(heard.problems[0].startsWith(QStringLiteral("the rotator at 127.0.0.1:%1 ").arg(fake.port())))
            << heard.problems[0].toStdString();
        EXPECT_EQ(link.state(), c.after);
        // Within the deadline and a generous margin, and the loop kept turning.
        EXPECT_LT(took, 3000);
        EXPECT_GE(beats, static_cast<int>(took / 20 / 4)) << "the event loop stalled";
        link.disconnectFrom();
    }
}

TEST(RotatorLinkConnection, LateAnswerIsATimeoutAndTheLoopKeepsRunning)
{
    SlowRotator slow(kLimits, 1500ms);
    RotatorLink link;
    auto timing = quick();
    timing.firstPause = 10s;
    link.setTiming(timing);
    Heard heard(link);
    QTimer beat;
    int beats = 0;
    QObject::connect(&beat, &QTimer::timeout, [&] { ++beats; });
    beat.start(20);
    QElapsedTimer clock;
    clock.start();
    link.connectTo(loopback(slow.port()));
    ASSERT_TRUE(waitUntil([&] { return !heard.problems.isEmpty(); }, 5s));
    EXPECT_LT(clock.elapsed(), 1400) << "the deadline, not the daemon, ended the wait";
    EXPECT_TRUE(heard.problems[0].endsWith(QStringLiteral("did not answer \"+\\dump_state\" within 0.5 s")))
        << heard.problems[0].toStdString();
    EXPECT_GE(beats, 5);
    EXPECT_TRUE(heard.ranges.empty());
    link.disconnectFrom();
}

}  // namespace
