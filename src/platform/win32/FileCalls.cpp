#include "platform/win32/FileCalls.h"

#include <algorithm>

#include "platform/win32/Win32.h"

namespace platform {

namespace {

// The most one WriteFile call is given.
const std::size_t largestWrite = 1u << 30;

}  // namespace

bool closeKeepingError(HANDLE file) {
    const DWORD failure = GetLastError();
    CloseHandle(file);
    SetLastError(failure);
    return false;
}

bool writeAll(HANDLE file, const char* data, std::size_t size) {
    for (std::size_t done = 0; done < size;) {
        const DWORD piece = static_cast<DWORD>(std::min(size - done, largestWrite));
        DWORD written = 0;
        if (!WriteFile(file, data + done, piece, &written, nullptr)) return false;
        done += written;
    }
    return true;
}

}  // namespace platform
