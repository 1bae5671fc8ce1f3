#pragma once
// What the drawings of the map module share; only the module includes it.

#include <functional>

namespace skybrant::cli {

// Runs work in an offscreen Qt application, so that no display is needed,
// with Qt's own chatter kept off the terminal.
bool inOffscreenApplication(const std::function<bool()>& work);

}  // namespace skybrant::cli
