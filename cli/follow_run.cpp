#include "follow_run.h"

#include "follow_events.h"
#include "rotator/rotator_protocol.h"

#include <poll.h>

#include <algorithm>
#include <array>
#include <cerrno>
#include <cmath>
#include <cstring>

namespace skybrant::cli {

namespace {

using follow::Clock;
using follow::RotorCommand;

// What following does on the command line: each turn, stop and question is
// one connection to rotctld, each event one line.
class CommandLineActions final : public follow::FollowActions {
public:
    explicit CommandLineActions(const FollowSetup& setup) : setup_(setup) { }

    follow::FollowEvent station(const std::string& call, const std::string& grid) override
    {
        return stationEvent(setup_, call, grid);
    }

    Turned turn(double heading) override
    {
        if (!setup_.rotator) {
            commanded_ = heading;
            return {heading, {}};
        }
        RotatorRequest request = *setup_.rotator;
        request.heading = rotctl::sentHeading(std::round(heading));
        request.note = setup_.err;
        const RotatorOutcome outcome = turnRotator(request);
        if (outcome.status != RotatorStatus::Started) {
            return {std::nullopt, outcome.message};
        }
        return {outcome.commandedAzimuth, {}};
    }

    std::string command(RotorCommand::Kind kind) override
    {
        if (!setup_.rotator) {
            return {};
        }
        const RotatorOutcome outcome = commandRotator(
            *setup_.rotator, kind == RotorCommand::Kind::Park ? rotctl::kParkCommand : rotctl::kStopCommand);
        return outcome.status == RotatorStatus::Started ? std::string() : outcome.message;
    }

    std::optional<double> position() override
    {
        if (!setup_.rotator) {
            return commanded_;
        }
        const RotatorOutcome outcome = readRotator(*setup_.rotator);
        if (outcome.status != RotatorStatus::Started) {
            setup_.err(outcome.message);
            return std::nullopt;
        }
        return outcome.reportedAzimuth;
    }

    // Not asked of rotctld for each pick: the rules keep their last turn.
    std::optional<double> aimedAt() override { return std::nullopt; }

    void event(const follow::FollowEvent& event) override { setup_.out(eventLine(event, setup_)); }

    void refused(std::uint32_t address) override
    {
        setup_.err("refusing datagrams from " + follow::addressText(address) + ", which is not allowed; --allow " +
            follow::addressText(address) + " takes them");
    }

    void note(const std::string& message) override { setup_.err(message); }

private:
    const FollowSetup& setup_;
    // Without a rotator, where the antenna would point.
    std::optional<double> commanded_;
};

int waitMs(std::optional<Clock::time_point> wake)
{
    if (!wake) {
        return -1;
    }
    const auto left = std::chrono::ceil<std::chrono::milliseconds>(*wake - Clock::now()).count();
    return static_cast<int>(std::clamp<long long>(left, 0, 60000));
}

}  // namespace

int runFollow(const FollowSetup& setup)
{
    CommandLineActions actions(setup);
    follow::Follower follower(setup, actions);
    std::string error;
    if (!follower.open(error)) {
        setup.err(error);
        return kFollowCannotListen;
    }
    if (setup.listening) {
        setup.listening();
    }
    for (;;) {
        std::array<pollfd, 2> fds{{{follower.fd(), POLLIN, 0}, {setup.stopFd, POLLIN, 0}}};
        const int ready = ::poll(fds.data(), fds.size(), waitMs(follower.nextWake()));
        if (ready < 0 && errno != EINTR) {
            setup.err(std::string("cannot wait for datagrams: ") + std::strerror(errno));
            return kFollowCannotListen;
        }
        if ((fds[1].revents & (POLLIN | POLLHUP)) != 0) {
            return 0;
        }
        if ((fds[0].revents & POLLIN) != 0) {
            follower.takeWaiting();
        }
        follower.tick(Clock::now());
    }
}

}  // namespace skybrant::cli
