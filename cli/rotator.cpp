#include "rotator.h"

#include "core/utf8.h"
#include "rotator/rotator_protocol.h"

#include <QDeadlineTimer>
#include <QHostAddress>
#include <QHostInfo>
#include <QNetworkProxy>
#include <QTcpSocket>

#include <algorithm>
#include <array>
#include <cmath>
#include <string_view>
#include <vector>

namespace skybrant::cli {

namespace {

// A flood of bytes from the network cannot fill the screen.
constexpr std::size_t kShownBytes = 60;

// "2 s", "0.3 s", "1.25 s": whole milliseconds, no locale in the way.
std::string secondsText(std::chrono::milliseconds timeout)
{
    const auto ms = std::max<std::chrono::milliseconds::rep>(timeout.count(), 0);
    std::string text = std::to_string(ms / 1000);
    if (const auto fraction = ms % 1000; fraction != 0) {
        std::string digits = std::to_string(1000 + fraction).substr(1);
        digits.erase(digits.find_last_not_of('0') + 1);
        text += "." + digits;
    }
    return text + " s";
}

// The addresses a host stands for: a literal as it is, a name through the
// system resolver. QHostInfo::fromName blocks until the answer is in and
// needs no event loop.
std::vector<QHostAddress> lookUp(const std::string& host, std::string& error)
{
    if (QHostAddress literal; literal.setAddress(QString::fromStdString(host))) {
        return {literal};
    }
    const QHostInfo found = QHostInfo::fromName(QString::fromStdString(host));
    if (found.error() == QHostInfo::HostNotFound) {
        error = "unknown host";
        return {};
    }
    if (found.error() != QHostInfo::NoError) {
        error = "name lookup failed: " + found.errorString().toStdString();
        return {};
    }
    std::vector<QHostAddress> addresses;
    for (const QHostAddress& address : found.addresses()) {
        if (std::find(addresses.begin(), addresses.end(), address) == addresses.end()) {
            addresses.push_back(address);
        }
    }
    if (addresses.empty()) {
        error = "unknown host";
    }
    return addresses;
}

// One connection to the daemon, every wait bounded by the same deadline.
// Each step returns false after filling in outcome with what went wrong.
class Exchange {
public:
    Exchange(const rotctl::RotatorAddress& address, std::chrono::milliseconds timeout, RotatorOutcome& outcome)
        : address(address), where(rotatorAddressText(address)), timeout(timeout),
          deadline(std::max<std::chrono::milliseconds::rep>(timeout.count(), 0)), outcome(outcome)
    {
    }

    bool connect()
    {
        std::string why;
        const auto addresses = lookUp(address.host, why);
        // A system proxy would carry the commands somewhere else.
        socket.setProxy(QNetworkProxy::NoProxy);
        for (const auto& candidate : addresses) {
            if (deadline.hasExpired()) {
                return timedOut();
            }
            socket.connectToHost(candidate, address.port);
            if (socket.waitForConnected(remaining())) {
                return true;
            }
            if (deadline.hasExpired() || socket.error() == QAbstractSocket::SocketTimeoutError) {
                return timedOut();
            }
            why = socket.error() == QAbstractSocket::ConnectionRefusedError
                ? "connection refused (is rotctld running there?)"
                : socket.errorString().toLower().toStdString();
            socket.abort();
        }
        return fail(RotatorStatus::CannotConnect, "cannot connect to the rotator at " + where + ": " + why);
    }

    bool send(std::string_view line)
    {
        if (socket.state() != QAbstractSocket::ConnectedState) {
            return true;  // hung up after its last reply; reading says so
        }
        socket.write(line.data(), static_cast<qint64>(line.size()));
        while (socket.bytesToWrite() > 0) {
            if (deadline.hasExpired()) {
                return timedOut();
            }
            if (!socket.waitForBytesWritten(remaining())) {
                // A hang-up may have come with a last reply; reading reports it.
                if (!deadline.hasExpired() && socket.error() == QAbstractSocket::RemoteHostClosedError) {
                    return true;
                }
                return lost("while sending " + quote(line, kShownBytes));
            }
        }
        return true;
    }

