#include "rotctld_client.h"

#include "core/utf8.h"

#include <fcntl.h>
#include <netdb.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <algorithm>
#include <array>
#include <cctype>
#include <cerrno>
#include <cstring>
#include <memory>
#include <utility>

namespace skybrant::rotctl {

namespace {

using Clock = std::chrono::steady_clock;

// "connection refused", as a sentence goes on after a colon.
std::string errorText(int error)
{
    if (error == ECONNREFUSED) {
        return "connection refused (is rotctld running there?)";
    }
    std::string text = std::strerror(error);
    if (!text.empty()) {
        text.front() = static_cast<char>(std::tolower(static_cast<unsigned char>(text.front())));
    }
    return text;
}

struct AddressList {
    addrinfo* first = nullptr;
    AddressList() = default;
    AddressList(const AddressList&) = delete;
    AddressList& operator=(const AddressList&) = delete;
    ~AddressList()
    {
        if (first != nullptr) {
            freeaddrinfo(first);
        }
    }
};

// The addresses a host stands for, numeric, each once: a literal as it is,
// a name through the system resolver (which keeps to its own time limits).
std::vector<std::string> systemLookUp(const std::string& host, std::string& error)
{
    addrinfo hints{};
    hints.ai_family = AF_UNSPEC;
    hints.ai_socktype = SOCK_STREAM;
    AddressList found;
    if (const int status = getaddrinfo(host.c_str(), nullptr, &hints, &found.first); status != 0) {
        error = status == EAI_NONAME || status == EAI_NODATA
            ? std::string("unknown host")
            : "name lookup failed: " + std::string(gai_strerror(status));
        return {};
    }
    std::vector<std::string> addresses;
    for (const addrinfo* at = found.first; at != nullptr; at = at->ai_next) {
        std::array<char, NI_MAXHOST> text{};
        if (getnameinfo(at->ai_addr, at->ai_addrlen, text.data(), text.size(), nullptr, 0, NI_NUMERICHOST) != 0) {
            continue;
        }
        if (std::find(addresses.begin(), addresses.end(), text.data()) == addresses.end()) {
            addresses.emplace_back(text.data());
        }
    }
    if (addresses.empty()) {
        error = "unknown host";
    }
    return addresses;
}

}  // namespace

RotctldClient::RotctldClient(RotatorAddress address, std::chrono::milliseconds timeout, LookUp lookUp)
    : address_(std::move(address)), timeout_(timeout), lookUp_(std::move(lookUp)), where_(shownAddress(address_))
{
    restartClock();
}

RotctldClient::~RotctldClient()
{
    if (fd_ >= 0) {
        close(fd_);
    }
}

void RotctldClient::restartClock()
{
    deadline_ = Clock::now() + std::max(timeout_, std::chrono::milliseconds::zero());
}

bool RotctldClient::expired() const
{
    return Clock::now() >= deadline_;
}

int RotctldClient::remainingMs() const
{
    const auto left = std::chrono::ceil<std::chrono::milliseconds>(deadline_ - Clock::now()).count();
    return static_cast<int>(std::clamp<std::chrono::milliseconds::rep>(left, 0, 24L * 3600 * 1000));
}

bool RotctldClient::fail(Failure failure, std::string message)
{
    failure_ = failure;
    message_ = std::move(message);
    return false;
}

bool RotctldClient::timedOut()
{
    return fail(Failure::TimedOut, "the rotator at " + where_ + " did not answer within " + secondsText(timeout_));
}

bool RotctldClient::lost(std::string_view when, int error)
{
    if (expired()) {
        return timedOut();
    }
    if (hungUp_) {
        return fail(Failure::Broken, "the rotator at " + where_ + " closed the connection " + std::string(when));
    }
    return fail(Failure::Broken, "lost the rotator at " + where_ + " " + std::string(when) + ": " + errorText(error));
}

bool RotctldClient::connect()
{
    std::string why = "unknown host";
    const auto addresses = lookUp_ ? lookUp_(address_.host, why) : systemLookUp(address_.host, why);
    restartClock();
    for (const auto& candidate : addresses) {
        if (expired()) {
            return timedOut();
        }
        if (connectTo(candidate, why)) {
            return true;
        }
        if (failure_ == Failure::TimedOut) {
            return false;
        }
    }
    return fail(Failure::CannotConnect, "cannot connect to the rotator at " + where_ + ": " + why);
}

// Connects without blocking past the deadline; why says what went wrong.
bool RotctldClient::connectTo(const std::string& numeric, std::string& why)
{
    addrinfo hints{};
    hints.ai_family = AF_UNSPEC;
    hints.ai_socktype = SOCK_STREAM;
    hints.ai_flags = AI_NUMERICHOST | AI_NUMERICSERV;
    AddressList found;
    const std::string port = std::to_string(address_.port);
    if (const int status = getaddrinfo(numeric.c_str(), port.c_str(), &hints, &found.first);
        status != 0 || found.first == nullptr) {
        why = "the resolver gave " + quote(numeric, kShownBytes) + ", which is not an address";
        return false;
    }
    const addrinfo& at = *found.first;
    const int fd = socket(at.ai_family, at.ai_socktype | SOCK_NONBLOCK | SOCK_CLOEXEC, at.ai_protocol);
    if (fd < 0) {
        why = errorText(errno);
        return false;
    }
    int error = ::connect(fd, at.ai_addr, at.ai_addrlen) == 0 ? 0 : errno;
    if (error == EINPROGRESS) {
        pollfd waiting{fd, POLLOUT, 0};
        int ready = 0;
        do {
            ready = poll(&waiting, 1, remainingMs());
        } while (ready < 0 && errno == EINTR);
        socklen_t length = sizeof error;
        if (ready == 0 || expired()) {
            close(fd);
            return timedOut();
        }
        if (ready < 0 || getsockopt(fd, SOL_SOCKET, SO_ERROR, &error, &length) != 0) {
            error = errno;
        }
    }
    if (error != 0) {
        close(fd);
        why = errorText(error);
        return false;
    }
    fd_ = fd;
    return true;
}

bool RotctldClient::send(std::string_view line)
{
    replies_.startReply();
    while (!line.empty() && !hungUp_) {
        if (expired()) {
            return timedOut();
        }
        const ssize_t sent = ::send(fd_, line.data(), line.size(), MSG_NOSIGNAL);
        if (sent >= 0) {
            line.remove_prefix(static_cast<std::size_t>(sent));
            continue;
        }
        if (errno == EPIPE || errno == ECONNRESET) {
            break;  // a last reply may have come before; reading says
        }
        if (errno == EAGAIN || errno == EWOULDBLOCK) {
            pollfd waiting{fd_, POLLOUT, 0};
            poll(&waiting, 1, remainingMs());
        } else if (errno != EINTR) {
            return lost("while sending " + quote(line, kShownBytes), errno);
        }
    }
    return true;
}

bool RotctldClient::readLine(std::string& line, std::string_view before)
{
    // A bounded read, so that a flood waits in the socket.
    std::array<char, 16384> chunk{};
    for (;;) {
        // Lines that keep coming must not hold off the deadline.
        if (expired()) {
            return timedOut();
        }
        const LineStatus status = replies_.take(line);
        if (status == LineStatus::Complete) {
            return true;
        }
        if (status != LineStatus::Incomplete) {
            return fail(Failure::Broken,
                "the rotator at " + where_ + " " + overflowText(status) +
                    ", which is not its protocol: " + quote(replies_.rest(), kShownBytes));
        }
        if (hungUp_) {
            const std::string_view rest = replies_.rest();
            return lost(rest.empty() ? std::string(before) : "in the middle of a reply " + quote(rest, kShownBytes), 0);
        }
        pollfd waiting{fd_, POLLIN, 0};
        const int ready = poll(&waiting, 1, remainingMs());
        if (ready == 0) {
            return timedOut();
        }
        if (ready < 0) {
            if (errno == EINTR) {
                continue;
            }
            return lost(before, errno);
        }
        const ssize_t got = recv(fd_, chunk.data(), chunk.size(), 0);
        if (got > 0) {
            replies_.append(std::string_view(chunk.data(), static_cast<std::size_t>(got)));
        } else if (got == 0 || errno == ECONNRESET) {
            hungUp_ = true;
        } else if (errno != EAGAIN && errno != EWOULDBLOCK && errno != EINTR) {
            return lost(before, errno);
        }
    }
}

}  // namespace skybrant::rotctl
