#pragma once

#include "earth_images.h"
#include "map_points.h"

#include "core/azimuthal.h"
#include "core/units.h"

#include <QColor>
#include <QImage>
#include <QPointF>
#include <QString>

#include <chrono>
#include <memory>
#include <optional>
#include <span>

class QPainter;

namespace skybrant {

class PointSprites;

// The colours of the map, for drawing and for checking a picture.
struct MapColours {
    static constexpr QRgb sea = 0xff1b3a5c;  // without the earth images
    static constexpr QRgb outside = 0xff000000;  // round the disc
    static constexpr QRgb graticule = 0x80ffffff;
    static constexpr QRgb rings = 0xa0a0e0ff;
    static constexpr QRgb rose = 0xffe0e0e0;
    static constexpr QRgb ownStation = 0xffff3030;
    static constexpr QRgb otherStation = 0xff30ff60;
    static constexpr QRgb shortPath = 0xffffd200;
    static constexpr QRgb longPath = 0xffff8c00;
    static constexpr QRgb antenna = 0xffff40ff;  // where the rotator points
    // The antenna's beam: the land and sea show through it.
    static constexpr QRgb beam = 0x50ff40ff;
    static constexpr QRgb beamEdge = 0xb0ff40ff;
    static constexpr QRgb sun = 0xfffff176;  // where the sun stands overhead
    static constexpr QRgb notice = 0xffffc870;  // what the map lacks
};

// The other station as the overlay shows it.
struct OtherStation {
    Position position;
    QString label;
};

// An azimuthal equidistant map centred on the own station, drawn into a
// square image: land and sea, the night side and greyline, graticule,
// distance rings, compass rose, the sun overhead with the night side, the
// own station and a line on what is missing make the base, computed
// once for a centre, size, time and unit and reused; the other station and
// the paths are drawn over it.
class AzimuthalMap {
public:
    AzimuthalMap(const Position& own, int sizePixels, std::shared_ptr<const EarthImages> images);

    int size() const { return size_; }
    const AzimuthalProjection& projection() const { return projection_; }

    // The time of the night side, or none for a map without one.
    void setNightTime(std::optional<std::chrono::sys_seconds> utc);
    void setUnit(DistanceUnit unit);
    // Whether the distance rings and their labels are drawn (they are by
    // default).
    void setRings(bool shown);

    // The map's disc: its centre and radius in pixels. The rim is the
    // antipode; the compass rose stands outside it.
    QPointF centrePixel() const;
    double radiusPixels() const { return radius_; }

    // The pixel (as a point, pixel centres at half-integers) of a position,
    // and the position at a point of the image (none outside the disc).
    QPointF pixelOf(const Position& position) const;
    // The point at a beam heading (degrees, any turn) and an arc (0 to 180
    // degrees) from the centre.
    QPointF pixelAlong(double bearingDegrees, double arcDegrees) const;
    std::optional<Position> positionAt(QPointF point) const;

    // The base, drawn when first asked for after a change.
    const QImage& base();

    // The other station and the paths over a picture of the base.
    void drawOverlay(QPainter& painter, const OtherStation& other) const;
    // The antenna's direction from the centre, clockwise from north, as a
    // needle over a picture of the base.
    void drawNeedle(QPainter& painter, double bearingDegrees) const;

    // The antenna's -3 dB beam around a heading, from the centre to the rim:
    // filled where the antenna points, outlined where it is being turned
    // to. Drawn under the overlay and the needle.
    enum class Beam { Pointing, Turning };
    void drawBeam(QPainter& painter, double bearingDegrees, double widthDegrees, Beam beam) const;

    // Layers of points over a picture of the base: the markers of the first
    // layer lowest, the labels of the last layer placed first, each layer's
    // in its own order, a label left out where it would cover one already
    // placed.
    void drawPoints(QPainter& painter, std::span<const PointSet> layers) const;
    // A marker's radius in pixels, for finding the one under a point.
    double pointRadius() const;

    // The base with the overlay, or the base alone.
    QImage picture(const std::optional<OtherStation>& other);

private:
    void drawEarth(QImage& image) const;
    void drawLines(QImage& image) const;
    void drawRings(QPainter& painter) const;
    void drawSun(QPainter& painter) const;
    void drawMissingImages(QPainter& painter) const;
    void drawMarker(QPainter& painter, QPointF at, QRgb colour) const;

    AzimuthalProjection projection_;
    int size_;
    double radius_;
    std::shared_ptr<const EarthImages> images_;
    std::optional<std::chrono::sys_seconds> nightTime_;
    DistanceUnit unit_ = DistanceUnit::Kilometres;
    bool rings_ = true;
    QImage base_;
    // The points' images, made on the first draw of points.
    mutable std::shared_ptr<PointSprites> sprites_;
};

}  // namespace skybrant
