#include "platform/win32/FileCalls.h"

#include "platform/win32/Win32.h"

namespace platform {

bool closeKeepingError(HANDLE file) {
    const DWORD failure = GetLastError();
    CloseHandle(file);
    SetLastError(failure);
    return false;
}

}  // namespace platform
