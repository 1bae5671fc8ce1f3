#include "own_files.h"

#include <unistd.h>

#include <cstdlib>
#include <string>
#include <system_error>

namespace skybrant::cli {

namespace {

// The running program's file from argv[0]: a path as it stands, a bare name
// looked for in PATH as the shell did.
std::filesystem::path programStartedAs(const char* startedAs)
{
    if (startedAs == nullptr || *startedAs == '\0') {
        return {};
    }
    const std::string_view name(startedAs);
    if (name.find('/') != std::string_view::npos) {
        return {name};
    }
    const char* path = std::getenv("PATH");
    std::string_view folders = path != nullptr ? path : "";
    while (!folders.empty()) {
        const std::size_t colon = folders.find(':');
        const std::string_view folder = folders.substr(0, colon);
        std::filesystem::path candidate = std::filesystem::path(folder.empty() ? "." : folder) / name;
        if (access(candidate.c_str(), X_OK) == 0) {
            return candidate;
        }
        folders.remove_prefix(colon == std::string_view::npos ? folders.size() : colon + 1);
    }
    return {};
}

}  // namespace

std::filesystem::path ownFile(std::string_view name, const char* startedAs)
{
    std::error_code ec;
    std::filesystem::path program = std::filesystem::read_symlink("/proc/self/exe", ec);
    if (ec) {
        program = std::filesystem::canonical(programStartedAs(startedAs), ec);
        if (ec) {
            return {};
        }
    }
    const std::filesystem::path folder = program.parent_path();
    for (const std::filesystem::path& path : {folder / name, folder / ".." / SKYBRANT_CLI_LIBRARY_DIR / name}) {
        if (std::filesystem::is_regular_file(path, ec)) {
            return path;
        }
    }
    return {};
}

}  // namespace skybrant::cli
