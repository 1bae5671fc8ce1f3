// The command line's turn against a real rotctld and scripted daemons: the
// connection, the exchange and what the daemon may answer.

#include "cli/rotator.h"
#include "core/utf8.h"
#include "rotator_peers.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <optional>
#include <thread>
#include <utility>
#include <vector>

using skybrant::cli::RangeSource;
using skybrant::cli::RotatorOutcome;
using skybrant::cli::RotatorRequest;
using skybrant::cli::RotatorStatus;
using skybrant::rotctl::RotatorAddress;
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

TEST(RotatorConnection, TimeoutStartsOnceTheNameIsLookedUp)
{
    FakeRotator fake({kState, kAt1, "RPRT 0\n"}, true);
    RotatorRequest request;
    request.address = loopback(fake.port());
    request.heading = 6;
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

}  // namespace
