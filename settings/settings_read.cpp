#include "settings_read.h"

#include "core/descriptor.h"
#include "core/file_kind.h"

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace skybrant::settings {

namespace {

// Whether what st describes may be read as the settings file; says why
// not in found.
bool judge(const struct stat& st, const std::string& path, SettingsBytes& found)
{
    if (!S_ISREG(st.st_mode)) {
        found.state = SettingsBytes::State::NotRegular;
        found.kind = fileKind(st.st_mode);
        found.replaceable = replaceableByFile(path, st.st_mode);
        return false;
    }
    if (st.st_size > kMaxSettingsFileSize) {
        found.state = SettingsBytes::State::TooLarge;
        return false;
    }
    return true;
}

void cannotOpen(SettingsBytes& found, int error)
{
    found.state = SettingsBytes::State::CannotOpen;
    found.why = std::strerror(error);
}

}  // namespace

std::string settingsFilePath(std::string_view application)
{
    const char* config = std::getenv("XDG_CONFIG_HOME");
    std::string folder;
    if (config != nullptr && config[0] == '/') {
        folder = config;
    } else {
        const char* home = std::getenv("HOME");
        folder = std::string(home != nullptr && home[0] != '\0' ? home : "") + "/.config";
    }
    return folder + '/' + std::string(application) + '/' + std::string(application) + ".ini";
}

bool replaceableByFile(const std::string& path, unsigned mode)
{
    struct stat own { };
    const bool link = ::lstat(path.c_str(), &own) == 0 && S_ISLNK(own.st_mode);
    return !link && (S_ISFIFO(mode) || S_ISSOCK(mode));
}

SettingsBytes readSettingsBytes(const std::string& path)
{
    SettingsBytes found;
    struct stat info { };
    // Looked at before it is opened: opening a named pipe waits for a
    // writer, and opening a device can have effects of its own.
    if (::stat(path.c_str(), &info) != 0) {
        const int error = errno;
        cannotOpen(found, error);
        if (error == ENOENT || error == ENOTDIR) {
            found.state = SettingsBytes::State::Absent;
        }
        return found;
    }
    if (!judge(info, path, found)) {
        return found;
    }
    // Something else may have taken its place since: never wait on it.
    const Descriptor fd(::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_NOCTTY | O_CLOEXEC));
    if (fd.get() < 0) {
        const int error = errno;
        cannotOpen(found, error);
        if (error == ENOENT) {
            found.state = SettingsBytes::State::Absent;
        }
        return found;
    }
    if (::fstat(fd.get(), &info) != 0) {
        cannotOpen(found, errno);
        return found;
    }
    if (!judge(info, path, found)) {
        return found;
    }
    // One byte past the limit tells a file that grew since it was looked at.
    constexpr auto kLimit = static_cast<std::size_t>(kMaxSettingsFileSize);
    std::string bytes(kLimit + 1, '\0');
    std::size_t size = 0;
    while (size < bytes.size()) {
        const ssize_t n = ::read(fd.get(), bytes.data() + size, bytes.size() - size);
        if (n < 0 && errno == EINTR) {
            continue;
        }
        if (n < 0) {
            cannotOpen(found, errno);
            return found;
        }
        if (n == 0) {
            break;
        }
        size += static_cast<std::size_t>(n);
    }
    if (size > kLimit) {
        found.state = SettingsBytes::State::TooLarge;
        return found;
    }
    bytes.resize(size);
    found.bytes = std::move(bytes);
    found.state = SettingsBytes::State::Read;
    return found;
}

}  // namespace skybrant::settings
