#pragma once

#include "aiming_model.h"
#include "rotator/rotator_link.h"
#include "settings/rotator_settings.h"

#include <QObject>

#include <cstddef>
#include <functional>
#include <memory>
#include <string>

namespace skybrant {
class CountryFiles;
}

namespace skybrant::settings {
class SettingsStore;
}

namespace skybrant::aim {

// The one rotator of the map window: the live link to rotctld, the policy
// of a turn from rotator/ (range, offset, least turn, arrival), the presets
// and the [Rotator] settings. It carries out the model's antenna requests
// and tells the model what the antenna and the connection do; views only
// read the model and call the operations below.
class RotatorService final : public QObject, public RotatorControl {
public:
    RotatorService(AimingModel& model, settings::SettingsStore* store, QObject* parent = nullptr);
    ~RotatorService() override;
    RotatorService(const RotatorService&) = delete;
    RotatorService& operator=(const RotatorService&) = delete;

    // The model's requests.
    void turnTo(double shownHeading) override;
    void stop() override;
    void park() override;

    // Connects to an address as typed (saving it); false, saying why, when
    // it is no address.
    bool connectTo(const QString& addressText);
    void disconnect();
    // As a turn, connecting to the saved address first when not connected:
    // the turn waits, shown as pending, for the first attempt only.
    void turnWhenConnected(double shownHeading);

    // The limits typed in place of the daemon's; empty text for the
    // daemon's own. False, saying why, for text that is no range.
    bool setRangeText(const QString& text);
    void setOffset(double degrees);
    // The antenna's beam width, held within what the settings keep.
    void setBeamWidth(double degrees);
    void setPresets(const std::array<settings::RotatorPreset, settings::kRotatorPresets>& presets);
    // Turns to a preset's heading or station.
    void turnToPreset(std::size_t index);
    // A preset's target as a heading from the own station, or none and why.
    std::optional<double> targetHeading(const QString& target, std::string& why) const;

    // The country file for presets that name a callsign: null while it is
    // being read.
    std::function<std::shared_ptr<const CountryFiles>()> countryFiles;

    const settings::RotatorOptions& options() const { return options_; }
    QString addressShown() const;
    rotctl::RotatorLink& link() { return link_; }

    // Also told of a settings file that cannot be written.
    std::function<void(const QString&)> onSaveFailed;

private:
    void listen();
    void tell(const QString& problem);
    void showLink();
    void save();

    AimingModel& model_;
    settings::SettingsStore* store_;
    settings::RotatorOptions options_;
    rotctl::RotatorLink link_;
};

}  // namespace skybrant::aim
