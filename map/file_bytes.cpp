#include "file_bytes.h"

#include "core/utf8.h"

#include <fcntl.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>

namespace skybrant {

namespace {

bool writeFailed(const std::string& file, std::string_view what, int failure, std::string& error)
{
    error = "cannot write " + std::string(what) + " to " + quote(file) + ": " + std::strerror(failure);
    return false;
}

}  // namespace

bool writeBytes(const std::string& file, const QByteArray& bytes, std::string_view what, std::string& error)
{
    const int fd = ::open(file.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC | O_NONBLOCK, 0666);
    bool ok = fd >= 0 && ::fcntl(fd, F_SETFL, 0) == 0;
    for (qsizetype done = 0; ok && done < bytes.size();) {
        const ssize_t n = ::write(fd, bytes.constData() + done, static_cast<std::size_t>(bytes.size() - done));
        if (n < 0 && errno == EINTR) {
            continue;
        }
        ok = n > 0;
        done += n > 0 ? n : 0;
    }
    const int failure = ok ? 0 : errno;
    if (fd >= 0 && ::close(fd) != 0 && ok) {
        return writeFailed(file, what, errno, error);
    }
    return ok || writeFailed(file, what, failure, error);
}

}  // namespace skybrant
