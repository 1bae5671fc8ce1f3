#include "point_sprites.h"

#include <QFontMetricsF>
#include <QPainter>
#include <QPointF>

#include <cmath>

namespace skybrant {

namespace {

// The outline of a marker, dark so that it shows on ice as on sea.
constexpr QRgb kOutline = 0xff101010;
// Past this many labels the oldest calls are let go all at once, so that
// a long session's changing spots do not hold their images for ever.
constexpr qsizetype kMostLabels = 8192;

}  // namespace

const QImage& PointSprites::marker(QRgb colour, PointShape shape, double radius, double outlineWidth)
{
    if (radius != markerRadius_ || outlineWidth != outlineWidth_) {
        markers_.clear();
        markerRadius_ = radius;
        outlineWidth_ = outlineWidth;
    }
    const quint64 key = (static_cast<quint64>(shape == PointShape::Dot ? 0 : 1) << 32U) | colour;
    auto found = markers_.find(key);
    if (found != markers_.end()) {
        return *found;
    }
    const double reach = shape == PointShape::Dot ? radius : radius * 1.35;
    const int side = 2 * static_cast<int>(std::ceil(reach + outlineWidth)) + 1;
    QImage image(side, side, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    QPainter painter(&image);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setPen(QPen(QColor::fromRgb(kOutline), outlineWidth));
    painter.setBrush(QColor::fromRgb(colour));
    const QPointF at(side / 2.0, side / 2.0);
    if (shape == PointShape::Dot) {
        painter.drawEllipse(at, radius, radius);
    } else {
        const QPointF corners[] = {
            at + QPointF(0, -reach), at + QPointF(reach, 0), at + QPointF(0, reach), at + QPointF(-reach, 0)};
        painter.drawConvexPolygon(corners, 4);
    }
    painter.end();
    return *markers_.insert(key, image);
}

void PointSprites::useFont(const QFont& font)
{
    if (!metrics_ || font != font_ || labels_.size() > kMostLabels || sizes_.size() > kMostLabels) {
        labels_.clear();
        sizes_.clear();
        font_ = font;
        metrics_.emplace(font);
    }
}

QSize PointSprites::labelSize(const QString& text, const QFont& font)
{
    useFont(font);
    if (const auto found = sizes_.constFind(text); found != sizes_.constEnd()) {
        return *found;
    }
    // One pixel more each way for the shadow.
    const QSize size(static_cast<int>(std::ceil(metrics_->horizontalAdvance(text))) + 1,
        static_cast<int>(std::ceil(metrics_->height())) + 1);
    sizes_.insert(text, size);
    return size;
}

const QImage& PointSprites::label(const QString& text, QRgb colour, const QFont& font)
{
    useFont(font);
    const auto key = std::make_pair(text, colour);
    auto found = labels_.find(key);
    if (found != labels_.end()) {
        return *found;
    }
    QImage image(labelSize(text, font), QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    QPainter painter(&image);
    painter.setFont(font);
    const QPointF baseline(0, metrics_->ascent());
    painter.setPen(Qt::black);
    painter.drawText(baseline + QPointF(1, 1), text);
    painter.setPen(QColor::fromRgb(colour).lighter(150));
    painter.drawText(baseline, text);
    painter.end();
    return *labels_.insert(key, image);
}

}  // namespace skybrant
