#include "follow_run.h"

#include "core/heading_spread.h"
#include "core/station_reader.h"
#include "follow/followed_station.h"
#include "follow/js8call_message.h"
#include "follow/rotor_command.h"
#include "follow/wsjtx_message.h"
#include "follow_events.h"
#include "rotator/rotator_protocol.h"

#include <poll.h>

#include <algorithm>
#include <array>
#include <cerrno>
#include <cmath>
#include <cstring>
#include <set>

namespace skybrant::cli {

namespace {

using follow::Clock;
using follow::Decision;
using follow::RotorCommand;

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

// What follows one program: its datagrams read, the rules asked, the
// rotator turned and the event lines written.
class Follower {
public:
    explicit Follower(const FollowSetup& setup) : setup_(setup), rules_(setup.rules) { }

    bool open(std::string& error) { return sender_.open(error); }
    void take(const Received& datagram, Clock::time_point now);
    void tick(Clock::time_point now);
    std::optional<Clock::time_point> nextWake() const;

private:
    void takeWsjtx(const Received& datagram, Clock::time_point now);
    void takeJs8call(const Received& datagram, Clock::time_point now);
    void takeRotor(const RotorCommand& command, const Received& datagram, Clock::time_point now);
    void offer(const std::string& call, const std::string& grid, Clock::time_point now);
    void act(FollowEvent& event, const Decision& decision);
    bool turn(double heading, FollowEvent& event);
    void command(std::string_view line, FollowEvent& event);
    std::optional<double> position();
    void notMine(const Received& datagram);

