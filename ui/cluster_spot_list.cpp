#include "cluster_spot_list.h"

#include "core/report.h"
#include "core/report_text.h"
#include "std_text.h"

#include <QComboBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QTreeWidget>
#include <QVBoxLayout>

#include <algorithm>
#include <utility>
#include <vector>

namespace skybrant::ui {

namespace {

// The heading and distance next to the call, where a narrow page shows them.
enum Column { Time, Frequency, Dx, Heading, Distance, Band, Continent, Spotter, Columns };

constexpr int kSerialRole = Qt::UserRole;

// The time the cluster gave ("1234Z"), else when it was heard here.
QString timeText(const BoardSpot& s)
{
    int minute = 0;
    if (s.spot.minuteOfDay) {
        minute = *s.spot.minuteOfDay;
    } else {
        const auto sinceMidnight = s.heard - std::chrono::floor<std::chrono::days>(s.heard);
        minute = static_cast<int>(std::chrono::duration_cast<std::chrono::minutes>(sinceMidnight).count());
    }
    return QStringLiteral("%1%2Z").arg(minute / 60, 2, 10, QLatin1Char('0')).arg(minute % 60, 2, 10, QLatin1Char('0'));
}

QTreeWidgetItem* rowOf(const BoardSpot& s, const Position& own, DistanceUnit unit)
{
    // The figures as the station panel shows a place under the pointer.
    ReportOptions options;
    options.unit = unit;
    const Report r = makeReport(own, s.position, options);
    const QString heading =
        r.ownToOther.shown ? fromStd(figureText(r.ownToOther)) + QStringLiteral("\u00b0") : QStringLiteral("\u2014");
    QStringList texts(Columns);
    texts[Time] = timeText(s);
    texts[Frequency] = QString::number(s.spot.frequencyKhz, 'f', 1);
    texts[Dx] = fromStd(s.spot.dxCall);
    texts[Spotter] = fromStd(s.spot.spotter);
    texts[Band] = fromStd(s.band);
    texts[Continent] = fromStd(s.continent);
    texts[Heading] = heading;
    texts[Distance] = fromStd(figureText(r.distance)) + u' ' + fromStd(unitSymbol(unit));
    auto* item = new QTreeWidgetItem(texts);
    item->setData(0, kSerialRole, QVariant::fromValue(static_cast<qulonglong>(s.serial)));
    for (const int column : {Frequency, Heading, Distance}) {
        item->setTextAlignment(column, Qt::AlignRight | Qt::AlignVCenter);
    }
    if (!s.spot.comment.empty()) {
        item->setToolTip(Dx, fromStd(s.spot.comment));
    }
    return item;
}

QComboBox* filterBox(QWidget* parent, const char* name, const QString& all, const QString& accessible)
{
    auto* box = new QComboBox(parent);
    box->setObjectName(QLatin1String(name));
    box->setAccessibleName(accessible);
    box->addItem(all, QString());
    return box;
}

}  // namespace

ClusterSpotList::ClusterSpotList(const SpotBoard& board, aim::AimingModel& model, QWidget* parent)
    : QWidget(parent), board_(board), model_(model)
{
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    auto* filters = new QHBoxLayout;
    bands_ = filterBox(this, "clusterBandFilter", QStringLiteral("All bands"), QStringLiteral("Show spots on band"));
    continents_ = filterBox(
        this, "clusterContinentFilter", QStringLiteral("All continents"), QStringLiteral("Show spots from continent"));
    for (const char* continent : {"AF", "AN", "AS", "EU", "NA", "OC", "SA"}) {
        continents_->addItem(QLatin1String(continent), QLatin1String(continent));
    }
    filters->addWidget(new QLabel(QStringLiteral("Show:"), this));
    filters->addWidget(bands_, 1);
    filters->addWidget(continents_, 1);
    layout->addLayout(filters);

    tree_ = new QTreeWidget(this);
    tree_->setObjectName(QStringLiteral("clusterSpots"));
    tree_->setAccessibleName(QStringLiteral("Spots, newest first"));
    tree_->setRootIsDecorated(false);
    tree_->setUniformRowHeights(true);
    tree_->setSortingEnabled(false);
    // Titled by the same names the rows are filled by, so the two cannot part.
    QStringList titles(Columns);
    titles[Time] = QStringLiteral("UTC");
    titles[Frequency] = QStringLiteral("kHz");
    titles[Dx] = QStringLiteral("DX");
    titles[Heading] = QStringLiteral("Heading");
    titles[Distance] = QStringLiteral("Distance");
    titles[Band] = QStringLiteral("Band");
    titles[Continent] = QStringLiteral("Cont.");
    titles[Spotter] = QStringLiteral("Spotter");
    tree_->setHeaderLabels(titles);
    tree_->header()->setSectionResizeMode(QHeaderView::ResizeToContents);
    tree_->setMinimumHeight(160);
    layout->addWidget(tree_, 1);

    const auto filterChanged = [this] {
        shownOnce_ = false;
        refresh();
        if (onFilterChanged) {
            onFilterChanged();
        }
    };
    connect(bands_, &QComboBox::currentIndexChanged, this, filterChanged);
    connect(continents_, &QComboBox::currentIndexChanged, this, filterChanged);
    connect(tree_, &QTreeWidget::itemActivated, this, [this](QTreeWidgetItem* item) { pick(item); });
    // The figures follow the own station and the unit.
    subscription_ = model_.subscribe([this](unsigned changes) {
        if ((changes & (aim::OwnChanged | aim::UnitChanged)) != 0) {
            rebuild();
        }
    });
}

ClusterSpotList::~ClusterSpotList()
{
    model_.unsubscribe(subscription_);
}

SpotFilter ClusterSpotList::filter() const
{
    SpotFilter f;
    if (const QString band = bands_->currentData().toString(); !band.isEmpty()) {
        f.bands.insert(band.toStdString());
    }
    if (const QString continent = continents_->currentData().toString(); !continent.isEmpty()) {
        f.continents.insert(continent.toStdString());
    }
    return f;
}

void ClusterSpotList::refresh()
{
    if (shownOnce_ && board_.changes() == shownChanges_) {
        return;
    }
    noteBands();
    rebuild();
}

// Adds the bands first heard since the last refresh to the band filter.
void ClusterSpotList::noteBands()
{
    bool added = false;
    for (const BoardSpot* s : board_.spots()) {
        if (s->band.empty()) {
            continue;
        }
        const auto [at, fresh] = seenBands_.try_emplace(s->band, s->spot.frequencyKhz);
        at->second = std::min(at->second, s->spot.frequencyKhz);
        added = added || fresh;
    }
    if (!added) {
        return;
    }
    std::vector<std::pair<double, std::string>> ordered;
    ordered.reserve(seenBands_.size());
    for (const auto& band : seenBands_) {
        ordered.emplace_back(band.second, band.first);
    }
    std::sort(ordered.begin(), ordered.end());
    const QString chosen = bands_->currentData().toString();
    const QSignalBlocker quiet(bands_);
    while (bands_->count() > 1) {
        bands_->removeItem(1);
    }
    for (const auto& band : ordered) {
        bands_->addItem(fromStd(band.second), fromStd(band.second));
    }
    bands_->setCurrentIndex(std::max(0, bands_->findData(chosen)));
}

void ClusterSpotList::rebuild()
{
    const QVariant selected = tree_->currentItem() != nullptr ? tree_->currentItem()->data(0, kSerialRole) : QVariant();
    const std::vector<const BoardSpot*> shown = board_.filtered(filter());
    QList<QTreeWidgetItem*> rows;
    rows.reserve(static_cast<qsizetype>(shown.size()));
    QTreeWidgetItem* reselect = nullptr;
    for (const BoardSpot* s : shown) {
        rows.append(rowOf(*s, model_.own(), model_.unit()));
        if (selected.isValid() && rows.back()->data(0, kSerialRole) == selected) {
            reselect = rows.back();
        }
    }
    // One change of the whole list rather than a repaint per row.
    tree_->setUpdatesEnabled(false);
    tree_->clear();
    tree_->addTopLevelItems(rows);
    if (reselect != nullptr) {
        tree_->setCurrentItem(reselect);
    }
    tree_->setUpdatesEnabled(true);
    shownChanges_ = board_.changes();
    shownOnce_ = true;
}

void ClusterSpotList::pick(QTreeWidgetItem* item)
{
    if (const BoardSpot* spot = spotOf(item)) {
        model_.request(aim::SetOther{spotStation(*spot, aim::Source::Clicked)});
    }
}

const BoardSpot* ClusterSpotList::spotOf(const QTreeWidgetItem* item) const
{
    if (item == nullptr) {
        return nullptr;
    }
    const auto serial = item->data(0, kSerialRole).toULongLong();
    for (const BoardSpot* s : board_.spots()) {
        if (s->serial == serial) {
            return s;
        }
    }
    return nullptr;
}

const BoardSpot* ClusterSpotList::selected() const
{
    return spotOf(tree_->currentItem());
}

aim::OtherStation spotStation(const BoardSpot& spot, aim::Source source)
{
    aim::OtherStation other;
    other.position = spot.position;
    other.label = spot.spot.dxCall;
    other.name = spot.entity.empty() ? other.label : other.label + ", " + spot.entity;
    other.approximate = spot.approximate;
    if (spot.approximate) {
        other.utcOffsetHours = spot.utcOffsetHours;
    }
    other.source = source;
    return other;
}

}  // namespace skybrant::ui
