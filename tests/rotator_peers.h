#pragma once

// Peers for talking to a rotator: a real rotctld with the dummy rotator, a
// scripted fake daemon, and a loopback port that refuses connections.

#include <QHostAddress>
#include <QProcess>
#include <QStringList>
#include <QTcpSocket>

#include <arpa/inet.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <stdexcept>
#include <string>
#include <string_view>
#include <thread>
#include <utility>
#include <vector>

namespace skybrant::testing {

using namespace std::chrono_literals;

// A TCP socket on 127.0.0.1 at a port the kernel picked. Bound but not
// listening, it refuses connections and keeps anyone else off that port.
struct LoopbackSocket {
    // A port of the kernel's choosing, or the one asked for; port is 0 when
    // that one is taken.
    explicit LoopbackSocket(bool listening, std::uint16_t wanted = 0)
    {
        sockaddr_in address{};
        address.sin_family = AF_INET;
        address.sin_port = htons(wanted);
        address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
        if (wanted != 0 && bind(fd, reinterpret_cast<sockaddr*>(&address), sizeof address) != 0) {
            return;
        }
        socklen_t length = sizeof address;
        auto* generic = reinterpret_cast<sockaddr*>(&address);
        if (fd < 0 || (wanted == 0 && bind(fd, generic, length) != 0) || (listening && listen(fd, 4) != 0) ||
            getsockname(fd, generic, &length) != 0) {
            throw std::runtime_error("cannot set up a loopback socket");
        }
        port = ntohs(address.sin_port);
    }
    ~LoopbackSocket() { close(fd); }

    // The first client within 10 s, its command line read: the client's
    // socket, or -1. Its reads and writes wait at most 10 s, so a client
    // that stops talking or reading cannot hang the tests.
    int acceptFirstLine() const
    {
        pollfd waiting{fd, POLLIN, 0};
        if (poll(&waiting, 1, 10000) != 1) {
            return -1;
        }
        const int client = accept(fd, nullptr, nullptr);
        const timeval limit{10, 0};
        setsockopt(client, SOL_SOCKET, SO_RCVTIMEO, &limit, sizeof limit);
        setsockopt(client, SOL_SOCKET, SO_SNDTIMEO, &limit, sizeof limit);
        char byte = 0;
        while (client >= 0 && recv(client, &byte, 1, 0) == 1 && byte != '\n') { }
        return client;
    }

    LoopbackSocket(const LoopbackSocket&) = delete;
    LoopbackSocket& operator=(const LoopbackSocket&) = delete;

    int fd = socket(AF_INET, SOCK_STREAM, 0);
    std::uint16_t port = 0;
};

// Answers one client's command lines with the replies in turn, then hangs up;
// silent ones stay connected without a word until the client leaves.
class FakeRotator {
public:
    // The reply to one command line (without its "\n"); nothing to hang up.
    using Answer = std::function<std::optional<std::string>(const std::string& command)>;

    FakeRotator(std::vector<std::string> replies, bool hangUp)
        : server([this, replies = std::move(replies), hangUp] { serve(replies, hangUp); })
    {
    }
    // Answers each command line as answer says, for as long as it says.
    explicit FakeRotator(Answer answer) : server([this, answer = std::move(answer)] { serve(answer); }) { }
    ~FakeRotator()
    {
        if (server.joinable()) {
            server.join();
        }
    }
    FakeRotator(const FakeRotator&) = delete;
    FakeRotator& operator=(const FakeRotator&) = delete;

    std::uint16_t port() const { return listener.port; }
    // Everything the client sent; call once the client is done.
    std::string heard()
    {
        server.join();
        return bytes;
    }

private:
    // The client's connection, or -1 when none came in time.
    int acceptClient()
    {
        // Bounded waits, so a client that never comes cannot hang the tests.
        pollfd waiting{listener.fd, POLLIN, 0};
        if (poll(&waiting, 1, 10000) != 1) {
            return -1;
        }
        const int client = accept(listener.fd, nullptr, nullptr);
        const timeval limit{10, 0};
        setsockopt(client, SOL_SOCKET, SO_RCVTIMEO, &limit, sizeof limit);
        return client;
    }