    const FollowSetup& setup_;
    follow::FollowRules rules_;
    follow::Js8Spots spots_;
    UdpSocket sender_;
    std::set<std::uint32_t> toldNotMine_;
    // The last heading picked, kept for an event of a waiting turn.
    FollowEvent lastPick_;
    // Where the logger wants its position reports, and what to call the rotor.
    std::optional<Endpoint> reportTo_;
    std::string rotorName_;
    Clock::time_point nextReport_{};
    std::optional<Clock::time_point> turningUntil_;
    std::optional<double> commanded_;
};

void Follower::take(const Received& datagram, Clock::time_point now)
{
    switch (setup_.source) {
    case FollowSource::Wsjtx:
        return takeWsjtx(datagram, now);
    case FollowSource::Js8call:
        return takeJs8call(datagram, now);
    case FollowSource::N1mm:
        if (const auto command = follow::readN1mm(datagram.bytes)) {
            return takeRotor(*command, datagram, now);
        }
        return notMine(datagram);
    case FollowSource::PstRotator:
        if (const auto command = follow::readPst(datagram.bytes)) {
            return takeRotor(*command, datagram, now);
        }
        return notMine(datagram);
    }
}

void Follower::notMine(const Received& datagram)
{
    if (toldNotMine_.size() < kMaxToldSenders && toldNotMine_.insert(datagram.from.address).second) {
        setup_.err("ignoring datagrams from " + addressText(datagram.from.address) + " that are not " +
            std::string(sourceTitle(setup_.source)) + "'s");
    }
}

void Follower::takeWsjtx(const Received& datagram, Clock::time_point now)
{
    const auto message = follow::readWsjtx(datagram.bytes);
    if (!message) {
        return notMine(datagram);
    }
    if (message->type == static_cast<std::uint32_t>(follow::WsjtxType::Close)) {
        FollowEvent event;
        event.source = setup_.source;
        event.decision = follow::shownField(message->id) + " closed";
        setup_.out(eventLine(event, setup_));
        return;
    }
    if (message->dxCall && message->dxGrid) {
        offer(*message->dxCall, *message->dxGrid, now);
    }
}

void Follower::takeJs8call(const Received& datagram, Clock::time_point now)
{
    const auto message = follow::readJs8call(datagram.bytes);
    if (!message) {
        return notMine(datagram);
    }
    spots_.take(*message);
    if (message->kind == follow::Js8Message::Kind::Status) {
        offer(message->call, spots_.gridOf(message->call), now);
    }
}

void Follower::offer(const std::string& call, const std::string& grid, Clock::time_point now)
{
    FollowEvent event = stationEvent(setup_, call, grid);
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
    if (decision.kind == Decision::Kind::Turn && setup_.rotator) {
        turn(decision.heading, event);
    }
    setup_.out(eventLine(event, setup_));
}

bool Follower::turn(double heading, FollowEvent& event)
{
    if (!setup_.rotator) {
        commanded_ = heading;
        return true;
    }
    RotatorRequest request = *setup_.rotator;
    request.heading = rotctl::sentHeading(std::round(heading));
    request.note = setup_.err;
    const RotatorOutcome outcome = turnRotator(request);
    if (outcome.status != RotatorStatus::Started) {
        event.decision += "; not turned: " + outcome.message;
        return false;
    }
    commanded_ = outcome.commandedAzimuth;
    return true;
}

void Follower::command(std::string_view line, FollowEvent& event)
{
    if (!setup_.rotator) {
        return;
    }
    const RotatorOutcome outcome = commandRotator(*setup_.rotator, line);
    if (outcome.status != RotatorStatus::Started) {
        event.decision += "; not done: " + outcome.message;
    }
}

std::optional<double> Follower::position()
{
    if (!setup_.rotator) {
        return commanded_;
    }
    const RotatorOutcome outcome = readRotator(*setup_.rotator);
    if (outcome.status != RotatorStatus::Started) {
        setup_.err(outcome.message);
        return std::nullopt;
    }
    return outcome.reportedAzimuth;
}

void Follower::takeRotor(const RotorCommand& command, const Received& datagram, Clock::time_point now)
{
    FollowEvent event;
    event.source = setup_.source;
    if (setup_.source == FollowSource::N1mm) {
        reportTo_ = Endpoint{datagram.from.address, kN1mmReportPort};
        rotorName_ = command.rotor;
        event.call = follow::shownField(command.rotor);
    }
    switch (command.kind) {
    case RotorCommand::Kind::Turn:
        event.heading = follow::commandHeading(command);
        event.decision = "turn to " + rotctl::shownAzimuth(std::round(*event.heading)) + "\u00b0";
        if (turn(*event.heading, event)) {
            turningUntil_ = now + kTurnWatch;
            nextReport_ = now + kReportTurning;
        }
        break;
    case RotorCommand::Kind::Locator: {
        event = stationEvent(setup_, "", command.locator);
        event.decision = event.heading ? "turn to " + rotctl::shownAzimuth(std::round(*event.heading)) + "\u00b0"
                                       : "not turned: " + event.problem;
        if (event.heading && turn(*event.heading, event)) {
            turningUntil_ = now + kTurnWatch;
        }
        break;
    }
    case RotorCommand::Kind::Stop:
    case RotorCommand::Kind::Park:
        event.decision = command.kind == RotorCommand::Kind::Stop ? "stop" : "park";
        this->command(command.kind == RotorCommand::Kind::Stop ? rotctl::kStopCommand : rotctl::kParkCommand, event);
        turningUntil_.reset();
        break;
    case RotorCommand::Kind::Ask: {
        const auto at = position();
        if (at && datagram.from.port < 65535) {
            const std::string answer = follow::pstPosition(*at);
            sender_.send(
                textBytes(answer), {datagram.from.address, static_cast<std::uint16_t>(datagram.from.port + 1)});
        }
        return;
    }
    }
    setup_.out(eventLine(event, setup_));
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
    const auto at = position();
    if (at) {
        sender_.send(textBytes(follow::n1mmPosition(rotorName_, *at)), *reportTo_);
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

// Takes the datagram's sender, or says once that it is refused.
bool allowed(const FollowSetup& setup, const Received& datagram, std::set<std::uint32_t>& told)
{
    const std::uint32_t from = datagram.from.address;
    if (isLoopback(from) || std::ranges::find(setup.allowed, from) != setup.allowed.end()) {
        return true;
    }
    if (told.size() < kMaxToldSenders && told.insert(from).second) {
        setup.err("refusing datagrams from " + addressText(from) + ", which is not allowed; --allow " +
            addressText(from) + " takes them");
    }
    return false;
}

int waitMs(std::optional<Clock::time_point> wake)
{
    if (!wake) {
        return -1;
    }
    const auto left = std::chrono::ceil<std::chrono::milliseconds>(*wake - Clock::now()).count();
    return static_cast<int>(std::clamp<long long>(left, 0, 60000));
}

// What is said once for each sender at most.
struct Told {
    std::set<std::uint32_t> refused;
    std::set<std::uint32_t> tooLong;
};

// Reads the datagrams waiting, up to a burst: each from an allowed sender
// and within 64 KiB is passed on to every --forward and taken.
void takeBurst(const FollowSetup& setup, UdpSocket& listener, Follower& follower, Told& told)
{
    for (int i = 0; i < kBurst; ++i) {
        const auto datagram = listener.receive();
        if (!datagram) {
            return;
        }
        if (!allowed(setup, *datagram, told.refused)) {
            continue;
        }
        if (datagram->size > follow::kMaxDatagram) {
            if (told.tooLong.size() < kMaxToldSenders && told.tooLong.insert(datagram->from.address).second) {
                setup.err("dropping datagrams of over 64 KiB from " + addressText(datagram->from.address));
            }
            continue;
        }
        for (const Endpoint& to : setup.forwards) {
            listener.send(datagram->bytes, to);
        }
        follower.take(*datagram, Clock::now());
    }
}

}  // namespace

int runFollow(const FollowSetup& setup)
{
    UdpSocket listener;
    Follower follower(setup);
    std::string error;
    if (!listener.listen(setup.listen, error) || !follower.open(error)) {
        setup.err(error);
        return kFollowCannotListen;
    }
    if (setup.listening) {
        setup.listening();
    }
    Told told;
    for (;;) {
        std::array<pollfd, 2> fds{{{listener.fd(), POLLIN, 0}, {setup.stopFd, POLLIN, 0}}};
        const int ready = ::poll(fds.data(), fds.size(), waitMs(follower.nextWake()));
        if (ready < 0 && errno != EINTR) {
            setup.err(std::string("cannot wait for datagrams: ") + std::strerror(errno));
            return kFollowCannotListen;
        }
        if ((fds[1].revents & (POLLIN | POLLHUP)) != 0) {
            return 0;
        }
        if ((fds[0].revents & POLLIN) != 0) {
            takeBurst(setup, listener, follower, told);
        }
        follower.tick(Clock::now());
    }
}

}  // namespace skybrant::cli
