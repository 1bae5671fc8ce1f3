// skybrant-cli --rotate against a real rotctld and scripted fake daemons.

#include "cli_run.h"
#include "rotator_peers.h"

#include <QJsonObject>
#include <QString>
#include <QStringList>

#include <gtest/gtest.h>

#include <optional>
#include <thread>

namespace {

using namespace std::chrono_literals;
using skybrant::testing::cli;
using skybrant::testing::CliRun;
using skybrant::testing::FakeRotator;
using skybrant::testing::jsonObject;
using skybrant::testing::LoopbackSocket;
using skybrant::testing::Rotctld;
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
        const QString turning =
            QStringLiteral("Rotator at %1: turning to %2 degrees; it reports azimuth ").arg(address).arg(c.azimuth);
        EXPECT_TRUE(r.out.contains(turning)) << r.out.toStdString();
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
    FakeRotator refusingAzimuth({"RPRT -1\n"}, true);
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
    EXPECT_EQ(refusingAzimuth.heard(), "P 6.00 0.00\n");

    FakeRotator answering({"RPRT -1\n"}, true);
    const CliRun json = cli(words(qPrintable(pair)) + QStringList{"--rotate", at(answering.port()), "--json"});
    EXPECT_EQ(json.exitCode, 5);
    const QJsonObject rotator = jsonObject(json.out).value(u"rotator").toObject();
    EXPECT_EQ(rotator.value(u"address").toString(), at(answering.port()));
    EXPECT_EQ(rotator.value(u"commanded_azimuth").toDouble(), 6);
    EXPECT_TRUE(rotator.value(u"error").toString().contains(u"RPRT -1"));
}

}  // namespace
