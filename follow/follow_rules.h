#pragma once

#include <chrono>
#include <optional>
#include <string>
#include <string_view>

// When the antenna follows the station another program picks: a small state
// machine with no sockets and no clock of its own, so that the command line
// and the window decide alike. Time is passed in.
namespace skybrant::follow {

using Clock = std::chrono::steady_clock;

enum class FollowMode {
    Off,  // nothing received is acted on
    Show,  // the station is shown, the antenna left alone
    Turn,  // the antenna is turned to it
};

struct FollowOptions {
    FollowMode mode = FollowMode::Turn;
    // A new heading this close to where the antenna points is not worth a turn.
    double thresholdDegrees = 5;
    // At most one turn in this time; a pick within it waits for its end.
    std::chrono::seconds interval{10};
    // Turn to the long-path heading.
    bool longPath = false;
    bool operator==(const FollowOptions&) const = default;
};

// The angle between two headings the short way round: 350 and 10 are 20 apart.
double headingDifference(double a, double b);

struct Decision {
    enum class Kind {
        Turn,  // turn to heading now
        Show,  // show heading; the antenna stays (show only)
        Ignored,  // close enough already, or no heading to turn to
        Waiting,  // turning at the end of the interval
        Paused,  // a manual command rules until a new call
        Stopped,  // parked: following is stopped
        Off,  // following is off
        Repeated,  // the same call and grid again: nothing to do or say
    };
    Kind kind = Kind::Repeated;
    double heading = 0;
    // What the operator is told: "turn to 288°", "ignored: 3° from the
    // antenna", "waiting 6 s".
    std::string text;
};

class FollowRules {
public:
    explicit FollowRules(FollowOptions options = {}) : options_(options) { }
    const FollowOptions& options() const { return options_; }
    void setOptions(const FollowOptions& options) { options_ = options; }

    // A call and grid picked in the program followed, with the heading to
    // that station (nothing when it has none, such as the own station's own
    // square). Only a change of the pair is acted on.
    Decision offer(std::string_view call, std::string_view grid, std::optional<double> heading, Clock::time_point now);

    // Whether call and grid are the pair last offered, which offer() would
    // pass over.
    bool repeats(std::string_view call, std::string_view grid) const
    {
        return last_ && last_->first == call && last_->second == grid;
    }
    // The turn decided was refused on the way: the antenna is where it was,
    // and the next offer, even of the same pair, is considered afresh.
    void notTurned();

    // When a waiting turn falls due, if one waits.
    std::optional<Clock::time_point> dueAt() const;
    // The waiting turn once it is due: Turn, or Ignored when the antenna has
    // come close to it meanwhile; nothing before it is due.
    std::optional<Decision> due(Clock::time_point now);

    // Where the antenna points now, as the rotator reports it.
    void antennaAt(double heading) { antenna_ = heading; }
    // A command of the operator's own (a typed heading, a preset, stop):
    // it wins, and following waits for the next new call.
    void manual();
    // Park: following stops until resumed.
    void park();
    void resume() { stopped_ = false; }
    bool paused() const { return paused_; }
    bool stopped() const { return stopped_; }

private:
    Decision consider(double heading, Clock::time_point now);

    FollowOptions options_;
    std::optional<std::pair<std::string, std::string>> last_;
    std::optional<double> antenna_;
    std::optional<Clock::time_point> lastTurn_;
    std::optional<double> pending_;
    // As they were before the last turn, for one that is refused.
    std::optional<double> antennaBefore_;
    std::optional<Clock::time_point> lastTurnBefore_;
    bool paused_ = false;
    bool stopped_ = false;
};

}  // namespace skybrant::follow
