#include "map_module.h"

#include "own_files.h"

#include <dlfcn.h>

#include <filesystem>

namespace skybrant::cli {

namespace {

// The module, loaded once.
void* module(std::string& error)
{
    static void* handle = nullptr;
    static std::string failure;
    if (handle != nullptr || !failure.empty()) {
        error = failure;
        return handle;
    }
    if (const std::filesystem::path path = mapModulePath(); !path.empty()) {
        handle = dlopen(path.c_str(), RTLD_NOW | RTLD_LOCAL);
        if (handle != nullptr) {
            return handle;
        }
        const char* reason = dlerror();
        failure = std::string("cannot draw maps: ") + (reason != nullptr ? reason : path.string());
        error = failure;
        return nullptr;
    }
    failure = "cannot draw maps: " + std::string(kMapModuleFile) + " is not installed beside skybrant-cli";
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
        error = "cannot draw maps: " + std::string(kMapModuleFile) + " has no " + name;
    }
    return found;
}

}  // namespace

bool writeMapThroughModule(
    const MapRequest& request, const Position& own, const Position& other, std::string& note, std::string& error)
{
    auto* write = entry<WriteMapEntry>(kWriteMapEntry, error);
    return write != nullptr && write(&request, &own, &other, &note, &error);
}

bool writeChartThroughModule(const ChartRequest& request, const BearingChart& chart, std::string& error)
{
    auto* write = entry<WriteChartEntry>(kWriteChartEntry, error);
    return write != nullptr && write(&request, &chart, &error);
}

}  // namespace skybrant::cli
