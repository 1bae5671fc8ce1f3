// skybrant-cli --follow against a fake WSJT-X, fake loggers and the dummy
// rotator of a real rotctld, all on loopback.

#include "rotator_peers.h"
#include "wsjtx_fake.h"

#include <QProcess>
#include <QRegularExpression>
#include <QString>
#include <QStringList>

#include <gtest/gtest.h>

#include <arpa/inet.h>
#include <csignal>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <chrono>
#include <optional>
#include <string>
#include <thread>
#include <vector>

namespace {

using namespace skybrant;
using namespace skybrant::testing;
using namespace std::chrono_literals;

// A UDP socket on 127.0.0.1, at a port of the kernel's choosing or the one asked for.
class Udp {
public:
    explicit Udp(std::uint16_t wanted = 0)
    {
        sockaddr_in address{};
        address.sin_family = AF_INET;
        address.sin_port = htons(wanted);
        address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
        socklen_t length = sizeof address;
        auto* generic = reinterpret_cast<sockaddr*>(&address);
        if (fd >= 0 && bind(fd, generic, length) == 0 && getsockname(fd, generic, &length) == 0) {
            port = ntohs(address.sin_port);
        }
    }
    ~Udp() { close(fd); }
    Udp(const Udp&) = delete;
    Udp& operator=(const Udp&) = delete;

    void send(const std::string& bytes, std::uint16_t to) const
    {
        sockaddr_in address{};
        address.sin_family = AF_INET;
        address.sin_port = htons(to);
        address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
        ASSERT_EQ(sendto(fd, bytes.data(), bytes.size(), 0, reinterpret_cast<sockaddr*>(&address), sizeof address),
            static_cast<ssize_t>(bytes.size()));
    }
    // The next datagram within wait; nothing when none came.
    std::optional<std::string> receive(std::chrono::milliseconds wait = 3000ms) const
    {
        pollfd p{fd, POLLIN, 0};
        if (poll(&p, 1, static_cast<int>(wait.count())) != 1) {
            return std::nullopt;
        }
        std::string bytes(70000, '\0');
        const ssize_t size = recv(fd, bytes.data(), bytes.size(), 0);
        if (size < 0) {
            return std::nullopt;
        }
        bytes.resize(static_cast<std::size_t>(size));
        return bytes;
    }

    int fd = socket(AF_INET, SOCK_DGRAM, 0);
    std::uint16_t port = 0;
};

// A free UDP port on loopback, for the program to listen at.
std::uint16_t freeUdpPort()
{
    const Udp probe;
    return probe.port;
}

// skybrant-cli --follow running in the background, stopped by SIGTERM.
class Follower {
public:
    explicit Follower(const QStringList& args)
    {
        process.start(QStringLiteral(SKYBRANT_CLI_PATH), args);
        EXPECT_TRUE(process.waitForStarted());
        // It says where it follows once the socket listens.
        process.setReadChannel(QProcess::StandardError);
        while (!err.contains(QStringLiteral("following")) && process.waitForReadyRead(5000)) {
            err += QString::fromUtf8(process.readAllStandardError());
        }
        process.setReadChannel(QProcess::StandardOutput);
        EXPECT_TRUE(err.contains(QStringLiteral("following"))) << err.toStdString();
    }
    ~Follower()
    {
        process.kill();
        process.waitForFinished(5000);
    }
    Follower(const Follower&) = delete;
    Follower& operator=(const Follower&) = delete;

    // The event lines written so far, once count of them are there.
    QStringList lines(int count)
    {
        for (int i = 0; i < 50 && out.count(u'\n') < count; ++i) {
            process.waitForReadyRead(100);
            out += QString::fromUtf8(process.readAllStandardOutput());
        }
        return out.split(u'\n', Qt::SkipEmptyParts);
    }
    // Ends it as a service manager does; its exit status.
    int stop()
    {
        kill(static_cast<pid_t>(process.processId()), SIGTERM);
        EXPECT_TRUE(process.waitForFinished(5000));
        out += QString::fromUtf8(process.readAllStandardOutput());
        err += QString::fromUtf8(process.readAllStandardError());
        return process.exitStatus() == QProcess::NormalExit ? process.exitCode() : -1;
    }

