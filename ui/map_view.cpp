#include "map_view.h"

#include "core/locator.h"

#include <QHelpEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QToolTip>

#include <algorithm>
#include <cmath>

namespace skybrant::ui {

namespace {

// The earth images are read once and shared by every map.
std::shared_ptr<const EarthImages> sharedEarthImages()
{
    static const std::shared_ptr<const EarthImages> images = std::make_shared<const EarthImages>(loadEarthImages());
    return images;
}

constexpr int kSmallestMap = 64;
// How far beyond a marker's edge a pointer still finds it, in widget pixels.
constexpr double kPointSlack = 3;
constexpr int kResizeSettleMs = 120;

}  // namespace

MapView::MapView(QWidget* parent)
    : QWidget(parent), images_(sharedEarthImages()), noImages_(std::make_shared<const EarthImages>())
{
    setMouseTracking(true);
    setMinimumSize(200, 200);
    setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Expanding);
    setCursor(Qt::CrossCursor);
    resized_.setSingleShot(true);
    resized_.setInterval(kResizeSettleMs);
    connect(&resized_, &QTimer::timeout, this, [this] {
        pictureStale_ = true;
        update();
    });
}

MapView::~MapView()
{
    if (model_ != nullptr) {
        model_->unsubscribe(subscription_);
    }
}

void MapView::follow(aim::AimingModel& model)
{
    model_ = &model;
    subscription_ = model.subscribe([this](unsigned changes) { show(changes); });
    show(~0U);
}

void MapView::show(unsigned changes)
{
    if ((changes & aim::OwnChanged) != 0U) {
        setOwn(model_->own());
    }
    if ((changes & aim::OtherChanged) != 0U) {
        const auto& other = model_->other();
        setOther(
            other ? std::optional(OtherStation{other->position, QString::fromStdString(other->label)}) : std::nullopt);
    }
    if ((changes & aim::UnitChanged) != 0U) {
        setUnit(model_->unit());
    }
    if ((changes & aim::AntennaChanged) != 0U) {
        const aim::Antenna& antenna = model_->antenna();
        setBeamWidth(antenna.beamWidth());
        setNeedle(antenna.heading());
        // Once there, the beam where it points is the one that counts.
        setTurn(antenna.arrived() ? std::nullopt : antenna.turnHeading());
    }
}

void MapView::setOwn(const Position& own)
{
    own_ = own;
    map_.reset();
    pictureStale_ = true;
    update();
}

void MapView::setOther(const std::optional<OtherStation>& other)
{
    other_ = other;
    overlayChanged();
}

void MapView::setUnit(DistanceUnit unit)
{
    unit_ = unit;
    if (map_) {
        map_->setUnit(unit);
    }
    overlayChanged();
}

void MapView::setRings(bool shown)
{
    rings_ = shown;
    if (map_) {
        map_->setRings(shown);
    }
    overlayChanged();
}

void MapView::setImagesShown(bool shown)
{
    if (shown != imagesShown_) {
        imagesShown_ = shown;
        map_.reset();
        overlayChanged();
    }
}

void MapView::setNightTime(std::optional<std::chrono::sys_seconds> utc)
{
    nightTime_ = utc;
    if (map_) {
        map_->setNightTime(utc);
    }
    overlayChanged();
}

void MapView::setNeedle(std::optional<double> bearingDegrees)
{
    if (bearingDegrees != needle_) {
        needle_ = bearingDegrees;
        overlayChanged();
    }
}

void MapView::setTurn(std::optional<double> bearingDegrees)
{
    if (bearingDegrees != turn_) {
        turn_ = bearingDegrees;
        overlayChanged();
    }
}

void MapView::setBeamWidth(double degrees)
{
    if (degrees != beamWidth_) {
        beamWidth_ = degrees;
        overlayChanged();
    }
}

void MapView::setPoints(PointLayer layer, std::vector<MapPoint> points)
{
    (layer == PointLayer::Worked ? worked_ : spots_) = std::move(points);
    overlayChanged();
}

const std::vector<MapPoint>& MapView::points(PointLayer layer) const
{
    return layer == PointLayer::Worked ? worked_ : spots_;
}

std::optional<PointHit> MapView::pointAt(QPointF widgetPoint)
{
    const QRectF place = placeOfMap();
    AzimuthalMap& m = map();
    const double scale = m.size() / place.width();
    const QPointF at = (widgetPoint - place.topLeft()) * scale;
    const double reach = m.pointRadius() + kPointSlack * scale;
    for (const PointLayer layer : {PointLayer::Spots, PointLayer::Worked}) {
        std::optional<PointHit> nearest;
        double best = reach * reach;
        const std::vector<MapPoint>& list = points(layer);
        for (std::size_t i = 0; i < list.size(); ++i) {
            if (!(list[i].opacity > 0)) {
                continue;
            }
            const QPointF d = m.pixelOf(list[i].position) - at;
            const double squared = QPointF::dotProduct(d, d);
            if (squared <= best) {
                best = squared;
                nearest = PointHit{layer, i};
            }
        }
        if (nearest) {
            return nearest;
        }
    }
    return std::nullopt;
}

