#pragma once

#include <QObject>

class QSocketNotifier;
class QWidget;

namespace skybrant::ui {

// Turns SIGTERM, SIGINT and SIGHUP into an ordinary close request of the
// window, on the event loop, so that they end the program the way the
// close button does (the own station is saved). One at a time per process.
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
