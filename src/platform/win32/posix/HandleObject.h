#ifndef VESTIGA_PLATFORM_WIN32_POSIX_HANDLEOBJECT_H
#define VESTIGA_PLATFORM_WIN32_POSIX_HANDLEOBJECT_H

#include "platform/win32/posix/Win32File.h"

namespace platform {

// What a HANDLE of this layer points to. Each kind of handle derives from
// it, so that a call can tell whether it was given a handle of its kind.
class HandleObject {
public:
    HandleObject() {}
    virtual ~HandleObject() {}
    HandleObject(const HandleObject&) = delete;
    HandleObject& operator=(const HandleObject&) = delete;
};

inline HANDLE toHandle(HandleObject* object) { return static_cast<void*>(object); }

// The object behind `handle` if it is a `Kind`; otherwise null, with
// ERROR_INVALID_HANDLE as the last error.
template <class Kind>
Kind* handleObject(HANDLE handle) {
    Kind* object = nullptr;
    if (handle != nullptr && handle != INVALID_HANDLE_VALUE) {
        object = dynamic_cast<Kind*>(static_cast<HandleObject*>(handle));
    }
    if (object == nullptr) SetLastError(ERROR_INVALID_HANDLE);
    return object;
}

}  // namespace platform

#endif
