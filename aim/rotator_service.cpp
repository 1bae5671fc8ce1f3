#include "rotator_service.h"

#include "core/utf8.h"
#include "rotator/rotator_address.h"
#include "rotator/rotator_limits.h"
#include "rotator/rotator_protocol.h"
#include "settings/settings_store.h"
#include "station_text.h"

#include <algorithm>
#include <cmath>
#include <utility>

namespace skybrant::aim {

namespace {

using State = rotctl::RotatorLink::State;

QString fromStd(const std::string& text)
{
    return QString::fromStdString(text);
}

// A sentence begins with a capital, whichever part of the program wrote
// its first words.
QString sentence(QString text)
{
    if (!text.isEmpty()) {
        text[0] = text[0].toUpper();
    }
    return text;
}

RotatorStatus::Link linkOf(State state)
{
    switch (state) {
    case State::Disconnected:
        return RotatorStatus::Link::Disconnected;
    case State::Connecting:
        return RotatorStatus::Link::Connecting;
    case State::Connected:
        return RotatorStatus::Link::Connected;
    case State::Reconnecting:
        return RotatorStatus::Link::Reconnecting;
    }
    return RotatorStatus::Link::Disconnected;
}

}  // namespace

RotatorService::RotatorService(AimingModel& model, settings::SettingsStore* store, QObject* parent)
    : QObject(parent), model_(model), store_(store)
{
    if (store_ != nullptr) {
        options_ = settings::loadRotatorOptions(*store_);
    }
    model_.changeAntenna([this](Antenna& antenna) {
        antenna.setOffset(options_.offset);
        antenna.setBeamWidth(options_.beamWidth);
        if (options_.minAzimuth && options_.maxAzimuth) {
            antenna.setOverride(rotctl::AzimuthRange{*options_.minAzimuth, *options_.maxAzimuth});
        }
    });
    model_.setRotatorControl(this);
    listen();
    // Said once; the lines stay in the file until their setting is changed.
    tell(settings::unreadText(options_));
}

RotatorService::~RotatorService()
{
    model_.setRotatorControl(nullptr);
}

void RotatorService::listen()
{
    connect(&link_, &rotctl::RotatorLink::stateChanged, this, [this](State state) {
        if (state == State::Connected) {
            tell({});
        } else {
            model_.changeAntenna([](Antenna& antenna) { antenna.lost(); });
        }
        showLink();
    });
    connect(&link_, &rotctl::RotatorLink::azimuthChanged, this, [this](double azimuth) {
        const auto pending = model_.antenna().pendingHeading();
        model_.changeAntenna([azimuth](Antenna& antenna) { antenna.setAzimuth(azimuth); });
        // The turn asked for before the connection goes once the range and
        // the position are known.
        if (pending) {
            turnTo(*pending);
        }
    });
    connect(&link_, &rotctl::RotatorLink::rangeChanged, this, [this](rotctl::AzimuthRange range) {
        model_.changeAntenna([range](Antenna& antenna) { antenna.setDaemonRange(range); });
    });
    connect(&link_, &rotctl::RotatorLink::stopAccepted, this,
        [this] { model_.changeAntenna([](Antenna& antenna) { antenna.stopAccepted(); }); });
    // The problem line says why; the turn or halt shown is not happening.
    connect(&link_, &rotctl::RotatorLink::turnRefused, this, [this](double azimuth) {
        model_.changeAntenna([azimuth](Antenna& antenna) { antenna.turnRefused(azimuth); });
    });
    connect(&link_, &rotctl::RotatorLink::haltRefused, this,
        [this] { model_.changeAntenna([](Antenna& antenna) { antenna.forget(); }); });
    connect(&link_, &rotctl::RotatorLink::problem, this, [this](const QString& text) {
        showLink();  // the pause before the next attempt is known now
        const auto pending = model_.antenna().pendingHeading();
        if (pending && link_.state() == State::Reconnecting) {
            // A turn waits for the first attempt only: it never starts long
            // after, unannounced, when a lost daemon comes back.
            model_.changeAntenna([](Antenna& antenna) { antenna.forget(); });
            tell(QStringLiteral("The turn to %1 was not sent: %2").arg(fromStd(degreesText(*pending)), text));
            return;
        }
        tell(sentence(text));
    });
}

void RotatorService::tell(const QString& problem)
{
    model_.changeRotator([&problem](RotatorStatus& status) { status.problem = problem.toStdString(); });
}

void RotatorService::showLink()
{
    model_.changeRotator([this](RotatorStatus& status) {
        status.link = linkOf(link_.state());
        status.where = link_.where().toStdString();
        status.nextPause = link_.nextPause();
    });
}

QString RotatorService::addressShown() const
{
    return options_.address.isEmpty() ? QStringLiteral("127.0.0.1:4533") : options_.address;
}

bool RotatorService::connectTo(const QString& addressText)
{
    rotctl::RotatorAddress address;
    std::string error;
    if (!rotctl::parseRotatorAddress(addressText.trimmed().toStdString(), address, error)) {
        tell(sentence(fromStd(error)));
        return false;
    }
    tell({});
    options_.address = fromStd(rotctl::rotatorAddressText(address));
    save();
    link_.connectTo(address);
    showLink();
    return true;
}

void RotatorService::disconnect()
{
    model_.changeAntenna([](Antenna& antenna) {
        if (antenna.pendingHeading()) {
            antenna.forget();
        }
    });
    link_.disconnectFrom();
    showLink();
}

void RotatorService::turnTo(double shownHeading)
{
    if (link_.state() != State::Connected) {
        tell(QStringLiteral("Not connected to a rotator: press Connect first"));
        return;
    }
    std::string problem;
    const auto azimuth = model_.antenna().azimuthFor(shownHeading, problem);
    if (!azimuth) {
        tell(sentence(fromStd(problem)));
        return;
    }
    tell({});
    link_.turnTo(*azimuth);
    model_.changeAntenna([&](Antenna& antenna) { antenna.startTurn(*azimuth, shownHeading); });
}

void RotatorService::turnWhenConnected(double shownHeading)
{
    if (link_.state() == State::Connected && model_.antenna().azimuth()) {
        turnTo(shownHeading);
        return;
    }
    if (link_.state() == State::Disconnected && !connectTo(addressShown())) {
        return;
    }
    model_.changeAntenna([shownHeading](Antenna& antenna) { antenna.waitToTurn(shownHeading); });
}

void RotatorService::stop()
{
    const bool pending = model_.antenna().pendingHeading().has_value();
    if (pending) {
        model_.changeAntenna([](Antenna& antenna) { antenna.forget(); });
    }
    if (!link_.stop()) {
        tell(pending ? QString() : QStringLiteral("Not connected to a rotator: there is nothing to stop"));
        return;
    }
    tell({});
    model_.changeAntenna([](Antenna& antenna) { antenna.stopSent(); });
}

void RotatorService::park()
{
    if (!link_.park()) {
        tell(QStringLiteral("Not connected to a rotator: press Connect first"));
        return;
    }
    tell({});
    model_.changeAntenna([](Antenna& antenna) { antenna.parkSent(); });
}

bool RotatorService::setRangeText(const QString& text)
{
    const QString trimmedText = text.trimmed();
    std::optional<rotctl::AzimuthRange> range;
    if (!trimmedText.isEmpty()) {
        range = parseRange(trimmedText.toStdString());
        if (!range) {
            tell(QStringLiteral("%1 is not a range: type MIN..MAX such as -180..180 (within %2), "
                                "or leave it empty for the rotator's own")
                     .arg(fromStd(quote(trimmedText.toStdString(), rotctl::kShownBytes)),
                         fromStd(rotctl::rangeText({rotctl::kLowestAzimuth, rotctl::kHighestAzimuth}))));
            return false;
        }
    }
    const std::optional<double> min = range ? std::optional(range->min) : std::nullopt;
    const std::optional<double> max = range ? std::optional(range->max) : std::nullopt;
    if (min == options_.minAzimuth && max == options_.maxAzimuth) {
        return true;  // only passed through: a saved line kept as it was stays so
    }
    settings::settingChanged(options_, settings::RotatorSetting::Range);
    options_.minAzimuth = min;
    options_.maxAzimuth = max;
    model_.changeAntenna([range](Antenna& antenna) { antenna.setOverride(range); });
    save();
    return true;
}

void RotatorService::setOffset(double degrees)
{
    const double offset = rotctl::mastOffset(degrees).value_or(0);
    if (offset == options_.offset) {
        return;
    }
    options_.offset = offset;
    settings::settingChanged(options_, settings::RotatorSetting::Offset);
    model_.changeAntenna([offset](Antenna& antenna) { antenna.setOffset(offset); });
    save();
}

void RotatorService::setBeamWidth(double degrees)
{
    const double width = std::clamp(degrees, settings::kNarrowestBeam, settings::kWidestBeam);
    if (width == options_.beamWidth || std::isnan(degrees)) {
        return;
    }
    options_.beamWidth = width;
    settings::settingChanged(options_, settings::RotatorSetting::BeamWidth);
    model_.changeAntenna([width](Antenna& antenna) { antenna.setBeamWidth(width); });
    save();
}

void RotatorService::setPresets(const std::array<settings::RotatorPreset, settings::kRotatorPresets>& presets)
{
    options_.presets = presets;
    save();
    // The buttons show the presets: tell their views.
    model_.changeRotator([](RotatorStatus&) {});
}

std::optional<double> RotatorService::targetHeading(const QString& target, std::string& why) const
{
    const std::string text = target.toStdString();
    if (const auto heading = parseHeading(text)) {
        return heading;
    }
    const StationText read = readStationText(text, countryFiles ? countryFiles() : nullptr, Source::Preset);
    if (!read.station) {
        why = read.call.empty() || !read.callShaped ? read.error
                                                    : "the country file is still being read: try again in a moment";
        return std::nullopt;
    }
    return headingTo(model_.own(), read.station->position, why);
}

void RotatorService::turnToPreset(std::size_t index)
{
    if (index >= options_.presets.size()) {
        return;
    }
    const settings::RotatorPreset& preset = options_.presets.at(index);
    if (preset.target.isEmpty()) {
        tell(QStringLiteral("Preset %1 is empty: set it with Edit presets").arg(index + 1));
        return;
    }
    std::string why;
    const auto heading = targetHeading(preset.target, why);
    if (!heading) {
        tell(QStringLiteral("Preset %1: %2").arg(index + 1).arg(fromStd(why)));
        return;
    }
    model_.request(TurnTo{*heading, Source::Preset});
}

void RotatorService::save()
{
    if (store_ == nullptr) {
        return;
    }
    QString error;
    if (!settings::saveRotatorOptions(*store_, options_, error) && !error.isEmpty()) {
        if (onSaveFailed) {
            onSaveFailed(error);
        }
        tell(error);
    }
}

}  // namespace skybrant::aim
