#pragma once

#include "aim/aiming_model.h"
#include "map/azimuthal_map.h"
#include "settings/rotator_beam.h"

#include <QImage>
#include <QTimer>
#include <QWidget>

#include <chrono>
#include <cstddef>
#include <functional>
#include <memory>
#include <optional>
#include <vector>

namespace skybrant::ui {

// The layers of points on the map, the worked stations under the spots.
enum class PointLayer { Worked, Spots };

// A marker found under a point of the widget.
struct PointHit {
    PointLayer layer;
    std::size_t index;
};

// The azimuthal map as large as the widget allows, drawn at the screen's
// own pixel density; reports the position under the pointer and clicks.
class MapView final : public QWidget {
public:
    explicit MapView(QWidget* parent = nullptr);
    ~MapView() override;
    MapView(const MapView&) = delete;
    MapView& operator=(const MapView&) = delete;

    // Draws the model's stations, unit and antenna from now on; a click
    // makes the place clicked the model's other station.
    void follow(aim::AimingModel& model);

    void setOwn(const Position& own);
    void setOther(const std::optional<OtherStation>& other);
    void setUnit(DistanceUnit unit);
    void setRings(bool shown);
    // Without the earth images the map is drawn in flat colours.
    void setImagesShown(bool shown);
    void setNightTime(std::optional<std::chrono::sys_seconds> utc);
    // The antenna's bearing as a needle from the centre; none hides it.
    void setNeedle(std::optional<double> bearingDegrees);
    std::optional<double> needle() const { return needle_; }
    // The heading the antenna is being turned to, drawn as an outlined beam;
    // none while it is not turning.
    void setTurn(std::optional<double> bearingDegrees);
    std::optional<double> turn() const { return turn_; }
    // The antenna's -3 dB beam width, drawn around the needle and the turn.
    void setBeamWidth(double degrees);
    double beamWidth() const { return beamWidth_; }
    std::optional<std::chrono::sys_seconds> nightTime() const { return nightTime_; }

    // Why the earth images are not drawn although asked for; empty when
    // they are.
    QString imagesNote() const { return images_->note; }

    // The position at a point of the widget; none off the globe.
    std::optional<Position> positionAt(QPointF widgetPoint);
    // Where a position lies in the widget.
    QPointF widgetPointOf(const Position& position);

    // The points of a layer, the most important first; a change redraws
    // only what lies over the map's base.
    void setPoints(PointLayer layer, std::vector<MapPoint> points);
    const std::vector<MapPoint>& points(PointLayer layer) const;
    // The marker nearest a point of the widget within a few pixels, a
    // spot before a worked station; none when there is none.
    std::optional<PointHit> pointAt(QPointF widgetPoint);

    // Room for a map that shows the continents' shapes; the panels beside
    // it scroll before it gets smaller.
    QSize sizeHint() const override { return {540, 540}; }

    // The picture as it would be drawn now, in device pixels.
    const QImage& picture();

    std::function<void(const std::optional<Position>&)> onHover;
    // The text shown while the pointer rests on a marker.
    std::function<QString(PointLayer, std::size_t)> pointTip;
    // A click on a marker; true when it was taken, so that the place
    // clicked does not also become the other station.
    std::function<bool(PointLayer, std::size_t)> onPointClicked;

protected:
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void leaveEvent(QEvent* event) override;
    bool event(QEvent* event) override;

private:
    int wantedSize() const;
    AzimuthalMap& map();
    QRectF placeOfMap() const;
    void overlayChanged();
    void show(unsigned changes);

    aim::AimingModel* model_ = nullptr;
    int subscription_ = -1;

    Position own_;
    std::optional<OtherStation> other_;
    std::optional<double> needle_;
    std::optional<double> turn_;
    double beamWidth_ = settings::kDefaultBeamWidth;
    DistanceUnit unit_ = DistanceUnit::Kilometres;
    bool rings_ = true;
    bool imagesShown_ = true;
    std::optional<std::chrono::sys_seconds> nightTime_;
    std::shared_ptr<const EarthImages> images_;
    std::shared_ptr<const EarthImages> noImages_;
    std::vector<MapPoint> worked_;
    std::vector<MapPoint> spots_;
    std::unique_ptr<AzimuthalMap> map_;
    QImage picture_;
    bool pictureStale_ = true;
    // A new size is drawn once the window has stopped changing, the old
    // picture scaled meanwhile.
    QTimer resized_;
};

}  // namespace skybrant::ui
