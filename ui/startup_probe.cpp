#include "startup_probe.h"

#include <QCoreApplication>
#include <QEvent>
#include <QTimer>
#include <QWidget>

#include <chrono>
#include <cstdio>

namespace skybrant::ui {

namespace {

// A named point for profilers: valgrind --dump-before=skybrant_first_paint
// gives the cost of start-up alone.
extern "C" [[gnu::noinline]] void skybrant_first_paint()
{
    asm volatile("");
}

class FirstPaint final : public QObject {
public:
    FirstPaint(QObject* parent, bool quit) : QObject(parent), quit_(quit) { }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override
    {
        if (event->type() == QEvent::Paint && !seen_) {
            seen_ = true;
            skybrant_first_paint();
            const auto now = std::chrono::system_clock::now().time_since_epoch();
            // The window's name after the time tells which window it was.
            std::printf("shown %lld %s\n",
                static_cast<long long>(std::chrono::duration_cast<std::chrono::nanoseconds>(now).count()),
                qPrintable(watched->objectName()));
            std::fflush(stdout);
            if (quit_) {
                QTimer::singleShot(0, qApp, &QCoreApplication::quit);
            }
        }
        return QObject::eventFilter(watched, event);
    }

private:
    bool quit_;
    bool seen_ = false;
};

}  // namespace

void installStartupProbe(QWidget* window)
{
    if (qEnvironmentVariableIsSet("SKYBRANT_STARTUP_PROBE")) {
        window->installEventFilter(
            new FirstPaint(window, qEnvironmentVariable("SKYBRANT_STARTUP_PROBE") == QLatin1String("quit")));
    }
}

}  // namespace skybrant::ui
