#include "map_view.h"

#include "core/locator.h"

#include <QMouseEvent>
#include <QPainter>

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

}  // namespace skybrant::ui
