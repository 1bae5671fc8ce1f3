#pragma once

#include "aim/aiming_model.h"
#include "cluster/cluster_client.h"
#include "core/callsign_station.h"
#include "core/spot_board.h"

#include <QTimer>
#include <QWidget>

#include <chrono>
#include <cstdint>
#include <deque>
#include <functional>
#include <memory>
#include <optional>

class QLabel;
class QLineEdit;
class QPlainTextEdit;
class QPushButton;
class QSpinBox;

namespace skybrant {
class CountryFiles;
}

namespace skybrant::settings {
class SettingsStore;
}

namespace skybrant::ui {

class CallsignLookup;
class ClusterSpotList;

// The DX cluster's page of the map window: the address and login, kept in
// the [Cluster] section; the client's state; the propagation line from the
// latest WWV/WCY report; a console for the cluster's other lines and the
// user's commands; and the spots on the air, on a board the map draws from.
// Lines arriving in a flood are shown in batches, so the window stays live.
class ClusterPanel final : public QWidget {
public:
    using Clock = std::function<std::chrono::sys_seconds()>;
    ClusterPanel(aim::AimingModel& model, CallsignLookup& callsigns, settings::SettingsStore* store, Clock clock,
        cluster::ClusterTiming timing = {}, QWidget* parent = nullptr);
    ~ClusterPanel() override;
    ClusterPanel(const ClusterPanel&) = delete;
    ClusterPanel& operator=(const ClusterPanel&) = delete;

    // Connects with the address and callsign in the fields and saves them;
    // false when the connection cannot be started (the panel says why).
    bool connectNow();
    void disconnectNow();

    // The spots on the air; onSpotsChanged is called after each batch that
    // changed them (new, replaced or expired spots).
    const SpotBoard& board() const { return board_; }
    std::function<void()> onSpotsChanged;
    // Minutes a spot stays on the board, as set in the panel.
    std::chrono::minutes spotTime() const;

    cluster::ClusterClient& client() { return client_; }
    ClusterSpotList* list() const { return list_; }

private:
    struct Waiting {
        ClusterSpot spot;
        std::chrono::sys_seconds heard;
    };

    void build();
    void loadOptions();
    bool saveOptions();
    void showProblem(const QString& text);
    void showState();
    void takeSpot(const ClusterSpot& spot);
    void takeWeather(const ClusterWeather& weather);
    void takeConsoleLine(const QString& text);
    void sendTyped();
    void tick();
    void later();
    void flush();
    void place(const Waiting& waiting);

    aim::AimingModel& model_;
    CallsignLookup& callsigns_;
    settings::SettingsStore* store_;
    Clock clock_;
    cluster::ClusterClient client_;
    SpotBoard board_;
    // The country file the board reads calls through, once it has been read.
    std::shared_ptr<const CountryFiles> files_;
    std::optional<CountryFileSource> countryFile_;
    // Spots heard while the country file is still being read.
    std::deque<Waiting> waiting_;
    QStringList consoleLines_;  // not yet shown
    std::uint64_t toldChanges_ = 0;
    std::size_t toldUnplaced_ = 0;
    QString lastUnplaced_;
    bool loading_ = false;

    QLineEdit* address_ = nullptr;
    QLineEdit* callsign_ = nullptr;
    QSpinBox* minutes_ = nullptr;
    QPushButton* connect_ = nullptr;
    QPushButton* disconnect_ = nullptr;
    QLabel* state_ = nullptr;
    QLabel* propagation_ = nullptr;
    QLabel* problem_ = nullptr;
    QLabel* unplaced_ = nullptr;
    QPlainTextEdit* console_ = nullptr;
    QLineEdit* command_ = nullptr;
    ClusterSpotList* list_ = nullptr;
    QTimer batch_;  // shows what came in a flood at once
    QTimer tick_;  // the state line's countdown and the spots' expiry
};

}  // namespace skybrant::ui
