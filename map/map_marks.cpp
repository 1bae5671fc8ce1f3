// The base's marks over the earth: the distance rings, the sun overhead and
// the line on missing earth images.
#include "azimuthal_map.h"
#include "distance_rings.h"

#include "core/sun.h"

#include <QFontMetricsF>
#include <QPainter>

#include <algorithm>
#include <cmath>
#include <numbers>

namespace skybrant {

namespace {

// Below this the line on missing images is too small to read; the map
// then goes without it, and only the caller's note tells.
constexpr int kSmallestNoticePixels = 7;

// The label in light over dark, so that it reads on ice as on sea.
void drawLabel(QPainter& painter, QPointF at, const QString& text, QRgb colour)
{
    painter.setPen(Qt::black);
    painter.drawText(at + QPointF(1, 1), text);
    painter.setPen(QColor::fromRgba(colour));
    painter.drawText(at, text);
}

}  // namespace

void AzimuthalMap::drawRings(QPainter& painter) const
{
    if (!rings_) {
        return;
    }
    const QPointF c = centrePixel();
    const double scale = size_ / 1024.0;
    for (const DistanceRing& ring : distanceRings(unit_)) {
        const double r = ring.arcDegrees / 180 * radius_;
        painter.setPen(QPen(QColor::fromRgba(MapColours::rings), std::max(1.0, scale), Qt::DotLine));
        painter.setBrush(Qt::NoBrush);
        painter.drawEllipse(c, r, r);
        drawLabel(painter, QPointF(c.x() + 4 * scale, c.y() + r - 4 * scale), ring.label, MapColours::rings);
    }
}

void AzimuthalMap::drawSun(QPainter& painter) const
{
    if (!nightTime_) {
        return;
    }
    const SubsolarPoint overhead = subsolarPoint(*nightTime_);
    const QPointF at = pixelOf(positionFromDegrees(overhead.latDegrees, overhead.lonDegrees));
    const double scale = size_ / 1024.0;
    const double r = std::max(3.5, 6 * scale);
    const double width = std::max(1.0, 1.5 * scale);
    const QColor sun = QColor::fromRgb(MapColours::sun);
    painter.save();
    // A disc with eight rays, dark under light so it shows by day and by
    // night alike.
    for (const bool outline : {true, false}) {
        painter.setPen(
            QPen(outline ? QColor(Qt::black) : sun, outline ? width + 2 : width, Qt::SolidLine, Qt::RoundCap));
        for (int k = 0; k < 8; ++k) {
            const double t = k * std::numbers::pi / 4;
            const QPointF dir(std::cos(t), std::sin(t));
            painter.drawLine(at + dir * (r * 1.45), at + dir * (r * 2.2));
        }
    }
    painter.setPen(QPen(Qt::black, width));
    painter.setBrush(sun);
    painter.drawEllipse(at, r, r);
    painter.restore();
}

void AzimuthalMap::drawMissingImages(QPainter& painter) const
{
    const QString& line = images_->mapLine;
    if (line.isEmpty()) {
        return;
    }
    // In the bottom left corner, outside the disc and left of the compass
    // rose's 180: on one line where it fits, else broken after the colon,
    // and smaller where even that would not fit.
    const double scale = size_ / 1024.0;
    const double pad = std::max(2.0, 4 * scale);
    QFont font = painter.font();
    const int fullPixels = font.pixelSize();
    const double southLabelLeft = centrePixel().x() - QFontMetricsF(font).horizontalAdvance(QStringLiteral("180")) / 2;
    const double room = southLabelLeft - 2 * pad;
    const auto widest = [&font](const QStringList& lines) {
        const QFontMetricsF metrics(font);
        double w = 0;
        for (const QString& l : lines) {
            w = std::max(w, metrics.horizontalAdvance(l));
        }
        return w;
    };
    QStringList lines{line};
    if (widest(lines) > room) {
        const qsizetype colon = line.indexOf(QLatin1Char(':'));
        lines = QStringList{line.left(colon + 1), line.mid(colon + 1).trimmed()};
        const double needed = widest(lines);
        if (needed > room) {
            font.setPixelSize(static_cast<int>(std::floor(fullPixels * room / needed)));
        }
    }
    if (font.pixelSize() < kSmallestNoticePixels || widest(lines) > room) {
        return;
    }
    painter.save();
    painter.setFont(font);
    const QFontMetricsF metrics(font);
    // The last line's descent just clear of the picture's bottom edge.
    double baseline = size_ - pad - metrics.descent() - static_cast<double>(lines.size() - 1) * metrics.lineSpacing();
    for (const QString& text : lines) {
        drawLabel(painter, QPointF(pad, baseline), text, MapColours::notice);
        baseline += metrics.lineSpacing();
    }
    painter.restore();
}

}  // namespace skybrant
