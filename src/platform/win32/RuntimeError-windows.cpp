#include "platform/win32/RuntimeError.h"

#include <cerrno>
#include <cstdlib>

#include "platform/win32/Win32.h"

namespace platform {

// The runtime's file calls are Win32 calls underneath; the runtime keeps the
// Win32 code of the last one that failed in _doserrno. The thread's last
// error itself does not survive until the failure is caught: throwing the
// stream's exception runs Win32 calls that succeed and reset it.
void clearRuntimeError() {
    errno = 0;
    _doserrno = 0;
}

void setLastErrorFromRuntime() { SetLastError(_doserrno != 0 ? static_cast<DWORD>(_doserrno) : ERROR_HANDLE_EOF); }

}  // namespace platform
