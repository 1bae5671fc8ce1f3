// skybrant-cli --rotate against a real rotctld and scripted fake daemons.

#include "cli_run.h"
#include "rotator_peers.h"

#include <QJsonObject>
#include <QJsonValue>
#include <QProcess>
#include <QString>
#include <QStringList>

#include <gtest/gtest.h>

#include <fcntl.h>
#include <poll.h>
#include <stdlib.h>
#include <unistd.h>

#include <array>
#include <memory>
#include <optional>
#include <stdexcept>
#include <string>
#include <string_view>
#include <thread>
#include <vector>

namespace {

using namespace std::chrono_literals;
using skybrant::testing::cli;
using skybrant::testing::CliRun;
using skybrant::testing::FakeRotator;
using skybrant::testing::jsonObject;
using skybrant::testing::LoopbackSocket;
using skybrant::testing::Rotctld;
using skybrant::testing::stateReply;
using skybrant::testing::words;

TEST(CliRotate, TurnsTheRealRotatorShortOrLongWay)
{
    SKIP_WITHOUT_ROTCTLD();
    Rotctld daemon;
    ASSERT_TRUE(daemon.accepting());
    const QString address = QStringLiteral("127.0.0.1:%1").arg(daemon.port);
    struct Case {
        const char* pair;
        bool longPath;
        double azimuth;
    };
    // 6 degrees out, and 183 back whose long way is 3: the dummy turns at
    // about 6 degrees a second from 0.
    for (const Case c :
        {Case{"0 0 0 N 0 0 0 E 10 0 0 N 1 0 0 E", false, 6}, Case{"10 0 0 N 0 0 0 E 0 0 0 N 0 30 0 W", true, 3}}) {
        SCOPED_TRACE(c.longPath ? "the long way" : "the short way");
        QStringList args = words(c.pair) + QStringList{"--rotate", address};
        if (c.longPath) {
            args << QStringLiteral("--long-path");
        }
        const CliRun r = cli(args);
        EXPECT_EQ(r.exitCode, 0) << r.err.toStdString();
        // Started, not where it ended: the turn takes the dummy a second or so.
        const QString turning = QStringLiteral("Rotator at %1: turn started from azimuth ").arg(address);
        EXPECT_TRUE(r.out.contains(turning)) << r.out.toStdString();
        EXPECT_TRUE(r.out.contains(QStringLiteral(" to azimuth %1 (").arg(c.azimuth))) << r.out.toStdString();
        EXPECT_FALSE(r.out.contains(u"reports")) << r.out.toStdString();
        EXPECT_TRUE(r.out.startsWith(u"Distance: ")) << "figures come first";
        std::optional<double> reported;
        for (int i = 0; i < 150 && reported != c.azimuth; ++i) {
            std::this_thread::sleep_for(100ms);
            reported = daemon.azimuth();
        }
        EXPECT_EQ(reported, c.azimuth);
    }
}

TEST(CliRotate, EachFailureHasItsStatusAndKeepsTheFigures)
{
    const LoopbackSocket refusing(false);
    FakeRotator silent({}, false);
    const std::string state = stateReply("0.000000", "360.000000");
    FakeRotator refusingAzimuth({state, "0.00\n0.00\n", "RPRT -1\n"}, true);
    const auto at = [](std::uint16_t port) { return QStringLiteral("127.0.0.1:%1").arg(port); };
    struct Case {
        QStringList args;
        int exitCode;
        const char* err;
    };
    const QString pair = QStringLiteral("0 0 0 N 0 0 0 E 10 0 0 N 1 0 0 E");
    const Case cases[] = {
        {words(qPrintable(pair)) + QStringList{"--rotate", at(refusing.port)}, 3, "connection refused"},
        {words(qPrintable(pair)) + QStringList{"--rotate", at(silent.port()), "--timeout", "0.3"}, 4,
            "did not answer within 0.3 s"},
        {words(qPrintable(pair)) + QStringList{"--rotate", at(refusingAzimuth.port())}, 5,
            "refused azimuth 6: RPRT -1 (Invalid parameter)"},
        // No heading: nothing to turn to, and no connection tried.
        {words("JO01 JO01 --rotate") + QStringList{at(refusing.port)}, 1, "no beam heading to turn the rotator to"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.err);
        const CliRun r = cli(c.args);
        EXPECT_EQ(r.exitCode, c.exitCode) << c.args.join(u' ').toStdString() << "\n" << r.err.toStdString();
        EXPECT_TRUE(r.err.contains(QString::fromUtf8(c.err))) << r.err.toStdString();
        EXPECT_TRUE(r.out.startsWith(u"Distance: ")) << r.out.toStdString();
        EXPECT_FALSE(r.out.contains(u"Rotator at"));
    }
    EXPECT_EQ(refusingAzimuth.heard(), "+\\dump_state\np\nP 6.00 0.00\n");

    FakeRotator answering({state, "0.00\n0.00\n", "RPRT -1\n"}, true);
    const CliRun json = cli(words(qPrintable(pair)) + QStringList{"--rotate", at(answering.port()), "--json"});
    EXPECT_EQ(json.exitCode, 5);
    const QJsonObject rotator = jsonObject(json.out).value(u"rotator").toObject();
    EXPECT_EQ(rotator.value(u"address").toString(), at(answering.port()));
    EXPECT_EQ(rotator.value(u"commanded_azimuth").toDouble(), 6);
    EXPECT_TRUE(rotator.value(u"error").toString().contains(u"RPRT -1"));
    EXPECT_EQ(rotator.value(u"range_from").toString(), u"rotator");

    // Nothing learnt from a rotator that cannot be reached: null, not empty.
    const CliRun unreached = cli(words(qPrintable(pair)) + QStringList{"--rotate", at(refusing.port), "--json"});
    EXPECT_EQ(unreached.exitCode, 3);
    const QJsonObject none = jsonObject(unreached.out).value(u"rotator").toObject();
    for (const char* name : {"range_from", "min_azimuth", "start_azimuth", "commanded_azimuth", "arrived"}) {
        EXPECT_TRUE(none.value(QLatin1String(name)).isNull()) << name;
    }
    EXPECT_EQ(none.value(u"result").toString(), u"failed");
}

const QString kLondonNewYork = QStringLiteral("51 30 0 N 0 7 0 W 40 42 0 N 74 0 0 W");  // 288 degrees
// 10 degrees north and a second west: 359.99..., shown as 360.
const QString kDueNorth = QStringLiteral("0 0 0 N 0 0 0 E 10 0 0 N 0 0 1 W");

QString loopbackAddress(std::uint16_t port)
{
    return QStringLiteral("127.0.0.1:%1").arg(port);
}

TEST(CliRotate, SendsTheRealRotatorTheAzimuthWithinItsRange)
{
    SKIP_WITHOUT_ROTCTLD();
    struct Case {
        const char* name;
        QStringList daemonOptions;
        QString pair;
        QStringList options;
        int exitCode;
        const char* out;  // or, for a refusal, the error
    };
    const Case cases[] = {
        {"-180..180 turns 289 as -71", {"-C", "min_az=-180,max_az=180"}, "JO01 FN20xr", {}, 0,
            "turn started from azimuth 0 to azimuth -71 (beam heading 289 degrees, range -180..180 from the rotator)"},
        {"0..450 turns 289 as itself", {"-C", "min_az=0,max_az=450"}, "JO01 FN20xr", {}, 0,
            "to azimuth 289 (beam heading 289 degrees, range 0..450 from the rotator)"},
        {"the dummy's own -180..450 turns 288 the shorter way", {}, kLondonNewYork, {}, 0,
            "to azimuth -72 (beam heading 288 degrees, range -180..450 from the rotator)"},
        {"0..359 takes a heading shown as 360 as north", {"-C", "min_az=0,max_az=359"}, kDueNorth, {}, 0,
            "to azimuth 0 (beam heading 360 degrees, range 0..359 from the rotator)"},
        {"the limits given stand in for the daemon's", {}, kLondonNewYork, {"--min-az", "0", "--max-az", "360"}, 0,
            "to azimuth 288 (beam heading 288 degrees, range 0..360 given)"},
        {"nothing within 0..90 points at 289", {"-C", "min_az=0,max_az=90"}, "JO01 FN20xr", {}, 5,
            "cannot reach 289\u00b0 (azimuth 289): its range is 0..90"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        Rotctld daemon(c.daemonOptions);
        ASSERT_TRUE(daemon.accepting());
        const CliRun r = cli(c.pair.split(u' ') + QStringList{"--rotate", loopbackAddress(daemon.port)} + c.options);
        EXPECT_EQ(r.exitCode, c.exitCode) << r.err.toStdString();
        EXPECT_TRUE((c.exitCode == 0 ? r.out : r.err).contains(QString::fromUtf8(c.out)))
            << r.out.toStdString() << r.err.toStdString();
        EXPECT_TRUE(r.out.startsWith(u"Distance: "));
    }
}

TEST(CliRotate, WaitReportsWhereTheRealRotatorArrived)
{
    SKIP_WITHOUT_ROTCTLD();
    Rotctld daemon;
    ASSERT_TRUE(daemon.accepting());
    const QStringList args =
        words("0 0 0 N 0 0 0 E 10 0 0 N 1 0 0 E --wait --rotate") + QStringList{loopbackAddress(daemon.port)};
    const CliRun r = cli(args);
    EXPECT_EQ(r.exitCode, 0) << r.err.toStdString();
    EXPECT_TRUE(r.out.contains(u": turned from azimuth 0 to azimuth 6 (beam heading 6 degrees, range -180..450 "
                               u"from the rotator); it reports azimuth "))
        << r.out.toStdString();
    EXPECT_TRUE(r.err.isEmpty()) << "no progress unless on a terminal: " << r.err.toStdString();

    // Already there, so it arrives at the first reading.
    const CliRun json = cli(args + QStringList{"--json"});
    EXPECT_EQ(json.exitCode, 0) << json.err.toStdString();
    const QJsonObject rotator = jsonObject(json.out).value(u"rotator").toObject();
    EXPECT_EQ(rotator.value(u"result").toString(), u"arrived");
    EXPECT_EQ(rotator.value(u"arrived").toBool(false), true);
    EXPECT_NEAR(rotator.value(u"reported_azimuth").toDouble(), 6, 2);
    EXPECT_NEAR(rotator.value(u"start_azimuth").toDouble(), 6, 2);
    EXPECT_EQ(rotator.value(u"min_azimuth").toDouble(), -180);
    EXPECT_EQ(rotator.value(u"max_azimuth").toDouble(), 450);
    EXPECT_EQ(rotator.value(u"range_from").toString(), u"rotator");
}

TEST(CliRotate, EachEndOfTheTurnHasItsStatusAndFields)
{
    std::vector<std::string> steady;  // a degree a reading, all the way
    for (int azimuth = 0; azimuth <= 300; ++azimuth) {
        steady.push_back(std::to_string(azimuth) + "\n0.00\n");
    }
    const std::string state = stateReply("0.000000", "360.000000");
    struct Case {
        const char* name;
        std::string state;
        std::vector<std::string> positions;  // the first one before the turn
        QStringList options;
        int exitCode;
        const char* out;
        const char* err;
        const char* result;  // in JSON
        QJsonValue arrived;
        QJsonValue reported;
    };
    // Each to azimuth 6, as the figures' heading is.
    const Case cases[] = {
        {"started", state, {"0\n0\n"}, {}, 0,
            "turn started from azimuth 0 to azimuth 6 (beam heading 6 degrees, range 0..360 from the rotator)", "",
            "started", QJsonValue::Null, QJsonValue::Null},
        {"arrived", state, {"0\n0\n", "5\n0\n"}, {"--wait"}, 0,
            "turned from azimuth 0 to azimuth 6 (beam heading 6 degrees, range 0..360 from the rotator); it reports "
            "azimuth 5 degrees, elevation 0 degrees",
            "", "arrived", true, 5},
        {"stopped short", state, {"0\n0\n", "2\n0\n", "3\n0\n"}, {"--wait"}, 5,
            "turning from azimuth 0 to azimuth 6 (beam heading 6 degrees, range 0..360 from the rotator) stopped at "
            "azimuth 3 degrees, elevation 0 degrees",
            "stood still at azimuth 3 for 5 s, 3 degrees short of azimuth 6", "stopped", false, 3},
        {"the wait ran out", state, steady, {"--wait", "--wait-timeout", "0.2"}, 4, "when the wait ended",
            "after waiting 0.2 s", "wait ran out", false, 1},
        {"a range the daemon cannot tell", "RPRT -11\n", {"0\n0\n"}, {}, 0,
            "to azimuth 6 (beam heading 6 degrees, range 0..360 assumed)",
            "skybrant-cli: note: the rotator at 127.0.0.1:", "started", QJsonValue::Null, QJsonValue::Null},
        {"a position beyond the protocol", state, {"1e308\n0\n"}, {"--wait"}, 5, "",
            "reported \"1e308\" as its azimuth, outside the protocol's -360..720", "failed", false, QJsonValue::Null},
    };
    const QStringList pair = words("0 0 0 N 0 0 0 E 10 0 0 N 1 0 0 E");
    // All runs at once: the one stopping short stands still for the real
    // 5 s, once for all of them (the in-process tests time it finely).
    struct Run {
        const Case* c;
        bool json;
        std::unique_ptr<FakeRotator> fake;
        std::unique_ptr<QProcess> process;
    };
    std::vector<Run> runs;
    for (const Case& c : cases) {
        for (const bool json : {false, true}) {
            Run& run = runs.emplace_back(Run{&c, json,
                std::make_unique<FakeRotator>(skybrant::testing::daemonScript(c.state, "RPRT 0\n", c.positions)),
                std::make_unique<QProcess>()});
            QStringList args = pair + QStringList{"--rotate", loopbackAddress(run.fake->port())} + c.options;
            if (json) {
                args << QStringLiteral("--json");
            }
            run.process->start(QStringLiteral(SKYBRANT_CLI_PATH), args);
        }
    }
    for (Run& run : runs) {
        const Case& c = *run.c;
        const bool json = run.json;
        SCOPED_TRACE(std::string(c.name) + (json ? " (JSON)" : ""));
        QProcess& p = *run.process;
        EXPECT_TRUE(p.waitForFinished(60000));
        const CliRun r{
            p.exitCode(), QString::fromUtf8(p.readAllStandardOutput()), QString::fromUtf8(p.readAllStandardError())};
        EXPECT_EQ(r.exitCode, c.exitCode) << r.err.toStdString();
        EXPECT_TRUE(r.err.contains(QString::fromUtf8(c.err))) << r.err.toStdString();
        EXPECT_EQ(r.err.isEmpty(), std::string_view(c.err).empty()) << r.err.toStdString();
        if (!json) {
            EXPECT_TRUE(r.out.contains(QString::fromUtf8(c.out))) << r.out.toStdString();
            EXPECT_EQ(r.out.contains(u"Rotator at"), !std::string_view(c.out).empty()) << r.out.toStdString();
            continue;
        }
        const QJsonObject rotator = jsonObject(r.out).value(u"rotator").toObject();
        EXPECT_EQ(rotator.value(u"result").toString(), QString::fromUtf8(c.result));
        EXPECT_EQ(rotator.value(u"arrived"), c.arrived);
        if (c.reported.isDouble()) {
            EXPECT_GE(rotator.value(u"reported_azimuth").toDouble(), c.reported.toDouble());
        } else {
            EXPECT_EQ(rotator.value(u"reported_azimuth"), c.reported);
        }
        EXPECT_EQ(rotator.contains(u"error"), c.exitCode != 0);
    }
}

TEST(CliRotate, RotatorOptionsAreChecked)
{
    const QStringList pair = words("JO01 FN20xr");
    const QStringList rotate{"--rotate", "127.0.0.1:4533"};
    struct Case {
        QStringList args;
        const char* err;
    };
    const Case cases[] = {
        {rotate + QStringList{"--min-az", "west"}, "--min-az: \"west\" is not a number of degrees from -360 to 720"},
        {rotate + QStringList{"--max-az", "721"}, "--max-az: \"721\" is not a number of degrees from -360 to 720"},
        {rotate + QStringList{"--max-az", "nan"}, "--max-az: \"nan\" is not a number of degrees"},
        {rotate + QStringList{"--min-az", "180", "--max-az", "-180"},
            "--min-az \"180\" is not below --max-az \"-180\""},
        {rotate + QStringList{"--wait", "--wait-timeout", "0"}, "--wait-timeout: \"0\" is not a number of seconds"},
        {rotate + QStringList{"--wait-timeout", "5"}, "--wait-timeout is how long --wait waits and needs --wait"},
        {QStringList{"--wait"}, "--wait waits for the rotator and needs --rotate"},
        {QStringList{"--min-az", "-180"}, "--min-az limits the rotator and needs --rotate"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.err);
        const CliRun r = cli(pair + c.args);
        EXPECT_EQ(r.exitCode, 2) << r.err.toStdString();
        EXPECT_TRUE(r.err.contains(QString::fromUtf8(c.err))) << r.err.toStdString();
        EXPECT_TRUE(r.out.isEmpty());
    }
}

// The error stream on a terminal of the test's own: a pseudo-terminal pair
// it opened, never the one the tests run on.
class PrivateTerminal {
public:
    PrivateTerminal()
    {
        if (master < 0 || grantpt(master) != 0 || unlockpt(master) != 0 || ptsname(master) == nullptr) {
            throw std::runtime_error("cannot open a pseudo-terminal");
        }
        path = QString::fromLocal8Bit(ptsname(master));
    }
    ~PrivateTerminal() { close(master); }
    PrivateTerminal(const PrivateTerminal&) = delete;
    PrivateTerminal& operator=(const PrivateTerminal&) = delete;

    // What has been written to the terminal so far.
    QByteArray written() const
    {
        QByteArray bytes;
        std::array<char, 4096> buffer{};
        for (pollfd ready{master, POLLIN, 0}; poll(&ready, 1, 100) == 1 && (ready.revents & POLLIN) != 0;) {
            const ssize_t n = read(master, buffer.data(), buffer.size());
            if (n <= 0) {
                break;
            }
            bytes.append(buffer.data(), n);
        }
        return bytes;
    }

    int master = posix_openpt(O_RDWR | O_NOCTTY);
    QString path;
};

TEST(CliRotate, WaitShowsProgressOnATerminalOnly)
{
    const PrivateTerminal terminal;
    FakeRotator fake(skybrant::testing::daemonScript(
        stateReply("0.000000", "360.000000"), "RPRT 0\n", {"0\n0\n", "2\n0\n", "5.5\n0\n"}));
    QProcess p;
    p.setStandardErrorFile(terminal.path);
    p.start(QStringLiteral(SKYBRANT_CLI_PATH),
        words("0 0 0 N 0 0 0 E 10 0 0 N 1 0 0 E --wait --rotate") + QStringList{loopbackAddress(fake.port())});
    ASSERT_TRUE(p.waitForFinished(60000));
    EXPECT_EQ(p.exitCode(), 0);
    const QString out = QString::fromUtf8(p.readAllStandardOutput());
    EXPECT_TRUE(out.contains(u"it reports azimuth 5.5 degrees")) << out.toStdString();
    EXPECT_FALSE(out.contains(u'\r'));
    const QByteArray shown = terminal.written();
    const QByteArray address = loopbackAddress(fake.port()).toUtf8();
    EXPECT_TRUE(shown.contains("\rRotator at " + address + ": azimuth 2, 4 degrees to go")) << shown.toStdString();
    // The line is cleared again, without escape sequences.
    EXPECT_TRUE(shown.endsWith("\r")) << shown.toStdString();
    EXPECT_FALSE(shown.contains('\x1b'));
}

}  // namespace
