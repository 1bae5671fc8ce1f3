#include "batch_io.h"

#include <fcntl.h>
#include <poll.h>
#include <sys/stat.h>
#include <unistd.h>

#include <array>
#include <cerrno>
#include <cstring>

namespace skybrant::cli {

namespace {

bool isOpen(int fd) noexcept
{
    return fcntl(fd, F_GETFD) != -1 || errno != EBADF;
}

// Taken before main runs: by the time the batch starts, the loader and the
// libraries have opened files and event descriptors, and the lowest free
// number goes to each, so a closed descriptor 0 or 1 would look like one of
// those.
const std::array<bool, 2> kOpenAtStart = {isOpen(0), isOpen(1)};

// Waits until fd is ready for events; false with errno on failure.
bool waitFor(int fd, short events)
{
    pollfd p{fd, events, 0};
    for (;;) {
        const int n = ::poll(&p, 1, -1);
        if (n >= 0) {
            return true;
        }
        if (errno != EINTR) {
            return false;
        }
    }
}

}  // namespace

bool closedAtStart(int fd)
{
    return fd >= 0 && static_cast<std::size_t>(fd) < kOpenAtStart.size() && !kOpenAtStart.at(fd);
}

std::string streamErrorText(int fd, int error)
{
    if (error == EBADF || closedAtStart(fd)) {
        switch (fd) {
        case 0:
            return "standard input is closed";
        case 1:
            return "standard output is closed";
        default:
            break;
        }
    }
    return std::strerror(error);
}

bool BatchInput::ready() const
{
    return readyWithin(0);
}

bool BatchInput::readyWithin(int milliseconds) const
{
    pollfd p{fd_, POLLIN, 0};
    int n = 0;
    do {
        n = ::poll(&p, 1, milliseconds);
    } while (n < 0 && errno == EINTR);
    // A descriptor poll cannot watch reads at once too; so does an error,
    // which the read then reports.
    return n != 0;
}

void BatchInput::enlargePipe() const
{
    struct stat st { };
    if (::fstat(fd_, &st) != 0 || !S_ISFIFO(st.st_mode)) {
        return;
    }
    const int current = ::fcntl(fd_, F_GETPIPE_SZ);
    if (current < 0) {
        return;
    }
    // The system may cap what one user's pipes take; the largest allowed
    // of these will do, and the pipe as it is when none is.
    for (int size = 1 << 20; size > current; size /= 2) {
        if (::fcntl(fd_, F_SETPIPE_SZ, size) >= 0) {
            return;
        }
    }
}

long BatchInput::read(char* to, std::size_t size)
{
    if (closedAtStart(fd_)) {
        error_ = EBADF;
        return -1;
    }
    for (;;) {
        const ssize_t n = ::read(fd_, to, size);
        if (n >= 0) {
            return static_cast<long>(n);
        }
        if (errno == EINTR) {
            continue;
        }
        // Another program sharing the descriptor may have made it
        // non-blocking; wait for input as a blocking read would.
        if ((errno == EAGAIN || errno == EWOULDBLOCK) && waitFor(fd_, POLLIN)) {
            continue;
        }
        error_ = errno;
        return -1;
    }
}

bool BatchOutput::write(const char* data, std::size_t size)
{
    if (error_ == 0 && size > 0 && closedAtStart(fd_)) {
        error_ = EBADF;
    }
    while (error_ == 0 && size > 0) {
        const ssize_t n = ::write(fd_, data, size);
        if (n >= 0) {
            data += n;
            size -= static_cast<std::size_t>(n);
        } else if (errno != EINTR && !((errno == EAGAIN || errno == EWOULDBLOCK) && waitFor(fd_, POLLOUT))) {
            error_ = errno;
        }
    }
    return error_ == 0;
}

}  // namespace skybrant::cli
