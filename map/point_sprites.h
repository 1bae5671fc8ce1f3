#pragma once

#include "map_points.h"

#include <QFont>
#include <QFontMetricsF>
#include <QHash>
#include <QImage>
#include <QString>

#include <optional>
#include <utility>

namespace skybrant {

// Markers and labels drawn once into small images and copied onto the map
// from then on: a redraw of thousands of points then costs a copy each,
// not a shape's or a text's layout each.
class PointSprites {
public:
    // A marker's image, the marker's centre in the middle of the middle
    // pixel; markers of radius (in pixels) and outline width.
    const QImage& marker(QRgb colour, PointShape shape, double radius, double outlineWidth);
    // The size of a label's image, found without drawing it.
    QSize labelSize(const QString& text, const QFont& font);
    // A label's image, light over a dark shadow, in a font.
    const QImage& label(const QString& text, QRgb colour, const QFont& font);

private:
    void useFont(const QFont& font);

    QHash<quint64, QImage> markers_;
    double markerRadius_ = 0;
    double outlineWidth_ = 0;
    QHash<std::pair<QString, QRgb>, QImage> labels_;
    QHash<QString, QSize> sizes_;
    QFont font_;
    std::optional<QFontMetricsF> metrics_;
};

}  // namespace skybrant
