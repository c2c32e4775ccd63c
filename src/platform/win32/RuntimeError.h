#ifndef VESTIGA_PLATFORM_WIN32_RUNTIMEERROR_H
#define VESTIGA_PLATFORM_WIN32_RUNTIMEERROR_H

namespace platform {

// Call right after a file operation of the C++ runtime (a file stream) has
// failed: makes the calling thread's last Win32 error describe that failure.
void setLastErrorFromRuntime();

}  // namespace platform

#endif
