// The batch at the end of a pipe: a producer that keeps the pipe full has
// its input shared out among the threads, while a steady trickle of lines
// still has each answered soon after it arrives.

#include "batch_run.h"
#include "cli/batch.h"

#include <gtest/gtest.h>

#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <unistd.h>

#include <algorithm>
#include <array>
#include <chrono>
#include <cstdio>
#include <string>
#include <thread>
#include <vector>

namespace skybrant::cli {
namespace {

using Clock = std::chrono::steady_clock;

struct Pipe {
    int read = -1;
    int write = -1;
};

Pipe makePipe()
{
    std::array<int, 2> fds{-1, -1};
    EXPECT_EQ(::pipe2(fds.data(), O_CLOEXEC), 0);
    return {fds[0], fds[1]};
}

bool writeAll(int fd, const char* data, std::size_t size)
{
    while (size > 0) {
        const ssize_t n = ::write(fd, data, size);
        if (n <= 0) {
            return false;
        }
        data += n;
        size -= static_cast<std::size_t>(n);
    }
    return true;
}

// DMS pairs, each line different, about bytes long.
std::string pairLines(std::size_t bytes)
{
    std::string text;
    for (unsigned i = 0; text.size() < bytes; ++i) {
        text += std::to_string(i % 90) + ' ' + std::to_string(i % 60) + " 0 N " + std::to_string(i % 180) + " " +
            std::to_string(i % 59) + " 0 W " + std::to_string((i * 7) % 90) + " 0 " + std::to_string(i % 60) + " S " +
            std::to_string((i * 13) % 180) + " 0 0 E\n";
    }
    return text;
}

std::string readAllOf(std::FILE* file)
{
    std::rewind(file);
    std::string text;
    std::array<char, 65536> buf{};
    std::size_t n = 0;
    while ((n = std::fread(buf.data(), 1, buf.size(), file)) > 0) {
        text.append(buf.data(), n);
    }
    return text;
}

TEST(BatchPipe, AFastProducerIsSharedOut)
{
    signal(SIGPIPE, SIG_IGN);
    const std::string input = pairLines(std::size_t{6} << 20);
    BatchOptions one;
    one.threads = 1;
    const std::string expected = runBatchOver(input, nullptr, one);
    const struct {
        const char* name;
        std::size_t piece;
        std::chrono::microseconds pause;
    } producers[] = {
        // As cat writes: as much as its buffer holds, back to back.
        {"128 KiB writes", std::size_t{128} * 1024, {}},
        {"a pipe's worth, then a moment off the processor", std::size_t{64} * 1024, std::chrono::microseconds(200)},
        {"many small writes", std::size_t{4} * 1024, {}},
    };
    for (const auto& producer : producers) {
        SCOPED_TRACE(producer.name);
        const Pipe pipe = makePipe();
        std::thread writer([&] {
            for (std::size_t at = 0; at < input.size(); at += producer.piece) {
                if (!writeAll(pipe.write, input.data() + at, std::min(producer.piece, input.size() - at))) {
                    break;
                }
                if (producer.pause.count() > 0) {
                    std::this_thread::sleep_for(producer.pause);
                }
            }
            ::close(pipe.write);
        });
        std::FILE* in = ::fdopen(pipe.read, "r");
        std::FILE* out = std::tmpfile();
        ASSERT_NE(in, nullptr);
        ASSERT_NE(out, nullptr);
        BatchOptions two;
        two.threads = 2;
        const BatchOutcome outcome = runBatch(in, out, two);
        writer.join();
        EXPECT_FALSE(outcome.ioFailed) << outcome.ioError;
        EXPECT_EQ(outcome.threadsUsed, 2U);
        EXPECT_EQ(outcome.lines, static_cast<std::uint64_t>(std::count(input.begin(), input.end(), '\n')));
        const std::string written = readAllOf(out);
        EXPECT_TRUE(written == expected) << written.size() << " bytes written, " << expected.size() << " expected";
        std::fclose(in);
        std::fclose(out);
    }
}

// Lines that come one at a time, a little faster than a brief pause, never
// stop coming long enough to look like slow input; each is answered within
// 100 ms all the same.
TEST(BatchPipe, ASteadyTrickleIsAnsweredLineByLine)
{
    signal(SIGPIPE, SIG_IGN);
    // Some 0.9 s of input: an answer held back to the end would wait that
    // long, while a loaded machine may delay a streamed one by a few tens.
    constexpr int kLines = 3000;
    constexpr auto kGap = std::chrono::microseconds(300);
    const std::string line = "JO01mm FN20xr\n";
    const std::string answer = runBatchOver(line);
    const Pipe input = makePipe();
    const Pipe output = makePipe();
    std::vector<Clock::time_point> sent(kLines);
    std::vector<Clock::time_point> answered;
    answered.reserve(kLines);
    std::string written;
    std::thread writer([&] {
        for (int i = 0; i < kLines; ++i) {
            sent[static_cast<std::size_t>(i)] = Clock::now();
            if (!writeAll(input.write, line.data(), line.size())) {
                break;
            }
            std::this_thread::sleep_for(kGap);
        }
        ::close(input.write);
    });
    std::thread reader([&] {
        std::array<char, 4096> buf{};
        ssize_t n = 0;
        while ((n = ::read(output.read, buf.data(), buf.size())) > 0) {
            const auto now = Clock::now();
            for (ssize_t i = 0; i < n; ++i) {
                if (buf[static_cast<std::size_t>(i)] == '\n') {
                    answered.push_back(now);
                }
            }
            written.append(buf.data(), static_cast<std::size_t>(n));
        }
    });
    std::FILE* in = ::fdopen(input.read, "r");
    std::FILE* out = ::fdopen(output.write, "w");
    ASSERT_NE(in, nullptr);
    ASSERT_NE(out, nullptr);
    BatchOptions two;
    two.threads = 2;
    const BatchOutcome outcome = runBatch(in, out, two);
    writer.join();
    std::fclose(out);
    reader.join();
    std::fclose(in);
    EXPECT_FALSE(outcome.ioFailed) << outcome.ioError;
    std::string expected;
    for (int i = 0; i < kLines; ++i) {
        expected += answer;
    }
    ASSERT_EQ(written, expected);
    ASSERT_EQ(answered.size(), sent.size());
    std::chrono::milliseconds longest{};
    for (std::size_t i = 0; i < sent.size(); ++i) {
        longest = std::max(longest, std::chrono::duration_cast<std::chrono::milliseconds>(answered[i] - sent[i]));
    }
    EXPECT_LT(longest.count(), 300) << "the longest wait for an answer";
}

}  // namespace
}  // namespace skybrant::cli
