#include "cli/rotator.h"
#include "core/utf8.h"
#include "rotator_peers.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <limits>
#include <optional>
#include <poll.h>
#include <stdexcept>
#include <thread>
#include <utility>
#include <vector>

using skybrant::cli::RangeSource;
using skybrant::cli::RotatorOutcome;
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

RotatorOutcome turnRotator(const RotatorAddress& address, double heading, std::chrono::milliseconds timeout)
{
    RotatorRequest request;
    request.address = address;
    request.heading = heading;
    request.timeout = timeout;
    return skybrant::cli::turnRotator(request);
}

// The replies of a daemon limited to 0..360 standing at azimuth 1.5, before
// those to the turn.
const std::string kState = stateReply("0.000000", "360.000000");
const std::string kAt1 = "1.5\n0.00\n";

TEST(RotatorDaemon, TurnsTheDummyRotator)
{
    SKIP_WITHOUT_ROTCTLD();
    Rotctld daemon;
    ASSERT_TRUE(daemon.accepting()) << "rotctld did not start listening";
    const auto outcome = turnRotator(loopback(daemon.port), 6, 5s);
    ASSERT_EQ(outcome.status, RotatorStatus::Started) << outcome.message;
    // The dummy's own limits, and where it stood before the turn.
    ASSERT_TRUE(outcome.range);
    EXPECT_EQ(outcome.range->min, -180);
    EXPECT_EQ(outcome.range->max, 450);
    EXPECT_EQ(outcome.rangeSource, RangeSource::Rotator);
    EXPECT_EQ(outcome.startAzimuth, 0);
    EXPECT_EQ(outcome.commandedAzimuth, 6);
    EXPECT_FALSE(outcome.reportedAzimuth) << "not awaited, so not known";

    // The dummy moves about 6 degrees a second, so it gets there in a second or so.
    std::optional<double> azimuth;
    for (auto until = std::chrono::steady_clock::now() + 15s; std::chrono::steady_clock::now() < until;) {
        azimuth = daemon.azimuth();
        if (azimuth && std::abs(*azimuth - 6) < 0.01) {
            break;
        }
        std::this_thread::sleep_for(100ms);
    }
    ASSERT_TRUE(azimuth);
    EXPECT_NEAR(*azimuth, 6, 0.01);
}

TEST(RotatorDaemon, TurningLeavesTheElevationWhereItWas)
{
    SKIP_WITHOUT_ROTCTLD();
    Rotctld daemon;
    ASSERT_TRUE(daemon.accepting()) << "rotctld did not start listening";
    // The dummy is an az/el rotator: raise the antenna first (about 6
    // degrees a second).
    ASSERT_TRUE(daemon.command("P 0 12\n"));
    for (auto until = std::chrono::steady_clock::now() + 30s;
         daemon.elevation() != 12 && std::chrono::steady_clock::now() < until;) {
        std::this_thread::sleep_for(100ms);
    }
    ASSERT_EQ(daemon.elevation(), 12);
    const auto outcome = turnRotator(loopback(daemon.port), 3, 5s);
    ASSERT_EQ(outcome.status, RotatorStatus::Started) << outcome.message;
    std::optional<double> azimuth;
    for (auto until = std::chrono::steady_clock::now() + 15s;
         azimuth != 3 && std::chrono::steady_clock::now() < until;) {
        std::this_thread::sleep_for(100ms);
        azimuth = daemon.azimuth();
    }
    EXPECT_EQ(azimuth, 3);
    EXPECT_EQ(daemon.elevation(), 12) << "turning sent the elevation back to 0";
}

TEST(RotatorDaemon, PassesOnTheDaemonsErrorCode)
{
    SKIP_WITHOUT_ROTCTLD();
    Rotctld daemon({"-C", "max_az=10"});
    ASSERT_TRUE(daemon.accepting()) << "rotctld did not start listening";
    // Limits given wider than the daemon's own: it refuses what they allow.
    RotatorRequest request;
    request.address = loopback(daemon.port);
    request.heading = 51;
    request.minAzimuth = 0;
    request.maxAzimuth = 360;
    request.timeout = 5s;
    const auto outcome = skybrant::cli::turnRotator(request);
    EXPECT_EQ(outcome.status, RotatorStatus::RotatorError);
    EXPECT_NE(outcome.message.find("refused azimuth 51: RPRT -1 (Invalid parameter)"), std::string::npos)
        << outcome.message;
}

