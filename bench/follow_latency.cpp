// How fast --follow turns: from a WSJT-X Status datagram's arrival to the
// "P" command written to rotctld, over 1,000 picks (median and p99), and the
// processor time the loop takes while listening with nothing arriving.
// The rotctld is a fake in this process that answers at once, so the figures
// are the program's own.

#include "cli/follow_run.h"

#include <arpa/inet.h>
#include <fcntl.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/resource.h>
#include <sys/socket.h>
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <condition_variable>
#include <cstdint>
#include <cstdio>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

namespace {

using namespace skybrant;
using namespace skybrant::cli;
using Clock = std::chrono::steady_clock;

std::string field(const std::string& text)
{
    std::string bytes(4, '\0');
    for (int i = 0; i < 4; ++i) {
        bytes[static_cast<std::size_t>(i)] = static_cast<char>((text.size() >> (24 - 8 * i)) & 0xffU);
    }
    return bytes + text;
}

std::string number(std::uint64_t value, int size)
{
    std::string bytes;
    for (int shift = (size - 1) * 8; shift >= 0; shift -= 8) {
        bytes += static_cast<char>((value >> shift) & 0xffU);
    }
    return bytes;
}

// WSJT-X's Status up to the DX grid, by its published layout.
std::string status(const std::string& call, const std::string& grid)
{
    return number(0xadbccbda, 4) + number(3, 4) + number(1, 4) + field("WSJT-X") + number(14074000, 8) + field("FT8") +
        field(call) + field("-10") + field("FT8") + number(0, 3) + number(1500, 4) + number(1500, 4) + field("G4ABC") +
        field("JO01mm") + field(grid);
}

// A rotctld that answers at once and notes when each "P" arrives.
class FakeRotctld {
public:
    FakeRotctld()
    {
        sockaddr_in address{};
        address.sin_family = AF_INET;
        address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
        socklen_t length = sizeof address;
        auto* generic = reinterpret_cast<sockaddr*>(&address);
        if (bind(listener, generic, length) != 0 || listen(listener, 16) != 0 ||
            getsockname(listener, generic, &length) != 0) {
            std::perror("fake rotctld");
        }
        port = ntohs(address.sin_port);
        thread = std::thread([this] { serve(); });
    }
    ~FakeRotctld()
    {
        stopping = true;
        shutdown(listener, SHUT_RDWR);
        thread.join();
        close(listener);
    }
    FakeRotctld(const FakeRotctld&) = delete;
    FakeRotctld& operator=(const FakeRotctld&) = delete;

    // The time the next "P" arrived, waiting at most 2 s.
    std::optional<Clock::time_point> nextTurn()
    {
        std::unique_lock lock(mutex);
        if (!arrived.wait_for(lock, std::chrono::seconds(2), [this] { return !turns.empty(); })) {
            return std::nullopt;
        }
        const auto at = turns.front();
        turns.erase(turns.begin());
        return at;
    }

    std::uint16_t port = 0;

private:
    void serve()
    {
        while (!stopping) {
            const int client = accept(listener, nullptr, nullptr);
            if (client < 0) {
                return;
            }
            std::string buffer;
            std::array<char, 512> chunk{};
            for (;;) {
                const ssize_t got = read(client, chunk.data(), chunk.size());
                if (got <= 0) {
                    break;
                }
                buffer.append(chunk.data(), static_cast<std::size_t>(got));
                for (auto end = buffer.find('\n'); end != std::string::npos; end = buffer.find('\n')) {
                    answer(client, buffer.substr(0, end));
                    buffer.erase(0, end + 1);
                }
            }
            close(client);
        }
    }

    void answer(int client, const std::string& line)
    {
        std::string reply;
        if (line == "+\\dump_state") {
            reply = "dump_state:\nMinimum Azimuth: 0.000000\nMaximum Azimuth: 360.000000\ndone\nRPRT 0\n";
        } else if (line == "p") {
            reply = "0.000000\n0.000000\n";
        } else {
            if (line.starts_with("P ")) {
                const std::lock_guard lock(mutex);
                turns.push_back(Clock::now());
                arrived.notify_one();
            }
            reply = "RPRT 0\n";
        }
        [[maybe_unused]] const auto written = write(client, reply.data(), reply.size());
    }

