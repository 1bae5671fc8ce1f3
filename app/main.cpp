// skybrant: the calculator's window, or with --map the map alone.

#include "settings/settings_store.h"
#include "skybrant_version.h"
#include "ui/close_signals.h"
#include "ui/form1.h"
#include "ui/map_window.h"
#include "ui/message_sink.h"
#include "ui/startup_probe.h"

#include <QApplication>
#include <QSessionManager>

#include <cstdio>
#include <cstdlib>

namespace {

bool hasDisplay()
{
    const auto set = [](const char* name) {
        const char* v = std::getenv(name);
        return v != nullptr && *v != '\0';
    };
    // An explicit platform (offscreen, vnc, ...) needs no display server.
    return set("DISPLAY") || set("WAYLAND_DISPLAY") || set("QT_QPA_PLATFORM");
}

// The window while it lives, for the save at exit().
skybrant::ui::Form1* liveWindow = nullptr;

// When the display server goes away (a logout that asks nobody to save),
// the platform ends the process with exit() from inside the event loop,
// without a close request. The window is still whole then: save it here.
void saveAtExit()
{
    if (liveWindow != nullptr) {
        skybrant::ui::messagesToStandardError();
        liveWindow->Form_QueryUnload();
    }
}

}  // namespace

int main(int argc, char* argv[])
{
    if (!hasDisplay()) {
        std::fputs("skybrant: there is no graphical display here (neither DISPLAY nor WAYLAND_DISPLAY is set),\n"
                   "so the window cannot open. You can:\n"
                   "  - run it on a virtual display:   xvfb-run make run\n"
                   "  - use the command-line tool:     skybrant-cli 51 30 0 N 0 7 0 W 40 42 0 N 74 0 0 W\n"
                   "                                   (build/dev/cli/skybrant-cli after make build)\n",
            stderr);
        return 1;
    }
    QApplication app(argc, argv);
    QApplication::setOrganizationName(QStringLiteral("Skybrant"));
    QApplication::setApplicationName(QStringLiteral("Skybrant"));
    QApplication::setApplicationVersion(QStringLiteral(SKYBRANT_VERSION));
    // Ties the window to its desktop entry, for the right name and icon.
    QGuiApplication::setDesktopFileName(QStringLiteral("org.skybrant.Skybrant"));

    const auto store = skybrant::settings::makeIniSettingsStore();
    if (QApplication::arguments().contains(QStringLiteral("--map"))) {
        // The map alone, centred on the own station as last saved.
        const auto map = skybrant::ui::openMapAlone(store.get());
        new skybrant::ui::CloseOnSignals(map.get());
        skybrant::ui::installStartupProbe(map.get());
        map->show();
        return QApplication::exec();
    }
    skybrant::ui::Form1 window(nullptr, store.get());
    // Every way of ending saves the own station, once: the close button and
    // Alt+F4 (a close request), the desktop session ending, the signals a
    // terminal or the system sends, a quit from elsewhere, and the display
    // going away.
    new skybrant::ui::CloseOnSignals(&window);
    QObject::connect(
        &app, &QGuiApplication::commitDataRequest, &window, [&window](QSessionManager&) { window.Form_QueryUnload(); });
    QObject::connect(&app, &QCoreApplication::aboutToQuit, &window, [&window] { window.Form_QueryUnload(); });
    liveWindow = &window;
    std::atexit(saveAtExit);
    struct Forget {
        Forget() = default;
        Forget(const Forget&) = delete;
        Forget& operator=(const Forget&) = delete;
        Forget(Forget&&) = delete;
        Forget& operator=(Forget&&) = delete;
        ~Forget() { liveWindow = nullptr; }
    } forgetTheWindowWhenItGoes;
    window.Form_Load();
    if (window.ownStationSaved()) {
        return 0;  // asked to close while the load was showing a message
    }
    skybrant::ui::installStartupProbe(&window);
    window.show();
    return QApplication::exec();
}