TEST(RotatorConnection, RefusedPortCannotConnectAtOnce)
{
    const LoopbackSocket closed(false);
    for (const std::string host : {"127.0.0.1", "localhost"}) {
        SCOPED_TRACE(host);
        const auto started = std::chrono::steady_clock::now();
        const auto outcome = turnRotator({host, closed.port}, 6, 5s);
        EXPECT_LT(std::chrono::steady_clock::now() - started, 2s);
        EXPECT_EQ(outcome.status, RotatorStatus::CannotConnect);
        const auto where = host + ":" + std::to_string(closed.port);
        EXPECT_NE(outcome.message.find("cannot connect to the rotator at " + where + ": connection refused"),
            std::string::npos)
            << outcome.message;
    }
}

TEST(RotatorConnection, NonFiniteAzimuthIsRefusedBeforeConnecting)
{
    const LoopbackSocket closed(false);
    for (const double azimuth : {std::nan(""), std::numeric_limits<double>::infinity(), -HUGE_VAL}) {
        SCOPED_TRACE(azimuth);
        const auto outcome = turnRotator(loopback(closed.port), azimuth, 5s);
        EXPECT_EQ(outcome.status, RotatorStatus::RotatorError);
        EXPECT_NE(outcome.message.find("not a finite number"), std::string::npos) << outcome.message;
    }
}

TEST(RotatorConnection, SilentDaemonTimesOut)
{
    // Silent before the range, halfway through it, before the position,
    // halfway through it, and before the turn's answer.
    const std::vector<std::vector<std::string>> answeredSoFar{
        {}, {"dump_state:\nMinimum Azimuth: 0\n"}, {kState}, {kState, "1.00\n"}, {kState, kAt1}};
    for (const auto& replies : answeredSoFar) {
        SCOPED_TRACE(replies.size());
        FakeRotator fake(replies, false);
        const auto started = std::chrono::steady_clock::now();
        const auto outcome = turnRotator(loopback(fake.port()), 6, 300ms);
        EXPECT_LT(std::chrono::steady_clock::now() - started, 5s);
        EXPECT_EQ(outcome.status, RotatorStatus::TimedOut);
        EXPECT_NE(
            outcome.message.find(":" + std::to_string(fake.port()) + " did not answer within 0.3 s"), std::string::npos)
            << outcome.message;
    }
}

TEST(RotatorConnection, LinesOfAnythingButTheProtocolAreNotAnAnswerAwaited)
{
    // A line every 20 ms, well within the reply's caps until the timeout:
    // the first line already shows it is not rotctld.
    skybrant::testing::FloodingRotator fake("x\n", 2000, 20ms);
    const auto started = std::chrono::steady_clock::now();
    const auto outcome = turnRotator(loopback(fake.port()), 6, 1s);
    EXPECT_LT(std::chrono::steady_clock::now() - started, 900ms);
    EXPECT_EQ(outcome.status, RotatorStatus::RotatorError) << outcome.message;
    EXPECT_NE(outcome.message.find("sent \"x\" in reply to \\dump_state, which is not its protocol"), std::string::npos)
        << outcome.message;
}

TEST(RotatorConnection, SendsPlainCommandsAndReadsThePositionBack)
{
    // The elevation the rotator reported goes with the turn, so that an
    // az/el rotator keeps its antenna where it was.
    const std::vector<std::pair<double, std::string>> commands{
        {6.5, "P 6.50 -0.25\n"}, {288.004, "P 288.00 -0.25\n"}, {0, "P 0.00 -0.25\n"}};
    for (const auto& [azimuth, command] : commands) {
        SCOPED_TRACE(command);
        FakeRotator fake({kState, "1.5\r\n-0.25\r\n", "RPRT 0\n"}, true);
        const auto outcome = turnRotator(loopback(fake.port()), azimuth, 5s);
        ASSERT_EQ(outcome.status, RotatorStatus::Started) << outcome.message;
        EXPECT_EQ(outcome.startAzimuth, 1.5);
        EXPECT_EQ(fake.heard(), "+\\dump_state\np\n" + command);
    }
}

