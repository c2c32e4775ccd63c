#ifndef VESTIGA_PLATFORM_WIN32_LASTERROR_H
#define VESTIGA_PLATFORM_WIN32_LASTERROR_H

#include <cstdint>

namespace platform {

// The calling thread's last Win32 error (GetLastError), for code that holds
// no Win32 header: that of the failed call before it.
std::uint32_t lastError();

}  // namespace platform

#endif
