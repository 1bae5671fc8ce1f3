// skybrant-cli --batch as a program at the end of a pipe or at a terminal:
// each line is answered as soon as it has arrived, and the first end of
// input ends the run.

#include <gtest/gtest.h>

#include <fcntl.h>
#include <poll.h>
#include <pty.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <termios.h>
#include <unistd.h>

#include <array>
#include <chrono>
#include <cstring>
#include <string>
#include <vector>

extern char** environ;

namespace {

using Clock = std::chrono::steady_clock;

constexpr auto kPatience = std::chrono::seconds(20);

// Reads from fd into text until it holds want or the patience runs out.
bool readUntil(int fd, std::string& text, std::string_view want)
{
    const auto deadline = Clock::now() + kPatience;
    while (text.find(want) == std::string::npos) {
        const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(deadline - Clock::now());
        if (left.count() <= 0) {
            return false;
        }
        pollfd p{fd, POLLIN, 0};
        if (::poll(&p, 1, static_cast<int>(left.count())) <= 0) {
            continue;
        }
        std::array<char, 4096> buf{};
        const ssize_t n = ::read(fd, buf.data(), buf.size());
        if (n <= 0) {
            return false;
        }
        text.append(buf.data(), static_cast<std::size_t>(n));
    }
    return true;
}

// Waits for the child to end; kills it (by its own id) when it does not.
int waitForExit(pid_t pid)
{
    const auto deadline = Clock::now() + kPatience;
    int status = 0;
    while (::waitpid(pid, &status, WNOHANG) == 0) {
        if (Clock::now() > deadline) {
            ::kill(pid, SIGKILL);
            ::waitpid(pid, &status, 0);
            return -1;
        }
        ::usleep(10000);
    }
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

struct Child {
    pid_t pid = -1;
    int in = -1;  // its standard input, to write to
    int out = -1;  // its standard output, to read from
    int err = -1;
};

// Starts skybrant-cli --batch on pipes; closing lists the standard
// descriptors it gets closed instead.
Child startBatch(const std::vector<int>& closing = {})
{
    std::array<int, 2> in{};
    std::array<int, 2> out{};
    std::array<int, 2> err{};
    EXPECT_EQ(::pipe2(in.data(), O_CLOEXEC), 0);
    EXPECT_EQ(::pipe2(out.data(), O_CLOEXEC), 0);
    EXPECT_EQ(::pipe2(err.data(), O_CLOEXEC), 0);
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_adddup2(&actions, in[0], 0);
    posix_spawn_file_actions_adddup2(&actions, out[1], 1);
    posix_spawn_file_actions_adddup2(&actions, err[1], 2);
    for (const int fd : closing) {
        posix_spawn_file_actions_addclose(&actions, fd);
    }
    std::string path = SKYBRANT_CLI_PATH;
    std::string batch = "--batch";
    std::array<char*, 3> argv{path.data(), batch.data(), nullptr};
    Child child;
    EXPECT_EQ(posix_spawn(&child.pid, path.c_str(), &actions, nullptr, argv.data(), environ), 0);
    posix_spawn_file_actions_destroy(&actions);
    ::close(in[0]);
    ::close(out[1]);
    ::close(err[1]);
    child.in = in[1];
    child.out = out[0];
    child.err = err[0];
    return child;
}

void writeAll(int fd, std::string_view text)
{
    ASSERT_EQ(::write(fd, text.data(), text.size()), static_cast<ssize_t>(text.size()));
}

TEST(BatchStream, EachLineIsAnsweredBeforeTheNextArrives)
{
    signal(SIGPIPE, SIG_IGN);
    Child child = startBatch();
    std::string out;
    const struct {
        const char* line;
        const char* answer;
    } steps[] = {
        {"JO01 FN20\n", "5690.9,289,51\n"},
        {"# between\n", "# between\n"},
        // Half a line is not answered; its end completes it.
        {"IO91 ", ""},
        {"JO01\n", "137.6,89,271\n"},
        {"JO01 JO01\nFN20 FN20\n", "0,,\n0,,\n"},
    };
    for (const auto& step : steps) {
        SCOPED_TRACE(step.line);
        const auto start = Clock::now();
        writeAll(child.in, step.line);
        const std::string before = out;
        ASSERT_TRUE(readUntil(child.out, out, before + step.answer)) << out;
        const auto ms = std::chrono::duration_cast<std::chrono::milliseconds>(Clock::now() - start).count();
        RecordProperty(std::string("answer_ms_") + std::to_string(&step - steps), static_cast<int>(ms));
    }
    ::close(child.in);
    EXPECT_EQ(waitForExit(child.pid), 0);
    ::close(child.out);
    ::close(child.err);
}

TEST(BatchStream, ATerminalGetsAnswersAndOneCtrlDEnds)
{
    int terminal = -1;
    const pid_t pid = forkpty(&terminal, nullptr, nullptr, nullptr);
    ASSERT_GE(pid, 0);
    if (pid == 0) {
        execl(SKYBRANT_CLI_PATH, SKYBRANT_CLI_PATH, "--batch", static_cast<char*>(nullptr));
        _exit(127);
    }
    std::string out;
    writeAll(terminal, "JO01 FN20\n");
    EXPECT_TRUE(readUntil(terminal, out, "5690.9,289,51")) << out;
    writeAll(terminal, "IO91 JO01\n");
    EXPECT_TRUE(readUntil(terminal, out, "137.6,89,271")) << out;
    // The terminal's end-of-file character, once, at the start of a line.
    termios modes{};
    ASSERT_EQ(tcgetattr(terminal, &modes), 0);
    const char eof = static_cast<char>(modes.c_cc[VEOF]);
    writeAll(terminal, std::string_view(&eof, 1));
    EXPECT_EQ(waitForExit(pid), 0) << out;
    ::close(terminal);
}

TEST(BatchStream, AClosedStreamIsNamed)
{
    signal(SIGPIPE, SIG_IGN);
    const struct {
        const char* name;
        int closed;
        const char* message;
    } cases[] = {
        {"input", 0, "skybrant-cli: cannot read the input: standard input is closed\n"},
        {"output", 1, "skybrant-cli: cannot write the output: standard output is closed\n"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        Child child = startBatch({c.closed});
        // With its input closed nobody reads the pipe; the write may fail.
        (void)!::write(child.in, "JO01 FN20\n", 10);
        ::close(child.in);
        std::string err;
        readUntil(child.err, err, "\n");
        EXPECT_EQ(err, c.message);
        std::string out;
        readUntil(child.out, out, "never");
        EXPECT_EQ(out, "");
        EXPECT_EQ(waitForExit(child.pid), 1);
        ::close(child.out);
        ::close(child.err);
    }
}

}  // namespace
