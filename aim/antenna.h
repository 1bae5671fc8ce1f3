#pragma once

#include "rotator/rotator_policy.h"
#include "rotator/rotator_range.h"
#include "settings/rotator_beam.h"

#include <optional>
#include <string>

namespace skybrant::aim {

// What the antenna is doing, as the rotator last told it.
enum class Motion {
    Idle,  // nothing asked, or a turn given up
    Pending,  // a turn waits for the rotator to answer its first connection
    Turning,  // a turn was sent; arrived() says when it is there
    Refused,  // the rotator refused the last turn
    Stopping,  // a stop was sent and not yet answered
    Stopped,
    Parking,  // a park was sent; the rotator is on its way
    Parked,  // the reading stood still after a park
};

// The antenna as one state: where the rotator reads, the mast's offset, the
// limits in force and the turn asked for. Headings are true bearings as the
// map shows them; azimuths what the rotator reads (the heading plus the
// offset, within the range). Every status line is worked out from here.
class Antenna {
public:
    void setDaemonRange(std::optional<rotctl::AzimuthRange> range) { daemonRange_ = range; }
    void setOverride(std::optional<rotctl::AzimuthRange> range) { override_ = range; }
    // A new offset drops the turn in progress: its azimuth was worked out
    // for the old one, and would never be "at" the heading asked for.
    void setOffset(double degrees);
    double offset() const { return offset_; }

    // The -3 dB beam width in degrees, drawn around the needle.
    void setBeamWidth(double degrees) { beamWidth_ = degrees; }
    double beamWidth() const { return beamWidth_; }

    // The rotator's reading; none while it is not known.
    void setAzimuth(std::optional<double> azimuth);
    std::optional<double> azimuth() const { return azimuth_; }

    // The typed limits (always both), else the daemon's, else 0..360.
    rotctl::AzimuthRange range() const { return turnRange().range; }
    std::string rangeSource() const;

    // The azimuth to send for a heading shown in whole degrees (360 means
    // north), the equivalent that turns the least; none, saying why in
    // problem, when the rotator cannot reach it.
    std::optional<double> azimuthFor(double shownHeading, std::string& problem) const;

    // Where the antenna points, 0 up to 360, the offset taken off.
    std::optional<double> heading() const;

    void waitToTurn(double shownHeading);
    void startTurn(double azimuth, double shownHeading);
    void turnRefused(double azimuth);
    void stopSent();
    void stopAccepted();
    void parkSent();
    // The connection went: nothing is known of the antenna any more.
    void lost();
    void forget();  // the turn or halt shown is not happening

    Motion motion() const { return motion_; }
    std::optional<double> targetAzimuth() const;
    std::optional<double> pendingHeading() const;
    // The heading a turn under way or waiting goes to, as shown.
    std::optional<double> turnHeading() const;
    bool arrived() const;

    // "Turning to 288°: 46° to go", "At 288°", "Stopped at 303°", "Parked
    // at 0°", or nothing while idle.
    std::string statusText() const;

private:
    rotctl::TurnRange turnRange() const;

    std::optional<rotctl::AzimuthRange> daemonRange_;
    std::optional<rotctl::AzimuthRange> override_;
    double offset_ = 0;
    double beamWidth_ = settings::kDefaultBeamWidth;
    std::optional<double> azimuth_;
    Motion motion_ = Motion::Idle;
    double targetAzimuth_ = 0;
    double targetHeading_ = 0;
    // Readings in a row that did not move since a park was accepted.
    int stillReadings_ = 0;
};

// "288°" for a heading as the panel shows it: whole degrees.
std::string degreesText(double degrees);

}  // namespace skybrant::aim
