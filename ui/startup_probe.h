#pragma once

#include <QObject>

class QWidget;

namespace skybrant::ui {

// With SKYBRANT_STARTUP_PROBE set, prints the wall-clock time in
// nanoseconds when the window is first painted and then quits: the
// start-up benchmark compares it with the moment the process was started.
// Does nothing otherwise.
void installStartupProbe(QWidget* window);

}  // namespace skybrant::ui
