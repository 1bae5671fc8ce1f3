#pragma once

#include <filesystem>
#include <string_view>

namespace skybrant::cli {

// Drawing maps, which takes Qt's graphical side.
inline constexpr std::string_view kMapModuleFile = "skybrant-cli-map.so";

// The map module: beside the running program in a build tree, else in the
// library folder beside the folder the program is installed in, the program
// found through /proc. Empty when no regular file is there.
std::filesystem::path mapModulePath();

}  // namespace skybrant::cli
