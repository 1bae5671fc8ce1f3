#pragma once

#include "aim/aiming_model.h"
#include "core/position.h"
#include "core/units.h"

#include <QTimer>
#include <QWidget>

#include <chrono>
#include <functional>
#include <memory>
#include <optional>

class QCheckBox;
class QComboBox;
class QFormLayout;
class QPrinter;
class QTabWidget;

namespace skybrant::settings {
class SettingsStore;
}

namespace skybrant::aim {
class RotatorService;
}

namespace skybrant::ui {

class CallsignLookup;
class ClusterPanel;
class FollowPanel;
class LogPanel;
class MapView;
class RotatorPanel;
class SpotMarks;
class StationPanel;

// The own station as the window keeps it between runs; 0 N 0 E for what
// is not there or not allowed.
Position savedOwnStation(settings::SettingsStore* store);

class MapWindow;

// The map opened alone: centred on the own station as last saved, and
// saying what the calculator would of a settings file it could not read.
std::unique_ptr<MapWindow> openMapAlone(settings::SettingsStore* store);

// The map window: the azimuthal map centred on the own station beside the
// station panel and the rotator panel, all drawn from one aiming model.
// The unit, the rings and the earth images are kept in the [Map] section
// of the settings.
class MapWindow final : public QWidget {
public:
    explicit MapWindow(settings::SettingsStore* store, QWidget* parent = nullptr);
    ~MapWindow() override;
    MapWindow(const MapWindow&) = delete;
    MapWindow& operator=(const MapWindow&) = delete;

    // The calculator's stations, as requests to the model.
    void setOwn(const Position& own);
    void setOther(const std::optional<Position>& other);
    // Reads the field as Enter does: true when it named a station.
    bool takeOtherText(const QString& text);

    // Adds a line to the panel's problem line, as for a settings file
    // that could not be read when the map is opened alone.
    void tell(const QString& text);

    aim::AimingModel& model() { return model_; }
    aim::RotatorService& rotatorService() { return *service_; }
    MapView* view() const { return view_; }
    CallsignLookup& callsigns() { return *callsigns_; }
    RotatorPanel* rotator() const { return rotator_; }
    FollowPanel* follower() const { return follow_; }
    // The DX cluster's page: its board holds the spots on the air, and its
    // onSpotsChanged is called when they change.
    ClusterPanel* cluster() const { return cluster_; }
    // The spots drawn on the map.
    SpotMarks* spots() const { return spots_; }
    // The log's page: the worked stations drawn on the map.
    LogPanel* log() const { return log_; }
    // The pages beside the stations: the rotator first, then the cluster
    // and the log.
    QTabWidget* tabs() const { return tabs_; }

    // The wall clock the night side and the sun figures follow: the
    // system's unless another is given.
    using Clock = std::function<std::chrono::system_clock::time_point()>;
    void setClock(Clock clock);
    // Prints the map as it is drawn now under a line naming the stations;
    // false, saying why, when the printer cannot be drawn on.
    bool printMap(QPrinter& printer, QString& error);
    // Writes the bearing chart from the own station, with today's magnetic
    // headings, to path as its ending asks (.pdf, .svg or .png) on the
    // locale's paper; false, saying why, when it cannot.
    bool saveChart(const QString& path, QString& error);

    // The next redraw of the night side, due at the next whole minute.
    const QTimer& minuteTimer() const { return minute_; }

private:
    void buildOptions();
    void buildOutputs(QFormLayout* form);  // Print map, Save chart
    void loadOptions();
    void saveOptions();
    void escape();
    void tick();
    DistanceUnit unit() const;

    settings::SettingsStore* store_;
    aim::AimingModel model_;
    std::unique_ptr<aim::RotatorService> service_;
    CallsignLookup* callsigns_ = nullptr;
    MapView* view_ = nullptr;
    StationPanel* stations_ = nullptr;
    RotatorPanel* rotator_ = nullptr;
    FollowPanel* follow_ = nullptr;
    ClusterPanel* cluster_ = nullptr;
    SpotMarks* spots_ = nullptr;
    LogPanel* log_ = nullptr;
    QTabWidget* tabs_ = nullptr;
    QComboBox* unit_ = nullptr;
    QCheckBox* rings_ = nullptr;
    QCheckBox* images_ = nullptr;
    bool loadingOptions_ = false;
    Clock clock_ = [] { return std::chrono::system_clock::now(); };
    QTimer minute_;
};

}  // namespace skybrant::ui
