#pragma once

#include "core/adif_reader.h"
#include "log_places.h"
#include "settings/log_settings.h"

#include <QDateTime>
#include <QFileSystemWatcher>
#include <QTimer>
#include <QWidget>

#include <cstdint>
#include <memory>
#include <optional>
#include <thread>
#include <vector>

class QComboBox;
class QLabel;
class QLineEdit;

namespace skybrant::aim {
class AimingModel;
}

namespace skybrant::settings {
class SettingsStore;
}

namespace skybrant::ui {

class CallsignLookup;
class MapView;

// The log on the map: an ADIF log chosen by the user, one dot per place
// worked, filtered by band and mode, read again as the program that writes
// it appends to it. The file and the filters are kept in [Log].
class LogPanel final : public QWidget {
public:
    LogPanel(aim::AimingModel& model, MapView& view, CallsignLookup& callsigns, settings::SettingsStore* store,
        QWidget* parent = nullptr);
    ~LogPanel() override;
    LogPanel(const LogPanel&) = delete;
    LogPanel& operator=(const LogPanel&) = delete;

    // Shows the log at path (and keeps it in the settings), or none.
    void open(const QString& path);
    void forget();

    QString file() const { return file_; }
    QString stateText() const;
    QComboBox* bandFilter() const { return band_; }
    QComboBox* modeFilter() const { return mode_; }
    const WorkedPlaces& places() const { return places_; }
    bool reading() const { return reading_; }
    // The words on the worked station at a dot of the map's Worked layer.
    QString tip(std::size_t index) const;
    // Makes the place of a dot the other station, under the call worked
    // there; false when there is no such dot.
    bool pick(std::size_t index);
    // How often the log is looked at besides the watcher's word.
    static constexpr int kPollMs = 2000;

private:
    struct Channel;
    // What tells a changed log: its size, time of change and file (a log
    // replaced by another of any size is read from its start).
    struct Stamp {
        qint64 size = -1;
        qint64 modifiedNs = 0;
        std::uint64_t device = 0;
        std::uint64_t inode = 0;
        bool operator==(const Stamp&) const = default;
    };
    static std::optional<Stamp> stampOf(const QString& path);
    struct Problems {
        std::uint64_t count = 0;
        std::optional<AdifProblem> first;
    };

    void choose();
    void showLog(const QString& path);
    void lookAtFile();
    void startReading();
    void sliceRead(std::uint64_t generation, bool fromStart, const LogSlice& slice);
    void rebuildFilters();
    void filtersChanged();
    void showPoints();
    void showState();
    void save();

    aim::AimingModel& model_;
    MapView& view_;
    CallsignLookup& callsigns_;
    settings::SettingsStore* store_;
    settings::LogOptions options_;
    std::shared_ptr<Channel> channel_;
    std::thread reader_;  // the reading of the log, one at a time

    QLineEdit* path_ = nullptr;
    QLabel* state_ = nullptr;
    QLabel* problem_ = nullptr;
    QComboBox* band_ = nullptr;
    QComboBox* mode_ = nullptr;

    QString file_;
    std::uint64_t generation_ = 0;
    bool reading_ = false;
    bool again_ = false;
    AdifResume resume_;
    WorkedPlaces places_;
    std::vector<std::size_t> shown_;  // the place of each dot
    LogFilter filter_;
    Problems problems_;
    QString readError_;
    std::optional<QDateTime> readAt_;
    // The file's size and time of change when last read, so that the poll
    // reads only a file that changed.
    std::optional<Stamp> stamp_;
    QFileSystemWatcher watcher_;
    QTimer poll_;
};

}  // namespace skybrant::ui