void MapView::overlayChanged()
{
    pictureStale_ = true;
    update();
}

int MapView::wantedSize() const
{
    const double side = std::min(width(), height()) * devicePixelRatioF();
    return std::max(kSmallestMap, static_cast<int>(std::lround(side)));
}

AzimuthalMap& MapView::map()
{
    const int size = wantedSize();
    if (!map_ || (map_->size() != size && !resized_.isActive())) {
        map_ = std::make_unique<AzimuthalMap>(own_, size, imagesShown_ ? images_ : noImages_);
        map_->setNightTime(nightTime_);
        map_->setUnit(unit_);
        map_->setRings(rings_);
        pictureStale_ = true;
    }
    return *map_;
}

const QImage& MapView::picture()
{
    AzimuthalMap& m = map();
    if (pictureStale_) {
        // The beams under the stations and paths, the needle over all.
        picture_ = m.base().copy();
        QPainter painter(&picture_);
        if (needle_) {
            m.drawBeam(painter, *needle_, beamWidth_, AzimuthalMap::Beam::Pointing);
        }
        if (turn_) {
            m.drawBeam(painter, *turn_, beamWidth_, AzimuthalMap::Beam::Turning);
        }
        const PointSet layers[] = {{worked_, PointShape::Dot}, {spots_, PointShape::Diamond}};
        m.drawPoints(painter, layers);
        if (other_) {
            m.drawOverlay(painter, *other_);
        }
        if (needle_) {
            m.drawNeedle(painter, *needle_);
        }
        pictureStale_ = false;
    }
    return picture_;
}

QRectF MapView::placeOfMap() const
{
    const double side = std::min(width(), height());
    return {(width() - side) / 2, (height() - side) / 2, side, side};
}

std::optional<Position> MapView::positionAt(QPointF widgetPoint)
{
    const QRectF place = placeOfMap();
    AzimuthalMap& m = map();
    const double scale = m.size() / place.width();
    return m.positionAt((widgetPoint - place.topLeft()) * scale);
}

QPointF MapView::widgetPointOf(const Position& position)
{
    const QRectF place = placeOfMap();
    AzimuthalMap& m = map();
    return place.topLeft() + m.pixelOf(position) * (place.width() / m.size());
}

void MapView::paintEvent(QPaintEvent* /*event*/)
{
    QPainter painter(this);
    painter.fillRect(rect(), QColor::fromRgb(MapColours::outside));
    const QImage& image = picture();
    painter.setRenderHint(QPainter::SmoothPixmapTransform);
    painter.drawImage(placeOfMap(), image);
}

void MapView::resizeEvent(QResizeEvent* event)
{
    QWidget::resizeEvent(event);
    // The first picture is drawn at once; later sizes wait for the resize
    // to settle, as drawing the earth takes a good part of a second.
    if (map_) {
        resized_.start();
    }
}

void MapView::mouseMoveEvent(QMouseEvent* event)
{
    if (onHover) {
        onHover(positionAt(event->position()));
    }
}

void MapView::mouseReleaseEvent(QMouseEvent* event)
{
    if (event->button() != Qt::LeftButton) {
        return;
    }
    if (onPointClicked) {
        if (const auto hit = pointAt(event->position()); hit && onPointClicked(hit->layer, hit->index)) {
            return;
        }
    }
    if (const auto position = positionAt(event->position()); position && model_ != nullptr) {
        aim::OtherStation clicked;
        clicked.position = *position;
        clicked.label = locatorOf(*position, 6);
        clicked.source = aim::Source::Clicked;
        model_->request(aim::SetOther{clicked});
    }
}

void MapView::leaveEvent(QEvent* /*event*/)
{
    if (onHover) {
        onHover(std::nullopt);
    }
}

bool MapView::event(QEvent* event)
{
    if (event->type() != QEvent::ToolTip) {
        return QWidget::event(event);
    }
    const auto* help = static_cast<QHelpEvent*>(event);
    const auto hit = pointTip ? pointAt(help->pos()) : std::nullopt;
    const QString text = hit ? pointTip(hit->layer, hit->index) : QString();
    if (text.isEmpty()) {
        QToolTip::hideText();
        event->ignore();
    } else {
        QToolTip::showText(help->globalPos(), text, this);
    }
    return true;
}

}  // namespace skybrant::ui