    void serve(const Answer& answer)
    {
        const int client = acceptClient();
        if (client < 0) {
            return;
        }
        std::string command;
        char byte = 0;
        while (recv(client, &byte, 1, 0) == 1) {
            bytes += byte;
            if (byte != '\n') {
                command += byte;
                continue;
            }
            const auto reply = answer(command);
            command.clear();
            if (!reply) {
                shutdown(client, SHUT_WR);
                break;
            }
            send(client, reply->data(), reply->size(), MSG_NOSIGNAL);
        }
        while (recv(client, &byte, 1, 0) == 1) {
            bytes += byte;
        }
        close(client);
    }

    void serve(const std::vector<std::string>& replies, bool hangUp)
    {
        const int client = acceptClient();
        if (client < 0) {
            return;
        }
        char byte = 0;
        for (const auto& reply : replies) {
            while (recv(client, &byte, 1, 0) == 1) {
                bytes += byte;
                if (byte == '\n') {
                    break;
                }
            }
            send(client, reply.data(), reply.size(), MSG_NOSIGNAL);
        }
        // A FIN rather than a reset, so the client reads all that was sent.
        if (hangUp) {
            shutdown(client, SHUT_WR);
        }
        while (recv(client, &byte, 1, 0) == 1) {
            bytes += byte;
        }
        close(client);
    }

    LoopbackSocket listener{true};
    std::string bytes;
    std::thread server;
};

// Answers the first command with unit over and over, total bytes in all, a
// pause between one and the next; stops early once the client has gone.
class FloodingRotator {
public:
    FloodingRotator(std::string unit, std::size_t total, std::chrono::milliseconds pause)
        : server([this, unit = std::move(unit), total, pause] { serve(unit, total, pause); })
    {
    }
    ~FloodingRotator() { server.join(); }
    FloodingRotator(const FloodingRotator&) = delete;
    FloodingRotator& operator=(const FloodingRotator&) = delete;

    std::uint16_t port() const { return listener.port; }

private:
    void serve(const std::string& unit, std::size_t total, std::chrono::milliseconds pause)
    {
        const int client = listener.acceptFirstLine();
        if (client < 0) {
            return;
        }
        for (std::size_t sent = 0; sent < total; sent += unit.size()) {
            if (send(client, unit.data(), unit.size(), MSG_NOSIGNAL) != static_cast<ssize_t>(unit.size())) {
                break;
            }
            std::this_thread::sleep_for(pause);
        }
        close(client);
    }