    // Reads one reply line without its "\n" (or "\r\n"); before says what a
    // hang-up with nothing pending interrupted.
    bool readLine(std::string& line, const std::string& before)
    {
        for (;;) {
            const QByteArray arrived = socket.readAll();
            pending.append(arrived.constData(), static_cast<std::size_t>(arrived.size()));
            switch (rotctl::takeLine(pending, line)) {
            case rotctl::LineStatus::Complete:
                return true;
            case rotctl::LineStatus::TooLong:
                return fail(RotatorStatus::RotatorError,
                    "the rotator at " + where + " sent a reply line longer than " +
                        std::to_string(rotctl::kMaxReplyLine) + " bytes: " + quote(pending, kShownBytes));
            case rotctl::LineStatus::Incomplete:
                break;
            }
            if (deadline.hasExpired()) {
                return timedOut();
            }
            if (socket.state() != QAbstractSocket::ConnectedState || !socket.waitForReadyRead(remaining())) {
                if (socket.bytesAvailable() == 0) {
                    return lost(pending.empty() ? before : "in the middle of a reply " + quote(pending, kShownBytes));
                }
            }
        }
    }

    bool fail(RotatorStatus status, std::string message)
    {
        outcome.status = status;
        outcome.message = std::move(message);
        return false;
    }

    const std::string& place() const { return where; }

private:
    int remaining() const { return static_cast<int>(std::max<qint64>(deadline.remainingTime(), 0)); }

    bool timedOut()
    {
        return fail(
            RotatorStatus::TimedOut, "the rotator at " + where + " did not answer within " + secondsText(timeout));
    }

    // The socket gave up: a deadline, a hang-up, or a network error.
    bool lost(const std::string& when)
    {
        if (deadline.hasExpired() || socket.error() == QAbstractSocket::SocketTimeoutError) {
            return timedOut();
        }
        if (socket.error() == QAbstractSocket::RemoteHostClosedError ||
            socket.state() != QAbstractSocket::ConnectedState) {
            return fail(RotatorStatus::RotatorError, "the rotator at " + where + " closed the connection " + when);
        }
        return fail(RotatorStatus::RotatorError,
            "lost the rotator at " + where + " " + when + ": " + socket.errorString().toLower().toStdString());
    }

    const rotctl::RotatorAddress& address;
    std::string where;
    std::chrono::milliseconds timeout;
    QDeadlineTimer deadline;
    RotatorOutcome& outcome;
    QTcpSocket socket;
    std::string pending;
};

}  // namespace

RotatorOutcome turnRotator(
    const rotctl::RotatorAddress& address, double azimuthDegrees, std::chrono::milliseconds timeout)
{
    RotatorOutcome outcome;
    Exchange exchange(address, timeout, outcome);
    if (!std::isfinite(azimuthDegrees)) {
        exchange.fail(RotatorStatus::RotatorError,
            "cannot turn the rotator at " + exchange.place() + ": the azimuth is not a finite number");
        return outcome;
    }
    std::string line;
    if (!exchange.connect() || !exchange.send(rotctl::turnCommand(azimuthDegrees)) ||
        !exchange.readLine(line, "before answering the turn")) {
        return outcome;
    }
    if (auto refusal = rotctl::turnRefusal(line, exchange.place(), azimuthDegrees)) {
        exchange.fail(RotatorStatus::RotatorError, std::move(*refusal));
        return outcome;
    }
    if (!exchange.send(rotctl::kPositionCommand)) {
        return outcome;
    }
    const std::array parts{rotctl::PositionPart::Azimuth, rotctl::PositionPart::Elevation};
    const std::array<const char*, 2> before{"before reporting its position", "before reporting its elevation"};
    const std::array<double*, 2> readings{&outcome.reportedAzimuth, &outcome.reportedElevation};
    for (std::size_t i = 0; i < parts.size(); ++i) {
        if (!exchange.readLine(line, before.at(i))) {
            return outcome;
        }
        auto reading = rotctl::positionReading(line, parts.at(i), exchange.place());
        if (!reading.degrees) {
            exchange.fail(RotatorStatus::RotatorError, std::move(reading.problem));
            return outcome;
        }
        *readings.at(i) = *reading.degrees;
    }
    outcome.status = RotatorStatus::Turned;
    return outcome;
}

}  // namespace skybrant::cli
