#pragma once
// What the drawings of the map module share; only the module includes it.

#include <QByteArray>

#include <functional>
#include <string>
#include <string_view>

namespace skybrant::cli {

// Writes the drawn file under the name exactly as given, bytes and all (Qt
// would take the name for UTF-8 and replace what is not). Opened without
// waiting, so a pipe that no one reads is an error, not a hang.
// what names the drawing in the sentence of a failure ("the map").
bool writeBytes(const std::string& file, const QByteArray& bytes, std::string_view what, std::string& error);

// Runs work in an offscreen Qt application, so that no display is needed,
// with Qt's own chatter kept off the terminal.
bool inOffscreenApplication(const std::function<bool()>& work);

}  // namespace skybrant::cli
