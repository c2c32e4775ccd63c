#include "platform/win32/emulation/Win32Environment.h"

#include <cstdlib>
#include <cstring>
#include <string>

namespace {

// The source with its set references replaced. A reference runs from one % to
// the next; when its name is not set, both % and the name are kept and the
// scan goes on after the second %.
std::string expand(const char* source) {
    std::string result;
    const char* cursor = source;
    while (*cursor != '\0') {
        const char* opening = std::strchr(cursor, '%');
        const char* closing = opening != nullptr ? std::strchr(opening + 1, '%') : nullptr;
        if (closing == nullptr) {
            result += cursor;
            break;
        }
        result.append(cursor, opening);
        const std::string name(opening + 1, closing);
        const char* value = name.empty() ? nullptr : std::getenv(name.c_str());
        if (value != nullptr) {
            result += value;
        } else {
            result.append(opening, closing + 1);
        }
        cursor = closing + 1;
    }
    return result;
}

}  // namespace

DWORD ExpandEnvironmentStringsA(LPCSTR source, LPSTR destination, DWORD size) {
    if (source == nullptr) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return 0;
    }
    const std::string expanded = expand(source);
    const DWORD needed = static_cast<DWORD>(expanded.size() + 1);
    if (destination != nullptr && size > 0) {
        const DWORD copied = needed <= size ? needed - 1 : size - 1;
        std::memcpy(destination, expanded.data(), copied);
        destination[copied] = '\0';
    }
    return needed;
}
