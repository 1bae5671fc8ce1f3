#pragma once

#include "aim/aiming_model.h"
#include "core/spot_board.h"
#include "map/map_points.h"

#include <QObject>
#include <QString>
#include <QTimer>

#include <chrono>
#include <cstddef>
#include <functional>
#include <optional>
#include <vector>

class QMenu;
class QWidget;

namespace skybrant::ui {

class ClusterPanel;
class MapView;

// One marker for a spot: its band's colour, fading from full to a quarter
// over its time on the board, the call as its label.
MapPoint spotPoint(const BoardSpot& spot, std::chrono::sys_seconds now, std::chrono::minutes keep);

// "K1ABC on 14074.0 kHz (20m), spotted by DL1ABC 3 min ago" with the
// comment, and the heading and distance both ways from own.
QString spotTip(const BoardSpot& spot, const Position& own, DistanceUnit unit, std::chrono::sys_seconds now);

// The cluster's spots on the map: the spots the list shows, newest first so
// that their labels win; a hover names one, a click makes it the other
// station, and the map's menu over it (or Ctrl+T, Ctrl+Shift+T with the
// pointer on it, else on the spot chosen in the list) turns the antenna to
// it along the short or long path.
class SpotMarks final : public QObject {
public:
    using Clock = std::function<std::chrono::sys_seconds()>;
    SpotMarks(ClusterPanel& cluster, MapView& view, aim::AimingModel& model, Clock clock, QWidget* window);
    ~SpotMarks() override;
    SpotMarks(const SpotMarks&) = delete;
    SpotMarks& operator=(const SpotMarks&) = delete;

    // Draws the board as it is now.
    void refresh();

    // The spot behind marker index; none when there is no such marker.
    const BoardSpot* spotAt(std::size_t index) const;
    QString tip(std::size_t index) const;
    // Makes the spot the other station; false when there is no such marker.
    bool pick(std::size_t index);
    // Makes it the other station and turns the antenna to it.
    void turn(std::size_t index, bool longPath);
    // The map's menu over marker index, for parent to show.
    QMenu* menuFor(std::size_t index, QWidget* parent);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    // The spot the keys turn to: the one under the pointer, else the one
    // chosen in the list.
    std::optional<BoardSpot> keyTarget() const;
    void pickSpot(const BoardSpot& spot);
    void turnTo(const BoardSpot& spot, bool longPath);

    ClusterPanel& cluster_;
    MapView& view_;
    aim::AimingModel& model_;
    Clock clock_;
    // Copies, so that a marker never names a spot the board has let go.
    std::vector<BoardSpot> shown_;
    // The markers fade as the spots age.
    QTimer fade_;
};

}  // namespace skybrant::ui
