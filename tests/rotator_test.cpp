#include "cli/rotator.h"
#include "core/utf8.h"
#include "rotator_peers.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <optional>
#include <stdexcept>
#include <thread>
#include <utility>
#include <vector>

using skybrant::rotctl::RotatorAddress;
using skybrant::cli::RotatorStatus;
using skybrant::cli::turnRotator;
using skybrant::testing::FakeRotator;
using skybrant::testing::LoopbackSocket;
using skybrant::testing::Rotctld;
using namespace std::chrono_literals;

namespace {

RotatorAddress loopback(std::uint16_t port)
{
    return {"127.0.0.1", port};
}

TEST(RotatorDaemon, TurnsTheDummyRotator)
{
    SKIP_WITHOUT_ROTCTLD();
    Rotctld daemon;
    ASSERT_TRUE(daemon.accepting()) << "rotctld did not start listening";
    const auto outcome = turnRotator(loopback(daemon.port), 6, 5s);
    ASSERT_EQ(outcome.status, RotatorStatus::Turned) << outcome.message;
    EXPECT_GE(outcome.reportedAzimuth, 0);
    EXPECT_LE(outcome.reportedAzimuth, 6);
    EXPECT_EQ(outcome.reportedElevation, 0);

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

TEST(RotatorDaemon, PassesOnTheDaemonsErrorCode)
{
    SKIP_WITHOUT_ROTCTLD();
    Rotctld daemon({"-C", "max_az=10"});
    ASSERT_TRUE(daemon.accepting()) << "rotctld did not start listening";
    const auto outcome = turnRotator(loopback(daemon.port), 51, 5s);
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
    // Silent before the turn's answer, before the position, and halfway through it.
    const std::vector<std::vector<std::string>> answeredSoFar{{}, {"RPRT 0\n"}, {"RPRT 0\n", "1.00\n"}};
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

TEST(RotatorConnection, SendsPlainCommandsAndReadsThePositionBack)
{
    const std::vector<std::pair<double, std::string>> commands{
        {6.5, "P 6.50 0.00\n"}, {288.004, "P 288.00 0.00\n"}, {0, "P 0.00 0.00\n"}};
    for (const auto& [azimuth, command] : commands) {
        SCOPED_TRACE(command);
        FakeRotator fake({"RPRT 0\n", "1.5\r\n-0.25\r\n"}, true);
        const auto outcome = turnRotator(loopback(fake.port()), azimuth, 5s);
        ASSERT_EQ(outcome.status, RotatorStatus::Turned) << outcome.message;
        EXPECT_EQ(outcome.reportedAzimuth, 1.5);
        EXPECT_EQ(outcome.reportedElevation, -0.25);
        EXPECT_EQ(fake.heard(), command + "p\n");
    }
}

TEST(RotatorConnection, RepliesOutsideTheProtocolAreRotatorErrors)
{
    const std::string flood(300, 'A');
    const std::vector<std::pair<std::vector<std::string>, std::string>> cases{
        {{"OK\n"}, "answered the turn with \"OK\" instead of RPRT"},
        {{"RPRT\n"}, "\"RPRT\""},
        {{"RPRT 0 0\n"}, "\"RPRT 0 0\""},
        {{"\x01\xff\x1b[2J\n"}, R"("\x01\xFF\x1B[2J")"},
        {{flood + "\n"}, "longer than 256 bytes: \"AAAA"},
        {{flood}, "longer than 256 bytes"},
        {{"RPR"}, "closed the connection in the middle of a reply \"RPR\""},
        {{}, "closed the connection before answering the turn"},
        {{"RPRT -9\n"}, "refused azimuth 6: RPRT -9 (Command rejected by the rig)"},
        {{"RPRT -42\n"}, "refused azimuth 6: RPRT -42"},
        {{"RPRT -2147483648\n"}, "refused azimuth 6: RPRT -2147483648"},
        {{"RPRT 0\n"}, "closed the connection before reporting its position"},
        {{"RPRT 0\n", "RPRT -5\n"}, "could not report its position: RPRT -5 (Communication timed out)"},
        {{"RPRT 0\n", "north\n0.00\n"}, "reported \"north\" as its azimuth"},
        {{"RPRT 0\n", "1.00\n"}, "closed the connection before reporting its elevation"},
        {{"RPRT 0\n", "1.00\nnan\n"}, "reported \"nan\" as its elevation"},
        {{"RPRT 0\n", "1,00\n0,00\n"}, "reported \"1,00\" as its azimuth"},
    };
    for (const auto& [replies, complaint] : cases) {
        SCOPED_TRACE(complaint);
        FakeRotator fake(replies, true);
        const auto outcome = turnRotator(loopback(fake.port()), 6, 5s);
        EXPECT_EQ(outcome.status, RotatorStatus::RotatorError);
        EXPECT_NE(outcome.message.find("the rotator at 127.0.0.1:" + std::to_string(fake.port())), std::string::npos)
            << outcome.message;
        EXPECT_NE(outcome.message.find(complaint), std::string::npos) << outcome.message;
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
            {"the turn's answer", {bytes + "\n"}},
            {"the azimuth", {"RPRT 0\n", bytes + "\n0\n"}},
            {"the elevation", {"RPRT 0\n", "1\n" + bytes + "\n"}},
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
