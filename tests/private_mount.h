#pragma once

// A file system of a few KiB made by the test itself, never the real disk:
// a tmpfs mounted in this process's own mount namespace, which nobody else
// sees and which goes with the process (and so with each test, as ctest runs
// them one process each).

#include <QByteArray>
#include <QFile>
#include <QString>

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <optional>
#include <sched.h>
#include <string>
#include <sys/mount.h>
#include <unistd.h>

namespace skybrant::testing {

// Mounts a tmpfs of kib KiB over dir; says why it could not.
inline std::optional<std::string> mountPrivateTmpfs(const QString& dir, int kib)
{
    static const int unshared = [] {
        if (::unshare(CLONE_NEWNS) != 0 || ::mount(nullptr, "/", nullptr, MS_REC | MS_PRIVATE, nullptr) != 0) {
            return errno;
        }
        return 0;
    }();
    if (unshared != 0) {
        return std::string("no mount namespace of its own: ") + std::strerror(unshared);
    }
    const std::string options = "size=" + std::to_string(kib) + "k,mode=0700";
    if (::mount("tmpfs", QFile::encodeName(dir).constData(), "tmpfs", MS_NOSUID | MS_NODEV, options.c_str()) != 0) {
        return std::string("no tmpfs: ") + std::strerror(errno);
    }
    return std::nullopt;
}

// Fills the file system of dir with a file of its own until no more than
// leave bytes (whole pages) stay free.
inline bool fillUpTo(const QString& dir, off_t leave)
{
    const QByteArray path = QFile::encodeName(dir + QStringLiteral("/filler"));
    const int fd = ::open(path.constData(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0600);
    if (fd < 0) {
        return false;
    }
    const std::string page(4096, 'f');
    off_t size = 0;
    for (ssize_t n = 0; (n = ::write(fd, page.data(), page.size())) > 0;) {
        size += n;
    }
    const bool full = errno == ENOSPC && size >= leave && ::ftruncate(fd, size - leave) == 0;
    ::close(fd);
    return full;
}

}  // namespace skybrant::testing
