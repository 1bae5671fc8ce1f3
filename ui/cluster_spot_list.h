#pragma once

#include "aim/aiming_model.h"
#include "core/spot_board.h"

#include <QWidget>

#include <chrono>
#include <cstdint>
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

private:
    void rebuild();
    void noteBands();
    void pick(QTreeWidgetItem* item);

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
