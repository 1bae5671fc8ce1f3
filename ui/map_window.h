#pragma once

#include "core/callsign.h"
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
class QLabel;
class QLineEdit;
class QPushButton;

namespace skybrant::settings {
class SettingsStore;
}

namespace skybrant::ui {

class CallsignLookup;
class MapView;
class RotatorPanel;

// The own station as the window keeps it between runs; 0 N 0 E for what
// is not there or not allowed.
Position savedOwnStation(settings::SettingsStore* store);

class MapWindow;

// The map opened alone: centred on the own station as last saved, and
// saying what the calculator would of a settings file it could not read.
std::unique_ptr<MapWindow> openMapAlone(settings::SettingsStore* store);

// The map window: the azimuthal map centred on the own station beside a
// panel with both stations, the headings, the distances both ways and the
// sun at both ends. A field takes the other station as skybrant-cli does,
// or as a callsign; a click on the map puts it there. The unit, the rings
// and the earth images are kept in the [Map] section of the settings.
class MapWindow final : public QWidget {
public:
    explicit MapWindow(settings::SettingsStore* store, QWidget* parent = nullptr);
    ~MapWindow() override;

    void setOwn(const Position& own);
    void setOther(const std::optional<Position>& other);
    // Reads the field as Enter does: true when it named a station.
    bool takeOtherText(const QString& text);

    // Adds a line to the panel's problem line, as for a settings file
    // that could not be read when the map is opened alone.
    void tell(const QString& text);

    MapView* view() const { return view_; }
    RotatorPanel* rotator() const { return rotator_; }

    // The wall clock the night side and the sun figures follow: the
    // system's unless another is given.
    using Clock = std::function<std::chrono::system_clock::time_point()>;
    void setClock(Clock clock);
    // The next redraw of the night side, due at the next whole minute.
    const QTimer& minuteTimer() const { return minute_; }

private:
    // A station as the field takes it: the position, and for a callsign its
    // name and country and UTC offset; or why it cannot be read.
    struct StationRead {
        Position position;
        QString name;
        std::optional<double> utcOffset;
        QString error;
        QString call;  // as typed, when the text is shaped like a callsign
    };
    bool readStation(const QString& text, StationRead& read);
    void takeStation(const StationRead& read);
    void buildPanel(QWidget* panel);
    void loadOptions();
    void saveOptions();
    void showFigures();
    void showSun();
    void showPointer(const std::optional<Position>& position);
    void showProblem(const QString& text);
    void tick();
    std::chrono::sys_seconds now() const;
    DistanceUnit unit() const;

    settings::SettingsStore* store_;
    Position own_;
    std::optional<Position> other_;
    QString otherName_;  // the callsign and its country, when given so
    std::optional<double> otherUtcOffset_;  // hours ahead of UTC, where known

    MapView* view_ = nullptr;
    RotatorPanel* rotator_ = nullptr;
    QLineEdit* field_ = nullptr;
    QPushButton* show_ = nullptr;
    QLabel* problem_ = nullptr;
    QLabel* ownText_ = nullptr;
    QLabel* otherText_ = nullptr;
    QLabel* heading_ = nullptr;
    QLabel* backHeading_ = nullptr;
    QLabel* shortPath_ = nullptr;
    QLabel* longPath_ = nullptr;
    QLabel* ownSun_ = nullptr;
    QLabel* otherSun_ = nullptr;
    QLabel* pointer_ = nullptr;
    QComboBox* unit_ = nullptr;
    QCheckBox* rings_ = nullptr;
    QCheckBox* images_ = nullptr;
    bool loadingOptions_ = false;
    Clock clock_ = [] { return std::chrono::system_clock::now(); };
    QTimer minute_;
    CallsignLookup* callsigns_ = nullptr;
};

}  // namespace skybrant::ui
