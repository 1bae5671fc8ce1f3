#pragma once

// The map window's rotator panel as the tests drive it: the settings in
// memory, and the window with its controls found by name.

#include "memory_store.h"
#include "rotator_fakes.h"
#include "settings/settings_store.h"
#include "ui/map_window.h"
#include "ui/rotator_panel.h"

#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>

#include <gtest/gtest.h>

#include <map>
#include <utility>

namespace skybrant::testing {

// The map window with the rotator panel, its controls found by name.
struct PanelWindow {
    explicit PanelWindow(MemoryStore& store) : window(&store)
    {
        window.show();
        EXPECT_TRUE(QTest::qWaitForWindowExposed(&window));
        panel = window.rotator();
        rotctl::RotatorLink::Timing timing;
        timing.poll = 300ms;
        timing.firstPause = 200ms;
        timing.longestPause = 800ms;
        panel->link().setTiming(timing);
    }
    template <typename W = QWidget>
    W* find(const char* name)
    {
        auto* w = window.findChild<W*>(QLatin1String(name));
        EXPECT_NE(w, nullptr) << name;
        return w;
    }
    QString text(const char* name) { return find<QLabel>(name)->text(); }
    // Slow enough that nothing but the test's own steps is sent.
    void quietTiming()
    {
        rotctl::RotatorLink::Timing timing;
        timing.poll = std::chrono::seconds(10);
        timing.firstPause = std::chrono::seconds(10);
        panel->link().setTiming(timing);
    }

    void connectTo(std::uint16_t port)
    {
        find<QLineEdit>("rotatorAddress")->setText(QStringLiteral("127.0.0.1:%1").arg(port));
        QTest::mouseClick(find<QPushButton>("rotatorConnect"), Qt::LeftButton);
    }
    bool connectedWithPosition()
    {
        return waitUntil(
            [&] { return panel->link().state() == rotctl::RotatorLink::State::Connected && panel->aim().azimuth(); },
            10s);
    }
    double heading() { return panel->aim().heading().value_or(-1000); }

    ui::MapWindow window;
    ui::RotatorPanel* panel = nullptr;
};

}  // namespace skybrant::testing
