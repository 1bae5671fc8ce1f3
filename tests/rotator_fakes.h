#pragma once

// More peers for the live rotator link: a daemon that answers too late, and
// a real rotctld that a test can kill and start again on the same port.

#include "rotator_peers.h"

#include <QCoreApplication>
#include <QTest>

#include <functional>

namespace skybrant::testing {

// Reads one command, waits, then answers it; stays connected until the
// client leaves.
class SlowRotator {
public:
    SlowRotator(std::string reply, std::chrono::milliseconds delay)
        : server([this, reply = std::move(reply), delay] { serve(reply, delay); })
    {
    }
    ~SlowRotator() { server.join(); }
    SlowRotator(const SlowRotator&) = delete;
    SlowRotator& operator=(const SlowRotator&) = delete;

    std::uint16_t port() const { return listener.port; }

private:
    void serve(const std::string& reply, std::chrono::milliseconds delay)
    {
        const int client = listener.acceptFirstLine();
        if (client < 0) {
            return;
        }
        std::this_thread::sleep_for(delay);
        char byte = 0;
        send(client, reply.data(), reply.size(), MSG_NOSIGNAL);
        while (recv(client, &byte, 1, 0) == 1) { }
        close(client);
    }

    LoopbackSocket listener{true};
    std::thread server;
};

// A dummy-rotator rotctld on a loopback port that stays the same when the
// daemon is killed (by the process this object started) and started again.
class RestartableRotctld {
public:
    explicit RestartableRotctld(QStringList options = {}) : options(std::move(options))
    {
        process.setStandardOutputFile(QProcess::nullDevice());
        process.setStandardErrorFile(QProcess::nullDevice());
        for (int attempt = 0; attempt < 3 && !start(); ++attempt) {
            port = LoopbackSocket(false).port;
        }
    }
    ~RestartableRotctld() { kill(); }
    RestartableRotctld(const RestartableRotctld&) = delete;
    RestartableRotctld& operator=(const RestartableRotctld&) = delete;

    bool start()
    {
        if (port == 0) {
            return false;
        }
        process.start(QStringLiteral(ROTCTLD_PATH),
            QStringList{"-m", "1", "-T", "127.0.0.1", "-t", QString::number(port)} + options);
        if (!process.waitForStarted(5000)) {
            return false;
        }
        for (int wait = 0; wait < 100; ++wait) {
            QTcpSocket probe;
            probe.connectToHost(QHostAddress::LocalHost, port);
            if (probe.waitForConnected(200)) {
                return true;
            }
            if (process.state() != QProcess::Running) {
                return false;
            }
            std::this_thread::sleep_for(50ms);
        }
        return false;
    }

    void kill()
    {
        if (process.state() != QProcess::NotRunning) {
            process.kill();
            process.waitForFinished(5000);
        }
    }

    std::uint16_t port = LoopbackSocket(false).port;

private:
    QStringList options;
    QProcess process;
};

// Runs the event loop until done() holds or time is up; true when it held.
inline bool waitUntil(const std::function<bool()>& done, std::chrono::milliseconds limit)
{
    return QTest::qWaitFor(done, static_cast<int>(limit.count()));
}

}  // namespace skybrant::testing