TEST(RotatorConnection, RepliesOutsideTheProtocolAreRotatorErrors)
{
    const std::string flood(300, 'A');
    // Each case's replies follow those that come before its step.
    const std::vector<std::string> none;
    const std::vector<std::string> ranged{kState};
    const std::vector<std::string> placed{kState, kAt1};
    struct Case {
        const std::vector<std::string>& before;
        std::vector<std::string> replies;
        std::string complaint;
    };
    const std::vector<Case> cases{
        {placed, {"OK\n"}, "answered the turn with \"OK\" instead of RPRT"},
        {placed, {"RPRT\n"}, "\"RPRT\""},
        {placed, {"RPRT 0 0\n"}, "\"RPRT 0 0\""},
        {placed, {"\x01\xff\x1b[2J\n"}, R"("\x01\xFF\x1B[2J")"},
        {placed, {flood + "\n"}, "over 256 bytes, which is not its protocol: \"AAAA"},
        {placed, {flood}, "over 256 bytes"},
        {placed, {"RPR"}, "closed the connection in the middle of a reply \"RPR\""},
        {placed, {}, "closed the connection before answering the turn"},
        {placed, {"RPRT -9\n"}, "refused azimuth 6: RPRT -9 (Command rejected by the rig)"},
        {placed, {"RPRT -42\n"}, "refused azimuth 6: RPRT -42"},
        {placed, {"RPRT -2147483648\n"}, "refused azimuth 6: RPRT -2147483648"},
        {ranged, {}, "closed the connection before reporting its position"},
        {ranged, {"RPRT -5\n"}, "could not report its position: RPRT -5 (Communication timed out)"},
        {ranged, {"north\n0.00\n"}, "reported \"north\" as its azimuth"},
        {ranged, {"1.00\n"}, "closed the connection before reporting its elevation"},
        {ranged, {"1.00\nnan\n"}, "reported \"nan\" as its elevation"},
        {ranged, {"1,00\n0,00\n"}, "reported \"1,00\" as its azimuth"},
        {ranged, {"1e308\n0.00\n"}, "reported \"1e308\" as its azimuth, outside the protocol's -360..720"},
        {none, {}, "closed the connection before telling its range"},
        {none, {"dump_state:\n" + flood + "\n"}, "over 256 bytes"},
        {none, {"dump_state:\nMinimum Azimuth: 0\n"}, "closed the connection before telling its range"},
        {none, {"x\nx\n"}, "sent \"x\" in reply to \\dump_state, which is not its protocol"},
        {none, {"HTTP/1.1 400 Bad Request\r\n"}, "sent \"HTTP/1.1 400 Bad Request\" in reply to \\dump_state"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.complaint);
        std::vector<std::string> replies = c.before;
        replies.insert(replies.end(), c.replies.begin(), c.replies.end());
        FakeRotator fake(replies, true);
        const auto outcome = turnRotator(loopback(fake.port()), 6, 5s);
        EXPECT_EQ(outcome.status, RotatorStatus::RotatorError);
        EXPECT_NE(outcome.message.find("the rotator at 127.0.0.1:" + std::to_string(fake.port())), std::string::npos)
            << outcome.message;
        EXPECT_NE(outcome.message.find(c.complaint), std::string::npos) << outcome.message;
    }
}

// A byte that could drive a terminal: a control character (C0, DEL or C1)
// or a byte that is not part of well-formed UTF-8.
bool hasRawControl(std::string_view text)
{
    while (!text.empty()) {
        const std::size_t length = skybrant::utf8Length(text);
        if (length == 0) {
            return true;
        }
        const char32_t c = skybrant::utf8Decode(text.substr(0, length));
        if (c < 0x20 || (c >= 0x7f && c <= 0x9f)) {
            return true;
        }
        text.remove_prefix(length);
    }
    return false;
}

TEST(RotatorConnection, HostileRepliesReachNoTerminalRaw)
{
    const std::string hostile[] = {
        "\x1b]0;owned\x07",  // sets the terminal's title
        "\x1b[2J\x1b[H",  // clears the screen
        std::string("a\0b", 3),  // NUL
        "\a\a",  // BEL
        "\xff\xfe\xc3",  // not UTF-8
        std::string("\xc2\x9b") + "31m",  // C1 control sequence introducer
        "\r\b\x7f",  // carriage return, backspace, DEL
    };
    for (const auto& bytes : hostile) {
        std::string overlong = bytes;
        overlong.append(300, 'A').append(bytes).append("\n");
        struct Step {
            const char* name;
            std::vector<std::string> replies;
        };
        const std::vector<Step> steps{
            {"the turn's answer", {kState, kAt1, bytes + "\n"}},
            {"the azimuth", {kState, bytes + "\n0\n"}},
            {"the elevation", {kState, "1\n" + bytes + "\n"}},
            {"the range", {"dump_state:\nMinimum Azimuth: " + bytes + "\n"}},
            {"an unfinished reply", {bytes}},
            {"an overlong reply", {overlong}},
        };
        for (const auto& step : steps) {
            std::string trace = step.name;
            trace += ": " + skybrant::quote(bytes);
            SCOPED_TRACE(trace);
            FakeRotator fake(step.replies, true);
            const auto outcome = turnRotator(loopback(fake.port()), 6, 5s);
            EXPECT_EQ(outcome.status, RotatorStatus::RotatorError);
            EXPECT_FALSE(hasRawControl(outcome.message)) << skybrant::quote(outcome.message);
        }
    }
}

}  // namespace

