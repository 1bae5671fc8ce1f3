#include "aiming_model.h"

#include <algorithm>
#include <utility>

namespace skybrant::aim {

std::string_view sourceName(Source source)
{
    switch (source) {
    case Source::Typed:
        return "typed";
    case Source::Clicked:
        return "clicked on the map";
    case Source::Preset:
        return "a preset";
    case Source::Calculator:
        return "the calculator";
    case Source::Program:
        return "another program";
    }
    return {};
}

void AimingModel::request(const Request& request)
{
    std::visit([this](const auto& r) { take(r); }, request);
}

int AimingModel::subscribe(Listener listener)
{
    listeners_.emplace_back(nextId_, std::move(listener));
    return nextId_++;
}

void AimingModel::unsubscribe(int id)
{
    std::erase_if(listeners_, [id](const auto& entry) { return entry.first == id; });
}

std::optional<double> AimingModel::pathHeading(bool longPath) const
{
    if (!report_ || !report_->result.hasHeadings()) {
        return std::nullopt;
    }
    return longPath ? report_->longHeading.value : report_->ownToOther.value;
}

void AimingModel::take(const SetOwn& r)
{
    // The calculator sends its own station at every press: the map is
    // redrawn only for a new one.
    if (r.position.latUnits == own_.latUnits && r.position.lonUnits == own_.lonUnits &&
        r.position.latDegrees == own_.latDegrees && r.position.lonDegrees == own_.lonDegrees) {
        return;
    }
    own_ = r.position;
    refigure();
    tell(OwnChanged);
}

void AimingModel::take(const SetOther& r)
{
    other_ = r.other;
    refigure();
    tell(OtherChanged);
}

void AimingModel::take(const SetUnit& r)
{
    if (unit_ == r.unit) {
        return;
    }
    unit_ = r.unit;
    refigure();
    tell(UnitChanged);
}

void AimingModel::asked(AntennaRequest::Kind kind, Source source)
{
    const unsigned serial = antennaRequest_ ? antennaRequest_->serial + 1 : 0;
    // Told with what the request changes: the antenna or the rotator's problem.
    antennaRequest_ = AntennaRequest{kind, source, serial};
}

void AimingModel::take(const TurnTo& r)
{
    asked(AntennaRequest::Kind::Turn, r.source);
    if (control_ == nullptr) {
        refuse("No rotator to turn");
        return;
    }
    control_->turnTo(r.heading);
}

void AimingModel::take(const TurnAlong& r)
{
    const auto heading = pathHeading(r.longPath);
    if (!heading) {
        asked(AntennaRequest::Kind::Turn, r.source);
        refuse(other_ ? "No heading to turn to: the stations are at the same place or opposite each other"
                      : "No heading to turn to: put the other station on the map first");
        return;
    }
    take(TurnTo{*heading, r.source});
}

void AimingModel::take(const Stop& r)
{
    asked(AntennaRequest::Kind::Stop, r.source);
    if (control_ != nullptr) {
        control_->stop();
    }
}

void AimingModel::take(const Park& r)
{
    asked(AntennaRequest::Kind::Park, r.source);
    if (control_ != nullptr) {
        control_->park();
    }
}

void AimingModel::refuse(const std::string& why)
{
    changeRotator([&why](RotatorStatus& status) { status.problem = why; });
}

void AimingModel::changeAntenna(const std::function<void(Antenna&)>& change)
{
    change(antenna_);
    tell(AntennaChanged);
}

void AimingModel::changeRotator(const std::function<void(RotatorStatus&)>& change)
{
    change(rotator_);
    tell(RotatorChanged);
}

void AimingModel::refigure()
{
    if (!other_) {
        report_.reset();
        return;
    }
    ReportOptions options;
    options.unit = unit_;
    options.longPath = true;
    report_ = makeReport(own_, other_->position, options);
}

void AimingModel::tell(unsigned changes)
{
    untold_ |= changes;
    if (telling_) {
        return;  // told once the listeners now being told are done
    }
    telling_ = true;
    while (untold_ != 0) {
        const unsigned now = std::exchange(untold_, 0U);
        // A listener may unsubscribe while being told: walk a copy.
        const auto listeners = listeners_;
        for (const auto& entry : listeners) {
            entry.second(now);
        }
    }
    telling_ = false;
}

}  // namespace skybrant::aim
