#include "platform/win32/LastError.h"

#include "platform/win32/Win32.h"

namespace platform {

std::uint32_t lastError() { return GetLastError(); }

}  // namespace platform
