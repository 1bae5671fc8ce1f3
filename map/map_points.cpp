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

    // Takes the room of a label when none placed before covers it.
    bool take(const QRectF& rect)
    {
        const int left = cell(rect.left());
        const int right = cell(rect.right());
        const int top = cell(rect.top());
        const int bottom = cell(rect.bottom());
        for (int y = top; y <= bottom; ++y) {
            for (int x = left; x <= right; ++x) {
                for (const QRectF& placed : at(x, y)) {
                    if (placed.intersects(rect)) {
                        return false;
                    }
                }
            }
        }
        for (int y = top; y <= bottom; ++y) {
            for (int x = left; x <= right; ++x) {
                at(x, y).push_back(rect);
            }
        }
        return true;
    }

private:
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
    painter.save();
    const double r = pointRadius();
    const double outline = std::max(1.0, size_ / 1024.0);
    // Each layer's first point last, so that it lies on top.
    for (const PointSet& layer : layers) {
        for (auto it = layer.points.rbegin(); it != layer.points.rend(); ++it) {
            const MapPoint& point = *it;
            if (!drawn(point)) {
                continue;
            }
            const QImage& marker = sprites_->marker(point.colour, layer.shape, r, outline);
            painter.setOpacity(std::min(1.0F, point.opacity));
            painter.drawImage(cornerFor(pixelOf(point.position), marker), marker);
        }
    }

    // The top layer's labels claim their room first.
    LabelRoom room(size_);
    const QFont font = painter.font();
    for (std::size_t i = layers.size(); i-- > 0;) {
        const PointSet& layer = layers[i];
        const double beside = (layer.shape == PointShape::Dot ? r : r * 1.35) + kLabelGap;
        for (const MapPoint& point : layer.points) {
            if (!drawn(point) || point.label.isEmpty()) {
                continue;
            }
            const QImage& label = sprites_->label(point.label, point.colour, font);
            const QPointF at = pixelOf(point.position);
            const QPoint corner(static_cast<int>(std::lround(at.x() + beside)),
                static_cast<int>(std::lround(at.y() - (label.height() - 1) / 2.0)));
            if (!room.take(QRectF(corner, label.size()))) {
                continue;
            }
            painter.setOpacity(std::min(1.0F, point.opacity));
            painter.drawImage(corner, label);
        }
    }
    painter.restore();
}

}  // namespace skybrant