namespace {

RotatorRequest requestTo(std::uint16_t port, double heading)
{
    RotatorRequest request;
    request.address = loopback(port);
    request.heading = heading;
    request.timeout = 5s;
    return request;
}

TEST(RotatorRange, SendsTheAzimuthWithinTheRangeThatTurnsTheLeast)
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

TEST(RotatorRange, BothLimitsGivenLeaveTheDaemonUnasked)
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

TEST(RotatorRange, LimitsThatRuleTheTurnOutLeaveTheDaemonUncontacted)
{
    struct Case {
        const char* name;
        std::optional<double> minAzimuth;
        std::optional<double> maxAzimuth;
        double heading;
        std::string complaint;
    };
    const std::vector<Case> cases{
        {"both limits", 0.0, 90.0, 200, "no azimuth within the range 0..90 given points that way"},
        {"a minimum alone", 400.0, {}, 30, "no azimuth within the range 400..720 the limit given allows"},
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
        EXPECT_NE(outcome.message.find("cannot turn to the beam heading " + std::to_string(int(c.heading))),
            std::string::npos)
            << outcome.message;
        EXPECT_NE(outcome.message.find(c.complaint), std::string::npos) << outcome.message;
        pollfd waiting{listening.fd, POLLIN, 0};
        EXPECT_EQ(poll(&waiting, 1, 100), 0) << "the daemon was contacted";
    }
}

TEST(RotatorRange, NoAzimuthWithinTheRangeIsRefusedBeforeTurning)
{
    FakeRotator fake(daemonScript(stateReply("0.000000", "90.000000"), "RPRT 0\n", {"45.00\n0.00\n"}));
    const auto outcome = skybrant::cli::turnRotator(requestTo(fake.port(), 200));
    EXPECT_EQ(outcome.status, RotatorStatus::OutOfRange);
    EXPECT_NE(outcome.message.find("cannot turn to the beam heading 200: no azimuth within its range 0..90 points "
                                   "that way"),
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

TEST(RotatorConnection, TimeoutStartsOnceTheNameIsLookedUp)
{
    FakeRotator fake({kState, kAt1, "RPRT 0\n"}, true);
    RotatorRequest request = requestTo(fake.port(), 6);
    request.address.host = "rotator.example";
    request.timeout = 300ms;
    // A resolver slower than the whole timeout.
    request.lookUp = [](const std::string& host, std::string&) {
        EXPECT_EQ(host, "rotator.example");
        std::this_thread::sleep_for(600ms);
        return std::vector<std::string>{"127.0.0.1"};
    };
    const auto outcome = skybrant::cli::turnRotator(request);
    EXPECT_EQ(outcome.status, RotatorStatus::Started) << outcome.message;
}

TEST(RotatorDaemon, WaitsForTheDummyToArrive)
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
