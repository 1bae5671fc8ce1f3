#pragma once

#include "antenna.h"
#include "core/position.h"
#include "core/report.h"
#include "core/units.h"

#include <chrono>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <variant>
#include <vector>

namespace skybrant::aim {

// Who named the other station or asked for a turn.
enum class Source {
    Typed,  // the map window's field or heading box
    Clicked,  // a click on the map
    Preset,  // a rotator preset
    Calculator,  // the calculator's stations, followed by the map
    Program,  // another program: a digital-mode program, a logger, a cluster, the log
};
std::string_view sourceName(Source source);

// The station aimed at, as the panel and the map show it.
struct OtherStation {
    Position position;
    std::string label;  // on the map: the call, else the locator
    std::string name;  // "W1AW, United States" for a callsign; empty for a place
    // Placed at its country's reference point: the figures are only about
    // right, and the country's clock may not be the station's.
    bool approximate = false;
    // The country file's clock, hours ahead of UTC: the station's own only
    // where it is not approximate.
    std::optional<double> utcOffsetHours;
    Source source = Source::Typed;
};

// The rotator's connection as the service tells it.
struct RotatorStatus {
    enum class Link { Disconnected, Connecting, Connected, Reconnecting };
    Link link = Link::Disconnected;
    std::string where;  // "HOST:PORT"
    std::chrono::milliseconds nextPause{0};  // while Reconnecting
    std::string problem;  // the last thing that went wrong, for the operator
};

// What changed, for those who show it.
enum Change : unsigned {
    OwnChanged = 1U,
    OtherChanged = 2U,
    UnitChanged = 4U,
    AntennaChanged = 8U,
    RotatorChanged = 16U,
};

// The requests every source sends through one door.
struct SetOwn {
    Position position;
};
struct SetOther {
    std::optional<OtherStation> other;
};
struct SetUnit {
    DistanceUnit unit;
};
struct TurnTo {
    double heading;  // as shown, whole degrees; 360 is north
    Source source;
};
struct TurnAlong {
    bool longPath;
    Source source;
};
struct Stop {
    Source source;
};
struct Park {
    Source source;
};
using Request = std::variant<SetOwn, SetOther, SetUnit, TurnTo, TurnAlong, Stop, Park>;

// Carries out the antenna's requests: the rotator service.
class RotatorControl {
public:
    virtual ~RotatorControl() = default;
    virtual void turnTo(double shownHeading) = 0;
    virtual void stop() = 0;
    virtual void park() = 0;

protected:
    RotatorControl() = default;
    RotatorControl(const RotatorControl&) = default;
    RotatorControl& operator=(const RotatorControl&) = default;
};

// What is aimed at, held once: the own station, the other station and who
// named it, the unit, the figures of the report between them, the antenna
// and the rotator's connection. Views read it and are told what changed;
// every change comes through request() or, from the rotator service, the
// report calls below.
class AimingModel {
public:
    using Listener = std::function<void(unsigned changes)>;

    void request(const Request& request);

    // Listeners are told after each change, in the order they subscribed; a
    // request made while they are being told is told after them.
    int subscribe(Listener listener);
    void unsubscribe(int id);

    const Position& own() const { return own_; }
    const std::optional<OtherStation>& other() const { return other_; }
    DistanceUnit unit() const { return unit_; }
    // The figures between the stations, long path included; none without
    // an other station.
    const std::optional<Report>& report() const { return report_; }
    // The headings the antenna turns to for each path, as shown: none
    // without an other station or without headings to it.
    std::optional<double> pathHeading(bool longPath) const;

    const Antenna& antenna() const { return antenna_; }
    const RotatorStatus& rotator() const { return rotator_; }
    // The antenna's last turn, stop or park: what it was, who asked, and a
    // count that tells a new request from the one before.
    struct AntennaRequest {
        enum class Kind { Turn, Stop, Park };
        Kind kind = Kind::Turn;
        Source source = Source::Typed;
        unsigned serial = 0;
    };
    const std::optional<AntennaRequest>& lastAntennaRequest() const { return antennaRequest_; }
    std::optional<Source> lastAntennaSource() const
    {
        return antennaRequest_ ? std::optional(antennaRequest_->source) : std::nullopt;
    }

    // From the rotator service.
    void setRotatorControl(RotatorControl* control) { control_ = control; }
    void changeAntenna(const std::function<void(Antenna&)>& change);
    void changeRotator(const std::function<void(RotatorStatus&)>& change);

private:
    void take(const SetOwn& r);
    void take(const SetOther& r);
    void take(const SetUnit& r);
    void take(const TurnTo& r);
    void take(const TurnAlong& r);
    void take(const Stop& r);
    void take(const Park& r);
    void refigure();
    void tell(unsigned changes);
    void refuse(const std::string& why);

    Position own_;
    std::optional<OtherStation> other_;
    DistanceUnit unit_ = DistanceUnit::Kilometres;
    std::optional<Report> report_;
    Antenna antenna_;
    RotatorStatus rotator_;
    void asked(AntennaRequest::Kind kind, Source source);

    std::optional<AntennaRequest> antennaRequest_;
    RotatorControl* control_ = nullptr;

    std::vector<std::pair<int, Listener>> listeners_;
    int nextId_ = 0;
    unsigned untold_ = 0;
    bool telling_ = false;
};

}  // namespace skybrant::aim
