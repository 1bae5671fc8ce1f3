// The antenna's beam width: kept in [Rotator] BeamWidth, set in the rotator
// panel, and drawn by the map around where the antenna points and where it
// is being turned to.
#include "rotator_panel_window.h"

#include "map/azimuthal_map.h"
#include "settings/rotator_settings.h"
#include "ui/map_view.h"

#include <QDoubleSpinBox>

#include <gtest/gtest.h>

#include <cmath>
#include <numbers>
#include <optional>

namespace {

using skybrant::settings::loadRotatorOptions;
using skybrant::settings::RotatorOptions;
using skybrant::settings::RotatorSetting;
using skybrant::testing::MemoryStore;
using skybrant::testing::PanelWindow;

const std::pair<QString, QString> kBeamWidthKey{QStringLiteral("Rotator"), QStringLiteral("BeamWidth")};

TEST(BeamWidthSetting, ReadDefaultedKeptWhenUnreadableAndSaved)
{
    struct Case {
        const char* name;
        std::optional<QString> saved;
        double width;
        bool understood;
    };
    const Case cases[] = {
        {"none saved", std::nullopt, 60, true},
        {"blank", QStringLiteral("  "), 60, true},
        {"a Yagi's", QStringLiteral("35"), 35, true},
        {"with spaces and a fraction", QStringLiteral(" 7.5 "), 7.5, true},
        {"a dish's", QStringLiteral("0.5"), 0.5, true},
        {"a vertical's whole circle", QStringLiteral("360"), 360, true},
        {"nothing", QStringLiteral("0"), 60, false},
        {"narrower than any antenna", QStringLiteral("0.2"), 60, false},
        {"more than a circle", QStringLiteral("400"), 60, false},
        {"negative", QStringLiteral("-30"), 60, false},
        {"words", QStringLiteral("wide"), 60, false},
        {"not a number", QStringLiteral("nan"), 60, false},
        {"infinite", QStringLiteral("inf"), 60, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        MemoryStore store;
        if (c.saved) {
            store.values[kBeamWidthKey] = *c.saved;
        }
        RotatorOptions options = loadRotatorOptions(store);
        EXPECT_EQ(options.beamWidth, c.width);
        const QString said = unreadText(options);
        EXPECT_EQ(said.contains(QStringLiteral("beam width")), !c.understood) << said.toStdString();
        QString error;
        ASSERT_TRUE(saveRotatorOptions(store, options, error));
        if (c.understood) {
            EXPECT_EQ(loadRotatorOptions(store).beamWidth, c.width);
            continue;
        }
        // The line stays as written until the user sets a width.
        EXPECT_EQ(store.values.at(kBeamWidthKey), *c.saved);
        skybrant::settings::settingChanged(options, RotatorSetting::BeamWidth);
        options.beamWidth = 45;
        EXPECT_TRUE(unreadText(options).isEmpty());
        ASSERT_TRUE(saveRotatorOptions(store, options, error));
        EXPECT_EQ(store.values.at(kBeamWidthKey), QStringLiteral("45"));
    }
}

// Whether a pixel of the view's picture at a bearing and a share of the
// radius differs between two pictures.
bool differsAt(const QImage& a, const QImage& b, double bearing, double share)
{
    const skybrant::AzimuthalMap map(skybrant::Position{}, a.width(), nullptr);
    const double t = bearing * std::numbers::pi / 180;
    const QPointF p = map.centrePixel() + QPointF(std::sin(t), -std::cos(t)) * (share * map.radiusPixels());
    const QPoint at(static_cast<int>(std::floor(p.x())), static_cast<int>(std::floor(p.y())));
    return a.pixel(at) != b.pixel(at);
}

TEST(BeamWidthOnTheMap, SetInThePanelAndDrawnWhereTheAntennaPointsAndTurns)
{
    MemoryStore store;
    store.values[kBeamWidthKey] = QStringLiteral("35");
    PanelWindow w(store);
    skybrant::ui::MapView* view = w.window.view();
    auto* width = w.find<QDoubleSpinBox>("rotatorBeamWidth");
    ASSERT_NE(width, nullptr);
    EXPECT_EQ(width->value(), 35);
    EXPECT_EQ(view->beamWidth(), 35);

    width->setValue(20);
    EXPECT_EQ(store.values.at(kBeamWidthKey), QStringLiteral("20"));
    EXPECT_EQ(view->beamWidth(), 20);
    EXPECT_FALSE(view->needle());
    EXPECT_FALSE(view->turn());

    auto& model = w.window.model();
    model.changeAntenna([](skybrant::aim::Antenna& antenna) { antenna.setAzimuth(100); });
    const QImage pointing = view->picture();
    model.changeAntenna([](skybrant::aim::Antenna& antenna) { antenna.startTurn(200, 200); });
    EXPECT_EQ(view->needle(), 100);
    EXPECT_EQ(view->turn(), 200);
    const QImage turning = view->picture();
    // The outline's edges, not its inside; the beam where it points stays.
    EXPECT_TRUE(differsAt(turning, pointing, 190, 0.5));
    EXPECT_TRUE(differsAt(turning, pointing, 210, 0.5));
    EXPECT_FALSE(differsAt(turning, pointing, 200, 0.5));
    EXPECT_FALSE(differsAt(turning, pointing, 100, 0.5));

    // There: one beam, filled.
    model.changeAntenna([](skybrant::aim::Antenna& antenna) { antenna.setAzimuth(200); });
    EXPECT_EQ(view->needle(), 200);
    EXPECT_FALSE(view->turn());
}

}  // namespace
