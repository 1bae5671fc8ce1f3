#pragma once

#include <QObject>

class QSocketNotifier;
class QWidget;

namespace skybrant::ui {

// Turns SIGTERM, SIGINT and SIGHUP into the end of the program, on the
// event loop: the window gets an ordinary close request, as from the close
// button (the own station is saved), any open message box closes, and the
// program ends, also while it is still loading. One at a time per process.
class CloseOnSignals final : public QObject {
public:
    explicit CloseOnSignals(QWidget* window);
    ~CloseOnSignals() override;

private:
    void onSignal();

    QWidget* window_;
    QSocketNotifier* notifier_ = nullptr;
};

}  // namespace skybrant::ui
