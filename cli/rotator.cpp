#include "rotator.h"

#include "core/utf8.h"
#include "rotator/rotator_protocol.h"
#include "rotator/rotator_texts.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <string_view>
#include <thread>

namespace skybrant::cli {

namespace {

using rotctl::secondsText;

// The client's steps, their failures set down in the outcome.
class Exchange {
public:
    Exchange(const RotatorRequest& request, RotatorOutcome& outcome)
        : client(request.address, request.timeout, request.lookUp), outcome(outcome)
    {
    }

    bool connect() { return check(client.connect()); }
    void restartClock() { client.restartClock(); }
    bool send(std::string_view line) { return check(client.send(line)); }
    bool readLine(std::string& line, std::string_view before) { return check(client.readLine(line, before)); }

    bool fail(RotatorStatus status, std::string message)
    {
        outcome.status = status;
        outcome.message = std::move(message);
        return false;
    }

    const std::string& place() const { return client.place(); }

private:
    bool check(bool done)
    {
        if (done) {
            return true;
        }
        switch (client.failure()) {
        case rotctl::RotctldClient::Failure::CannotConnect:
            return fail(RotatorStatus::CannotConnect, client.message());
        case rotctl::RotctldClient::Failure::TimedOut:
            return fail(RotatorStatus::TimedOut, client.message());
        case rotctl::RotctldClient::Failure::Broken:
        case rotctl::RotctldClient::Failure::None:
            break;
        }
        return fail(RotatorStatus::RotatorError, client.message());
    }

    rotctl::RotctldClient client;
    RotatorOutcome& outcome;
};

// The range the azimuth is chosen in, as rotctl::turnRange has it from the
// options' limits and the daemon's state.
bool learnRange(Exchange& exchange, const RotatorRequest& request, RotatorOutcome& outcome)
{
    const rotctl::GivenLimits given{request.minAzimuth, request.maxAzimuth};
    if (given.min && given.max) {
        const rotctl::TurnRange range = rotctl::turnRange(given, std::nullopt);
        outcome.range = range.range;
        outcome.rangeSource = range.source;
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
    if (status == rotctl::DumpStateReader::Status::Beyond || status == rotctl::DumpStateReader::Status::Stray) {
        return exchange.fail(
            RotatorStatus::RotatorError, "the rotator at " + exchange.place() + " sent " + reader.problem());
    }
    const bool told = status == rotctl::DumpStateReader::Status::Done;
    if (!told && request.note) {
        request.note("the rotator at " + exchange.place() + " did not tell its azimuth range (" + reader.problem() +
            "); taking 0..360 for the limits --min-az and --max-az do not give");
    }
    const rotctl::TurnRange range = rotctl::turnRange(given, told ? reader.range() : std::nullopt);
    outcome.range = range.range;
    outcome.rangeSource = range.source;
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

// The azimuth to send, as the policy of a turn chooses it.
bool chooseAzimuth(Exchange& exchange, const RotatorRequest& request, RotatorOutcome& outcome)
{
    const rotctl::TurnRange range{*outcome.range, outcome.rangeSource};
    outcome.commandedAzimuth = rotctl::turnAzimuth(request.heading + request.offset, range, outcome.startAzimuth);
    if (!outcome.commandedAzimuth) {
        return exchange.fail(RotatorStatus::OutOfRange,
            rotctl::cannotReachText(exchange.place(), request.heading, request.offset, *outcome.range));
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
        if (rotctl::arrivedAt(now.azimuth, target)) {
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

// Refuses what can be refused before a daemon is asked.
bool refusedAtOnce(const RotatorRequest& request, RotatorOutcome& outcome)
{
    const std::string where = rotctl::shownAddress(request.address);
    if (!std::isfinite(request.heading + request.offset)) {
        outcome.status = RotatorStatus::RotatorError;
        outcome.message = "cannot turn the rotator at " + where + ": the heading is not a finite number";
        return true;
    }
    const rotctl::GivenLimits given{request.minAzimuth, request.maxAzimuth};
    if (!rotctl::ruledOut(request.heading + request.offset, given)) {
        return false;
    }
    outcome.status = RotatorStatus::OutOfRange;
    // Whatever the daemon's other limit, it lies within the protocol's.
    const rotctl::AzimuthRange widest = rotctl::widestRange(given);
    if (given.min && given.max) {
        outcome.range = widest;
        outcome.rangeSource = RangeSource::Options;
    }
    outcome.message = rotctl::cannotReachText(where, request.heading, request.offset, widest);
    return true;
}

}  // namespace

RotatorOutcome turnRotator(const RotatorRequest& request)
{
    RotatorOutcome outcome;
    if (refusedAtOnce(request, outcome)) {
        return outcome;
    }
    Exchange exchange(request, outcome);
    Position start;
    if (!exchange.connect() || !learnRange(exchange, request, outcome) || !readPosition(exchange, start, false)) {
        return outcome;
    }
    outcome.startAzimuth = start.azimuth;
    std::string line;
    if (!chooseAzimuth(exchange, request, outcome) ||
        !exchange.send(rotctl::turnCommand(*outcome.commandedAzimuth, start.elevation)) ||
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

RotatorOutcome commandRotator(const RotatorRequest& request, std::string_view command)
{
    RotatorOutcome outcome;
    Exchange exchange(request, outcome);
    std::string line;
    if (!exchange.connect() || !exchange.send(command) || !exchange.readLine(line, "before answering")) {
        return outcome;
    }
    const auto code = rotctl::rprtCode(line);
    if (code != 0) {
        exchange.fail(RotatorStatus::RotatorError,
            "the rotator at " + exchange.place() + " answered " +
                (code ? rotctl::codeText(*code) : quote(line, rotctl::kShownBytes)) + " to " +
                quote(command.substr(0, 1)));
        return outcome;
    }
    outcome.status = RotatorStatus::Started;
    return outcome;
}

RotatorOutcome readRotator(const RotatorRequest& request)
{
    RotatorOutcome outcome;
    Exchange exchange(request, outcome);
    Position now;
    if (!exchange.connect() || !readPosition(exchange, now, false)) {
        return outcome;
    }
    outcome.reportedAzimuth = now.azimuth;
    outcome.reportedElevation = now.elevation;
    outcome.status = RotatorStatus::Started;
    return outcome;
}

}  // namespace skybrant::cli
