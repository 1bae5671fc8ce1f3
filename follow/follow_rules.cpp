#include "follow_rules.h"

#include <cmath>

namespace skybrant::follow {

namespace {

std::string degreesText(double heading)
{
    const long whole = std::lround(heading);
    return std::to_string(whole == 360 ? 0 : whole) + "\u00b0";
}

Decision decision(Decision::Kind kind, double heading, std::string text)
{
    return {kind, heading, std::move(text)};
}

}  // namespace

double headingDifference(double a, double b)
{
    const double difference = std::fmod(std::fabs(a - b), 360.0);
    return difference > 180 ? 360 - difference : difference;
}

Decision FollowRules::offer(
    std::string_view call, std::string_view grid, std::optional<double> heading, Clock::time_point now)
{
    std::pair<std::string, std::string> pair{call, grid};
    if (last_ == pair) {
        return {};
    }
    const bool newCall = !last_ || last_->first != call;
    last_ = std::move(pair);
    if (options_.mode == FollowMode::Off) {
        return decision(Decision::Kind::Off, 0, "following is off");
    }
    if (stopped_) {
        return decision(Decision::Kind::Stopped, 0, "following stopped by park");
    }
    if (paused_ && !newCall) {
        return decision(Decision::Kind::Paused, 0, "paused by a manual command until a new call");
    }
    paused_ = false;
    pending_.reset();
    if (!heading) {
        return decision(Decision::Kind::Ignored, 0, "ignored: no heading to this station");
    }
    double wanted = *heading;
    if (options_.longPath) {
        wanted = std::fmod(wanted + 180, 360.0);
    }
    if (options_.mode == FollowMode::Show) {
        return decision(Decision::Kind::Show, wanted, "show only: " + degreesText(wanted));
    }
    return consider(wanted, now);
}

Decision FollowRules::consider(double heading, Clock::time_point now)
{
    if (antenna_) {
        const double off = headingDifference(heading, *antenna_);
        if (off <= options_.thresholdDegrees) {
            return decision(Decision::Kind::Ignored, heading,
                "ignored: " + std::to_string(std::lround(off)) + "\u00b0 from the antenna");
        }
    }
    if (lastTurn_ && now < *lastTurn_ + options_.interval) {
        pending_ = heading;
        const auto left = std::chrono::ceil<std::chrono::seconds>(*lastTurn_ + options_.interval - now);
        return decision(Decision::Kind::Waiting, heading, "waiting " + std::to_string(left.count()) + " s");
    }
    antennaBefore_ = antenna_;
    lastTurnBefore_ = lastTurn_;
    lastTurn_ = now;
    antenna_ = heading;
    return decision(Decision::Kind::Turn, heading, "turn to " + degreesText(heading));
}

std::optional<Clock::time_point> FollowRules::dueAt() const
{
    if (!pending_ || !lastTurn_) {
        return std::nullopt;
    }
    return *lastTurn_ + options_.interval;
}

std::optional<Decision> FollowRules::due(Clock::time_point now)
{
    const auto at = dueAt();
    if (!at || now < *at) {
        return std::nullopt;
    }
    const double heading = *pending_;
    pending_.reset();
    if (options_.mode != FollowMode::Turn || paused_ || stopped_) {
        return std::nullopt;
    }
    return consider(heading, now);
}

void FollowRules::manual()
{
    paused_ = true;
    pending_.reset();
}

void FollowRules::notTurned()
{
    last_.reset();
    antenna_ = antennaBefore_;
    lastTurn_ = lastTurnBefore_;
}

void FollowRules::park()
{
    stopped_ = true;
    pending_.reset();
}

}  // namespace skybrant::follow
