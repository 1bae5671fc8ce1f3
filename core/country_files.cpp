#include "country_files.h"

#include "utf8.h"

#include <algorithm>
#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <system_error>

namespace skybrant {

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
    std::error_code code;
    if (std::filesystem::is_directory(path, code)) {
        error = "the country file " + quote(path) + " is a folder";
        return false;
    }
    std::ifstream in(path, std::ios::binary);
    if (!in) {
        error = "cannot open the country file " + quote(path) + ": " + std::strerror(errno);
        return false;
    }
    std::string text;
    std::array<char, std::size_t{1} << 16> chunk{};
    while (in && text.size() <= kMaxFileBytes) {
        in.read(chunk.data(), chunk.size());
        text.append(chunk.data(), static_cast<std::size_t>(in.gcount()));
    }
    if (in.bad()) {
        error = "cannot read the country file " + quote(path) + ": " + std::strerror(errno);
        return false;
    }
    if (text.size() > kMaxFileBytes) {
        error = "the country file " + quote(path) + " is larger than 16 MiB; it is not a country file (cty.dat)";
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
