#include "rotator_link.h"

#include "core/utf8.h"
#include "rotator_protocol.h"

#include <QNetworkProxy>

#include <algorithm>
#include <string_view>

namespace skybrant::rotctl {

namespace {

QString fromStd(std::string_view text)
{
    return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
}

QString waitText(std::chrono::milliseconds time)
{
    return fromStd(secondsText(time));
}

}  // namespace

QString stateText(RotatorLink::State state)
{
    switch (state) {
    case RotatorLink::State::Disconnected:
        return QStringLiteral("Disconnected");
    case RotatorLink::State::Connecting:
        return QStringLiteral("Connecting");
    case RotatorLink::State::Connected:
        return QStringLiteral("Connected");
    case RotatorLink::State::Reconnecting:
        return QStringLiteral("Reconnecting");
    }
    return {};
}

RotatorLink::RotatorLink(QObject* parent) : QObject(parent)
{
    // A system proxy would carry the commands somewhere else.
    socket_.setProxy(QNetworkProxy::NoProxy);
    deadline_.setSingleShot(true);
    retry_.setSingleShot(true);
    connect(&socket_, &QTcpSocket::connected, this, &RotatorLink::onConnected);
    connect(&socket_, &QTcpSocket::readyRead, this, &RotatorLink::onReadyRead);
    connect(&socket_, &QTcpSocket::errorOccurred, this, &RotatorLink::onSocketError);
    connect(&deadline_, &QTimer::timeout, this, &RotatorLink::onDeadline);
    connect(&poll_, &QTimer::timeout, this, &RotatorLink::pollPosition);
    connect(&retry_, &QTimer::timeout, this, &RotatorLink::startAttempt);
}

RotatorLink::~RotatorLink()
{
    // The socket goes after this object's slots; it must not call them then.
    QObject::disconnect(&socket_, nullptr, this, nullptr);
    socket_.abort();
}

QString RotatorLink::where() const
{
    return address_ ? fromStd(shownAddress(*address_)) : QString();
}

void RotatorLink::setState(State state)
{
    if (state_ == state) {
        return;
    }
    state_ = state;
    emit stateChanged(state);
}

void RotatorLink::connectTo(const RotatorAddress& address)
{
    disconnectFrom();
    address_ = address;
    nextPause_ = timing_.firstPause;
    setState(State::Connecting);
    startAttempt();
}

void RotatorLink::disconnectFrom()
{
    retry_.stop();
    dropConnection();
    setState(State::Disconnected);
}

void RotatorLink::dropConnection()
{
    poll_.stop();
    deadline_.stop();
    queue_.clear();
    inFlight_.reset();
    replies_.clear();
    socket_.abort();
    open_ = false;
    azimuth_.reset();
    elevation_.reset();
    range_.reset();
}

void RotatorLink::startAttempt()
{
    if (!address_) {
        return;
    }
    socket_.abort();
    replies_.clear();
    socket_.setProxy(QNetworkProxy::NoProxy);
    socket_.connectToHost(fromStd(address_->host), address_->port);
    deadline_.start(timing_.exchange);
}

void RotatorLink::onConnected()
{
    deadline_.stop();
    // Connected only once the daemon has answered: a port that accepts and
    // never speaks is no rotator, and its pause keeps growing.
    open_ = true;
    enqueue({Kind::DumpState, std::string(kDumpStateCommand)});
    enqueue({Kind::Position, std::string(kPositionCommand)});
    poll_.start(timing_.poll);
}

void RotatorLink::onSocketError()
{
    if (state_ == State::Disconnected) {
        return;
    }
    // A last reply may have come with the hang-up; a bad one has already
    // dropped the connection.
    const bool wasOpen = open_;
    onReadyRead();
    if (wasOpen && !open_) {
        return;
    }
    const QAbstractSocket::SocketError error = socket_.error();
    if (open_) {
        if (error == QAbstractSocket::RemoteHostClosedError) {
            lose(inFlight_ ? QStringLiteral("the rotator at %1 hung up in the middle of its reply to %2")
                                 .arg(where(), commandName(*inFlight_))
                           : QStringLiteral("the rotator at %1 closed the connection").arg(where()));
        } else {
            lose(QStringLiteral("the connection to the rotator at %1 failed: %2")
                     .arg(where(), socket_.errorString().toLower()));
        }
        return;
    }
    QString why;
    switch (error) {
    case QAbstractSocket::ConnectionRefusedError:
        why = QStringLiteral("connection refused (is rotctld running there?)");
        break;
    case QAbstractSocket::HostNotFoundError:
        why = QStringLiteral("unknown host");
        break;
    default:
        why = socket_.errorString().toLower();
        break;
    }
    lose(QStringLiteral("cannot connect to the rotator at %1: %2").arg(where(), why));
}

void RotatorLink::onDeadline()
{
    if (open_ && inFlight_) {
        lose(QStringLiteral("the rotator at %1 did not answer %2 within %3")
                 .arg(where(), commandName(*inFlight_), waitText(timing_.exchange)));
    } else if (state_ == State::Connecting || state_ == State::Reconnecting) {
        lose(QStringLiteral("cannot connect to the rotator at %1: no answer within %2")
                 .arg(where(), waitText(timing_.exchange)));
    }
}

void RotatorLink::lose(const QString& why)
{
    dropConnection();
    setState(State::Reconnecting);
    pause_ = nextPause_;
    nextPause_ = std::min(nextPause_ * 2, timing_.longestPause);
    retry_.start(pause_);
    report(why);
}

void RotatorLink::report(const QString& text)
{
    emit problem(text);
}

QString RotatorLink::commandName(const Exchange& exchange)
{
    std::string_view command = exchange.command;
    while (!command.empty() && command.back() == '\n') {
        command.remove_suffix(1);
    }
    return QStringLiteral("\"%1\"").arg(fromStd(command));
}

void RotatorLink::pollPosition()
{
    enqueue({Kind::Position, std::string(kPositionCommand)});
}

bool RotatorLink::turnTo(double azimuth)
{
    if (state_ != State::Connected) {
        return false;
    }
    enqueue({Kind::Turn, turnCommand(azimuth, elevation_), azimuth});
    return true;
}

bool RotatorLink::stop()
{
    if (state_ != State::Connected) {
        return false;
    }
    enqueue({Kind::Stop, std::string(kStopCommand)});
    return true;
}

bool RotatorLink::park()
{
    if (state_ != State::Connected) {
        return false;
    }
    enqueue({Kind::Park, std::string(kParkCommand)});
    return true;
}

void RotatorLink::enqueue(Exchange exchange)
{
    const auto has = [&](std::initializer_list<Kind> kinds) {
        return [kinds](const Exchange& e) { return std::find(kinds.begin(), kinds.end(), e.kind) != kinds.end(); };
    };
    switch (exchange.kind) {
    case Kind::Position:
        // One request at a time is enough; a slow daemon must not pile them up.
        if (std::any_of(queue_.begin(), queue_.end(), has({Kind::Position})) ||
            (inFlight_ && inFlight_->kind == Kind::Position)) {
            return;
        }
        queue_.push_back(std::move(exchange));
        break;
    case Kind::Turn:
    case Kind::Park:
        std::erase_if(queue_, has({Kind::Turn, Kind::Park}));
        queue_.push_back(std::move(exchange));
        break;
    case Kind::Stop:
        std::erase_if(queue_, has({Kind::Turn, Kind::Park, Kind::Stop}));
        queue_.push_front(std::move(exchange));
        break;
    case Kind::DumpState:
        queue_.push_back(std::move(exchange));
        break;
    }
    sendNext();
}

void RotatorLink::sendNext()
{
    if (inFlight_ || queue_.empty() || !open_) {
        return;
    }
    inFlight_ = std::move(queue_.front());
    queue_.pop_front();
    dumpState_ = DumpStateReader();
    replyAzimuth_.reset();
    replies_.startReply();
    deadline_.start(timing_.exchange);
    socket_.write(inFlight_->command.data(), static_cast<qint64>(inFlight_->command.size()));
}

void RotatorLink::onReadyRead()
{
    if (!open_) {
        return;
    }
    const QByteArray bytes = socket_.readAll();
    replies_.append(std::string_view(bytes.constData(), static_cast<std::size_t>(bytes.size())));
    std::string line;
    while (open_) {
        // Lines that keep coming must not hold off the deadline.
        if (inFlight_ && deadline_.isActive() && deadline_.remainingTime() == 0) {
            onDeadline();
            return;
        }
        const LineStatus status = replies_.take(line);
        if (status == LineStatus::Incomplete) {
            return;
        }
        if (status != LineStatus::Complete) {
            lose(QStringLiteral("the rotator at %1 %2, which is not its protocol")
                     .arg(where(), fromStd(overflowText(status))));
            return;
        }
        if (!inFlight_) {
            lose(QStringLiteral("the rotator at %1 sent %2 unasked").arg(where(), fromStd(quote(line, kShownBytes))));
            return;
        }
        std::optional<QString> broken;
        const bool complete = takeReply(line, broken);
        // Whoever heard the reply may have disconnected meanwhile.
        if (!open_ || !inFlight_) {
            return;
        }
        if (broken) {
            lose(*broken);
        } else if (complete) {
            finishExchange();
        }
    }
}

void RotatorLink::finishExchange()
{
    deadline_.stop();
    inFlight_.reset();
    replyAzimuth_.reset();
    if (state_ != State::Connected) {
        // The first reply in the protocol: the daemon is there.
        nextPause_ = timing_.firstPause;
        pause_ = std::chrono::milliseconds(0);
        setState(State::Connected);
    }
    sendNext();
}

}  // namespace skybrant::rotctl
