#include "cluster_client.h"

#include "rotator/rotator_address.h"

#include <algorithm>
#include <string>

namespace skybrant::cluster {

namespace {

// The longest command a user types.
constexpr int kMaxCommand = 200;
// A link that stayed up this long was no failure: the next pause is short.
constexpr auto kSteadyLink = std::chrono::minutes(1);

// The prompts clusters log in with, in small letters.
constexpr std::string_view kPrompts[] = {"login:", "call:", "callsign:", "enter your call", "your callsign"};

bool isPrompt(const QByteArray& text)
{
    const std::string shown = text.trimmed().toLower().toStdString();
    return std::any_of(std::begin(kPrompts), std::end(kPrompts), [&](std::string_view prompt) {
        return std::string_view(shown).ends_with(prompt) ||
            std::string_view(shown).ends_with(std::string(prompt) + ":");
    });
}

// Text from the network made safe to show: broken UTF-8 and control
// characters as U+FFFD, a tab as a blank.
QString safeText(const QByteArray& bytes)
{
    QString text = QString::fromUtf8(bytes);
    for (QChar& c : text) {
        if (c == u'\t') {
            c = u' ';
        } else if (c.unicode() < 0x20 || (c.unicode() >= 0x7F && c.unicode() <= 0x9F)) {
            c = QChar(QChar::ReplacementCharacter);
        }
    }
    return text;
}

bool readCallsign(const QString& text, QString& call)
{
    call = text.trimmed().toUpper();
    const bool shaped = call.size() >= 3 && call.size() <= 20 &&
        std::all_of(call.begin(), call.end(),
            [](QChar c) { return (c >= u'A' && c <= u'Z') || (c >= u'0' && c <= u'9') || c == u'/' || c == u'-'; }) &&
        std::any_of(call.begin(), call.end(), [](QChar c) { return c.isDigit(); });
    return shaped;
}

}  // namespace

ClusterClient::ClusterClient(ClusterTiming timing, QObject* parent)
    : QObject(parent), timing_(timing), pause_(timing.firstPause)
{
    for (QTimer* timer : {&retryTimer_, &quietTimer_, &loginTimer_, &connectTimer_}) {
        timer->setSingleShot(true);
    }
    connect(&retryTimer_, &QTimer::timeout, this, &ClusterClient::connectNow);
    connect(&quietTimer_, &QTimer::timeout, this, &ClusterClient::onQuiet);
    connect(&loginTimer_, &QTimer::timeout, this, &ClusterClient::sendLogin);
    connect(&connectTimer_, &QTimer::timeout, this,
        [this] { retryLater(QStringLiteral("no connection within %1 s").arg(timing_.connectWait.count() / 1000)); });
    connect(&socket_, &QTcpSocket::connected, this, &ClusterClient::onConnected);
    connect(&socket_, &QTcpSocket::readyRead, this, &ClusterClient::onReadyRead);
    connect(&socket_, &QTcpSocket::disconnected, this, &ClusterClient::onDisconnected);
    connect(&socket_, &QTcpSocket::errorOccurred, this, &ClusterClient::onError);
}

ClusterClient::~ClusterClient()
{
    // No signal of the socket may reach a client half destroyed.
    socket_.disconnect(this);
    socket_.abort();
}

bool ClusterClient::start(const QString& address, const QString& callsign, QString& error)
{
    rotctl::RotatorAddress parsed;
    std::string why;
    const std::string text = address.trimmed().toStdString();
    if (!rotctl::parseRotatorAddress(text, parsed, why)) {
        error = QString::fromStdString(why);
        return false;
    }
    if (!text.ends_with(":" + std::to_string(parsed.port))) {
        error = QStringLiteral("a DX cluster's address needs its port: HOST:PORT, such as dxc.example.org:7300");
        return false;
    }
    QString call;
    if (!readCallsign(callsign, call)) {
        error = QStringLiteral("the cluster's login needs a callsign, such as DL1ABC");
        return false;
    }
    stop();
    host_ = QString::fromStdString(parsed.host);
    port_ = parsed.port;
    callsign_ = call;
    pause_ = timing_.firstPause;
    failure_.clear();
    connectNow();
    return true;
}

void ClusterClient::stop()
{
    for (QTimer* timer : {&retryTimer_, &quietTimer_, &loginTimer_, &connectTimer_}) {
        timer->stop();
    }
    setState(State::Stopped);
    socket_.abort();
}

void ClusterClient::connectNow()
{
    line_.clear();
    cutting_ = false;
    telnet_.reset();
    keepAliveSent_ = false;
    setState(State::Connecting);
    socket_.abort();
    connectTimer_.start(timing_.connectWait);
    socket_.connectToHost(host_, port_);
}

void ClusterClient::onConnected()
{
    connectTimer_.stop();
    connectedAt_ = QDateTime::currentDateTimeUtc();
    socket_.setSocketOption(QAbstractSocket::KeepAliveOption, 1);
    setState(State::LoggingIn);
    loginTimer_.start(timing_.loginWait);
    quietTimer_.start(timing_.quiet);
}

void ClusterClient::onReadyRead()
{
    keepAliveSent_ = false;
    quietTimer_.start(timing_.quiet);
    // Read in bounded pieces, so that a flood is taken a block at a time.
    while (socket_.bytesAvailable() > 0 && state_ != State::Waiting && state_ != State::Stopped) {
        takeBytes(socket_.read(qint64{64} * 1024));
    }
    if (state_ == State::LoggingIn) {
        checkPrompt();
    }
}

void ClusterClient::takeBytes(const QByteArray& bytes)
{
    for (const char byte : bytes) {
        if (!telnet_.isText(static_cast<unsigned char>(byte))) {
            continue;
        }
        if (byte == '\n') {
            if (!cutting_) {
                lineEnded();
            }
            line_.clear();
            cutting_ = false;
            continue;
        }
        if (cutting_) {
            continue;
        }
        if (line_.size() == kMaxClusterLine) {
            // What fits is shown; the rest of the line is dropped.
            lineEnded();
            line_.clear();
            cutting_ = true;
            continue;
        }
        line_ += byte;
    }
}

void ClusterClient::lineEnded()
{
    while (!line_.isEmpty() && (line_.back() == '\r' || line_.back() == '\a')) {
        line_.chop(1);
    }
    if (state_ == State::LoggingIn && isPrompt(line_)) {
        sendLogin();
    }
    if (line_.trimmed().isEmpty()) {
        return;
    }
    const ClusterLine read =
        readClusterLine(std::string_view(line_.constData(), static_cast<std::size_t>(line_.size())));
    switch (read.kind) {
    case ClusterLineKind::Spot:
        lastSpotAt_ = QDateTime::currentDateTimeUtc();
        emit spotReceived(read.spot);
        emit stateChanged();
        break;
    case ClusterLineKind::Weather:
        emit weatherReceived(read.weather);
        break;
    case ClusterLineKind::Console:
        emit consoleLine(safeText(line_));
        break;
    }
}

void ClusterClient::checkPrompt()
{
    // A prompt waits on its line for the answer, without a line end.
    if (isPrompt(line_)) {
        emit consoleLine(safeText(line_.trimmed()));
        line_.clear();
        sendLogin();
    }
}

void ClusterClient::sendLogin()
{
    if (state_ != State::LoggingIn) {
        return;
    }
    loginTimer_.stop();
    write(callsign_.toLatin1() + "\r\n");
    setState(State::LoggedIn);
}

void ClusterClient::onQuiet()
{
    if (state_ != State::LoggingIn && state_ != State::LoggedIn) {
        return;
    }
    if (keepAliveSent_) {
        retryLater(QStringLiteral("the cluster stopped answering"));
        return;
    }
    // An empty line: the cluster answers with its prompt.
    keepAliveSent_ = true;
    write("\r\n");
    quietTimer_.start(timing_.quiet);
}

void ClusterClient::onDisconnected()
{
    if (state_ == State::Waiting || state_ == State::Stopped || state_ == State::Connecting) {
        return;
    }
    retryLater(QStringLiteral("the cluster hung up"));
}

void ClusterClient::onError(QAbstractSocket::SocketError error)
{
    if (state_ == State::Waiting || state_ == State::Stopped) {
        return;
    }
    const QString where = host_ + u':' + QString::number(port_);
    switch (error) {
    case QAbstractSocket::ConnectionRefusedError:
        retryLater(QStringLiteral("refused by %1").arg(where));
        break;
    case QAbstractSocket::RemoteHostClosedError:
        retryLater(QStringLiteral("the cluster hung up"));
        break;
    default:
        retryLater(socket_.errorString());
        break;
    }
}

void ClusterClient::retryLater(const QString& why)
{
    failure_ = why;
    if (connectedAt_.isValid() &&
        connectedAt_.msecsTo(QDateTime::currentDateTimeUtc()) >=
            std::chrono::duration_cast<std::chrono::milliseconds>(kSteadyLink).count()) {
        pause_ = timing_.firstPause;
    }
    connectedAt_ = {};
    for (QTimer* timer : {&quietTimer_, &loginTimer_, &connectTimer_}) {
        timer->stop();
    }
    setState(State::Waiting);
    socket_.abort();
    retryTimer_.start(pause_);
    pause_ = std::min(pause_ * 2, timing_.longestPause);
    emit stateChanged();
}

void ClusterClient::setState(State state)
{
    if (state_ != state) {
        state_ = state;
        emit stateChanged();
    }
}

void ClusterClient::write(const QByteArray& line)
{
    if (socket_.state() == QAbstractSocket::ConnectedState) {
        socket_.write(line);
    }
}

bool ClusterClient::sendCommand(const QString& command, QString& error)
{
    const QString text = command.trimmed();
    if (state_ != State::LoggedIn) {
        error = QStringLiteral("not logged in to a cluster");
        return false;
    }
    if (text.isEmpty() || text.size() > kMaxCommand ||
        std::any_of(text.begin(), text.end(), [](QChar c) { return c.unicode() < 0x20 || c.unicode() == 0x7F; })) {
        error = QStringLiteral("a command is one line of up to %1 characters").arg(kMaxCommand);
        return false;
    }
    write(text.toUtf8() + "\r\n");
    return true;
}

QString ClusterClient::stateText() const
{
    const QString where = host_ + u':' + QString::number(port_);
    switch (state_) {
    case State::Stopped:
        return QStringLiteral("not connected");
    case State::Connecting:
        return QStringLiteral("connecting to %1").arg(where);
    case State::LoggingIn:
        return QStringLiteral("connected to %1, logging in").arg(where);
    case State::LoggedIn:
        if (lastSpotAt_.isValid()) {
            return QStringLiteral("logged in to %1 as %2, last spot at %3 UTC")
                .arg(where, callsign_, lastSpotAt_.toString(QStringLiteral("HH:mm")));
        }
        return QStringLiteral("logged in to %1 as %2").arg(where, callsign_);
    case State::Waiting:
        return QStringLiteral("%1; trying again in %2 s")
            .arg(failure_)
            .arg((std::max(retryTimer_.remainingTime(), 0) + 999) / 1000);
    }
    return {};
}

}  // namespace skybrant::cluster
