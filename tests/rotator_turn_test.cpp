// The command line's turn: the azimuth chosen within the range, and the
// wait for the rotator to get there.

#include "cli/rotator.h"
#include "rotator_peers.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <optional>
#include <poll.h>
#include <string>
#include <vector>

using skybrant::cli::RangeSource;
using skybrant::cli::RotatorRequest;
using skybrant::cli::RotatorStatus;
using skybrant::rotctl::RotatorAddress;
using skybrant::testing::daemonScript;
using skybrant::testing::FakeRotator;
using skybrant::testing::LoopbackSocket;
using skybrant::testing::Rotctld;
using skybrant::testing::stateReply;
using namespace std::chrono_literals;

namespace {

RotatorAddress loopback(std::uint16_t port)
{
    return {"127.0.0.1", port};
}

// The state of a daemon limited to 0..360.
const std::string kState = stateReply("0.000000", "360.000000");

RotatorRequest requestTo(std::uint16_t port, double heading)
{
    RotatorRequest request;
    request.address = loopback(port);
    request.heading = heading;
    request.timeout = 5s;
    return request;
}

TEST(RotatorTurn, SendsTheAzimuthWithinTheRangeThatTurnsTheLeast)
{
    struct Case {
        const char* name;
        std::string state;  // the reply to dump_state
        std::optional<double> minAzimuth;
        std::optional<double> maxAzimuth;
        double heading;
        std::string start;  // the azimuth before the turn
        std::string sent;  // the turn command
        RangeSource source;
    };
    const std::vector<Case> cases{
        {"-180..180 takes 289 as -71", stateReply("-180.000000", "180.000000"), {}, {}, 289, "0.00", "P -71.00 0.00\n",
            RangeSource::Rotator},
        {"0..450 from 400 takes 60 as 420", stateReply("0.000000", "450.000000"), {}, {}, 60, "400.00",
            "P 420.00 0.00\n", RangeSource::Rotator},
        {"0..450 from 100 takes 60 as itself", stateReply("0.000000", "450.000000"), {}, {}, 60, "100.00",
            "P 60.00 0.00\n", RangeSource::Rotator},
        {"0..359 takes 360 as north", stateReply("0.000000", "359.000000"), {}, {}, 360, "0.00", "P 0.00 0.00\n",
            RangeSource::Rotator},
        {"0..360 at north stays there for 360", kState, {}, {}, 360, "0.00", "P 0.00 0.00\n", RangeSource::Rotator},
        {"0..360 from 350 goes on to 360", kState, {}, {}, 360, "350.00", "P 360.00 0.00\n", RangeSource::Rotator},
        {"the plain form of the state", "1\n1\nmin_az=-180.000000\nmax_az=180.000000\ndone\n", {}, {}, 289, "0.00",
            "P -71.00 0.00\n", RangeSource::Rotator},
        {"one limit given, the other the daemon's", stateReply("-180.000000", "450.000000"), 0.0, {}, 288, "0.00",
            "P 288.00 0.00\n", RangeSource::Combined},
        {"an unknown range sends 360 as north", "RPRT -4\n", {}, {}, 360, "350.00", "P 0.00 0.00\n",
            RangeSource::Assumed},
        {"a state without limits sends the heading", "dump_state:\ndone\nRPRT 0\n", {}, {}, 289, "0.00",
            "P 289.00 0.00\n", RangeSource::Assumed},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        FakeRotator fake(daemonScript(c.state, "RPRT 0\n", {c.start + "\n0.00\n"}));
        RotatorRequest request = requestTo(fake.port(), c.heading);
        request.minAzimuth = c.minAzimuth;
        request.maxAzimuth = c.maxAzimuth;
        std::vector<std::string> notes;
        request.note = [&notes](const std::string& note) { notes.push_back(note); };
        const auto outcome = skybrant::cli::turnRotator(request);
        EXPECT_EQ(outcome.status, RotatorStatus::Started) << outcome.message;
        EXPECT_EQ(outcome.rangeSource, c.source);
        EXPECT_EQ(fake.heard(), "+\\dump_state\np\n" + c.sent);
        // Only a range assumed is worth a note.
        ASSERT_EQ(notes.size(), c.source == RangeSource::Assumed ? 1U : 0U);
        if (!notes.empty()) {
            EXPECT_NE(notes.front().find("did not tell its azimuth range"), std::string::npos) << notes.front();
            EXPECT_NE(notes.front().find("taking 0..360"), std::string::npos) << notes.front();
        }
    }
}

TEST(RotatorTurn, BothLimitsGivenLeaveTheDaemonUnasked)
{
    FakeRotator fake(daemonScript("RPRT -9\n", "RPRT 0\n", {"0.00\n0.00\n"}));
    RotatorRequest request = requestTo(fake.port(), 289);
    request.minAzimuth = -180;
    request.maxAzimuth = 180;
    const auto outcome = skybrant::cli::turnRotator(request);
    EXPECT_EQ(outcome.status, RotatorStatus::Started) << outcome.message;
    EXPECT_EQ(outcome.rangeSource, RangeSource::Options);
    EXPECT_EQ(fake.heard(), "p\nP -71.00 0.00\n");
}

TEST(RotatorTurn, LimitsThatRuleTheTurnOutLeaveTheDaemonUncontacted)
{
    struct Case {
        const char* name;
        std::optional<double> minAzimuth;
        std::optional<double> maxAzimuth;
        double heading;
        std::string complaint;
    };
    const std::vector<Case> cases{
        {"both limits", 0.0, 90.0, 200, "(azimuth 200): its range is 0..90"},
        {"a minimum alone", 400.0, {}, 30, "(azimuth 30): its range is 400..720"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        // Listening, so that any connection would be taken and counted.
        const LoopbackSocket listening(true);
        RotatorRequest request = requestTo(listening.port, c.heading);
        request.minAzimuth = c.minAzimuth;
        request.maxAzimuth = c.maxAzimuth;
        const auto outcome = skybrant::cli::turnRotator(request);
        EXPECT_EQ(outcome.status, RotatorStatus::OutOfRange);
        EXPECT_NE(outcome.message.find("cannot reach " + std::to_string(int(c.heading)) + "\u00b0"), std::string::npos)
            << outcome.message;
        EXPECT_NE(outcome.message.find(c.complaint), std::string::npos) << outcome.message;
        pollfd waiting{listening.fd, POLLIN, 0};
        EXPECT_EQ(poll(&waiting, 1, 100), 0) << "the daemon was contacted";
    }
}

TEST(RotatorTurn, NoAzimuthWithinTheRangeIsRefusedBeforeTurning)
{
    FakeRotator fake(daemonScript(stateReply("0.000000", "90.000000"), "RPRT 0\n", {"45.00\n0.00\n"}));
    const auto outcome = skybrant::cli::turnRotator(requestTo(fake.port(), 200));
    EXPECT_EQ(outcome.status, RotatorStatus::OutOfRange);
    EXPECT_NE(outcome.message.find("the rotator at 127.0.0.1:" + std::to_string(fake.port()) +
                  " cannot reach 200\u00b0 (azimuth 200): its range is 0..90"),
        std::string::npos)
        << outcome.message;
    EXPECT_EQ(fake.heard(), "+\\dump_state\np\n");
}

TEST(RotatorWait, EndsAsTheRotatorDoes)
{
    std::vector<std::string> steady;  // a degree a reading, all the way
    for (int azimuth = 0; azimuth <= 300; ++azimuth) {
        steady.push_back(std::to_string(azimuth) + "\n0.00\n");
    }
    struct Case {
        const char* name;
        std::vector<std::string> positions;  // the first one before the turn
        std::chrono::milliseconds wait;
        RotatorStatus status;
        std::optional<double> reported;
        std::string message;
    };
    // Each to azimuth 30, reading every 20 ms, standing still for 300 ms
    // counting as stopped.
    const std::vector<Case> cases{
        {"arrives within two degrees", {"0\n0\n", "10\n0\n", "20\n0\n", "28.5\n-0.5\n"}, 10s, RotatorStatus::Arrived,
            28.5, ""},
        {"overshoots a little", {"0\n0\n", "31.9\n0\n"}, 10s, RotatorStatus::Arrived, 31.9, ""},
        {"stops short", {"0\n0\n", "5\n0\n", "10\n0\n", "10.2\n0\n"}, 10s, RotatorStatus::StoppedShort, 10.2,
            "stood still at azimuth 10.2 for 0.3 s, 19.8 degrees short of azimuth 30"},
        {"never moves", {"0\n0\n"}, 10s, RotatorStatus::StoppedShort, 0,
            "stood still at azimuth 0 for 0.3 s, 30 degrees short of azimuth 30"},
        {"the wait runs out", steady, 100ms, RotatorStatus::WaitRanOut, std::nullopt, "after waiting 0.1 s, "},
        {"a position outside the protocol", {"0\n0\n", "1e308\n0\n"}, 10s, RotatorStatus::RotatorError, std::nullopt,
            "reported \"1e308\" as its azimuth, outside the protocol's -360..720"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        FakeRotator fake(daemonScript(kState, "RPRT 0\n", c.positions));
        RotatorRequest request = requestTo(fake.port(), 30);
        request.wait = c.wait;
        request.pollInterval = 20ms;
        request.stillTime = 300ms;
        std::vector<double> seen;
        request.progress = [&seen](double azimuth, double target) {
            EXPECT_EQ(target, 30);
            seen.push_back(azimuth);
        };
        const auto outcome = skybrant::cli::turnRotator(request);
        EXPECT_EQ(outcome.status, c.status) << outcome.message;
        if (c.reported) {
            EXPECT_EQ(outcome.reportedAzimuth, c.reported);
            ASSERT_FALSE(seen.empty());
            EXPECT_EQ(seen.back(), *c.reported);
        }
        EXPECT_NE(outcome.message.find(c.message), std::string::npos) << outcome.message;
    }
}

TEST(RotatorWait, EachReadingHasTheTimeout)
{
    int readings = 0;
    FakeRotator fake([&readings](const std::string& command) -> std::optional<std::string> {
        if (command == "+\\dump_state") {
            return kState;
        }
        if (command.starts_with("P ")) {
            return "RPRT 0\n";
        }
        // Moves once after the turn, then stays connected without a word.
        return ++readings <= 2 ? std::to_string(readings) + "\n0\n" : std::string();
    });
    RotatorRequest request = requestTo(fake.port(), 30);
    request.timeout = 300ms;
    request.wait = 10s;
    request.pollInterval = 20ms;
    const auto started = std::chrono::steady_clock::now();
    const auto outcome = skybrant::cli::turnRotator(request);
    EXPECT_LT(std::chrono::steady_clock::now() - started, 5s);
    EXPECT_EQ(outcome.status, RotatorStatus::TimedOut) << outcome.message;
    EXPECT_NE(outcome.message.find("did not answer within 0.3 s"), std::string::npos) << outcome.message;
    EXPECT_EQ(outcome.reportedAzimuth, 2);
}

TEST(RotatorWait, WaitsForTheDummyToArrive)
{
    SKIP_WITHOUT_ROTCTLD();
    Rotctld daemon({"-C", "min_az=-180,max_az=180"});
    ASSERT_TRUE(daemon.accepting()) << "rotctld did not start listening";
    // 354 is -6 here, a second or so away at the dummy's 6 degrees a second.
    RotatorRequest request = requestTo(daemon.port, 354);
    request.wait = 60s;
    std::vector<double> seen;
    request.progress = [&seen](double azimuth, double) { seen.push_back(azimuth); };
    const auto outcome = skybrant::cli::turnRotator(request);
    ASSERT_EQ(outcome.status, RotatorStatus::Arrived) << outcome.message;
    EXPECT_EQ(outcome.commandedAzimuth, -6);
    ASSERT_TRUE(outcome.reportedAzimuth);
    EXPECT_NEAR(*outcome.reportedAzimuth, -6, skybrant::cli::kArrivedDegrees);
    EXPECT_TRUE(std::is_sorted(seen.rbegin(), seen.rend())) << "it turns one way, towards -6";
}

}  // namespace
