#pragma once
// Following another program: its datagrams read from the socket, the rules
// asked, and what they decide carried out through FollowActions, so that
// the command line and the window follow by one path.

#include "core/position.h"
#include "core/units.h"
#include "follow_rules.h"
#include "follow_sockets.h"
#include "js8call_message.h"
#include "rotor_command.h"

#include <functional>
#include <optional>
#include <set>
#include <string>
#include <string_view>
#include <vector>

namespace skybrant::follow {

// N1MM's rotor program reports to this port of the logger's host.
inline constexpr std::uint16_t kN1mmReportPort = 13010;
// Senders told of once each (refused, not the protocol); past this many,
// no more are told, so a flood of forged addresses cannot fill the screen.
inline constexpr std::size_t kMaxToldSenders = 256;

// "WSJT-X", "JS8Call", "N1MM Logger+", "PstRotator".
std::string_view sourceTitle(FollowSource source);

struct FollowEvent {
    FollowSource source = FollowSource::Wsjtx;
    std::uint32_t from = 0;  // the sender's address
    std::string call;  // as shown: printable, bounded
    std::string grid;
    // The other station, when call or grid named one.
    std::optional<Position> station;
    std::optional<double> heading;  // from the own station
    std::optional<double> distance;  // in the unit asked for
    // The headings a 4-character square spans, when the grid is one.
    std::optional<std::pair<double, double>> spread;
    std::string problem;  // why there is no heading
    std::string decision;
    // The rules decided to turn (or a logger asked to), and it was not
    // refused on the way.
    bool turned = false;
};

// Reads a station's text through the one reader of stations: true with its
// place, or false with why not.
using StationReader = std::function<bool(const std::string& text, Position& station, std::string& error)>;

// The other station of call and grid (the grid first, the country file for
// the call when the grid is empty or cannot be read), and its heading and
// distance from own.
FollowEvent stationEvent(FollowSource source, const Position& own, DistanceUnit unit, const StationReader& read,
    const std::string& call, const std::string& grid);

// What following does to the world: the command line turns the rotator
// and prints; the window asks the aiming model and shows.
class FollowActions {
public:
    virtual ~FollowActions() = default;
    // stationEvent() with the own station, unit and reader at hand.
    virtual FollowEvent station(const std::string& call, const std::string& grid) = 0;
    struct Turned {
        std::optional<double> azimuth;  // what the rotator was told
        std::string problem;  // why not, when it was not
    };
    virtual Turned turn(double heading) = 0;
    // Stop or Park; why not, empty when done.
    virtual std::string command(RotorCommand::Kind kind) = 0;
    // Where the antenna points now, when known: the position reported.
    virtual std::optional<double> position() = 0;
    // Where the antenna points or is turning to, for the rules to measure a
    // new heading against; none leaves them their last turn.
    virtual std::optional<double> aimedAt() = 0;
    // One per event, its decision made.
    virtual void event(const FollowEvent& event) = 0;
    // A sender not in the allowed list, told once.
    virtual void refused(std::uint32_t address) = 0;
    // Anything else worth a line to the operator.
    virtual void note(const std::string& message) = 0;

protected:
    FollowActions() = default;
    FollowActions(const FollowActions&) = default;
    FollowActions& operator=(const FollowActions&) = default;
};

struct FollowerSetup {
    FollowSource source = FollowSource::Wsjtx;
    Endpoint listen;
    // Every datagram taken is sent on, byte for byte, to each of these.
    std::vector<Endpoint> forwards;
    // Senders taken besides loopback.
    std::vector<std::uint32_t> allowed;
    FollowOptions rules;
};

class Follower {
public:
    Follower(FollowerSetup setup, FollowActions& actions);

    // Listens, and opens the socket the replies go out on; false with a
    // sentence naming the address.
    bool open(std::string& error);
    // Readable when datagrams wait.
    int fd() const { return listener_.fd(); }
    const FollowerSetup& setup() const { return setup_; }

    // Reads the datagrams waiting, up to a burst: each from an allowed
    // sender and within 64 KiB is sent on to every forward and taken.
    void takeWaiting();
    void take(const Received& datagram, Clock::time_point now);
    // Waiting turns and position reports that are due.
    void tick(Clock::time_point now);
    // When tick() has something to do next, if ever.
    std::optional<Clock::time_point> nextWake() const;

    FollowRules& rules() { return rules_; }

private:
    void takeWsjtx(const Received& datagram, Clock::time_point now);
    void takeJs8call(const Received& datagram, Clock::time_point now);
    void takeRotor(const RotorCommand& command, const Received& datagram, Clock::time_point now);
    void offer(const std::string& call, const std::string& grid, std::uint32_t from, Clock::time_point now);
    void act(FollowEvent& event, const Decision& decision);
    bool turn(double heading, FollowEvent& event);
    void notMine(const Received& datagram);
    bool allowed(const Received& datagram);

    FollowerSetup setup_;
    FollowActions& actions_;
    FollowRules rules_;
    Js8Spots spots_;
    UdpSocket listener_;
    UdpSocket sender_;
    std::set<std::uint32_t> toldNotMine_;
    std::set<std::uint32_t> toldRefused_;
    std::set<std::uint32_t> toldTooLong_;
    // The last station picked, kept for the event of a waiting turn.
    FollowEvent lastPick_;
    // Where the logger wants its position reports, and what to call the rotor.
    std::optional<Endpoint> reportTo_;
    std::string rotorName_;
    Clock::time_point nextReport_{};
    std::optional<Clock::time_point> turningUntil_;
    std::optional<double> commanded_;
};

}  // namespace skybrant::follow
