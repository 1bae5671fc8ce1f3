#pragma once

#include <sys/types.h>

namespace skybrant {

// What stands at a file's place instead of a regular file, in words for a
// message: "a named pipe", "a device", "a folder", "a socket" or "a special
// file". Both the country file and the settings file are refused so.
const char* fileKind(mode_t mode);

}  // namespace skybrant
