#include "platform/win32/RuntimeError.h"

#include <cerrno>

#include "platform/win32/emulation/Win32Base.h"

namespace platform {

// The runtime reports through errno only.
void clearRuntimeError() { errno = 0; }

void setLastErrorFromRuntime() { SetLastError(errno != 0 ? errorFromErrno(errno) : ERROR_HANDLE_EOF); }

}  // namespace platform
