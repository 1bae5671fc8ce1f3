#pragma once

#include "rotator/rotator_policy.h"
#include "rotator/rotator_range.h"

#include <QString>

#include <optional>

namespace skybrant::ui {

// What the rotator panel sends and shows, apart from its widgets: headings
// are true bearings as the map shows them, azimuths what the rotator reads
// (the heading plus the mast's offset, within the rotator's range). The
// choices are rotator/'s policy of a turn, the command line's too.
class RotatorAim {
public:
    void setDaemonRange(std::optional<rotctl::AzimuthRange> range) { daemonRange_ = range; }
    void setOverride(std::optional<rotctl::AzimuthRange> range) { override_ = range; }
    void setOffset(double degrees) { offset_ = degrees; }
    double offset() const { return offset_; }
    // The rotator's reading; none while it is not known.
    void setAzimuth(std::optional<double> azimuth) { azimuth_ = azimuth; }
    std::optional<double> azimuth() const { return azimuth_; }

    // The typed limits (always both), else the daemon's, else a plain turn
    // of 0..360.
    rotctl::AzimuthRange range() const { return turnRange().range; }
    QString rangeSource() const;

    // The azimuth to send for a heading shown in whole degrees (360 means
    // north), the equivalent that turns the least; none, saying why in
    // problem, when the rotator cannot reach it.
    std::optional<double> azimuthFor(double shownHeading, QString& problem) const;

    // Where the antenna points, 0 up to 360, the offset taken off.
    std::optional<double> heading() const;

    // The turn in progress: the azimuth sent and the heading it stands for.
    void startTurn(double azimuth, double shownHeading);
    void endTurn() { target_.reset(); }
    std::optional<double> targetAzimuth() const { return target_; }
    bool arrived() const;
    // "Turning to 288°: 46° to go", "At 288°", or nothing without a turn.
    QString progressText() const;

private:
    rotctl::TurnRange turnRange() const;

    std::optional<rotctl::AzimuthRange> daemonRange_;
    std::optional<rotctl::AzimuthRange> override_;
    double offset_ = 0;
    std::optional<double> azimuth_;
    std::optional<double> target_;
    double targetHeading_ = 0;
};

// "-180..180" or "0 450" or "-180 to 180" as a range; none for anything else
// or a range that is empty or beyond -360..720.
std::optional<rotctl::AzimuthRange> parseRange(const QString& text);

// A heading typed as a number of degrees, 0 up to 360; none otherwise.
std::optional<double> parseHeading(const QString& text);

}  // namespace skybrant::ui
