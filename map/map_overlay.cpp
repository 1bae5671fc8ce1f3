#include "azimuthal_map.h"

#include <QPainter>
#include <QPolygonF>

#include <algorithm>
#include <cmath>
#include <numbers>

namespace skybrant {

namespace {

double markerRadius(int size)
{
    return std::max(3.0, 5 * size / 1024.0);
}

}  // namespace

void AzimuthalMap::drawMarker(QPainter& painter, QPointF at, QRgb colour) const
{
    const double dot = markerRadius(size_);
    painter.setPen(QPen(Qt::black, std::max(1.0, size_ / 1024.0)));
    painter.setBrush(QColor::fromRgb(colour));
    painter.drawEllipse(at, dot, dot);
}

void AzimuthalMap::drawOverlay(QPainter& painter, const OtherStation& other) const
{
    painter.save();
    painter.setRenderHint(QPainter::Antialiasing);
    const QPointF c = centrePixel();
    const double scale = size_ / 1024.0;
    const double width = std::max(2.0, 3 * scale);
    const MapPlace place = projection_.forward(other.position);
    const QPointF at = pixelOf(other.position);

    switch (relatePositions(projection_.centre(), other.position)) {
    case StationGeometry::Antipodes: {
        // Every beam heading leads there: the whole rim is the path.
        painter.setPen(QPen(QColor::fromRgb(MapColours::shortPath), width));
        painter.setBrush(Qt::NoBrush);
        painter.drawEllipse(c, radius_, radius_);
        break;
    }
    case StationGeometry::Distinct: {
        // The short path runs from home along the beam heading through the
        // other station to the rim; the long path leaves the opposite way.
        const double length = std::hypot(place.x, place.y);
        if (length > 0) {
            const QPointF dir(place.x / length, -place.y / length);
            painter.setPen(QPen(QColor::fromRgb(MapColours::shortPath), width, Qt::SolidLine, Qt::FlatCap));
            painter.drawLine(c, c + dir * radius_);
            painter.setPen(QPen(QColor::fromRgb(MapColours::longPath), width, Qt::DashLine, Qt::FlatCap));
            painter.drawLine(c, c - dir * radius_);
        }
        break;
    }
    case StationGeometry::SamePlace:
        break;
    }

    // Both stations over the paths.
    drawMarker(painter, c, MapColours::ownStation);
    drawMarker(painter, at, MapColours::otherStation);
    const double dot = markerRadius(size_);
    if (!other.label.isEmpty()) {
        QFont font = painter.font();
        font.setPixelSize(std::max(10, static_cast<int>(std::lround(15 * scale))));
        font.setBold(true);
        painter.setFont(font);
        // Dark under light so the label reads on land, sea and night alike.
        const QPointF textAt = at + QPointF(dot + 3 * scale, -dot - 2 * scale);
        painter.setPen(Qt::black);
        painter.drawText(textAt + QPointF(1, 1), other.label);
        painter.setPen(QColor::fromRgb(MapColours::otherStation));
        painter.drawText(textAt, other.label);
    }
    painter.restore();
}

void AzimuthalMap::drawNeedle(QPainter& painter, double bearingDegrees) const
{
    painter.save();
    painter.setRenderHint(QPainter::Antialiasing);
    const double scale = size_ / 1024.0;
    const double width = std::max(3.0, 5 * scale);
    const double radians = bearingDegrees * std::numbers::pi / 180;
    // Image y grows downwards: north is up, east to the right.
    const QPointF dir(std::sin(radians), -std::cos(radians));
    const QPointF side(-dir.y(), dir.x());
    const QPointF c = centrePixel();
    const QPointF tip = c + dir * (radius_ * 0.92);
    const double head = std::max(8.0, 22 * scale);
    const QPolygonF arrow{tip, tip - dir * head + side * (head * 0.45), tip - dir * head - side * (head * 0.45)};
    // Dark under bright, so the needle reads on land, sea and night alike.
    for (const bool outline : {true, false}) {
        const QColor colour = outline ? QColor(Qt::black) : QColor::fromRgb(MapColours::antenna);
        painter.setPen(QPen(colour, outline ? width + 2 : width, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
        painter.setBrush(colour);
        painter.drawLine(c, tip - dir * (head * 0.5));
        painter.drawPolygon(arrow);
    }
    painter.restore();
}

}  // namespace skybrant
