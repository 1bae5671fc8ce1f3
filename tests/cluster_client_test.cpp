// The DX cluster client against a cluster written here, on a loopback
// port: the login, every kind of line (a line of 100 KB and binary garbage
// among them), keep-alive, a hang-up and a restart on the same port; and
// the telnet commands taken out of what a cluster sends.

#include "cluster/cluster_client.h"
#include "cluster/telnet_bytes.h"
#include "fake_cluster.h"

#include <QCoreApplication>
#include <QSignalSpy>
#include <QTcpServer>
#include <QTcpSocket>
#include <QTest>

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

namespace skybrant::cluster {
namespace {

using namespace std::chrono_literals;
using testing::FakeCluster;
using testing::quick;

struct Heard {
    std::vector<ClusterSpot> spots;
    std::vector<ClusterWeather> weather;
    QStringList console;
    QStringList states;
};

void listen(ClusterClient& client, Heard& heard)
{
    QObject::connect(&client, &ClusterClient::spotReceived, [&](const ClusterSpot& s) { heard.spots.push_back(s); });
    QObject::connect(
        &client, &ClusterClient::weatherReceived, [&](const ClusterWeather& w) { heard.weather.push_back(w); });
    QObject::connect(&client, &ClusterClient::consoleLine, [&](const QString& line) { heard.console << line; });
    QObject::connect(&client, &ClusterClient::stateChanged, [&] { heard.states << client.stateText(); });
}

TEST(TelnetBytesTest, KeepsOnlyTheText)
{
    const struct {
        const char* name;
        std::string sent;
        std::string text;
    } cases[] = {
        {"plain text", "DX de K1AB\r\n", "DX de K1AB\r\n"},
        {"will echo", "pass\xff\xfb\x01word", "password"},
        {"do window size",
            "a\xff\xfd\x1f"
            "b",
            "ab"},
        {"no operation",
            "a\xff\xf1"
            "b",
            "ab"},
        {"sub-negotiation",
            "a\xff\xfa\x18\x01\xff\xf0"
            "b",
            "ab"},
        {"sub-negotiation holding 255",
            "a\xff\xfa\x18\xff\xff\x01\xff\xf0"
            "b",
            "ab"},
        {"escaped 255",
            "a\xff\xff"
            "b",
            "a\xff"
            "b"},
        {"command at the end", "ab\xff", "ab"},
    };
    for (const auto& c : cases) {
        TelnetBytes telnet;
        std::string text;
        for (const char byte : c.sent) {
            if (telnet.isText(static_cast<unsigned char>(byte))) {
                text += byte;
            }
        }
        EXPECT_EQ(text, c.text) << c.name;
    }
}

TEST(ClusterClientTest, LogsInAndReadsEveryKindOfLine)
{
    FakeCluster cluster;
    ClusterClient client(quick());
    Heard heard;
    listen(client, heard);
    QString error;
    ASSERT_TRUE(client.start(cluster.address(), QStringLiteral("dl1abc"), error)) << error.toStdString();
    ASSERT_TRUE(QTest::qWaitFor([&] { return cluster.received.contains("DL1ABC\r\n"); }, 5000));
    EXPECT_EQ(client.state(), ClusterClient::State::LoggedIn);

    QByteArray script = "DX de W3LPL-#:    7025.1  DL1ABC       CW 22 dB 28 WPM CQ             0102Z\r\n"
                        "DX de DL1ABC:    50313.0  K1AB         FT8                    2359Z FN42\r\n"
                        "DX de dl1abc:14074\tk1ab\t\tFT8 JO62<ES>FN42   \t 0000Z\r\n"
                        "WWV de W0MU <18>:   SFI=68, A=4, K=1, No Storms -> No Storms\r\n"
                        "WCY de DK0WCY-1 <18> : K=2 expK=3 A=6 R=15 SFI=75 SA=qui GMF=qui Au=no\r\n";
    script += QByteArray(qsizetype{100} * 1024, 'x') + "\r\n";
    script += QByteArray("\xff\xfb\x01\x00\x01\x1b[2J\x80\xfe binary\r\n", 20);
    script += "DL1ABC de TEST 2-Jan-2024 1234Z >\r\n";
    script += "DX de DL1ABC: 21074 END1 FT8 1200Z\r\n";
    cluster.send(script);
    ASSERT_TRUE(QTest::qWaitFor([&] { return !heard.spots.empty() && heard.spots.back().dxCall == "END1"; }, 5000));

    ASSERT_EQ(heard.spots.size(), 4U);
    EXPECT_EQ(heard.spots[0].spotter, "W3LPL");
    EXPECT_EQ(heard.spots[0].dxGrid, "");
    EXPECT_EQ(heard.spots[1].dxGrid, "FN42");
    EXPECT_EQ(heard.spots[2].dxCall, "K1AB");
    EXPECT_EQ(heard.spots[2].dxGrid, "FN42");
    ASSERT_EQ(heard.weather.size(), 2U);
    EXPECT_EQ(heard.weather[0].solarFlux, 68);
    EXPECT_EQ(heard.weather[1].kIndex, 2);
    // The long line cut, the garbage shown harmless, the prompt as it came.
    ASSERT_GE(heard.console.size(), 4) << heard.console.join(u'|').toStdString();
    EXPECT_TRUE(heard.console.contains(QStringLiteral("Hello from a test cluster")));
    EXPECT_TRUE(heard.console.contains(QStringLiteral("login:")));
    EXPECT_TRUE(heard.console.contains(QStringLiteral("DL1ABC de TEST 2-Jan-2024 1234Z >")));
    for (const QString& line : heard.console) {
        EXPECT_LE(line.size(), kMaxClusterLine);
        for (const QChar c : line) {
            EXPECT_FALSE(c.unicode() < 0x20 || (c.unicode() >= 0x7F && c.unicode() <= 0x9F)) << line.toStdString();
        }
    }
    EXPECT_TRUE(std::any_of(heard.console.begin(), heard.console.end(),
        [](const QString& line) { return line.startsWith(QString(kMaxClusterLine, u'x')); }));
    EXPECT_TRUE(client.stateText().contains(QStringLiteral("last spot at"))) << client.stateText().toStdString();

    QString sendError;
    EXPECT_TRUE(client.sendCommand(QStringLiteral("SH/DX 20"), sendError));
    EXPECT_FALSE(client.sendCommand(QStringLiteral("SH/DX\r\nBYE"), sendError));
    EXPECT_FALSE(sendError.isEmpty());
    ASSERT_TRUE(QTest::qWaitFor([&] { return cluster.received.contains("SH/DX 20\r\n"); }, 5000));
    EXPECT_FALSE(cluster.received.contains("BYE"));
}

TEST(ClusterClientTest, ReconnectsAfterAHangUpAndARestartOnTheSamePort)
{
    auto cluster = std::make_unique<FakeCluster>();
    const quint16 port = cluster->port();
    ClusterClient client(quick());
    Heard heard;
    listen(client, heard);
    QString error;
    ASSERT_TRUE(client.start(cluster->address(), QStringLiteral("DL1ABC"), error));
    ASSERT_TRUE(QTest::qWaitFor([&] { return client.state() == ClusterClient::State::LoggedIn; }, 5000));

    // The cluster goes away: hung up, then refused while it is down.
    cluster->hangUp();
    cluster->close();
    ASSERT_TRUE(QTest::qWaitFor([&] { return heard.states.join(u'|').contains(QStringLiteral("refused by")); }, 5000))
        << heard.states.join(u'|').toStdString();
    EXPECT_TRUE(heard.states.join(u'|').contains(QStringLiteral("the cluster hung up")));

    // Back on the same port: the client finds it and logs in again.
    ASSERT_TRUE(cluster->listen(port));
    const int before = cluster->connections;
    ASSERT_TRUE(QTest::qWaitFor(
        [&] { return cluster->connections > before && cluster->received.contains("DL1ABC\r\n"); }, 5000));
    EXPECT_EQ(client.state(), ClusterClient::State::LoggedIn);
}

TEST(ClusterClientTest, KeepsAQuietLinkAliveAndDropsADeadOne)
{
    FakeCluster cluster;
    ClusterTiming timing = quick();
    timing.quiet = 300ms;
    ClusterClient client(timing);
    QString error;
    ASSERT_TRUE(client.start(cluster.address(), QStringLiteral("DL1ABC"), error));
    ASSERT_TRUE(QTest::qWaitFor([&] { return cluster.received == "DL1ABC\r\n"; }, 5000));
    // One empty line after the silence, then a new connection when that
    // goes unanswered.
    ASSERT_TRUE(QTest::qWaitFor([&] { return cluster.received == "DL1ABC\r\n\r\n"; }, 5000))
        << cluster.received.toStdString();
    ASSERT_TRUE(QTest::qWaitFor([&] { return cluster.connections == 2; }, 5000));
}

TEST(ClusterClientTest, RefusesAnAddressOrCallsignItCannotUse)
{
    ClusterClient client(quick());
    const struct {
        const char* name;
        const char* address;
        const char* call;
    } cases[] = {
        {"no port", "dxc.example.org", "DL1ABC"},
        {"bad port", "dxc.example.org:99999", "DL1ABC"},
        {"empty address", "", "DL1ABC"},
        {"no callsign", "127.0.0.1:7300", ""},
        {"callsign with a blank", "127.0.0.1:7300", "DL1 ABC"},
        {"callsign with a line end", "127.0.0.1:7300", "DL1ABC\r\nSH/DX"},
    };
    for (const auto& c : cases) {
        QString error;
        EXPECT_FALSE(client.start(QString::fromLatin1(c.address), QString::fromLatin1(c.call), error)) << c.name;
        EXPECT_FALSE(error.isEmpty()) << c.name;
        EXPECT_EQ(client.state(), ClusterClient::State::Stopped) << c.name;
    }
    QString error;
    EXPECT_FALSE(client.sendCommand(QStringLiteral("SH/DX"), error));
}

}  // namespace
}  // namespace skybrant::cluster

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
