#pragma once

// Named pipes where a file is expected, in a private temporary folder, and
// a rescue for a reader that wrongly waits on one: the test then fails
// rather than blocking the whole test run.

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <chrono>
#include <condition_variable>
#include <cstdlib>
#include <filesystem>
#include <mutex>
#include <stop_token>
#include <string>
#include <system_error>
#include <thread>

namespace skybrant::testing {

// A folder of this test's own (mkdtemp), removed with all it holds.
class PrivateFolder {
public:
    PrivateFolder()
    {
        std::string pattern = (std::filesystem::temp_directory_path() / "skybrant_test_XXXXXX").string();
        if (::mkdtemp(pattern.data()) != nullptr) {
            path_ = pattern;
        }
    }
    ~PrivateFolder()
    {
        std::error_code ignored;
        if (!path_.empty()) {
            std::filesystem::remove_all(path_, ignored);
        }
    }
    PrivateFolder(const PrivateFolder&) = delete;
    PrivateFolder& operator=(const PrivateFolder&) = delete;
    PrivateFolder(PrivateFolder&&) = delete;
    PrivateFolder& operator=(PrivateFolder&&) = delete;

    bool valid() const { return !path_.empty(); }
    const std::filesystem::path& path() const { return path_; }

    // A named pipe at name inside the folder (folders on the way made);
    // false when it cannot be made.
    bool makePipe(const std::filesystem::path& name) const
    {
        std::error_code ignored;
        std::filesystem::create_directories((path_ / name).parent_path(), ignored);
        return valid() && ::mkfifo((path_ / name).c_str(), 0600) == 0;
    }

private:
    std::filesystem::path path_;
};

// Once `after` has passed, opens the named pipe at path for writing and
// closes it again, over and over until destroyed, whenever a reader has it
// open: a reader stuck waiting for a writer, or for data, then sees an
// empty file and goes on. Never blocks itself (O_NONBLOCK: the open fails
// when no one reads).
class PipeRescue {
public:
    PipeRescue(std::filesystem::path path, std::chrono::milliseconds after)
        : thread_([this, path = std::move(path), after](const std::stop_token& stop) { run(stop, path, after); })
    {
    }

private:
    void run(const std::stop_token& stop, const std::filesystem::path& path, std::chrono::milliseconds after)
    {
        std::unique_lock lock(mutex_);
        if (wake_.wait_for(lock, stop, after, [&stop] { return stop.stop_requested(); })) {
            return;
        }
        constexpr auto kPoll = std::chrono::milliseconds(20);
        while (!wake_.wait_for(lock, stop, kPoll, [&stop] { return stop.stop_requested(); })) {
            const int fd = ::open(path.c_str(), O_WRONLY | O_NONBLOCK | O_CLOEXEC);
            if (fd >= 0) {
                ::close(fd);
            }
        }
    }

    std::mutex mutex_;
    std::condition_variable_any wake_;
    std::jthread thread_;  // last: stopped and joined before the rest goes
};

}  // namespace skybrant::testing
