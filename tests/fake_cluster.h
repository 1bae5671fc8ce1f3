#pragma once

// A DX cluster on a loopback port for the tests: it asks for the login,
// keeps what each peer sends, and writes what the test tells it to.

#include "cluster/cluster_client.h"

#include <QHostAddress>
#include <QObject>
#include <QTcpServer>
#include <QTcpSocket>

#include <gtest/gtest.h>

#include <chrono>

namespace skybrant::cluster::testing {

// A cluster that asks for the login, keeps what each peer sends, and
// writes what the test tells it to.
class FakeCluster : public QObject {
public:
    explicit FakeCluster(quint16 port = 0)
    {
        listen(port);
        connect(&server_, &QTcpServer::newConnection, this, [this] {
            while (QTcpSocket* peer = server_.nextPendingConnection()) {
                peer_ = peer;
                ++connections;
                received.clear();
                connect(peer, &QTcpSocket::readyRead, this, [this, peer] { received += peer->readAll(); });
                peer->write("Hello from a test cluster\r\nlogin: ");
            }
        });
    }
    bool listen(quint16 port) { return server_.listen(QHostAddress::LocalHost, port); }
    void close() { server_.close(); }
    quint16 port() const { return server_.serverPort(); }
    QString address() const { return QStringLiteral("127.0.0.1:%1").arg(port()); }
    void send(const QByteArray& bytes)
    {
        ASSERT_NE(peer_, nullptr);
        peer_->write(bytes);
    }
    void hangUp()
    {
        if (peer_ != nullptr) {
            peer_->disconnectFromHost();
            peer_ = nullptr;
        }
    }

    int connections = 0;
    QByteArray received;

private:
    QTcpServer server_;
    QTcpSocket* peer_ = nullptr;
};

// Pauses short enough for a test.
inline ClusterTiming quick()
{
    using namespace std::chrono_literals;
    ClusterTiming timing;
    timing.firstPause = 50ms;
    timing.longestPause = 400ms;
    timing.quiet = 2s;
    timing.loginWait = 2s;
    timing.connectWait = 2s;
    return timing;
}

}  // namespace skybrant::cluster::testing
