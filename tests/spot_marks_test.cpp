// The cluster's spots on the map window's map, from a cluster written in the
// test on a loopback port: each marker where the projection puts its
// station, in its band's colour, newest label first; the hover text with the
// figures the compute flow gives; a click makes it the other station, the
// map's menu turns Hamlib's dummy rotator to it; markers fade and go.

#include "aim/station_text.h"
#include "core/report.h"
#include "fake_cluster.h"
#include "map/band_colours.h"
#include "rotator_panel_window.h"
#include "ui/cluster_panel.h"
#include "ui/cluster_spot_list.h"
#include "ui/map_view.h"
#include "ui/spot_marks.h"

#include <QAction>
#include <QComboBox>
#include <QLineEdit>
#include <QMenu>
#include <QPushButton>
#include <QTest>
#include <QTreeWidget>

#include <gtest/gtest.h>

#include <chrono>
#include <cmath>

namespace {

using namespace std::chrono_literals;
using skybrant::Position;
using skybrant::aim::Source;
using skybrant::cluster::testing::FakeCluster;
using skybrant::testing::MemoryStore;
using skybrant::testing::PanelWindow;
using skybrant::testing::RestartableRotctld;
using skybrant::testing::waitUntil;
using skybrant::ui::PointLayer;

const std::chrono::sys_seconds kStart = std::chrono::sys_days{std::chrono::year{2026} / 12 / 10} + 18h;

// Three bands, three continents; the newest from a skimmer.
constexpr const char* kThreeSpots = "DX de PY2XX: 28074.0 ZS6ZZ FT8 1801Z KG44\r\n"
                                    "DX de DL1ABC: 7025.1 K1AB CW 1802Z DM79\r\n"
                                    "DX de DL2XYZ-#: 14074 W1AW FT8 1803Z FN31\r\n";

Position at(const char* text)
{
    return skybrant::aim::readStationText(text, nullptr, Source::Typed).station.value().position;
}

struct SpotWindow {
    explicit SpotWindow(MemoryStore& store) : window(store)
    {
        window.window.setClock([this] { return now; });
        window.window.model().request(skybrant::aim::SetOwn{at("JO01mm")});
    }
    skybrant::ui::MapView& view() { return *window.window.view(); }
    skybrant::ui::SpotMarks& spots() { return *window.window.spots(); }
    const std::vector<skybrant::MapPoint>& points() { return view().points(PointLayer::Spots); }
    bool connectTo(const FakeCluster& cluster)
    {
        window.find<QLineEdit>("clusterAddress")->setText(cluster.address());
        window.find<QLineEdit>("clusterCallsign")->setText(QStringLiteral("g4abc"));
        QTest::mouseClick(window.find<QPushButton>("clusterConnect"), Qt::LeftButton);
        return waitUntil([&] { return cluster.received.contains("G4ABC\r\n"); }, 5s);
    }
    // Connected to cluster, which then sends the spots given; true once
    // the map shows as many markers as there are spots.
    bool showSpots(FakeCluster& cluster, const char* lines, std::size_t count)
    {
        if (!connectTo(cluster)) {
            return false;
        }
        cluster.send(lines);
        return waitUntil([&] { return points().size() == count; }, 5s);
    }
    void setNow(std::chrono::sys_seconds t)
    {
        now = t;
        // The panel's expiry and the markers' fading both follow the clock.
        QTest::qWait(1200);
        spots().refresh();
    }

