#pragma once

// The map window's rotator panel as the tests drive it: the settings in
// memory, and the window with its controls found by name.

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

// The settings in memory.
class MemoryStore final : public settings::SettingsStore {
public:
    QString get(const QString& /*application*/, const QString& section, const QString& key,
        const QString& defaultValue) override
    {
        const auto it = values.find({section, key});
        return it == values.end() ? defaultValue : it->second;
    }
    void save(const QString& /*application*/, const QString& section, const QString& key, const QString& value) override
    {
        // As the real store: a kept line stays while its substitute is saved.
        const auto keptLine = kept.find({section, key});
        if (keptLine != kept.end() && keptLine->second == value) {
            return;
        }
        kept.erase({section, key});
        values[{section, key}] = value;
    }
    bool commit(QString& error) override
    {
        if (failCommit) {
            error = QStringLiteral("cannot write /nowhere/Skybrant.ini");
        }
        return !failCommit;
    }
    std::optional<QString> readProblem(const QString& /*application*/) override { return std::nullopt; }
    void keepUntilChanged(
        const QString& /*application*/, const QString& section, const QString& key, const QString& substitute) override
    {
        kept.insert_or_assign({section, key}, substitute);
    }

    std::map<std::pair<QString, QString>, QString> values;
    std::map<std::pair<QString, QString>, QString> kept;
    bool failCommit = false;
};

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
