// The antenna's beam on the map: on an azimuthal equidistant map centred on
// the own station every bearing is a straight line from the centre, so the
// beam's bearings make a plain sector out to the rim.
#include "azimuthal_map.h"

#include "core/angles.h"

#include <QPainter>
#include <QPainterPath>

#include <algorithm>
#include <cmath>

namespace skybrant {

namespace {

// The rim between the edges in steps of at most this many degrees: a
// polygon that close to the circle shows no corners even on a 4096-pixel map.
constexpr double kRimStep = 0.25;

}  // namespace

QPointF AzimuthalMap::pixelAlong(double bearingDegrees, double arcDegrees) const
{
    const MapPlace place = AzimuthalProjection::placeAlong(wrap360(bearingDegrees), std::clamp(arcDegrees, 0.0, 180.0));
    const QPointF c = centrePixel();
    return {c.x() + place.x * radius_, c.y() - place.y * radius_};
}

void AzimuthalMap::drawBeam(QPainter& painter, double bearingDegrees, double widthDegrees, Beam beam) const
{
    if (!std::isfinite(bearingDegrees) || !(widthDegrees > 0)) {
        return;
    }
    const QPointF c = centrePixel();
    QPainterPath sector;
    if (widthDegrees >= 360) {
        // Every bearing at once: the whole disc, with no edge to draw.
        sector.addEllipse(c, radius_, radius_);
    } else {
        const double first = bearingDegrees - widthDegrees / 2;
        const int steps = std::max(1, static_cast<int>(std::ceil(widthDegrees / kRimStep)));
        sector.moveTo(c);
        for (int i = 0; i <= steps; ++i) {
            sector.lineTo(pixelAlong(first + widthDegrees * i / steps, 180));
        }
        sector.closeSubpath();
    }
    painter.save();
    painter.setRenderHint(QPainter::Antialiasing);
    const double scale = size_ / 1024.0;
    switch (beam) {
    case Beam::Pointing:
        painter.setPen(QPen(QColor::fromRgba(MapColours::beamEdge), std::max(1.0, scale)));
        painter.setBrush(QColor::fromRgba(MapColours::beam));
        painter.drawPath(sector);
        break;
    case Beam::Turning: {
        // Dark under bright, as the needle, so it reads over the filled beam.
        const double width = std::max(1.5, 2 * scale);
        painter.setBrush(Qt::NoBrush);
        painter.setPen(QPen(Qt::black, width + 2, Qt::SolidLine, Qt::FlatCap, Qt::MiterJoin));
        painter.drawPath(sector);
        painter.setPen(QPen(QColor::fromRgb(MapColours::antenna), width, Qt::SolidLine, Qt::FlatCap, Qt::MiterJoin));
        painter.drawPath(sector);
        break;
    }
    }
    painter.restore();
}

}  // namespace skybrant
