#pragma once

#include "aim/rotator_service.h"

#include <QGroupBox>

#include <array>
#include <chrono>
#include <functional>

class QDoubleSpinBox;
class QFormLayout;
class QLabel;
class QLineEdit;
class QPushButton;

namespace skybrant::ui {

// The live rotator in the map window, drawn from the aiming model: the
// rotctld address and the connection's state, where the antenna points and
// what it is doing; turns along the short or long path, to a typed heading
// or a preset, stop and park, the range, the mast's offset and the presets,
// each sent to the rotator service; the offset also from a compass reading,
// by the declination on the clock's date. Every problem is said in the panel.
class RotatorPanel final : public QGroupBox {
public:
    using Clock = std::function<std::chrono::sys_seconds()>;
    RotatorPanel(aim::AimingModel& model, aim::RotatorService& service, Clock clock, QWidget* parent = nullptr);
    ~RotatorPanel() override;
    RotatorPanel(const RotatorPanel&) = delete;
    RotatorPanel& operator=(const RotatorPanel&) = delete;

    void connectRotator();
    void disconnectRotator() { service_.disconnect(); }
    void setPresets(const std::array<settings::RotatorPreset, settings::kRotatorPresets>& presets)
    {
        service_.setPresets(presets);
    }
    const settings::RotatorOptions& options() const { return service_.options(); }
    rotctl::RotatorLink& link() { return service_.link(); }
    const aim::Antenna& aim() const { return model_.antenna(); }

private:
    void build();
    void buildPaths(QFormLayout* form);
    void buildPresets(QWidget* box);
    void show(unsigned changes);
    void showState();
    void showAntenna();
    void showPaths();
    void showPresets();

    aim::AimingModel& model_;
    aim::RotatorService& service_;
    Clock clock_;
    int subscription_ = -1;

    QLineEdit* address_ = nullptr;
    QPushButton* connect_ = nullptr;
    QLabel* state_ = nullptr;
    QLabel* position_ = nullptr;
    QLabel* progress_ = nullptr;
    QPushButton* shortButton_ = nullptr;
    QPushButton* longButton_ = nullptr;
    QLineEdit* heading_ = nullptr;
    QLineEdit* range_ = nullptr;
    QLabel* rangeNote_ = nullptr;
    QDoubleSpinBox* offset_ = nullptr;
    std::array<QPushButton*, settings::kRotatorPresets> presets_{};
    QLabel* problem_ = nullptr;
};

}  // namespace skybrant::ui
