#include "stop_signals.h"

#include <array>
#include <cerrno>
#include <csignal>
#include <fcntl.h>
#include <unistd.h>

namespace skybrant::cli {

namespace {

// NOLINTNEXTLINE(cppcoreguidelines-avoid-non-const-global-variables): a signal handler's only way
std::array<int, 2> stopPipe{-1, -1};
// NOLINTNEXTLINE(cppcoreguidelines-avoid-non-const-global-variables)
struct sigaction earlierInt { };
// NOLINTNEXTLINE(cppcoreguidelines-avoid-non-const-global-variables)
struct sigaction earlierTerm { };

extern "C" void onStopSignal(int /*signal*/)
{
    const int saved = errno;
    const char byte = 1;
    [[maybe_unused]] const auto written = ::write(stopPipe[1], &byte, 1);
    errno = saved;
}

}  // namespace

StopSignals::StopSignals()
{
    if (::pipe2(stopPipe.data(), O_CLOEXEC | O_NONBLOCK) != 0) {
        stopPipe = {-1, -1};
        return;
    }
    struct sigaction action { };
    action.sa_handler = onStopSignal;
    sigemptyset(&action.sa_mask);
    ::sigaction(SIGINT, &action, &earlierInt);
    ::sigaction(SIGTERM, &action, &earlierTerm);
}

StopSignals::~StopSignals()
{
    ::sigaction(SIGINT, &earlierInt, nullptr);
    ::sigaction(SIGTERM, &earlierTerm, nullptr);
    for (int& fd : stopPipe) {
        if (fd >= 0) {
            ::close(fd);
            fd = -1;
        }
    }
}

int StopSignals::fd()
{
    return stopPipe[0];
}

}  // namespace skybrant::cli