    QProcess process;
    QString out;
    QString err;
};

TEST(CliFollow, WsjtxStatusTurnsOncePerNewPickAndEveryDatagramIsForwarded)
{
    SKIP_WITHOUT_ROTCTLD();
    Rotctld rotctld;
    ASSERT_TRUE(rotctld.accepting());
    const Udp forward;
    const Udp wsjtx;
    const std::uint16_t port = freeUdpPort();
    Follower follower({"--follow", "wsjtx", "--from", "JO01mm", "--listen", "127.0.0.1:" + QString::number(port),
        "--forward", "127.0.0.1:" + QString::number(forward.port), "--rotate",
        "127.0.0.1:" + QString::number(rotctld.port), "--json"});
    const std::string first = fake::status("K1ABC", "FN42").text();
    const std::string cut = first.substr(0, first.size() - 40);
    const std::vector<std::string> sent{
        fake::heartbeat().text(),
        first,
        first,  // the same pick again: no turn
        fake::decode("CQ K1ABC FN42").text(),
        cut,  // cut short before the grid: read quietly, no pick
        fake::WsjtxDatagram(42).utf8("a type of the future").text(),
        fake::jtdxStatus("W1AW", "FN31").text(),  // 2 degrees from the antenna
        fake::close().text(),
    };
    for (const std::string& datagram : sent) {
        wsjtx.send(datagram, port);
        std::this_thread::sleep_for(50ms);
    }
    const QStringList lines = follower.lines(3);
    ASSERT_EQ(lines.size(), 3) << lines.join(u'\n').toStdString();
    EXPECT_TRUE(
        lines[0].contains(QStringLiteral(R"("call":"K1ABC","grid":"FN42","heading":289.1,"spread":[287.9,290.2])")))
        << lines[0].toStdString();
    EXPECT_TRUE(lines[0].contains(QStringLiteral(R"("decision":"turn to 289°")"))) << lines[0].toStdString();
    EXPECT_TRUE(lines[1].contains(QStringLiteral(R"("call":"W1AW","grid":"FN31")"))) << lines[1].toStdString();
    EXPECT_TRUE(lines[1].contains(QStringLiteral("from the antenna"))) << lines[1].toStdString();
    EXPECT_TRUE(lines[2].contains(QStringLiteral(R"("decision":"WSJT-X closed")"))) << lines[2].toStdString();
    for (const std::string& datagram : sent) {
        EXPECT_EQ(forward.receive(), datagram);
    }
    // 289 is -71 within the dummy's -180..180: it turns west.
    std::optional<double> azimuth;
    for (int i = 0; i < 40 && !(azimuth && *azimuth < -5); ++i) {
        std::this_thread::sleep_for(100ms);
        azimuth = rotctld.azimuth();
    }
    ASSERT_TRUE(azimuth.has_value());
    EXPECT_LT(*azimuth, -5);
    EXPECT_EQ(follower.stop(), 0) << follower.err.toStdString();
}

TEST(CliFollow, N1mmTurnsTheRotatorAndHearsItsPosition)
{
    SKIP_WITHOUT_ROTCTLD();
    const Udp reports(13010);
    if (reports.port == 0) {
        GTEST_SKIP() << "UDP port 13010, where N1MM Logger+ hears positions, is taken on this machine";
    }
    Rotctld rotctld;
    ASSERT_TRUE(rotctld.accepting());
    const Udp logger;
    const std::uint16_t port = freeUdpPort();
    Follower follower({"--follow", "n1mm", "--from", "JO01mm", "--listen", "127.0.0.1:" + QString::number(port),
        "--rotate", "127.0.0.1:" + QString::number(rotctld.port)});
    logger.send("<N1MMRotor><rotor>Beam</rotor><goazi>35.0</goazi><offset>0.0</offset><bidirectional>0"
                "</bidirectional><freqband>14</freqband></N1MMRotor>",
        port);
    // Reports once a second while turning, until it arrives.
    const QRegularExpression report(QStringLiteral("^Beam @ (\\d+)$"));
    int count = 0;
    int last = -1;
    for (auto end = std::chrono::steady_clock::now() + 15s; std::chrono::steady_clock::now() < end && last < 340;) {
        const auto datagram = reports.receive(2000ms);
        ASSERT_TRUE(datagram.has_value()) << "no report after " << count;
        const auto match = report.match(QString::fromStdString(*datagram));
        ASSERT_TRUE(match.hasMatch()) << *datagram;
        last = match.captured(1).toInt();
        ++count;
    }
    EXPECT_GE(count, 3);
    EXPECT_NEAR(last, 350, 20);
    const auto azimuth = rotctld.azimuth();
    ASSERT_TRUE(azimuth.has_value());
    EXPECT_NEAR(*azimuth, 35, 2);
    logger.send("<N1MMRotor><stop><rotor>Beam</rotor><freqband>14</freqband></stop></N1MMRotor>", port);
    const QStringList lines = follower.lines(2);
    ASSERT_EQ(lines.size(), 2);
    EXPECT_TRUE(lines[0].endsWith(QStringLiteral("n1mm Beam 35°: turn to 35°"))) << lines[0].toStdString();
    EXPECT_TRUE(lines[1].endsWith(QStringLiteral("n1mm Beam: stop"))) << lines[1].toStdString();
    EXPECT_EQ(follower.stop(), 0);
}

TEST(CliFollow, PstRotatorTurnsAndAnswersAzOnTheNextPort)
{
    SKIP_WITHOUT_ROTCTLD();
    Rotctld rotctld;
    ASSERT_TRUE(rotctld.accepting());
    // The answer comes to the asker's port + 1.
    std::optional<Udp> asker;
    std::optional<Udp> answers;
    for (int attempt = 0; attempt < 20 && !(asker && asker->port != 0); ++attempt) {
        answers.emplace();
        asker.emplace(static_cast<std::uint16_t>(answers->port - 1));
    }
    ASSERT_NE(asker->port, 0);
    const std::uint16_t port = freeUdpPort();
    Follower follower({"--follow", "pst", "--from", "JO01mm", "--listen", "127.0.0.1:" + QString::number(port),
        "--rotate", "127.0.0.1:" + QString::number(rotctld.port)});
    asker->send("<PST><AZIMUTH>20</AZIMUTH></PST>", port);
    std::this_thread::sleep_for(300ms);
    asker->send("<PST>AZ?</PST>", port);
    const auto answer = answers->receive();
    ASSERT_TRUE(answer.has_value());
    const QRegularExpression az(QStringLiteral("^AZ:(\\d+)\r$"));
    const auto match = az.match(QString::fromStdString(*answer));
    ASSERT_TRUE(match.hasMatch()) << *answer;
    EXPECT_GT(match.captured(1).toInt(), 0) << "turning towards 20";
    EXPECT_LE(match.captured(1).toInt(), 20);
    asker->send("<PST><STOP>1</STOP></PST>", port);
    asker->send("<PST><QRA>FN42</QRA></PST>", port);
    const QStringList lines = follower.lines(3);
    ASSERT_EQ(lines.size(), 3);
    EXPECT_TRUE(lines[0].endsWith(QStringLiteral("pst 20°: turn to 20°"))) << lines[0].toStdString();
    EXPECT_TRUE(lines[1].endsWith(QStringLiteral("pst: stop"))) << lines[1].toStdString();
    EXPECT_TRUE(lines[2].contains(QStringLiteral("pst FN42 289° (288°–290°)"))) << lines[2].toStdString();
    EXPECT_EQ(follower.stop(), 0);
}

TEST(CliFollow, JoinsAMulticastGroupOnLoopbackAndOnlyShowsWithoutARotator)
{
    const std::uint16_t port = freeUdpPort();
    Follower follower({"--follow", "wsjtx", "--from", "JO01mm", "--listen", "239.255.0.1:" + QString::number(port)});
    const Udp wsjtx;
    const in_addr loopback{htonl(INADDR_LOOPBACK)};
    ASSERT_EQ(setsockopt(wsjtx.fd, IPPROTO_IP, IP_MULTICAST_IF, &loopback, sizeof loopback), 0);
    const std::string datagram = fake::status("VK2ABC", "").text();
    sockaddr_in group{};
    group.sin_family = AF_INET;
    group.sin_port = htons(port);
    inet_pton(AF_INET, "239.255.0.1", &group.sin_addr);
    ASSERT_EQ(sendto(wsjtx.fd, datagram.data(), datagram.size(), 0, reinterpret_cast<sockaddr*>(&group), sizeof group),
        static_cast<ssize_t>(datagram.size()));
    const QStringList lines = follower.lines(1);
    ASSERT_EQ(lines.size(), 1);
    // No grid: the country file's place for the call.
    EXPECT_TRUE(lines[0].contains(QStringLiteral(" wsjtx VK2ABC "))) << lines[0].toStdString();
    EXPECT_TRUE(lines[0].contains(QStringLiteral(": show only: "))) << lines[0].toStdString();
    EXPECT_EQ(follower.stop(), 0);
}

TEST(CliFollow, RefusesWhatCannotBeFollowed)
{
    const struct {
        const char* name;
        QStringList args;
        const char* message;
    } cases[] = {
        {"unknown program", {"--follow", "fldigi", "--from", "JO01"}, "not a program followed"},
        {"listen without follow", {"--listen", "127.0.0.1:2237", "JO01", "FN42"}, "needs --follow"},
        {"no port", {"--follow", "wsjtx", "--listen", "127.0.0.1"}, "has no port"},
        {"a host name to listen at", {"--follow", "wsjtx", "--listen", "example.org:2237"}, "not an IPv4 address"},
        {"forward to itself", {"--follow", "wsjtx", "--from", "JO01", "--forward", "127.0.0.1:2237"},
            "is where --follow listens"},
        {"a station to follow given", {"--follow", "wsjtx", "JO01", "FN42"}, "give only --from"},
        {"with batch", {"--follow", "wsjtx", "--batch"}, "cannot go with --batch"},
        {"waiting for one turn", {"--follow", "wsjtx", "--from", "JO01", "--rotate", "localhost", "--wait"},
            "cannot go with --follow"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        QProcess p;
        p.start(QStringLiteral(SKYBRANT_CLI_PATH), c.args);
        ASSERT_TRUE(p.waitForFinished(10000));
        EXPECT_EQ(p.exitCode(), 2);
        EXPECT_TRUE(QString::fromUtf8(p.readAllStandardError()).contains(QLatin1String(c.message)));
    }
}

}  // namespace