    std::chrono::system_clock::time_point now = kStart;
    PanelWindow window;
};

TEST(SpotMarks, StandWhereTheirStationsAreAndTurnTheAntenna)
{
    RestartableRotctld daemon;
    MemoryStore store;
    SpotWindow w(store);
    FakeCluster cluster;
    ASSERT_TRUE(w.showSpots(cluster, kThreeSpots, 3));

    const struct {
        const char* call;
        const char* grid;
        const char* band;
        const char* spotter;
    } spots[] = {
        {"W1AW", "FN31", "20m", "DL2XYZ"},
        {"K1AB", "DM79", "40m", "DL1ABC"},
        {"ZS6ZZ", "KG44", "10m", "PY2XX"},
    };
    const QImage shown = w.view().grab().toImage();
    for (std::size_t i = 0; i < std::size(spots); ++i) {
        const auto& s = spots[i];
        SCOPED_TRACE(s.call);
        const skybrant::MapPoint& point = w.points()[i];
        EXPECT_EQ(point.label, QLatin1String(s.call)) << "newest first";
        EXPECT_EQ(point.colour, skybrant::bandColour(s.band));
        EXPECT_EQ(point.opacity, 1.0F);
        // The marker's middle, where the projection puts the grid, in the band's colour.
        const QPoint pixel = w.view().widgetPointOf(at(s.grid)).toPoint();
        EXPECT_EQ(shown.pixel(pixel) & 0xffffffU, skybrant::bandColour(s.band) & 0xffffffU);
        const auto hit = w.view().pointAt(pixel);
        ASSERT_TRUE(hit.has_value());
        EXPECT_EQ(hit->layer, PointLayer::Spots);
        EXPECT_EQ(hit->index, i);

        // The hover names the spot with the figures the compute flow gives.
        skybrant::ReportOptions options;
        options.longPath = true;
        const skybrant::Report r = skybrant::makeReport(at("JO01mm"), at(s.grid), options);
        const QString tip = w.view().pointTip(PointLayer::Spots, i);
        EXPECT_TRUE(tip.startsWith(QStringLiteral("%1 on ").arg(QLatin1String(s.call)))) << tip.toStdString();
        EXPECT_TRUE(tip.contains(QStringLiteral("(%1), spotted by %2 just now").arg(s.band, s.spotter)))
            << tip.toStdString();
        EXPECT_TRUE(tip.contains(QStringLiteral("Short path %1\u00b0").arg(std::lround(r.ownToOther.value))))
            << tip.toStdString();
        EXPECT_TRUE(tip.contains(QStringLiteral("long path %1\u00b0").arg(std::lround(r.longHeading.value))))
            << tip.toStdString();
    }

    // A click on a marker makes its station the other station.
    QTest::mouseClick(&w.view(), Qt::LeftButton, {}, w.view().widgetPointOf(at("DM79")).toPoint());
    const auto& model = w.window.window.model();
    ASSERT_TRUE(model.other().has_value());
    EXPECT_EQ(model.other()->label, "K1AB");
    EXPECT_EQ(model.other()->source, Source::Clicked);
    EXPECT_EQ(model.other()->position.latDegrees, at("DM79").latDegrees);
    EXPECT_EQ(model.other()->position.lonDegrees, at("DM79").lonDegrees);

    // The menu over a spot turns the antenna to it along the path asked.
    w.window.connectTo(daemon.port);
    ASSERT_TRUE(w.window.connectedWithPosition());
    QMenu* menu = w.spots().menuFor(0, &w.view());
    ASSERT_NE(menu, nullptr);
    const QList<QAction*> actions = menu->actions();
    ASSERT_EQ(actions.size(), 3);
    EXPECT_EQ(actions[0]->text(), QStringLiteral("Make W1AW the other station"));
    EXPECT_TRUE(actions[2]->text().startsWith(QStringLiteral("Turn to W1AW, long path (")))
        << actions[2]->text().toStdString();
    EXPECT_EQ(actions[2]->shortcut(), QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_T));
    actions[2]->trigger();
    delete menu;
    EXPECT_EQ(model.other()->label, "W1AW");
    const auto longHeading = model.pathHeading(true);
    ASSERT_TRUE(longHeading.has_value());
    EXPECT_EQ(model.antenna().turnHeading(), *longHeading);
    EXPECT_TRUE(waitUntil([&] { return std::abs(w.window.heading() - *longHeading) < 3; }, 30s)) << w.window.heading();
}

TEST(SpotMarks, FadeWithAgeAndGoWhenTheirTimeIsUp)
{
    MemoryStore store;
    store.values[{"Cluster", "SpotMinutes"}] = "30";
    SpotWindow w(store);
    FakeCluster cluster;
    ASSERT_TRUE(w.showSpots(cluster, "DX de DL1ABC: 14074 W1AW FT8 1803Z FN31\r\n", 1));

    const struct {
        const char* name;
        std::chrono::minutes later;
        float opacity;  // -1: gone
    } cases[] = {
        {"just heard", 0min, 1.0F},
        {"half its time", 15min, 0.625F},
        {"nearly gone", 29min, 0.275F},
        {"gone", 31min, -1},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        w.setNow(kStart + c.later);
        if (c.opacity < 0) {
            EXPECT_TRUE(w.points().empty());
        } else {
            ASSERT_EQ(w.points().size(), 1U);
            EXPECT_NEAR(w.points()[0].opacity, c.opacity, 0.01);
        }
    }
}

TEST(SpotMarks, ShowWhatTheListShowsAndTheKeysTurnToTheSpotChosen)
{
    MemoryStore store;
    SpotWindow w(store);
    FakeCluster cluster;
    ASSERT_TRUE(w.showSpots(cluster, kThreeSpots, 3));
    auto* bands = w.window.find<QComboBox>("clusterBandFilter");
    const struct {
        const char* name;
        const char* band;  // empty for all
        QStringList calls;
    } cases[] = {
        {"one band", "20m", {"W1AW"}},
        {"another", "10m", {"ZS6ZZ"}},
        {"all again", "", {"W1AW", "K1AB", "ZS6ZZ"}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        bands->setCurrentIndex(bands->findData(QString::fromLatin1(c.band)));
        QStringList calls;
        for (const skybrant::MapPoint& point : w.points()) {
            calls << point.label;
        }
        EXPECT_EQ(calls, c.calls);
    }

    // With the pointer off the map, Ctrl+T turns to the spot chosen in the list.
    QTreeWidget* tree = w.window.window.cluster()->list()->tree();
    tree->setCurrentItem(tree->topLevelItem(1));
    QTest::keyClick(&w.window.window, Qt::Key_T, Qt::ControlModifier);
    const auto& model = w.window.window.model();
    ASSERT_TRUE(model.other().has_value());
    EXPECT_EQ(model.other()->label, "K1AB");
    ASSERT_TRUE(model.lastAntennaRequest().has_value());
    EXPECT_EQ(model.lastAntennaRequest()->kind, skybrant::aim::AimingModel::AntennaRequest::Kind::Turn);
    EXPECT_EQ(model.lastAntennaRequest()->source, Source::Clicked);
}

}  // namespace
