#include "platform/win32/StandardOutput.h"

namespace platform {

// POSIX streams never translate line ends.
void useBinaryStandardOutput() {}

}  // namespace platform
