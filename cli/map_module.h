#pragma once
// Drawing maps takes Qt's graphical side, which takes longer to load than
// all the rest of skybrant-cli; it lives in a module, skybrant-cli-map.so,
// loaded only by a run that draws a map.

#include "core/position.h"
#include "map_picture.h"

#include <QCoreApplication>

#include <memory>
#include <string>

namespace skybrant::cli {

// The module's two entry points.
extern "C" {
using MapApplicationEntry = QCoreApplication*(int& argc, char** argv);
using WriteMapEntry = bool(
    const MapRequest* request, const Position* own, const Position* other, std::string* note, std::string* error);
}
inline constexpr const char* kMapApplicationEntry = "skybrant_cli_map_application";
inline constexpr const char* kWriteMapEntry = "skybrant_cli_write_map";

// The application a map is drawn in, from the module; nullptr with a
// sentence for the user when the module cannot be loaded.
std::unique_ptr<QCoreApplication> mapApplication(int& argc, char** argv, std::string& error);

// writeMap through the module; false with a sentence when it cannot be
// loaded or the map cannot be written.
bool writeMapThroughModule(
    const MapRequest& request, const Position& own, const Position& other, std::string& note, std::string& error);

}  // namespace skybrant::cli
