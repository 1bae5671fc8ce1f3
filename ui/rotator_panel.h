#pragma once

#include "rotator/rotator_link.h"
#include "rotator_aim.h"
#include "settings/rotator_settings.h"

#include <QGroupBox>

#include <array>
#include <functional>
#include <optional>

class QDoubleSpinBox;
class QLabel;
class QLineEdit;
class QPushButton;

namespace skybrant::settings {
class SettingsStore;
}

namespace skybrant::ui {

// The live rotator in the map window: the rotctld address and the
// connection's state, where the antenna points, turns along the short or
// long path, to a typed heading or a preset, stop and park; the rotator's
// range, the mast's offset and the presets kept in the [Rotator] section.
// Every problem is said in the panel; nothing waits on the network.
class RotatorPanel final : public QGroupBox {
public:
    explicit RotatorPanel(settings::SettingsStore* store, QWidget* parent = nullptr);
    ~RotatorPanel() override;
    RotatorPanel(const RotatorPanel&) = delete;
    RotatorPanel& operator=(const RotatorPanel&) = delete;

    // The headings the path buttons turn to, as the map shows them in whole
    // degrees; none when there is no other station or no heading to it.
    void setPathHeadings(std::optional<double> shortPath, std::optional<double> longPath);

    // Reads a preset's station as the map window reads stations: its short
    // path heading from the own station in whole degrees, or none and why.
    std::function<std::optional<double>(const QString& text, QString& error)> stationHeading;
    // Where the antenna points, for the needle on the map; none hides it.
    std::function<void(std::optional<double>)> onNeedle;

    // Connects to the address typed (saving it), or disconnects.
    void connectRotator();
    void disconnectRotator();
    // Turns to a heading as the map shows it (360 for north is sent as 0).
    void turnTo(double shownHeading);
    // As turnTo, connecting to the saved address first when not connected.
    void turnWhenConnected(double shownHeading);
    void turnShortPath();
    void turnLongPath();
    void stop();
    void park();
    void turnToPreset(std::size_t index);
    void setPresets(const std::array<settings::RotatorPreset, settings::kRotatorPresets>& presets);
    const settings::RotatorOptions& options() const { return options_; }

    rotctl::RotatorLink& link() { return link_; }
    const RotatorAim& aim() const { return aim_; }

private:
    void build();
    void buildPresets(QWidget* box);
    void editPresets();
    void showState();
    void showPosition();
    void showRange();
    void showPresets();
    void showProblem(const QString& text);
    void takeRange();
    void save();
    bool connected() const;

    settings::SettingsStore* store_;
    settings::RotatorOptions options_;
    rotctl::RotatorLink link_;
    RotatorAim aim_;
    std::optional<double> shortPath_;
    std::optional<double> longPath_;
    std::optional<double> waitingHeading_;  // to turn to once connected
    QString lastStop_;

    QLineEdit* address_ = nullptr;
    QPushButton* connect_ = nullptr;
    QLabel* state_ = nullptr;
    QLabel* position_ = nullptr;
    QLabel* progress_ = nullptr;
    QPushButton* shortButton_ = nullptr;
    QPushButton* longButton_ = nullptr;
    QLineEdit* heading_ = nullptr;
    QPushButton* stop_ = nullptr;
    QPushButton* park_ = nullptr;
    QLineEdit* range_ = nullptr;
    QLabel* rangeNote_ = nullptr;
    QDoubleSpinBox* offset_ = nullptr;
    std::array<QPushButton*, settings::kRotatorPresets> presets_{};
    QPushButton* editPresets_ = nullptr;
    QLabel* problem_ = nullptr;
};

}  // namespace skybrant::ui
