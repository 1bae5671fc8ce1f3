#pragma once

#include <QObject>

class QWidget;

namespace skybrant::ui {

// With SKYBRANT_STARTUP_PROBE set, prints "shown <nanoseconds> <name>"
// (wall-clock time, the window's object name) when the window is first
// painted, and quits then if it is set to "quit": the start-up benchmark
// compares it with the moment the process started, and tests wait for it.
// Does nothing otherwise.
void installStartupProbe(QWidget* window);

}  // namespace skybrant::ui
