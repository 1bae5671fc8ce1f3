#include "country_files.h"

#include "utf8.h"

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <system_error>

namespace skybrant {

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
