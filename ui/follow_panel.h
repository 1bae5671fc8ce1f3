#pragma once

#include "aim/aiming_model.h"
#include "follow/follower.h"
#include "settings/follow_settings.h"

#include <QGroupBox>
#include <QTimer>

#include <chrono>
#include <functional>
#include <memory>

class QComboBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QSocketNotifier;

namespace skybrant::settings {
class SettingsStore;
}

namespace skybrant::ui {

class CallsignLookup;

// The "Follow" section of the map window: the station another program
// picks (WSJT-X, JTDX, JS8Call) or the turns a logger asks for (N1MM
// Logger+, PstRotator) become the model's other station and turns, by the
// same follower and rules as skybrant-cli --follow. It shows where it
// listens, the last station received, from whom and when, and each
// decision; the choices are kept in the [Follow] section.
class FollowPanel final : public QGroupBox {
public:
    using Clock = std::function<std::chrono::system_clock::time_point()>;
    FollowPanel(aim::AimingModel& model, CallsignLookup& callsigns, settings::SettingsStore* store, Clock clock,
        QWidget* parent = nullptr);
    ~FollowPanel() override;
    FollowPanel(const FollowPanel&) = delete;
    FollowPanel& operator=(const FollowPanel&) = delete;

    // Listens as the choices now say (nothing when off); the state line
    // tells where, or why it cannot.
    void restart();
    // Whether a follower listens now, and where.
    bool listening() const { return follower_ != nullptr; }
    const settings::FollowSettings& choices() const { return settings_; }

    // For the follower's actions.
    void show(const follow::FollowEvent& event);
    void tell(const QString& line);

private:
    class Actions;
    void build();
    void choose();
    void take();
    void tick();
    void arm();
    void modelChanged();
    void resume();

    aim::AimingModel& model_;
    CallsignLookup& callsigns_;
    settings::SettingsStore* store_;
    Clock clock_;
    settings::FollowSettings settings_;
    std::unique_ptr<Actions> actions_;
    std::unique_ptr<follow::Follower> follower_;
    QSocketNotifier* notifier_ = nullptr;
    QTimer wake_;
    int subscription_ = -1;
    // The model's antenna request last looked at, so a new one is noticed.
    std::optional<unsigned> seenRequest_;
    bool loading_ = false;

    QComboBox* source_ = nullptr;
    QComboBox* mode_ = nullptr;
    QLineEdit* listen_ = nullptr;
    QLabel* rules_ = nullptr;
    QLabel* state_ = nullptr;
    QLabel* last_ = nullptr;
    QLabel* decision_ = nullptr;
    QLabel* notes_ = nullptr;
    QPushButton* resume_ = nullptr;
};

}  // namespace skybrant::ui
