#include "antenna.h"

#include "core/angles.h"
#include "rotator/rotator_texts.h"

#include <cmath>

namespace skybrant::aim {

namespace {

// A parked rotator has stopped once this many readings in a row stood still.
constexpr int kStillReadings = 2;

}  // namespace

std::string degreesText(double degrees)
{
    return std::to_string(std::lround(degrees)) + "\u00b0";
}

void Antenna::setOffset(double degrees)
{
    if (degrees == offset_) {
        return;
    }
    offset_ = degrees;
    if (motion_ == Motion::Turning || motion_ == Motion::Pending) {
        motion_ = Motion::Idle;
    }
}

void Antenna::setAzimuth(std::optional<double> azimuth)
{
    if (motion_ == Motion::Parking && azimuth && azimuth_) {
        stillReadings_ = std::abs(*azimuth - *azimuth_) < 0.05 ? stillReadings_ + 1 : 0;
        if (stillReadings_ >= kStillReadings) {
            motion_ = Motion::Parked;
        }
    }
    azimuth_ = azimuth;
}

rotctl::TurnRange Antenna::turnRange() const
{
    rotctl::GivenLimits typed;
    if (override_) {
        typed = {override_->min, override_->max};
    }
    return rotctl::turnRange(typed, daemonRange_);
}

std::string Antenna::rangeSource() const
{
    switch (turnRange().source) {
    case rotctl::RangeSource::Options:
    case rotctl::RangeSource::Combined:
        return "as typed";
    case rotctl::RangeSource::Rotator:
        return "from the rotator";
    case rotctl::RangeSource::Assumed:
        break;
    }
    return "until the rotator gives its own";
}

std::optional<double> Antenna::azimuthFor(double shownHeading, std::string& problem) const
{
    const double wanted = rotctl::sentHeading(shownHeading) + offset_;
    const rotctl::TurnRange r = turnRange();
    const auto azimuth = rotctl::turnAzimuth(wanted, r, azimuth_);
    if (!azimuth) {
        problem = rotctl::cannotReachText({}, shownHeading, offset_, r.range);
    }
    return azimuth;
}

std::optional<double> Antenna::heading() const
{
    if (!azimuth_) {
        return std::nullopt;
    }
    return wrap360(*azimuth_ - offset_);
}

void Antenna::waitToTurn(double shownHeading)
{
    motion_ = Motion::Pending;
    targetHeading_ = rotctl::sentHeading(shownHeading);
}

void Antenna::startTurn(double azimuth, double shownHeading)
{
    motion_ = Motion::Turning;
    targetAzimuth_ = azimuth;
    targetHeading_ = rotctl::sentHeading(shownHeading);
}

void Antenna::turnRefused(double azimuth)
{
    if (motion_ == Motion::Turning && targetAzimuth_ == azimuth) {
        motion_ = Motion::Refused;
    }
}

void Antenna::stopSent()
{
    motion_ = Motion::Stopping;
}

void Antenna::stopAccepted()
{
    // A turn asked for after the stop was sent stands.
    if (motion_ == Motion::Stopping || motion_ == Motion::Idle) {
        motion_ = Motion::Stopped;
    }
}

void Antenna::parkSent()
{
    motion_ = Motion::Parking;
    stillReadings_ = 0;
}

void Antenna::lost()
{
    azimuth_.reset();
    daemonRange_.reset();
    if (motion_ != Motion::Pending) {
        motion_ = Motion::Idle;
    }
}

void Antenna::forget()
{
    motion_ = Motion::Idle;
}

std::optional<double> Antenna::targetAzimuth() const
{
    return motion_ == Motion::Turning ? std::optional(targetAzimuth_) : std::nullopt;
}

std::optional<double> Antenna::pendingHeading() const
{
    return motion_ == Motion::Pending ? std::optional(targetHeading_) : std::nullopt;
}

std::optional<double> Antenna::turnHeading() const
{
    const bool turning = motion_ == Motion::Turning || motion_ == Motion::Pending;
    return turning ? std::optional(targetHeading_) : std::nullopt;
}

bool Antenna::arrived() const
{
    return motion_ == Motion::Turning && azimuth_ && rotctl::arrivedAt(*azimuth_, targetAzimuth_);
}

std::string Antenna::statusText() const
{
    const auto where = [this](const char* done) {
        const auto h = heading();
        return h ? std::string(done) + " at " + degreesText(*h) : std::string(done);
    };
    switch (motion_) {
    case Motion::Idle:
        return {};
    case Motion::Pending:
        return "Waiting for the rotator to answer, then turning to " + degreesText(targetHeading_) + " (Stop cancels)";
    case Motion::Turning:
        if (arrived()) {
            return "At " + degreesText(targetHeading_);
        }
        if (!azimuth_) {
            return "Turning to " + degreesText(targetHeading_);
        }
        return "Turning to " + degreesText(targetHeading_) + ": " + degreesText(std::abs(targetAzimuth_ - *azimuth_)) +
            " to go";
    case Motion::Refused:
        return {};  // the problem line says why
    case Motion::Stopping:
        return "Stopping";
    case Motion::Stopped:
        return where("Stopped");
    case Motion::Parking:
        return "Parking";
    case Motion::Parked:
        return where("Parked");
    }
    return {};
}

}  // namespace skybrant::aim