    int listener = socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
    std::atomic<bool> stopping{false};
    std::mutex mutex;
    std::condition_variable arrived;
    std::vector<Clock::time_point> turns;
    std::thread thread;
};

std::uint16_t freeUdpPort()
{
    const int fd = socket(AF_INET, SOCK_DGRAM, 0);
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    socklen_t length = sizeof address;
    const bool bound = bind(fd, reinterpret_cast<sockaddr*>(&address), length) == 0 &&
        getsockname(fd, reinterpret_cast<sockaddr*>(&address), &length) == 0;
    close(fd);
    return bound ? ntohs(address.sin_port) : 0;
}

double processSeconds()
{
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return static_cast<double>(usage.ru_utime.tv_sec + usage.ru_stime.tv_sec) +
        static_cast<double>(usage.ru_utime.tv_usec + usage.ru_stime.tv_usec) / 1e6;
}

}  // namespace

int main()
{
    constexpr int kPicks = 1000;
    FakeRotctld rotctld;
    Callsigns callsigns("/nonexistent");
    std::array<int, 2> stop{};
    if (pipe(stop.data()) != 0) {
        return 1;
    }
    FollowSetup setup;
    setup.listen = {0x7f000001, freeUdpPort()};
    setup.rotator = RotatorRequest{};
    setup.rotator->address = {"127.0.0.1", rotctld.port};
    setup.rules.interval = std::chrono::seconds(0);
    setup.own = {51.52, 1.04, 0, 0};
    setup.callsigns = &callsigns;
    setup.stopFd = stop[0];
    setup.out = [](const std::string&) {};
    setup.err = [](const std::string& message) { std::fprintf(stderr, "%s\n", message.c_str()); };
    std::mutex mutex;
    std::condition_variable ready;
    bool listening = false;
    setup.listening = [&] {
        const std::lock_guard lock(mutex);
        listening = true;
        ready.notify_one();
    };
    std::thread loop([&] { runFollow(setup); });
    {
        std::unique_lock lock(mutex);
        ready.wait(lock, [&] { return listening; });
    }
    const int sender = socket(AF_INET, SOCK_DGRAM, 0);
    sockaddr_in to{};
    to.sin_family = AF_INET;
    to.sin_port = htons(setup.listen.port);
    to.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    // Alternate picks far apart, each a new call, so that every one turns.
    const std::array<std::string, 2> picks{status("K1ABC", "FN42"), status("VK2ABC", "QF56")};
    std::vector<double> latencies;
    for (int i = 0; i < kPicks; ++i) {
        const std::string& datagram = picks.at(static_cast<std::size_t>(i % 2));
        const auto sent = Clock::now();
        sendto(sender, datagram.data(), datagram.size(), 0, reinterpret_cast<sockaddr*>(&to), sizeof to);
        const auto turned = rotctld.nextTurn();
        if (!turned) {
            std::fprintf(stderr, "pick %d was not turned to\n", i);
            break;
        }
        latencies.push_back(std::chrono::duration<double, std::milli>(*turned - sent).count());
    }
    // Listening with nothing arriving.
    const double before = processSeconds();
    const auto idleStart = Clock::now();
    std::this_thread::sleep_for(std::chrono::seconds(10));
    const double idle =
        (processSeconds() - before) / std::chrono::duration<double>(Clock::now() - idleStart).count() * 100;
    [[maybe_unused]] const auto written = write(stop[1], "x", 1);
    loop.join();
    close(sender);
    if (latencies.size() != kPicks) {
        return 1;
    }
    std::ranges::sort(latencies);
    const double median = latencies.at(kPicks / 2);
    const double p99 = latencies.at(kPicks * 99 / 100);
    std::printf("Status datagram to P command, %d picks: median %.3f ms, p99 %.3f ms (target: median under 5 ms)\n",
        kPicks, median, p99);
    std::printf("processor while listening idle for 10 s: %.3f %% (target: under 0.1 %%)\n", idle);
    return median < 5 && idle < 0.1 ? 0 : 1;
}
