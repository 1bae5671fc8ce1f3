#pragma once

#include "rotator_address.h"
#include "rotator_protocol.h"
#include "rotator_range.h"

#include <QObject>
#include <QString>
#include <QTcpSocket>
#include <QTimer>

#include <chrono>
#include <deque>
#include <optional>
#include <string>

namespace skybrant::rotctl {

// A live connection to rotctld that never blocks its caller: one exchange
// (a command and its reply) in flight at a time, each with a deadline; the
// position asked for at a steady pace; a lost daemon looked for again with
// a growing pause. Problems are reported as sentences, the link carries on.
class RotatorLink final : public QObject {
    Q_OBJECT

public:
    enum class State {
        Disconnected,  // nothing asked for, or the user disconnected
        Connecting,  // first attempt after connectTo()
        Connected,
        Reconnecting,  // lost or never reached; waiting for the next attempt
    };

    struct Timing {
        std::chrono::milliseconds exchange{2000};  // connecting, and each reply
        std::chrono::milliseconds poll{1000};  // between position requests
        std::chrono::milliseconds firstPause{1000};  // before the first new attempt
        std::chrono::milliseconds longestPause{30000};  // doubling stops here
    };

    explicit RotatorLink(QObject* parent = nullptr);
    ~RotatorLink() override;
    RotatorLink(const RotatorLink&) = delete;
    RotatorLink& operator=(const RotatorLink&) = delete;

    void setTiming(const Timing& timing) { timing_ = timing; }
    const Timing& timing() const { return timing_; }

    // Drops any connection and connects to address, trying again until
    // disconnectFrom().
    void connectTo(const RotatorAddress& address);
    void disconnectFrom();

    State state() const { return state_; }
    // "HOST:PORT" of the daemon asked for, as messages name it; empty before
    // connectTo().
    QString where() const;
    // The pause before the next attempt while Reconnecting.
    std::chrono::milliseconds nextPause() const { return pause_; }

    // The last azimuth the daemon reported on this connection.
    std::optional<double> azimuth() const { return azimuth_; }
    // The limits the daemon reported on this connection.
    std::optional<AzimuthRange> range() const { return range_; }

    // Each returns false, reporting nothing, when not connected. A turn or
    // park replaces one still waiting to be sent; a stop goes first and
    // drops both.
    bool turnTo(double azimuth);
    bool stop();
    bool park();

signals:
    void stateChanged(skybrant::rotctl::RotatorLink::State state);
    void azimuthChanged(double azimuth);
    void rangeChanged(skybrant::rotctl::AzimuthRange range);
    // The daemon accepted a turn (to azimuth), a stop or a park.
    void turnAccepted(double azimuth);
    void stopAccepted();
    void parkAccepted();
    // The daemon refused the turn to azimuth, or a stop or a park; problem()
    // says why.
    void turnRefused(double azimuth);
    void haltRefused();
    // A sentence for the operator; the link carries on (or tries again).
    void problem(const QString& text);

private:
    enum class Kind { DumpState, Position, Turn, Stop, Park };
    struct Exchange {
        Kind kind;
        std::string command;
        double azimuth = 0;
    };

    void setState(State state);
    void startAttempt();
    void onConnected();
    void onReadyRead();
    void onSocketError();
    void onDeadline();
    void pollPosition();
    void enqueue(Exchange exchange);
    void sendNext();
    // Takes one reply line for the exchange in flight; true once the reply
    // is complete. Sets broken, saying why, when the reply is not the
    // protocol.
    bool takeReply(const std::string& line, std::optional<QString>& broken);
    bool takeLimits(const std::string& line, std::optional<QString>& broken);
    bool takePosition(const std::string& line, std::optional<QString>& broken);
    bool takeStopOrPark(const Exchange& exchange, const std::string& line, std::optional<QString>& broken);
    void finishExchange();
    // Drops the connection, says why and tries again after a pause.
    // Forgets the connection and all that was asked of it.
    void dropConnection();
    void lose(const QString& why);
    void report(const QString& text);
    static QString commandName(const Exchange& exchange);

    Timing timing_;
    State state_ = State::Disconnected;
    bool open_ = false;  // the socket is connected, answered or not
    std::optional<RotatorAddress> address_;
    QTcpSocket socket_;
    QTimer deadline_;
    QTimer poll_;
    QTimer retry_;
    std::chrono::milliseconds pause_{0};
    std::chrono::milliseconds nextPause_{1000};
    std::deque<Exchange> queue_;
    std::optional<Exchange> inFlight_;
    ReplyLines replies_;
    DumpStateReader dumpState_;
    std::optional<double> replyAzimuth_;  // the first line of a position reply
    std::optional<double> azimuth_;
    // Sent again with each turn, so that turning leaves the elevation be.
    std::optional<double> elevation_;
    std::optional<AzimuthRange> range_;
};

QString stateText(RotatorLink::State state);

}  // namespace skybrant::rotctl
