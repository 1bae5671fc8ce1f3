#include "azimuthal_map.h"

#include "core/angles.h"
#include "core/great_circle.h"
#include "core/sun.h"

#include <QPainter>
#include <QPainterPath>

#include <algorithm>
#include <cmath>
#include <numbers>

namespace skybrant {

namespace {

constexpr double kRadiansPerDegree = std::numbers::pi / 180;
// The greyline: the sun from the horizon down to 12 degrees below it, where
// the sky is dark enough at sea to see the horizon no more.
const double kTwilightDepth = std::sin(12 * kRadiansPerDegree);
// The night side keeps a fifth of the day's colours under its lights, so
// that coasts still show, but never brighter than dim land: a fifth of the
// white of ice and snow would light the polar night as a pale patch.
constexpr double kNightDayShare = 0.2;
constexpr double kNightDayBrightest = 16;  // luma, of 255

// Room outside the disc for the compass rose's bearings.
double marginFor(int size)
{
    return std::max(18.0, size * 0.05);
}

struct Rgb {
    double r = 0;
    double g = 0;
    double b = 0;
};

Rgb rgbOf(QRgb c)
{
    return {static_cast<double>(qRed(c)), static_cast<double>(qGreen(c)), static_cast<double>(qBlue(c))};
}

// The day's colour as the night side keeps it, under the lights.
Rgb nightShareOf(const Rgb& day)
{
    const double luma = 0.299 * day.r + 0.587 * day.g + 0.114 * day.b;
    const double share = luma * kNightDayShare > kNightDayBrightest ? kNightDayBrightest / luma : kNightDayShare;
    return {day.r * share, day.g * share, day.b * share};
}

QRgb toRgb(const Rgb& c)
{
    const auto channel = [](double v) { return static_cast<int>(std::clamp(v + 0.5, 0.0, 255.0)); };
    return qRgb(channel(c.r), channel(c.g), channel(c.b));
}

// Where a position falls in an equirectangular picture of the earth: the
// nearest pixel, as an offset into its pixels.
class EarthSampler {
public:
    explicit EarthSampler(const QImage& image)
        : width_(image.width()), height_(image.height()),
          stride_(image.bytesPerLine() / static_cast<qsizetype>(sizeof(QRgb))), uPerDegree_(width_ / 360.0),
          vPerDegree_(height_ / 180.0)
    {
    }

