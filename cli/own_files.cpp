#include "own_files.h"

#include <system_error>

namespace skybrant::cli {

std::filesystem::path mapModulePath()
{
    std::error_code ec;
    const std::filesystem::path program = std::filesystem::read_symlink("/proc/self/exe", ec);
    if (ec) {
        return {};
    }
    const std::filesystem::path folder = program.parent_path();
    for (const std::filesystem::path& path :
        {folder / kMapModuleFile, folder / ".." / SKYBRANT_CLI_LIBRARY_DIR / kMapModuleFile}) {
        if (std::filesystem::is_regular_file(path, ec)) {
            return path;
        }
    }
    return {};
}

}  // namespace skybrant::cli
