#pragma once

#include "rotator_address.h"
#include "rotator_protocol.h"

#include <chrono>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

// One blocking connection to rotctld over POSIX sockets, for a program that
// asks, waits for the answer and goes: every step is bounded by one
// deadline, and a reply by the caps of rotator_protocol.h.
namespace skybrant::rotctl {

// The numeric addresses (as inet_pton reads them) a host name stands for;
// error says why when there are none. The system resolver when empty.
using LookUp = std::function<std::vector<std::string>(const std::string& host, std::string& error)>;

class RotctldClient {
public:
    enum class Failure {
        None,
        CannotConnect,  // refused, unreachable, unknown host
        TimedOut,  // no connection or no full reply before the deadline
        Broken,  // hung up, overflowed the caps, or a network error
    };

    // Looks nothing up and connects to nothing yet.
    RotctldClient(RotatorAddress address, std::chrono::milliseconds timeout, LookUp lookUp = {});
    ~RotctldClient();
    RotctldClient(const RotctldClient&) = delete;
    RotctldClient& operator=(const RotctldClient&) = delete;

    // Looks the host up and connects to the first of its addresses that
    // takes the connection. The deadline starts once the name is looked up:
    // a slow resolver is not the rotator's delay.
    bool connect();
    // A fresh deadline, the whole timeout long, for what follows.
    void restartClock();
    // Sends one command line, its reply counted afresh against the caps. A
    // daemon that hung up after its last reply is not an error here:
    // reading says so, after what it did send.
    bool send(std::string_view line);
    // Reads one reply line without its "\n" (or "\r\n"); before says what a
    // hang-up with nothing pending interrupted ("before telling its range").
    bool readLine(std::string& line, std::string_view before);

    // What went wrong once a call returned false, and the sentence for the
    // operator naming the address.
    Failure failure() const { return failure_; }
    const std::string& message() const { return message_; }
    // The address as messages name it.
    const std::string& place() const { return where_; }

private:
    bool connectTo(const std::string& numeric, std::string& why);
    int remainingMs() const;
    bool expired() const;
    bool fail(Failure failure, std::string message);
    bool timedOut();
    bool lost(std::string_view when, int error);

    RotatorAddress address_;
    std::chrono::milliseconds timeout_;
    LookUp lookUp_;
    std::string where_;
    std::chrono::steady_clock::time_point deadline_;
    int fd_ = -1;
    bool hungUp_ = false;
    ReplyLines replies_;
    Failure failure_ = Failure::None;
    std::string message_;
};

}  // namespace skybrant::rotctl