    qsizetype offset(double latDegrees, double lonDegrees) const
    {
        auto u = static_cast<int>(std::floor((lonDegrees + 180) * uPerDegree_));
        while (u >= width_) {
            u -= width_;
        }
        while (u < 0) {
            u += width_;
        }
        const int v = std::clamp(static_cast<int>(std::floor((90 - latDegrees) * vPerDegree_)), 0, height_ - 1);
        return v * stride_ + u;
    }

private:
    int width_;
    int height_;
    qsizetype stride_;
    double uPerDegree_;
    double vPerDegree_;
};

const QRgb* pixelsOf(const QImage& image)
{
    return reinterpret_cast<const QRgb*>(image.constBits());
}

}  // namespace

AzimuthalMap::AzimuthalMap(const Position& own, int sizePixels, std::shared_ptr<const EarthImages> images)
    : projection_(own), size_(std::max(sizePixels, 64)), radius_(size_ / 2.0 - marginFor(size_)),
      images_(images ? std::move(images) : std::make_shared<const EarthImages>())
{
}

void AzimuthalMap::setNightTime(std::optional<std::chrono::sys_seconds> utc)
{
    if (utc != nightTime_) {
        nightTime_ = utc;
        base_ = QImage();
    }
}

void AzimuthalMap::setUnit(DistanceUnit unit)
{
    if (unit != unit_) {
        unit_ = unit;
        base_ = QImage();
    }
}

void AzimuthalMap::setRings(bool shown)
{
    if (shown != rings_) {
        rings_ = shown;
        base_ = QImage();
    }
}

QPointF AzimuthalMap::centrePixel() const
{
    return {size_ / 2.0, size_ / 2.0};
}

QPointF AzimuthalMap::pixelOf(const Position& position) const
{
    const MapPlace place = projection_.forward(position);
    const QPointF c = centrePixel();
    return {c.x() + place.x * radius_, c.y() - place.y * radius_};
}

std::optional<Position> AzimuthalMap::positionAt(QPointF point) const
{
    const QPointF c = centrePixel();
    return projection_.inverse((point.x() - c.x()) / radius_, (c.y() - point.y()) / radius_);
}

const QImage& AzimuthalMap::base()
{
    if (base_.isNull()) {
        QImage image(size_, size_, QImage::Format_RGB32);
        image.fill(MapColours::outside);
        drawEarth(image);
        drawLines(image);
        base_ = std::move(image);
    }
    return base_;
}

void AzimuthalMap::drawEarth(QImage& image) const
{
    const bool withImages = images_->available();
    const double centreLon = projection_.centre().lonDegrees;

    // The sun as a unit vector in the projection's frame, turned with the
    // centre's longitude; its dot product with a point of the globe is the
    // sine of the sun's elevation there.
    bool night = false;
    AzimuthalProjection::GlobeVector sun;
    if (nightTime_) {
        const SubsolarPoint s = subsolarPoint(*nightTime_);
        const double dLon = (s.lonDegrees - centreLon) * kRadiansPerDegree;
        const double lat = s.latDegrees * kRadiansPerDegree;
        sun = {std::cos(lat) * std::cos(dLon), std::cos(lat) * std::sin(dLon), std::sin(lat)};
        night = true;
    }

    const EarthSampler sampler(images_->day);
    const QRgb* dayPixels = withImages ? pixelsOf(images_->day) : nullptr;
    const QRgb* nightPixels = withImages ? pixelsOf(images_->night) : nullptr;
    const double c = size_ / 2.0;
    for (int py = 0; py < size_; ++py) {
        const double y = (c - (py + 0.5)) / radius_;
        if (std::fabs(y) > 1) {
            continue;
        }
        const double halfWidth = std::sqrt(1 - y * y) * radius_;
        const int first = std::max(0, static_cast<int>(std::floor(c - halfWidth)));
        const int last = std::min(size_ - 1, static_cast<int>(std::ceil(c + halfWidth)));
        auto* line = reinterpret_cast<QRgb*>(image.scanLine(py));
        for (int px = first; px <= last; ++px) {
            const double x = ((px + 0.5) - c) / radius_;
            const std::optional<AzimuthalProjection::GlobeVector> v = projection_.toGlobe(x, y);
            if (!v) {
                continue;
            }
            Rgb day = rgbOf(MapColours::sea);
            Rgb dark = nightShareOf(day);
            if (withImages) {
                const double lat = toDegrees(std::atan2(v->z, std::sqrt(v->x * v->x + v->y * v->y)));
                const double lon = centreLon + toDegrees(std::atan2(v->y, v->x));
                // Both pictures are the same size, as xplanet-images has them.
                const qsizetype at = sampler.offset(lat, lon);
                day = rgbOf(dayPixels[at]);
                const Rgb lights = rgbOf(nightPixels[at]);
                const Rgb kept = nightShareOf(day);
                dark = {lights.r + kept.r, lights.g + kept.g, lights.b + kept.b};
            }
            Rgb colour = day;
            if (night) {
                const double sinElevation = v->x * sun.x + v->y * sun.y + v->z * sun.z;
                const double t = std::clamp(-sinElevation / kTwilightDepth, 0.0, 1.0);
                const double f = t * t * (3 - 2 * t);
                colour = {day.r + (dark.r - day.r) * f, day.g + (dark.g - day.g) * f, day.b + (dark.b - day.b) * f};
            }
            line[px] = toRgb(colour);
        }
    }
}

void AzimuthalMap::drawLines(QImage& image) const
{
    QPainter painter(&image);
    painter.setRenderHint(QPainter::Antialiasing);
    const QPointF c = centrePixel();
    const double scale = size_ / 1024.0;

    // Graticule every 30 degrees, as polylines broken where they leap
    // across the far side of the map near the antipode.
    painter.setPen(QPen(QColor::fromRgba(MapColours::graticule), std::max(1.0, scale)));
    const auto strokeLine = [&](auto positionAt, int steps) {
        QPainterPath path;
        bool open = false;
        QPointF previous;
        for (int i = 0; i <= steps; ++i) {
            const QPointF p = pixelOf(positionAt(i));
            if (open && QLineF(previous, p).length() < radius_ / 8) {
                path.lineTo(p);
            } else {
                path.moveTo(p);
            }
            open = true;
            previous = p;
        }
        painter.drawPath(path);
    };
    // Each line drawn in half-degree steps.
    constexpr double kStep = 0.5;
    for (int lat = -60; lat <= 60; lat += 30) {
        strokeLine([lat](int i) { return positionFromDegrees(lat, -180 + i * kStep); }, static_cast<int>(360 / kStep));
    }
    for (int lon = -180; lon < 180; lon += 30) {
        strokeLine([lon](int i) { return positionFromDegrees(-90 + i * kStep, lon); }, static_cast<int>(180 / kStep));
    }

    QFont font = painter.font();
    font.setPixelSize(std::max(9, static_cast<int>(std::lround(13 * scale))));
    painter.setFont(font);
    // The sun under the rings, so that their labels stay whole.
    drawSun(painter);
    drawRings(painter);

    // The compass rose at the rim: a tick every 10 degrees, the bearing
    // every 30.
    painter.setPen(QPen(QColor::fromRgb(MapColours::rose), std::max(1.0, 1.5 * scale)));
    painter.drawEllipse(c, radius_, radius_);
    const double margin = marginFor(size_);
    const QFontMetricsF metrics(font);
    for (int bearing = 0; bearing < 360; bearing += 10) {
        const double t = bearing * kRadiansPerDegree;
        const QPointF dir(std::sin(t), -std::cos(t));
        const double tick = bearing % 30 == 0 ? margin * 0.3 : margin * 0.15;
        painter.drawLine(c + dir * radius_, c + dir * (radius_ + tick));
        if (bearing % 30 == 0) {
            const QString text = QString::number(bearing);
            const QPointF at = c + dir * (radius_ + margin * 0.62);
            const QRectF box(at.x() - metrics.horizontalAdvance(text) / 2, at.y() - metrics.height() / 2,
                metrics.horizontalAdvance(text), metrics.height());
            painter.drawText(box, Qt::AlignCenter, text);
        }
    }

    // The own station at the centre.
    drawMarker(painter, c, MapColours::ownStation);
    drawMissingImages(painter);
}

QImage AzimuthalMap::picture(const std::optional<OtherStation>& other)
{
    QImage image = base().copy();
    if (other) {
        QPainter painter(&image);
        drawOverlay(painter, *other);
    }
    return image;
}

}  // namespace skybrant
