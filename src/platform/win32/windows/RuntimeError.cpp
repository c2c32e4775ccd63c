#include "platform/win32/RuntimeError.h"

namespace platform {

// The runtime's file calls are Win32 calls underneath: a failed one has
// already left its code as the last error.
void setLastErrorFromRuntime() {}

}  // namespace platform
