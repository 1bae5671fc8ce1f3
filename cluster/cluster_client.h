#pragma once

#include "core/cluster_lines.h"
#include "telnet_bytes.h"

#include <QByteArray>
#include <QDateTime>
#include <QObject>
#include <QString>
#include <QTcpSocket>
#include <QTimer>

#include <chrono>

namespace skybrant::cluster {

// The longest line kept from a cluster, in bytes; the rest of a longer one
// is dropped.
inline constexpr int kMaxClusterLine = 1024;

// How long the client waits, in one place so that tests can shorten it.
struct ClusterTiming {
    std::chrono::milliseconds firstPause{2000};  // before the first reconnect
    std::chrono::milliseconds longestPause{std::chrono::minutes(3)};  // the pause doubles up to this
    std::chrono::milliseconds quiet{std::chrono::minutes(5)};  // silence before a keep-alive line
    std::chrono::milliseconds loginWait{std::chrono::seconds(10)};  // for a prompt before the call is sent anyway
    std::chrono::milliseconds connectWait{std::chrono::seconds(20)};
};

// A DX cluster's telnet interface: connects to HOST:PORT, logs in with the
// callsign when asked, and hands on each spot, WWV/WCY report and console
// line; reconnects after a pause that grows while it fails, and keeps a
// quiet link alive. Never blocks the thread it runs on.
class ClusterClient final : public QObject {
    Q_OBJECT

public:
    enum class State {
        Stopped,
        Connecting,
        LoggingIn,  // connected, the callsign not yet sent
        LoggedIn,
        Waiting,  // for the next attempt after a failure
    };

    explicit ClusterClient(ClusterTiming timing = {}, QObject* parent = nullptr);
    ~ClusterClient() override;
    ClusterClient(const ClusterClient&) = delete;
    ClusterClient& operator=(const ClusterClient&) = delete;

    // Connects to address ("HOST:PORT", "[IPv6]:PORT") as callsign; false
    // with a sentence when either cannot be used.
    bool start(const QString& address, const QString& callsign, QString& error);
    void stop();

    // Sends a command the user typed (SH/DX 20, SET/DXGRID); false with a
    // sentence when not logged in or when it holds a line end or control
    // characters.
    bool sendCommand(const QString& command, QString& error);

    State state() const { return state_; }
    // A line for the user: "connecting to HOST:PORT", "logged in to
    // HOST:PORT as CALL", "last spot at 12:34 UTC", "refused by HOST:PORT
    // (...); trying again in 8 s".
    QString stateText() const;

signals:
    void spotReceived(const skybrant::ClusterSpot& spot);
    void weatherReceived(const skybrant::ClusterWeather& weather);
    // Any other line, safe to show: control characters and broken UTF-8
    // replaced.
    void consoleLine(const QString& text);
    void stateChanged();

private:
    void connectNow();
    void onConnected();
    void onReadyRead();
    void onDisconnected();
    void onError(QAbstractSocket::SocketError error);
    void onQuiet();
    void takeBytes(const QByteArray& bytes);
    void lineEnded();
    void checkPrompt();
    void sendLogin();
    void retryLater(const QString& why);
    void setState(State state);
    void write(const QByteArray& line);

    ClusterTiming timing_;
    QTcpSocket socket_;
    QTimer retryTimer_;
    QTimer quietTimer_;
    QTimer loginTimer_;
    QTimer connectTimer_;
    State state_ = State::Stopped;
    QString host_;
    quint16 port_ = 0;
    QString callsign_;
    std::chrono::milliseconds pause_;
    QString failure_;  // why the last attempt ended
    QDateTime connectedAt_;
    QDateTime lastSpotAt_;
    bool keepAliveSent_ = false;
    QByteArray line_;
    bool cutting_ = false;  // dropping the rest of a line too long
    TelnetBytes telnet_;
};

}  // namespace skybrant::cluster
