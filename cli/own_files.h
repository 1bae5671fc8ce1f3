#pragma once

#include <filesystem>
#include <string_view>

namespace skybrant::cli {

// Drawing maps, which takes Qt's graphical side.
inline constexpr std::string_view kMapModuleFile = "skybrant-cli-map.so";

// A part of skybrant-cli kept in a file of its own: beside the running
// program in a build tree, else in the library folder beside the folder the
// program is installed in. The program is found through /proc, or where
// that is not mounted through how it was started (argv[0], by itself or
// through PATH). Empty when no regular file is there.
std::filesystem::path ownFile(std::string_view name, const char* startedAs = nullptr);

}  // namespace skybrant::cli
