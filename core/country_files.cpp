#include "country_files.h"

#include "descriptor.h"
#include "file_kind.h"
#include "utf8.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <array>
#include <cerrno>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <system_error>

namespace skybrant {

namespace {

std::string tooLarge(const std::string& path)
{
    return "the country file " + quote(path) + " is larger than 16 MiB; it is not a country file (cty.dat)";
}

}  // namespace

std::string userCountryFile()
{
    const char* data = std::getenv("XDG_DATA_HOME");
    std::filesystem::path folder;
    if (data != nullptr && std::filesystem::path(data).is_absolute()) {
        folder = data;
    } else if (const char* home = std::getenv("HOME"); home != nullptr && *home != '\0') {
        folder = std::filesystem::path(home) / ".local" / "share";
    } else {
        return {};
    }
    return (folder / "Skybrant" / "cty.dat").string();
}

std::string defaultCountryFile()
{
    std::string own = userCountryFile();
    std::error_code code;
    if (!own.empty() && std::filesystem::exists(own, code)) {
        return own;
    }
    return std::string(kPackagedCountryFile);
}

bool CountryFiles::load(const std::string& path, std::string& error)
{
    const auto refused = [&](const struct stat& info) {
        if (!S_ISREG(info.st_mode)) {
            error = "the country file " + quote(path) + " is " + fileKind(info.st_mode) + ", not a regular file";
            return true;
        }
        if (static_cast<std::uintmax_t>(info.st_size) > kMaxFileBytes) {
            error = tooLarge(path);
            return true;
        }
        return false;
    };
    // Looked at before it is opened: opening a named pipe waits for a
    // writer, and opening a device can have effects of its own.
    struct stat info { };
    if (::stat(path.c_str(), &info) != 0) {
        error = "cannot open the country file " + quote(path) + ": " + std::strerror(errno);
        return false;
    }
    if (refused(info)) {
        return false;
    }
    // Something else may have taken its place since: never wait on it.
    const Descriptor file(::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_NOCTTY | O_CLOEXEC));
    const int fd = file.get();
    if (fd < 0) {
        error = "cannot open the country file " + quote(path) + ": " + std::strerror(errno);
        return false;
    }
    if (::fstat(fd, &info) != 0) {
        error = "cannot read the country file " + quote(path) + ": " + std::strerror(errno);
        return false;
    }
    if (refused(info)) {
        return false;
    }
    std::string text;
    text.reserve(static_cast<std::size_t>(info.st_size));
    // A file that grows while it is read is cut at one byte past the limit.
    std::array<char, std::size_t{1} << 16> chunk{};
    while (text.size() <= kMaxFileBytes) {
        const ssize_t got = ::read(fd, chunk.data(), std::min(chunk.size(), kMaxFileBytes + 1 - text.size()));
        if (got < 0 && errno == EINTR) {
            continue;
        }
        if (got < 0) {
            error = "cannot read the country file " + quote(path) + ": " + std::strerror(errno);
            return false;
        }
        if (got == 0) {
            break;
        }
        text.append(chunk.data(), static_cast<std::size_t>(got));
    }
    if (text.size() > kMaxFileBytes) {
        error = tooLarge(path);
        return false;
    }
    return read(text, path, error);
}

const CountryListing* CountryFiles::findExact(std::string_view call) const
{
    const auto found = exactCalls_.find(call);
    return found == exactCalls_.end() ? nullptr : &found->second;
}

const CountryListing* CountryFiles::findLongestPrefix(std::string_view text) const
{
    for (std::size_t length = std::min(text.size(), longestPrefix_); length > 0; --length) {
        const auto found = prefixes_.find(text.substr(0, length));
        if (found != prefixes_.end()) {
            return &found->second;
        }
    }
    return nullptr;
}

}  // namespace skybrant
