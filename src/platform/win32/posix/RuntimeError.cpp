#include "platform/win32/RuntimeError.h"

#include "platform/win32/posix/Win32Base.h"

namespace platform {

// The runtime reports through errno only.
void setLastErrorFromRuntime() { setLastErrorFromErrno(); }

}  // namespace platform
