// Points on the map: a small filled marker with a dark outline per place,
// and the labels beside them where they leave each other room.
#include "azimuthal_map.h"
#include "point_sprites.h"

#include <QPainter>

#include <algorithm>
#include <cmath>
#include <memory>
#include <vector>

namespace skybrant {

namespace {

// Room between a marker and its label.
constexpr double kLabelGap = 2;

// The labels placed so far, filed under the cells of a coarse grid they
// cover, so that a new one is checked against its neighbours only: two
// thousand labels cost a few thousand comparisons, not millions.
class LabelRoom {
public:
    explicit LabelRoom(int sizePixels)
        : columns_(std::max(1, static_cast<int>(std::ceil(sizePixels / kCell)))),
          cells_(static_cast<std::size_t>(columns_) * static_cast<std::size_t>(columns_))
    {
    }

    // Whether no label placed before covers any of rect.
    bool isFree(const QRectF& rect)
    {
        bool free = true;
        forCells(rect, [&](std::vector<QRectF>& cell) {
            free = free &&
                std::none_of(cell.begin(), cell.end(), [&](const QRectF& placed) { return placed.intersects(rect); });
        });
        return free;
    }

    // Takes the room of a label when none placed before covers it.
    bool take(const QRectF& rect)
    {
        if (!isFree(rect)) {
            return false;
        }
        forCells(rect, [&](std::vector<QRectF>& cell) { cell.push_back(rect); });
        return true;
    }

private:
    // Calls visit with each cell rect covers.
    template <typename Visit>
    void forCells(const QRectF& rect, Visit&& visit)
    {
        for (int y = cell(rect.top()); y <= cell(rect.bottom()); ++y) {
            for (int x = cell(rect.left()); x <= cell(rect.right()); ++x) {
                visit(at(x, y));
            }
        }
    }

    static constexpr double kCell = 48;

    int cell(double coordinate) const
    {
        return std::clamp(static_cast<int>(std::floor(coordinate / kCell)), 0, columns_ - 1);
    }
    std::vector<QRectF>& at(int x, int y)
    {
        return cells_[static_cast<std::size_t>(y) * static_cast<std::size_t>(columns_) + static_cast<std::size_t>(x)];
    }

    int columns_;
    std::vector<std::vector<QRectF>> cells_;
};

using Pixels = std::vector<std::vector<QPointF>>;

bool drawn(const MapPoint& point)
{
    return point.opacity > 0 && std::isfinite(point.position.latDegrees) && std::isfinite(point.position.lonDegrees);
}

// The top left corner that puts an image's middle pixel on the pixel
// holding a point.
QPoint cornerFor(QPointF at, const QImage& image)
{
    return {static_cast<int>(std::floor(at.x())) - (image.width() - 1) / 2,
        static_cast<int>(std::floor(at.y())) - (image.height() - 1) / 2};
}

// Sets the painter's opacity when a point's differs from the last one's.
void fadeTo(QPainter& painter, float& opacity, float wanted)
{
    if (wanted != opacity) {
        opacity = wanted;
        painter.setOpacity(std::min(1.0F, opacity));
    }
}

// Each layer's first point last, so that it lies on top.
void drawMarkers(QPainter& painter, PointSprites& sprites, std::span<const PointSet> layers, const Pixels& pixels,
    double radius, double outline)
{
    float opacity = 1;
    painter.setOpacity(opacity);
    for (std::size_t i = 0; i < layers.size(); ++i) {
        const PointSet& layer = layers[i];
        for (std::size_t k = layer.points.size(); k-- > 0;) {
            const MapPoint& point = layer.points[k];
            if (drawn(point)) {
                const QImage& marker = sprites.marker(point.colour, layer.shape, radius, outline);
                fadeTo(painter, opacity, point.opacity);
                painter.drawImage(cornerFor(pixels[i][k], marker), marker);
            }
        }
    }
}

// The top layer's labels claim their room first, each layer's first point's
// before the rest.
void drawLabels(QPainter& painter, PointSprites& sprites, std::span<const PointSet> layers, const Pixels& pixels,
    double radius, int sizePixels)
{
    LabelRoom room(sizePixels);
    const QFont font = painter.font();
    const double labelHeight = sprites.labelSize(QString(), font).height();
    float opacity = 1;
    painter.setOpacity(opacity);
    for (std::size_t i = layers.size(); i-- > 0;) {
        const PointSet& layer = layers[i];
        const double beside = (layer.shape == PointShape::Dot ? radius : radius * 1.35) + kLabelGap;
        for (std::size_t k = 0; k < layer.points.size(); ++k) {
            const MapPoint& point = layer.points[k];
            if (!drawn(point) || point.label.isEmpty()) {
                continue;
            }
            const QPointF at = pixels[i][k];
            // A label whose start is taken already is not measured, as most
            // of a crowded map's are not: a strip of every label's room,
            // whatever its text. Only the labels placed are drawn.
            if (!room.isFree(QRectF(at.x() + beside + 1, at.y() - labelHeight / 2 + 1, 2, labelHeight - 3))) {
                continue;
            }
            const QSize size = sprites.labelSize(point.label, font);
            const QPoint corner(static_cast<int>(std::lround(at.x() + beside)),
                static_cast<int>(std::lround(at.y() - (size.height() - 1) / 2.0)));
            if (room.take(QRectF(corner, size))) {
                fadeTo(painter, opacity, point.opacity);
                painter.drawImage(corner, sprites.label(point.label, point.colour, font));
            }
        }
    }
}

}  // namespace

double AzimuthalMap::pointRadius() const
{
    return std::max(2.5, 4 * size_ / 1024.0);
}

void AzimuthalMap::drawPoints(QPainter& painter, std::span<const PointSet> layers) const
{
    if (!sprites_) {
        sprites_ = std::make_shared<PointSprites>();
    }
    // Each point's pixel, projected once for its marker and its label.
    Pixels pixels(layers.size());
    for (std::size_t i = 0; i < layers.size(); ++i) {
        pixels[i].reserve(layers[i].points.size());
        for (const MapPoint& point : layers[i].points) {
            pixels[i].push_back(drawn(point) ? pixelOf(point.position) : QPointF());
        }
    }
    painter.save();
    drawMarkers(painter, *sprites_, layers, pixels, pointRadius(), std::max(1.0, size_ / 1024.0));
    drawLabels(painter, *sprites_, layers, pixels, pointRadius(), size_);
    painter.restore();
}

}  // namespace skybrant
