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
#include <thread>
#include <vector>

namespace skybrant::cli {

namespace {

using rotctl::kShownBytes;
using rotctl::secondsText;

// The addresses a host stands for: a literal as it is, a name through the
// system resolver. QHostInfo::fromName blocks until the answer is in and
// needs no event loop.
std::vector<QHostAddress> systemLookUp(const std::string& host, std::string& error)
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

// One connection to the daemon. Each exchange is bounded by the timeout,
// counted from when the host name has been looked up.
class Exchange {
public:
    Exchange(const RotatorRequest& request, RotatorOutcome& outcome)
        : request(request), where(shownAddress(request.address)), outcome(outcome)
    {
    }

    bool connect()
    {
        std::string why;
        const auto addresses =
            request.lookUp ? request.lookUp(request.address.host, why) : systemLookUp(request.address.host, why);
        // A slow resolver is not the rotator's delay.
        restartClock();
        // A system proxy would carry the commands somewhere else.
        socket.setProxy(QNetworkProxy::NoProxy);
        for (const auto& candidate : addresses) {
            if (deadline.hasExpired()) {
                return timedOut();
            }
            socket.connectToHost(candidate, request.address.port);
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

    // A fresh timeout for the next exchange.
    void restartClock() { deadline.setRemainingTime(std::max<qint64>(request.timeout.count(), 0)); }

    bool send(std::string_view line)
    {
        replies.startReply();
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
            // Lines that keep coming must not hold off the deadline.
            if (deadline.hasExpired()) {
                return timedOut();
            }
            // A bounded read, so that a flood waits in the socket.
            const QByteArray arrived = socket.read(static_cast<qint64>(rotctl::kMaxReplyBytes));
            replies.append(std::string_view(arrived.constData(), static_cast<std::size_t>(arrived.size())));
            const rotctl::LineStatus status = replies.take(line);
            if (status == rotctl::LineStatus::Complete) {
                return true;
            }
            if (status != rotctl::LineStatus::Incomplete) {
                return fail(RotatorStatus::RotatorError,
                    "the rotator at " + where + " " + rotctl::overflowText(status) +
                        ", which is not its protocol: " + quote(replies.rest(), kShownBytes));
            }
            if (socket.bytesAvailable() > 0) {
                continue;
            }
            if (socket.state() != QAbstractSocket::ConnectedState || !socket.waitForReadyRead(remaining())) {
                if (socket.bytesAvailable() == 0) {
                    const std::string_view rest = replies.rest();
                    return lost(rest.empty() ? before : "in the middle of a reply " + quote(rest, kShownBytes));
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
        return fail(RotatorStatus::TimedOut,
            "the rotator at " + where + " did not answer within " + secondsText(request.timeout));
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

    const RotatorRequest& request;
    std::string where;
    RotatorOutcome& outcome;
    QDeadlineTimer deadline;
    QTcpSocket socket;
    rotctl::ReplyLines replies;
};

// The range the azimuth is chosen in: the options' limits, and for a limit
// they leave open what the daemon's state says.
bool learnRange(Exchange& exchange, const RotatorRequest& request, RotatorOutcome& outcome)
{
    if (request.minAzimuth && request.maxAzimuth) {
        outcome.range = rotctl::AzimuthRange{*request.minAzimuth, *request.maxAzimuth};
        outcome.rangeSource = RangeSource::Options;
        return true;
    }
    if (!exchange.send(rotctl::kDumpStateCommand)) {
        return false;
    }
    rotctl::DumpStateReader reader;
    auto status = rotctl::DumpStateReader::Status::More;
    std::string line;
    while (status == rotctl::DumpStateReader::Status::More) {
        if (!exchange.readLine(line, "before telling its range")) {
            return false;
        }
        status = reader.take(line);
    }
    if (status == rotctl::DumpStateReader::Status::Beyond) {
        return exchange.fail(
            RotatorStatus::RotatorError, "the rotator at " + exchange.place() + " sent " + reader.problem());
    }
    const bool told = status == rotctl::DumpStateReader::Status::Done;
    // Without the daemon's word, 0..360 is what every rotator takes.
    rotctl::AzimuthRange range = told ? *reader.range() : rotctl::AzimuthRange{};
    if (!told && request.note) {
        request.note("the rotator at " + exchange.place() + " did not tell its azimuth range (" + reader.problem() +
            "); taking 0..360 for the limits --min-az and --max-az do not give");
    }
    const bool given = request.minAzimuth || request.maxAzimuth;
    range.min = request.minAzimuth.value_or(range.min);
    range.max = request.maxAzimuth.value_or(range.max);
    outcome.range = range;
    outcome.rangeSource = given ? RangeSource::Combined : (told ? RangeSource::Rotator : RangeSource::Assumed);
    return true;
}

struct Position {
    double azimuth = 0;
    double elevation = 0;
};

// turned: whether a turn was sent, for a daemon that cannot tell where it
// is.
bool readPosition(Exchange& exchange, Position& position, bool turned)
{
    if (!exchange.send(rotctl::kPositionCommand)) {
        return false;
    }
    const std::array parts{rotctl::PositionPart::Azimuth, rotctl::PositionPart::Elevation};
    const std::array<const char*, 2> before{"before reporting its position", "before reporting its elevation"};
    const std::array<double*, 2> readings{&position.azimuth, &position.elevation};
    std::string line;
    for (std::size_t i = 0; i < parts.size(); ++i) {
        if (!exchange.readLine(line, before.at(i))) {
            return false;
        }
        auto reading = rotctl::positionReading(line, parts.at(i), exchange.place());
        if (reading.refusal && turned) {
            return exchange.fail(RotatorStatus::RotatorError,
                "the rotator at " + exchange.place() +
                    " turned but could not report its position: " + rotctl::codeText(*reading.refusal));
        }
        if (!reading.degrees) {
            return exchange.fail(RotatorStatus::RotatorError, std::move(reading.problem));
        }
        *readings.at(i) = *reading.degrees;
    }
    return true;
}

// "its range -180..180", as the range's source has it.
std::string rangePhrase(const RotatorOutcome& outcome)
{
    std::string text = rotctl::rangeText(*outcome.range);
    switch (outcome.rangeSource) {
    case RangeSource::Rotator:
        return "its range " + text;
    case RangeSource::Options:
        return "the range " + text + " given";
    case RangeSource::Combined:
        return "the range " + text + " (given and its own)";
    case RangeSource::Assumed:
        return "the range " + text + " assumed";
    }
    return text;
}

// The azimuth to send: the least turning one within the range; the
// heading itself, north as 0, when the range is only assumed.
bool chooseAzimuth(Exchange& exchange, const RotatorRequest& request, RotatorOutcome& outcome)
{
    if (outcome.rangeSource == RangeSource::Assumed) {
        outcome.commandedAzimuth = rotctl::sentHeading(*rotctl::leastTurnAzimuth(request.heading, {0, 360}, 0));
        return true;
    }
    outcome.commandedAzimuth = rotctl::leastTurnAzimuth(request.heading, *outcome.range, *outcome.startAzimuth);
    if (!outcome.commandedAzimuth) {
        return exchange.fail(RotatorStatus::OutOfRange,
            "the rotator at " + exchange.place() + " cannot turn to the beam heading " +
                rotctl::shownAzimuth(request.heading) + ": no azimuth within " + rangePhrase(outcome) +
                " points that way");
    }
    return true;
}

// Reads the position until the rotator is there, stands still, or the wait
// ends.
void awaitArrival(Exchange& exchange, const RotatorRequest& request, RotatorOutcome& outcome)
{
    using Clock = std::chrono::steady_clock;
    const auto started = Clock::now();
    const auto end = started + *request.wait;
    const double target = *outcome.commandedAzimuth;
    double still = *outcome.startAzimuth;
    auto lastMoved = started;
    for (;;) {
        std::this_thread::sleep_for(std::min<Clock::duration>(request.pollInterval, std::max(end - Clock::now(), {})));
        exchange.restartClock();
        Position now;
        if (!readPosition(exchange, now, true)) {
            return;
        }
        outcome.reportedAzimuth = now.azimuth;
        outcome.reportedElevation = now.elevation;
        if (request.progress) {
            request.progress(now.azimuth, target);
        }
        const auto at = Clock::now();
        const std::string shortOf = rotctl::shownAzimuth(std::abs(target - now.azimuth)) +
            " degrees short of azimuth " + rotctl::shownAzimuth(target);
        if (std::abs(now.azimuth - target) <= kArrivedDegrees) {
            outcome.status = RotatorStatus::Arrived;
            return;
        }
        if (std::abs(now.azimuth - still) > kStillDegrees) {
            still = now.azimuth;
            lastMoved = at;
        } else if (at - lastMoved >= request.stillTime) {
            exchange.fail(RotatorStatus::StoppedShort,
                "the rotator at " + exchange.place() + " stood still at azimuth " + rotctl::shownAzimuth(now.azimuth) +
                    " for " + secondsText(request.stillTime) + ", " + shortOf);
            return;
        }
        if (at >= end) {
            exchange.fail(RotatorStatus::WaitRanOut,
                "the rotator at " + exchange.place() + " was still at azimuth " + rotctl::shownAzimuth(now.azimuth) +
                    " after waiting " + secondsText(*request.wait) + ", " + shortOf);
            return;
        }
    }
}

}  // namespace

RotatorOutcome turnRotator(const RotatorRequest& request)
{
    RotatorOutcome outcome;
    Exchange exchange(request, outcome);
    if (!std::isfinite(request.heading)) {
        exchange.fail(RotatorStatus::RotatorError,
            "cannot turn the rotator at " + exchange.place() + ": the heading is not a finite number");
        return outcome;
    }
    Position start;
    if (!exchange.connect() || !learnRange(exchange, request, outcome) || !readPosition(exchange, start, false)) {
        return outcome;
    }
    outcome.startAzimuth = start.azimuth;
    std::string line;
    if (!chooseAzimuth(exchange, request, outcome) || !exchange.send(rotctl::turnCommand(*outcome.commandedAzimuth)) ||
        !exchange.readLine(line, "before answering the turn")) {
        return outcome;
    }
    if (auto refusal = rotctl::turnRefusal(line, exchange.place(), *outcome.commandedAzimuth)) {
        exchange.fail(RotatorStatus::RotatorError, std::move(*refusal));
        return outcome;
    }
    outcome.status = RotatorStatus::Started;
    if (request.wait) {
        awaitArrival(exchange, request, outcome);
    }
    return outcome;
}

}  // namespace skybrant::cli
