#ifndef VESTIGA_PLATFORM_WIN32_ROOTKEYS_H
#define VESTIGA_PLATFORM_WIN32_ROOTKEYS_H

#include "platform/win32/Win32Handles.h"

namespace platform {

// A predefined root key of the registry: its name and its handle.
struct RootKey {
    const char* name;
    HKEY handle;
};

// Every predefined root key, in the order in which names and handles are
// looked up and in which HKEY_ROOT lists them.
extern const RootKey ROOT_KEYS[7];

}  // namespace platform

#endif
