#include "platform/win32/StandardOutput.h"

#include <fcntl.h>
#include <io.h>
#include <stdio.h>

namespace platform {

void useBinaryStandardOutput() { _setmode(_fileno(stdout), _O_BINARY); }

}  // namespace platform
