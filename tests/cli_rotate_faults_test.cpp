// skybrant-cli --rotate against daemons that flood, refuse or give limits
// beyond the protocol, and addresses no resolver takes.

#include "cli_run.h"
#include "rotator_peers.h"

#include <QElapsedTimer>
#include <QString>
#include <QStringList>

#include <gtest/gtest.h>

#include <poll.h>

#include <string>

namespace {

using namespace std::chrono_literals;
using skybrant::testing::cli;
using skybrant::testing::CliRun;
using skybrant::testing::FakeRotator;
using skybrant::testing::FloodingRotator;
using skybrant::testing::shortLines;
using skybrant::testing::stateReply;
using skybrant::testing::words;

QString loopbackAddress(std::uint16_t port)
{
    return QStringLiteral("127.0.0.1:%1").arg(port);
}

// Heading 6 degrees, as the figures have it.
const QStringList kPair = words("0 0 0 N 0 0 0 E 10 0 0 N 1 0 0 E");

TEST(CliRotateFlood, AFloodingDaemonIsGivenUpOnWithinItsTimeout)
{
    struct Case {
        const char* name;
        std::string unit;
        std::size_t total;
        std::chrono::milliseconds pause;
        int exitCode;
        const char* err;
    };
    const Case cases[] = {
        // 10 MB at once, begun as a state would be: the reply's cap is passed
        // long before the timeout.
        {"a flood of short lines", "dump_state:\n" + shortLines(std::size_t{64} * 1024), std::size_t{10} * 1024 * 1024,
            0ms, 5, "sent over 200 lines in one reply, which is not its protocol: \"x\\x0Ax\\x0A"},
        // A line every 20 ms, within the cap for 4 s: not rotctld from the
        // first line, not a daemon that did not answer.
        {"a trickle of short lines", "x\n", std::size_t{2000}, 20ms, 5,
            "sent \"x\" in reply to \\dump_state, which is not its protocol"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        FloodingRotator fake(c.unit, c.total, c.pause);
        QElapsedTimer clock;
        clock.start();
        const CliRun r = cli(kPair + QStringList{"--rotate", loopbackAddress(fake.port()), "--timeout", "1"});
        // Well under the 9.6 s it once took, with room for a loaded machine.
        EXPECT_LT(clock.elapsed(), 5000);
        EXPECT_EQ(r.exitCode, c.exitCode) << r.err.toStdString();
        EXPECT_TRUE(r.err.contains(QString::fromUtf8(c.err))) << r.err.toStdString();
        EXPECT_LT(r.err.size(), 300) << "a flood is quoted only in part";
    }
}

TEST(CliRotateFaults, NothingIsSentPastAReplyThatCannotBeUsed)
{
    struct Case {
        const char* name;
        std::vector<std::string> replies;
        const char* heard;  // all the daemon was sent
        const char* err;
        const char* notSaid;
    };
    const Case cases[] = {
        {"the first position refused", {stateReply("0.000000", "360.000000"), "RPRT -5\n"}, "+\\dump_state\np\n",
            "could not report its position: RPRT -5 (Communication timed out)", "turned"},
        {"limits far beyond any turn", {stateReply("-100000000000000000.000000", "100000000000000000.000000")},
            "+\\dump_state\n",
            "sent the azimuth limit \"-100000000000000000.000000\", outside the protocol's -360..720", "azimuth 1"},
        {"one limit just past the top", {stateReply("0.000000", "720.5")}, "+\\dump_state\n",
            "sent the azimuth limit \"720.5\", outside the protocol's -360..720", "turn started"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        FakeRotator fake(c.replies, true);
        const CliRun r = cli(kPair + QStringList{"--rotate", loopbackAddress(fake.port())});
        EXPECT_EQ(r.exitCode, 5) << r.err.toStdString();
        EXPECT_TRUE(r.err.contains(QString::fromUtf8(c.err))) << r.err.toStdString();
        EXPECT_FALSE(r.err.contains(QString::fromUtf8(c.notSaid))) << r.err.toStdString();
        EXPECT_FALSE(r.out.contains(QString::fromUtf8(c.notSaid))) << r.out.toStdString();
        EXPECT_EQ(fake.heard(), c.heard);
    }
}

TEST(CliRotateFaults, AnAddressWithoutAPortIsHamlibsPort4533)
{
    // Bound but not listening: a connection to 127.0.0.1:4533 is refused,
    // and the message names the port taken.
    const skybrant::testing::LoopbackSocket taken(false, 4533);
    if (taken.port != 4533) {
        GTEST_SKIP() << "port 4533 on 127.0.0.1 is in use here";
    }
    const CliRun r = cli(kPair + QStringList{"--rotate", "127.0.0.1"});
    EXPECT_EQ(r.exitCode, 3) << r.err.toStdString();
    EXPECT_TRUE(r.err.contains(u"cannot connect to the rotator at 127.0.0.1:4533: connection refused"))
        << r.err.toStdString();
}

TEST(CliRotateFaults, LimitsThatRuleTheTurnOutLeaveTheDaemonUncontacted)
{
    // Listening: a connection would be taken, and seen.
    const skybrant::testing::LoopbackSocket listening(true);
    const CliRun r = cli(kPair +
        QStringList{"--rotate", loopbackAddress(listening.port), "--min-az", "90", "--max-az", "180", "--json"});
    EXPECT_EQ(r.exitCode, 5) << r.err.toStdString();
    EXPECT_TRUE(
        r.err.contains(QStringLiteral("the rotator at %1 cannot reach 6\u00b0 (azimuth 6): its range is 90..180")
                           .arg(loopbackAddress(listening.port))))
        << r.err.toStdString();
    pollfd waiting{listening.fd, POLLIN, 0};
    EXPECT_EQ(poll(&waiting, 1, 0), 0) << "the daemon was contacted";
}

TEST(CliRotateFaults, AHostNameTooLongForAnyResolverIsRefusedBriefly)
{
    for (const int length : {254, 100000}) {
        SCOPED_TRACE(length);
        const QString host(length, u'a');
        const CliRun r = cli(kPair + QStringList{"--rotate", host + QStringLiteral(":4533")});
        EXPECT_EQ(r.exitCode, 2) << r.err.toStdString();
        EXPECT_TRUE(r.err.contains(
            QStringLiteral("has a host of %1 bytes, longer than the 253 a host name can have").arg(length)))
            << r.err.left(400).toStdString();
        EXPECT_LT(r.err.size(), 400);
        EXPECT_TRUE(r.out.isEmpty());
    }
}

}  // namespace
