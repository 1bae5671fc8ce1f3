#include "map_module.h"

#include <dlfcn.h>

#include <filesystem>
#include <system_error>

namespace skybrant::cli {

namespace {

constexpr const char* kModuleFile = "skybrant-cli-map.so";

// The module, loaded once: beside the program in a build tree, else in the
// library folder beside the folder the program is installed in.
void* module(std::string& error)
{
    static void* handle = nullptr;
    static std::string failure;
    if (handle != nullptr || !failure.empty()) {
        error = failure;
        return handle;
    }
    std::error_code ec;
    const std::filesystem::path program = std::filesystem::read_symlink("/proc/self/exe", ec);
    const std::filesystem::path folder = program.parent_path();
    for (const std::filesystem::path& path :
        {folder / kModuleFile, folder / ".." / SKYBRANT_CLI_MAP_MODULE_DIR / kModuleFile}) {
        if (ec || !std::filesystem::exists(path, ec)) {
            continue;
        }
        handle = dlopen(path.c_str(), RTLD_NOW | RTLD_LOCAL);
        if (handle != nullptr) {
            return handle;
        }
        const char* reason = dlerror();
        failure = std::string("cannot draw maps: ") + (reason != nullptr ? reason : path.string());
        error = failure;
        return nullptr;
    }
    failure = std::string("cannot draw maps: ") + kModuleFile + " is not installed beside skybrant-cli";
    error = failure;
    return nullptr;
}

template <typename Entry>
Entry* entry(const char* name, std::string& error)
{
    void* handle = module(error);
    if (handle == nullptr) {
        return nullptr;
    }
    auto* found = reinterpret_cast<Entry*>(dlsym(handle, name));
    if (found == nullptr) {
        error = std::string("cannot draw maps: ") + kModuleFile + " has no " + name;
    }
    return found;
}

}  // namespace

std::unique_ptr<QCoreApplication> mapApplication(int& argc, char** argv, std::string& error)
{
    auto* make = entry<MapApplicationEntry>(kMapApplicationEntry, error);
    return std::unique_ptr<QCoreApplication>(make != nullptr ? make(argc, argv) : nullptr);
}

bool writeMapThroughModule(
    const MapRequest& request, const Position& own, const Position& other, std::string& note, std::string& error)
{
    auto* write = entry<WriteMapEntry>(kWriteMapEntry, error);
    return write != nullptr && write(&request, &own, &other, &note, &error);
}

}  // namespace skybrant::cli
