#pragma once

#include <optional>
#include <string>
#include <string_view>

// The azimuths a rotator can reach, and which of the equivalent azimuths of
// a heading to send so that it turns the least.
namespace skybrant::rotctl {

struct AzimuthRange {
    double min = 0;
    double max = 360;
};

// "-180..180", "0..450".
std::string rangeText(AzimuthRange range);

// Asks for the limits in force, including those set with
// "rotctld -C min_az=...,max_az=..." (the model's capabilities do not show
// those). The extended form ends its reply with an RPRT line.
inline constexpr std::string_view kDumpStateCommand = "+\\dump_state\n";

// Reads the reply to kDumpStateCommand one line at a time. Takes both the
// labelled form ("Minimum Azimuth: -180.000000") and the plain one
// ("min_az=-180.000000").
class DumpStateReader {
public:
    enum class Status {
        More,  // wait for the next line
        Done,  // the reply is complete; range() holds the limits
        Failed,  // an RPRT error, or the reply ended without both limits
        Beyond,  // a limit outside the protocol's -360..720: not the protocol
        Stray,  // a reply that does not begin as either form does: not the protocol
    };
    Status take(std::string_view line);
    // The limits once Done; min <= max, both within -360..720.
    std::optional<AzimuthRange> range() const;
    // For Failed: what went wrong, for a sentence ("RPRT -4 (Feature not
    // implemented)" or "no azimuth limits"); for Beyond, what the daemon
    // sent ("the azimuth limit \"1e17\", outside the protocol's -360..720");
    // for Stray, the line ("\"x\" in reply to \\dump_state, which is not
    // its protocol").
    const std::string& problem() const { return why; }

private:
    void checkLimit(std::optional<double> limit, std::string_view text);

    std::optional<double> min;
    std::optional<double> max;
    std::string why;
    bool beyond = false;
    bool started = false;
    bool extended = false;
    bool ended = false;
};

// The azimuth among heading + k * 360 that lies inside range (within a
// hundredth of a degree of its ends) and is nearest to current; nothing when
// none of them does. heading may be any finite number.
std::optional<double> leastTurnAzimuth(double heading, AzimuthRange range, double current);

// Headings show rounded to whole degrees, so 359.5 and over shows as 360;
// a rotator is sent north for that, 0, never a whole turn's 360.
double sentHeading(double shownHeading);

}  // namespace skybrant::rotctl