    LoopbackSocket listener{true};
    std::thread server;
};

// "x\n" again and again, size bytes of it.
inline std::string shortLines(std::size_t size)
{
    std::string lines;
    for (std::size_t i = 0; i < size / 2; ++i) {
        lines += "x\n";
    }
    return lines;
}

// The extended reply to "+\dump_state" of a daemon with these limits.
inline std::string stateReply(const std::string& minAzimuth, const std::string& maxAzimuth)
{
    return "dump_state:\nrotctld Protocol Ver: 1\nRotor Model: 1\nMinimum Azimuth: " + minAzimuth +
        "\nMaximum Azimuth: " + maxAzimuth +
        "\nMinimum Elevation: 0.000000\nMaximum Elevation: 90.000000\ndone\n"
        "RPRT 0\n";
}

// Answers as rotctld does: the state with stateReply's text, "P ..." with
// turnReply, and "p" with each of positions in turn, the last one again and
// again ("azimuth\nelevation\n" each). A command it has no answer for
// hangs up.
inline FakeRotator::Answer daemonScript(
    const std::string& state, const std::string& turnReply, const std::vector<std::string>& positions)
{
    auto next = std::make_shared<std::size_t>(0);
    return [=](const std::string& command) -> std::optional<std::string> {
        if (command == "+\\dump_state") {
            return state;
        }
        if (command.starts_with("P ")) {
            return turnReply;
        }
        if (command == "p" && !positions.empty()) {
            const std::size_t at = std::min(*next, positions.size() - 1);
            ++*next;
            return positions.at(at);
        }
        return std::nullopt;
    };
}

// Skips the running test when the build found no rotctld to start.
#define SKIP_WITHOUT_ROTCTLD()                                                                                         \
    do {                                                                                                               \
        if (std::string_view(ROTCTLD_PATH).empty()) {                                                                  \
            GTEST_SKIP() << "rotctld is not installed (Debian package libhamlib-utils), so there is no real "          \
                            "rotator daemon to talk to";                                                               \
        }                                                                                                              \
    } while (false)

// A dummy-rotator rotctld on a free loopback port, killed when it goes.
class Rotctld {
public:
    explicit Rotctld(const QStringList& options = {})
    {
        process.setStandardOutputFile(QProcess::nullDevice());
        process.setStandardErrorFile(QProcess::nullDevice());
        // Another program may take the free port before rotctld binds it; try a few.
        for (int attempt = 0; attempt < 3 && !accepting(); ++attempt) {
            stop();
            port = LoopbackSocket(false).port;
            process.start(QStringLiteral(ROTCTLD_PATH),
                QStringList{"-m", "1", "-T", "127.0.0.1", "-t", QString::number(port)} + options);
            for (int wait = 0; wait < 50 && process.waitForStarted(5000) && !accepting(); ++wait) {
                std::this_thread::sleep_for(100ms);
            }
        }
    }
    ~Rotctld() { stop(); }
    Rotctld(const Rotctld&) = delete;
    Rotctld& operator=(const Rotctld&) = delete;

    // Listening, and it is this daemon that listens: when rotctld cannot bind
    // the port because another test's listener took it first, that listener
    // answers instead, so only the dummy's model number counts.
    bool accepting()
    {
        QTcpSocket probe;
        probe.connectToHost(QHostAddress::LocalHost, port);
        if (process.state() != QProcess::Running || !probe.waitForConnected(200) ||
            probe.write("+\\dump_state\n") < 0) {
            return false;
        }
        while (probe.canReadLine() || probe.waitForReadyRead(2000)) {
            while (probe.canReadLine()) {
                const QByteArray line = probe.readLine().trimmed();
                if (line == "Rotor Model: 1") {
                    return process.state() == QProcess::Running;
                }
                if (line.startsWith("RPRT")) {
                    return false;
                }
            }
        }
        return false;
    }

    // Asks for the position on a connection of our own.
    std::optional<double> azimuth() const { return reply("p\n", 0); }
    std::optional<double> elevation() const { return reply("p\n", 1); }
    // Sends a command on a connection of our own; true once it answers RPRT 0.
    bool command(const char* line) const
    {
        QTcpSocket socket;
        return ask(socket, line) && socket.readLine().trimmed() == "RPRT 0";
    }

    std::uint16_t port = 0;

private:
    bool ask(QTcpSocket& socket, const char* line) const
    {
        socket.connectToHost(QHostAddress::LocalHost, port);
        const auto length = static_cast<qint64>(std::string_view(line).size());
        if (!socket.waitForConnected(1000) || socket.write(line) != length || !socket.waitForBytesWritten(1000)) {
            return false;
        }
        while (!socket.canReadLine() && socket.waitForReadyRead(1000)) { }
        return socket.canReadLine();
    }

    // The number on line index of the reply to line.
    std::optional<double> reply(const char* line, int index) const
    {
        QTcpSocket socket;
        if (!ask(socket, line)) {
            return std::nullopt;
        }
        for (int skipped = 0; skipped < index; ++skipped) {
            socket.readLine();
            while (!socket.canReadLine() && socket.waitForReadyRead(1000)) { }
        }
        bool ok = false;
        const double value = socket.readLine().trimmed().toDouble(&ok);
        return ok ? std::optional(value) : std::nullopt;
    }

    void stop()
    {
        process.kill();
        process.waitForFinished(5000);
    }

    QProcess process;
};

}  // namespace skybrant::testing
