#include "platform/win32/HostName.h"

#include <unistd.h>

namespace platform {

std::string hostName() {
    // POSIX leaves a cut name unterminated: the last byte stays NUL.
    char name[256] = {};
    if (gethostname(name, sizeof name - 1) != 0) return std::string();
    return std::string(name);
}

}  // namespace platform
