#ifndef VESTIGA_PLATFORM_WIN32_RUNTIMEERROR_H
#define VESTIGA_PLATFORM_WIN32_RUNTIMEERROR_H

namespace platform {

// Call right before a file operation of the C++ runtime (a file stream):
// forgets whatever failure the runtime recorded earlier.
void clearRuntimeError();

// Call right after such an operation has failed: makes the calling thread's
// last Win32 error describe that failure. A failure without a system error
// behind it is an early end of the file (ERROR_HANDLE_EOF): the stream found
// fewer bytes than it was asked for.
void setLastErrorFromRuntime();

}  // namespace platform

#endif
