#ifndef VESTIGA_PLATFORM_WIN32_EMULATION_HANDLEOBJECT_H
#define VESTIGA_PLATFORM_WIN32_EMULATION_HANDLEOBJECT_H

#include "platform/win32/emulation/Win32File.h"

namespace platform {

// What a HANDLE of this layer points to. Each kind of handle derives from
// it and names its kind, so that a call can tell whether it was given a
// handle of its kind without a run-time type lookup on every call.
class HandleObject {
public:
    enum Kind { FILE_HANDLE, FIND_HANDLE };

    explicit HandleObject(Kind kind) : _kind(kind) {}
    virtual ~HandleObject() {}
    HandleObject(const HandleObject&) = delete;
    HandleObject& operator=(const HandleObject&) = delete;

    Kind getKind() const { return _kind; }

private:
    const Kind _kind;
};

inline HANDLE toHandle(HandleObject* object) { return static_cast<void*>(object); }

// The object behind `handle` if it is a `Handle` (a class with a static
// `kind`); otherwise null, with ERROR_INVALID_HANDLE as the last error.
template <class Handle>
Handle* handleObject(HANDLE handle) {
    Handle* object = nullptr;
    if (handle != nullptr && handle != INVALID_HANDLE_VALUE) {
        HandleObject* base = static_cast<HandleObject*>(handle);
        if (base->getKind() == Handle::kind) object = static_cast<Handle*>(base);
    }
    if (object == nullptr) SetLastError(ERROR_INVALID_HANDLE);
    return object;
}

}  // namespace platform

#endif
