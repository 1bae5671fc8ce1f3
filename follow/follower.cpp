#include "follower.h"

#include "core/heading_spread.h"
#include "core/report.h"
#include "followed_station.h"
#include "rotator/rotator_policy.h"
#include "rotator/rotator_protocol.h"
#include "wsjtx_message.h"

#include <algorithm>
#include <array>
#include <cmath>

namespace skybrant::follow {

namespace {

// A logger's turn is watched this long for its arrival.
constexpr auto kTurnWatch = std::chrono::seconds(120);
constexpr auto kReportTurning = std::chrono::seconds(1);
constexpr auto kReportIdle = std::chrono::seconds(15);
// Datagrams read before the clock is looked at again.
constexpr int kBurst = 64;

std::span<const std::byte> textBytes(const std::string& text)
{
    return {reinterpret_cast<const std::byte*>(text.data()), text.size()};
}

std::string turnText(double heading)
{
    return "turn to " + rotctl::shownAzimuth(std::round(heading)) + "\u00b0";
}

// Told once for each address at most, and for no more than so many.
bool firstTime(std::set<std::uint32_t>& told, std::uint32_t address)
{
    return told.size() < kMaxToldSenders && told.insert(address).second;
}

}  // namespace

std::string_view sourceTitle(FollowSource source)
{
    constexpr std::array<std::string_view, 4> kTitles{"WSJT-X", "JS8Call", "N1MM Logger+", "PstRotator"};
    return kTitles.at(static_cast<std::size_t>(source));
}

FollowEvent stationEvent(FollowSource source, const Position& own, DistanceUnit unit, const StationReader& read,
    const std::string& call, const std::string& grid)
{
    FollowEvent event;
    event.source = source;
    event.call = shownField(call);
    event.grid = shownField(grid);
    Position other;
    std::string error;
    bool found = false;
    if (!grid.empty()) {
        found = read(stationText("", grid), other, error);
    }
    if (!found && !call.empty()) {
        std::string callError;
        found = read(stationText(call, ""), other, callError);
        if (!found && error.empty()) {
            error = std::move(callError);
        }
    }
    if (!found) {
        event.problem = call.empty() && grid.empty() ? "no station picked" : error;
        return event;
    }
    event.station = other;
    const GreatCircleResult result = solvePositions(own, other);
    event.distance = arcToDistance(result.centralAngle, unit);
    if (!result.hasHeadings()) {
        event.problem = "no heading to the own station's place or its antipode";
        return event;
    }
    event.heading = result.headingOwnToOther;
    if (grid.size() == 4) {
        if (const auto spread = squareHeadingSpread(own, grid)) {
            event.spread = std::pair{spread->first, spread->last};
        }
    }
    return event;
}

Follower::Follower(FollowerSetup setup, FollowActions& actions)
    : setup_(std::move(setup)), actions_(actions), rules_(setup_.rules)
{
}

bool Follower::open(std::string& error)
{
    return listener_.listen(setup_.listen, error) && sender_.open(error);
}

bool Follower::allowed(const Received& datagram)
{
    const std::uint32_t from = datagram.from.address;
    if (isLoopback(from) || std::ranges::find(setup_.allowed, from) != setup_.allowed.end()) {
        return true;
    }
    if (firstTime(toldRefused_, from)) {
        actions_.refused(from);
    }
    return false;
}

void Follower::takeWaiting()
{
    for (int i = 0; i < kBurst; ++i) {
        const auto datagram = listener_.receive();
        if (!datagram) {
            return;
        }
        if (!allowed(*datagram)) {
            continue;
        }
        if (datagram->size > kMaxDatagram) {
            if (firstTime(toldTooLong_, datagram->from.address)) {
                actions_.note("dropping datagrams of over 64 KiB from " + addressText(datagram->from.address));
            }
            continue;
        }
        for (const Endpoint& to : setup_.forwards) {
            listener_.send(datagram->bytes, to);
        }
        take(*datagram, Clock::now());
    }
}

void Follower::take(const Received& datagram, Clock::time_point now)
{
    switch (setup_.source) {
    case FollowSource::Wsjtx:
        return takeWsjtx(datagram, now);
    case FollowSource::Js8call:
        return takeJs8call(datagram, now);
    case FollowSource::N1mm:
        if (const auto command = readN1mm(datagram.bytes)) {
            return takeRotor(*command, datagram, now);
        }
        return notMine(datagram);
    case FollowSource::PstRotator:
        if (const auto command = readPst(datagram.bytes)) {
            return takeRotor(*command, datagram, now);
        }
        return notMine(datagram);
    }
}

void Follower::notMine(const Received& datagram)
{
    if (firstTime(toldNotMine_, datagram.from.address)) {
        actions_.note("ignoring datagrams from " + addressText(datagram.from.address) + " that are not " +
            std::string(sourceTitle(setup_.source)) + "'s");
    }
}

void Follower::takeWsjtx(const Received& datagram, Clock::time_point now)
{
    const auto message = readWsjtx(datagram.bytes);
    if (!message) {
        return notMine(datagram);
    }
    if (message->type == static_cast<std::uint32_t>(WsjtxType::Close)) {
        FollowEvent event;
        event.source = setup_.source;
        event.from = datagram.from.address;
        event.decision = shownField(message->id) + " closed";
        actions_.event(event);
        return;
    }
    if (message->dxCall && message->dxGrid) {
        offer(*message->dxCall, *message->dxGrid, datagram.from.address, now);
    }
}

void Follower::takeJs8call(const Received& datagram, Clock::time_point now)
{
    const auto message = readJs8call(datagram.bytes);
    if (!message) {
        return notMine(datagram);
    }
    spots_.take(*message);
    if (message->kind == Js8Message::Kind::Status) {
        offer(message->call, spots_.gridOf(message->call), datagram.from.address, now);
    }
}

void Follower::offer(const std::string& call, const std::string& grid, std::uint32_t from, Clock::time_point now)
{
    FollowEvent event = actions_.station(call, grid);
    event.source = setup_.source;
    event.from = from;
    if (rules_.repeats(call, grid)) {
        return;
    }
    if (const auto at = actions_.aimedAt()) {
        rules_.antennaAt(*at);
    }
    const Decision decision = rules_.offer(call, grid, event.heading, now);
    if (decision.kind == Decision::Kind::Repeated) {
        return;
    }
    lastPick_ = event;
    act(event, decision);
}

void Follower::act(FollowEvent& event, const Decision& decision)
{
    event.decision = decision.text;
    if (decision.kind == Decision::Kind::Turn && !turn(decision.heading, event)) {
        // Not turned: the next pick, even of the same station, tries again.
        rules_.notTurned();
    }
    actions_.event(event);
}

bool Follower::turn(double heading, FollowEvent& event)
{
    const FollowActions::Turned turned = actions_.turn(heading);
    if (!turned.azimuth) {
        event.decision += "; not turned: " + turned.problem;
        return false;
    }
    commanded_ = turned.azimuth;
    event.turned = true;
    return true;
}

void Follower::takeRotor(const RotorCommand& command, const Received& datagram, Clock::time_point now)
{
    FollowEvent event;
    event.source = setup_.source;
    event.from = datagram.from.address;
    if (setup_.source == FollowSource::N1mm) {
        reportTo_ = Endpoint{datagram.from.address, kN1mmReportPort};
        rotorName_ = command.rotor;
        event.call = shownField(command.rotor);
    }
    switch (command.kind) {
    case RotorCommand::Kind::Turn:
        event.heading = commandHeading(command);
        event.decision = turnText(*event.heading);
        if (turn(*event.heading, event)) {
            turningUntil_ = now + kTurnWatch;
            nextReport_ = now + kReportTurning;
        }
        break;
    case RotorCommand::Kind::Locator: {
        event = actions_.station("", command.locator);
        event.source = setup_.source;
        event.from = datagram.from.address;
        event.decision = event.heading ? turnText(*event.heading) : "not turned: " + event.problem;
        if (event.heading && turn(*event.heading, event)) {
            turningUntil_ = now + kTurnWatch;
        }
        break;
    }
    case RotorCommand::Kind::Stop:
    case RotorCommand::Kind::Park: {
        event.decision = command.kind == RotorCommand::Kind::Stop ? "stop" : "park";
        if (const std::string problem = actions_.command(command.kind); !problem.empty()) {
            event.decision += "; not done: " + problem;
        }
        turningUntil_.reset();
        break;
    }
    case RotorCommand::Kind::Ask: {
        const auto at = actions_.position();
        if (at && datagram.from.port < 65535) {
            sender_.send(textBytes(pstPosition(*at)),
                {datagram.from.address, static_cast<std::uint16_t>(datagram.from.port + 1)});
        }
        return;
    }
    }
    actions_.event(event);
}

void Follower::tick(Clock::time_point now)
{
    if (const auto decision = rules_.due(now)) {
        FollowEvent event = lastPick_;
        act(event, *decision);
    }
    if (!reportTo_ || now < nextReport_) {
        return;
    }
    const auto at = actions_.position();
    if (at) {
        sender_.send(textBytes(n1mmPosition(rotorName_, *at)), *reportTo_);
    }
    if (turningUntil_ && (now >= *turningUntil_ || (at && commanded_ && rotctl::arrivedAt(*at, *commanded_)))) {
        turningUntil_.reset();
    }
    nextReport_ = now + (turningUntil_ ? kReportTurning : kReportIdle);
}

std::optional<Clock::time_point> Follower::nextWake() const
{
    std::optional<Clock::time_point> wake = rules_.dueAt();
    if (reportTo_ && (!wake || nextReport_ < *wake)) {
        wake = nextReport_;
    }
    return wake;
}

}  // namespace skybrant::follow
