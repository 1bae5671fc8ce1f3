#include "close_signals.h"

#include "message_sink.h"

#include <QCoreApplication>
#include <QSocketNotifier>
#include <QWidget>

#include <array>
#include <csignal>
#include <sys/socket.h>
#include <unistd.h>

namespace skybrant::ui {

namespace {

constexpr std::array kSignals = {SIGTERM, SIGINT, SIGHUP};

// The self-pipe: the handler may only write a byte; the event loop reads it.
int pipeFds[2] = {-1, -1};

extern "C" void onCloseSignal(int signal)
{
    const char byte = static_cast<char>(signal);
    [[maybe_unused]] const auto written = ::write(pipeFds[0], &byte, 1);
}

}  // namespace

CloseOnSignals::CloseOnSignals(QWidget* window) : QObject(window), window_(window)
{
    if (::socketpair(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC | SOCK_NONBLOCK, 0, pipeFds) != 0) {
        return;  // without the pipe the signals keep their default meaning
    }
    notifier_ = new QSocketNotifier(pipeFds[1], QSocketNotifier::Read, this);
    connect(notifier_, &QSocketNotifier::activated, this, &CloseOnSignals::onSignal);
    struct sigaction action { };
    action.sa_handler = onCloseSignal;
    sigemptyset(&action.sa_mask);
    action.sa_flags = SA_RESTART;
    for (const int s : kSignals) {
        ::sigaction(s, &action, nullptr);
    }
}

CloseOnSignals::~CloseOnSignals()
{
    if (notifier_ == nullptr) {
        return;
    }
    for (const int s : kSignals) {
        std::signal(s, SIG_DFL);
    }
    ::close(pipeFds[0]);
    ::close(pipeFds[1]);
    pipeFds[0] = pipeFds[1] = -1;
}

void CloseOnSignals::onSignal()
{
    char bytes[16];
    while (::read(pipeFds[1], bytes, sizeof bytes) > 0) { }
    // Nobody may be there to press OK: the boxes go first, so that a failed
    // save is told on standard error rather than in a new box.
    closeMessageBoxes();
    window_->close();
    // Leaves every event loop, a message box's too, and keeps new ones from
    // starting, so the program ends whatever was open.
    QCoreApplication::exit(0);
}

}  // namespace skybrant::ui
