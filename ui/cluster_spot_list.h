#pragma once

#include "aim/aiming_model.h"
#include "core/spot_board.h"

#include <QWidget>

#include <chrono>
#include <cstdint>
#include <functional>
#include <map>
#include <string>

class QComboBox;
class QTreeWidget;
class QTreeWidgetItem;

namespace skybrant::ui {

// The spots on the board as a list, newest first: time, frequency, DX call,
// spotter, band, continent, and the heading and distance from the model's
// own station; filtered by band and by continent. A double-click makes the
// spot's station the model's other station.
// The station of a spot as the model holds the other station: its call as
// the label, its country when the country file knows it, and the country's
// clock where it stands at the country's reference point.
aim::OtherStation spotStation(const BoardSpot& spot, aim::Source source);

class ClusterSpotList final : public QWidget {
public:
    ClusterSpotList(const SpotBoard& board, aim::AimingModel& model, QWidget* parent = nullptr);
    ~ClusterSpotList() override;
    ClusterSpotList(const ClusterSpotList&) = delete;
    ClusterSpotList& operator=(const ClusterSpotList&) = delete;

    // Shows the board as it is now unless the list shows it already.
    void refresh();
    // The filters as chosen: none in a set means all.
    SpotFilter filter() const;

    QTreeWidget* tree() const { return tree_; }
    // The spot of the row chosen in the list; none without one.
    const BoardSpot* selected() const;
    // Called when the user chooses other filters.
    std::function<void()> onFilterChanged;

private:
    void rebuild();
    void noteBands();
    void pick(QTreeWidgetItem* item);
    const BoardSpot* spotOf(const QTreeWidgetItem* item) const;

    const SpotBoard& board_;
    aim::AimingModel& model_;
    int subscription_ = -1;
    QComboBox* bands_ = nullptr;
    QComboBox* continents_ = nullptr;
    QTreeWidget* tree_ = nullptr;
    // The bands seen so far, by the lowest frequency heard on each, so that
    // the filter lists them in the order of the spectrum.
    std::map<std::string, double> seenBands_;
    std::uint64_t shownChanges_ = 0;
    bool shownOnce_ = false;
};

}  // namespace skybrant::ui
