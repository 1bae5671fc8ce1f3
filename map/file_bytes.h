#pragma once
// Drawings leave the program through here, whether skybrant-cli or the map
// window wrote them.

#include <QByteArray>

#include <string>
#include <string_view>

namespace skybrant {

// Writes the drawn file under the name exactly as given, bytes and all (Qt
// would take the name for UTF-8 and replace what is not). Opened without
// waiting, so a pipe that no one reads is an error, not a hang.
// what names the drawing in the sentence of a failure ("the map").
bool writeBytes(const std::string& file, const QByteArray& bytes, std::string_view what, std::string& error);

}  // namespace skybrant
