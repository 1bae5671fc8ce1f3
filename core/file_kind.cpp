#include "file_kind.h"

#include <sys/stat.h>

namespace skybrant {

const char* fileKind(mode_t mode)
{
    if (S_ISFIFO(mode)) {
        return "a named pipe";
    }
    if (S_ISCHR(mode) || S_ISBLK(mode)) {
        return "a device";
    }
    if (S_ISDIR(mode)) {
        return "a folder";
    }
    if (S_ISSOCK(mode)) {
        return "a socket";
    }
    return "a special file";
}

}  // namespace skybrant
