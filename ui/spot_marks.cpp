#include "spot_marks.h"

#include "cluster_panel.h"
#include "cluster_spot_list.h"
#include "core/report.h"
#include "core/report_text.h"
#include "map/band_colours.h"
#include "map_view.h"
#include "std_text.h"

#include <QContextMenuEvent>
#include <QCursor>
#include <QKeySequence>
#include <QMenu>
#include <QShortcut>
#include <QWidget>

#include <algorithm>
#include <string_view>
#include <utility>

namespace skybrant::ui {

namespace {

// The faintest a spot fades to before it leaves the map.
constexpr float kFaintest = 0.25F;
// How often the markers are redrawn fainter.
constexpr std::chrono::seconds kFadeStep{20};

QString ageText(std::chrono::sys_seconds heard, std::chrono::sys_seconds now)
{
    const auto minutes = std::chrono::floor<std::chrono::minutes>(std::max(now - heard, std::chrono::seconds(0)));
    return minutes.count() == 0 ? QStringLiteral("just now") : QStringLiteral("%1 min ago").arg(minutes.count());
}

QString pathText(const char* path, const Figure& heading, const Figure& distance, DistanceUnit unit)
{
    const QString degrees =
        heading.shown ? fromStd(figureText(heading)) + QStringLiteral("\u00b0") : QStringLiteral("no heading");
    return QStringLiteral("%1 %2, %3 %4")
        .arg(QLatin1String(path), degrees, fromStd(figureText(distance)), fromStd(unitSymbol(unit)));
}

// The keys that turn the antenna to a spot, as the menu shows them too.
QKeySequence turnKey(bool longPath)
{
    return {longPath ? Qt::CTRL | Qt::SHIFT | Qt::Key_T : Qt::CTRL | Qt::Key_T};
}

}  // namespace

MapPoint spotPoint(const BoardSpot& spot, std::chrono::sys_seconds now, std::chrono::minutes keep)
{
    MapPoint point;
    point.position = spot.position;
    point.colour = bandColour(spot.band);
    const auto age = static_cast<float>(std::clamp(spot.ageFraction(now, keep), 0.0, 1.0));
    point.opacity = 1 - (1 - kFaintest) * age;
    point.label = fromStd(spot.spot.dxCall);
    return point;
}

QString spotTip(const BoardSpot& spot, const Position& own, DistanceUnit unit, std::chrono::sys_seconds now)
{
    const ClusterSpot& s = spot.spot;
    QString band = spot.band.empty() ? QString() : QStringLiteral(" (%1)").arg(fromStd(spot.band));
    QString text = QStringLiteral("%1 on %2 kHz%3, spotted by %4 %5")
                       .arg(fromStd(s.dxCall), QString::number(s.frequencyKhz, 'f', 1), band, fromStd(s.spotter),
                           ageText(spot.heard, now));
    if (!s.comment.empty()) {
        text += u'\n' + fromStd(s.comment);
    }
    if (!spot.entity.empty()) {
        text += u'\n' + fromStd(spot.entity) +
            (spot.approximate ? QStringLiteral(", at the country's reference point") : QString());
    }
    ReportOptions options;
    options.unit = unit;
    options.longPath = true;
    const Report r = makeReport(own, spot.position, options);
    text += u'\n' + pathText("Short path", r.ownToOther, r.distance, unit) + QStringLiteral("; ") +
        pathText("long path", r.longHeading, r.longDistance, unit);
    return text;
}

SpotMarks::SpotMarks(ClusterPanel& cluster, MapView& view, aim::AimingModel& model, Clock clock, QWidget* window)
    : QObject(window), cluster_(cluster), view_(view), model_(model), clock_(std::move(clock))
{
    cluster_.onSpotsChanged = [this] { refresh(); };
    // The map shows the spots the list shows.
    cluster_.list()->onFilterChanged = [this] { refresh(); };
    view_.installEventFilter(this);
    connect(&fade_, &QTimer::timeout, this, &SpotMarks::refresh);
    fade_.start(kFadeStep);
    for (const bool longPath : {false, true}) {
        auto* key = new QShortcut(turnKey(longPath), window);
        connect(key, &QShortcut::activated, this, [this, longPath] {
            if (const auto spot = keyTarget()) {
                turnTo(*spot, longPath);
            }
        });
    }
}

SpotMarks::~SpotMarks() = default;

void SpotMarks::refresh()
{
    const auto now = clock_();
    const auto keep = cluster_.spotTime();
    std::vector<MapPoint> points;
    shown_.clear();
    for (const BoardSpot* spot : cluster_.board().filtered(cluster_.list()->filter())) {
        shown_.push_back(*spot);
        points.push_back(spotPoint(*spot, now, keep));
    }
    view_.setPoints(PointLayer::Spots, std::move(points));
}

const BoardSpot* SpotMarks::spotAt(std::size_t index) const
{
    return index < shown_.size() ? &shown_[index] : nullptr;
}

QString SpotMarks::tip(std::size_t index) const
{
    const BoardSpot* spot = spotAt(index);
    return spot != nullptr ? spotTip(*spot, model_.own(), model_.unit(), clock_()) : QString();
}

bool SpotMarks::pick(std::size_t index)
{
    const BoardSpot* spot = spotAt(index);
    if (spot == nullptr) {
        return false;
    }
    pickSpot(*spot);
    return true;
}

void SpotMarks::turn(std::size_t index, bool longPath)
{
    if (const BoardSpot* spot = spotAt(index)) {
        turnTo(*spot, longPath);
    }
}

void SpotMarks::pickSpot(const BoardSpot& spot)
{
    model_.request(aim::SetOther{spotStation(spot, aim::Source::Clicked)});
}

void SpotMarks::turnTo(const BoardSpot& spot, bool longPath)
{
    pickSpot(spot);
    model_.request(aim::TurnAlong{longPath, aim::Source::Clicked});
}

QMenu* SpotMarks::menuFor(std::size_t index, QWidget* parent)
{
    const BoardSpot* spot = spotAt(index);
    if (spot == nullptr) {
        return nullptr;
    }
    const QString call = fromStd(spot->spot.dxCall);
    auto* menu = new QMenu(parent);
    menu->setAttribute(Qt::WA_DeleteOnClose);
    menu->addAction(QStringLiteral("Make %1 the other station").arg(call), this, [this, index] { pick(index); });
    ReportOptions options;
    options.longPath = true;
    const Report r = makeReport(model_.own(), spot->position, options);
    for (const bool longPath : {false, true}) {
        const Figure& heading = longPath ? r.longHeading : r.ownToOther;
        QString text = QStringLiteral("Turn to %1, %2")
                           .arg(call, longPath ? QStringLiteral("long path") : QStringLiteral("short path"));
        if (heading.shown) {
            text += QStringLiteral(" (%1\u00b0)").arg(fromStd(figureText(heading)));
        }
        QAction* action = menu->addAction(text, this, [this, index, longPath] { turn(index, longPath); });
        action->setShortcut(turnKey(longPath));
        action->setEnabled(heading.shown);
    }
    return menu;
}

bool SpotMarks::eventFilter(QObject* watched, QEvent* event)
{
    if (watched != &view_ || event->type() != QEvent::ContextMenu) {
        return QObject::eventFilter(watched, event);
    }
    const auto* menuEvent = static_cast<QContextMenuEvent*>(event);
    const auto hit = view_.pointAt(menuEvent->pos());
    if (!hit || hit->layer != PointLayer::Spots) {
        return false;
    }
    if (QMenu* menu = menuFor(hit->index, &view_)) {
        menu->popup(menuEvent->globalPos());
    }
    return true;
}

std::optional<BoardSpot> SpotMarks::keyTarget() const
{
    const QPoint at = view_.mapFromGlobal(QCursor::pos());
    if (view_.rect().contains(at)) {
        if (const auto hit = view_.pointAt(at); hit && hit->layer == PointLayer::Spots) {
            if (const BoardSpot* spot = spotAt(hit->index)) {
                return *spot;
            }
        }
    }
    const BoardSpot* chosen = cluster_.list()->selected();
    return chosen != nullptr ? std::optional(*chosen) : std::nullopt;
}

}  // namespace skybrant::ui
