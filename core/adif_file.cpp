#include "adif_file.h"

#include "descriptor.h"
#include "utf8.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <memory>

namespace skybrant {

namespace {

constexpr std::size_t kBlock = std::size_t{1} << 20;

std::string failure(const std::string& what, const std::string& path, int error)
{
    std::string shown;
    appendShown(path, shown);
    return "cannot " + what + " the log \"" + shown + "\": " + std::strerror(error);
}

}  // namespace

AdifFileRead readAdifFile(const std::string& path, AdifResume from, AdifSink& sink, bool complete)
{
    AdifFileRead read;
    // O_NONBLOCK: a named pipe or device in the log's place is not waited on.
    const Descriptor file(::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NOCTTY | O_NONBLOCK));
    if (file.get() < 0) {
        read.error = failure("open", path, errno);
        return read;
    }
    struct stat status { };
    if (::fstat(file.get(), &status) != 0) {
        read.error = failure("read", path, errno);
        return read;
    }
    if (S_ISDIR(status.st_mode)) {
        read.error = failure("read", path, EISDIR);
        return read;
    }
    if (S_ISREG(status.st_mode) && static_cast<std::uint64_t>(status.st_size) < from.offset) {
        from = {};
        read.restarted = true;
    }
    if (from.offset != 0 && ::lseek(file.get(), static_cast<off_t>(from.offset), SEEK_SET) < 0) {
        read.error = failure("read", path, errno);
        return read;
    }
    AdifReader reader(from);
    // Left uncleared: only the bytes read into it are looked at.
    const auto block = std::make_unique_for_overwrite<char[]>(kBlock);
    for (;;) {
        const ssize_t got = ::read(file.get(), block.get(), kBlock);
        if (got < 0 && errno == EINTR) {
            continue;
        }
        if (got < 0) {
            read.error = failure("read", path, errno);
            read.resume = reader.resume();
            return read;
        }
        if (got == 0) {
            break;
        }
        reader.feed({block.get(), static_cast<std::size_t>(got)}, sink);
    }
    if (complete) {
        reader.finish(sink);
    }
    read.ok = true;
    read.resume = reader.resume();
    return read;
}

}  // namespace skybrant
