#include "platform/errorresources/SystemErrors.h"

#include "platform/errorresources/Assertion.h"
#include "platform/errorresources/ErrorMapper.h"
#include "platform/win32/Win32.h"
#include "util/Helpers.h"

namespace {

const char* const prefix = "System error message: ";

// Releases the block FormatMessageA allocated, on every path.
class LocalBuffer {
public:
    LocalBuffer() : text(nullptr) {}
    ~LocalBuffer() {
        if (text != nullptr) LocalFree(text);
    }
    char* text;
};

}  // namespace

std::string SystemErrors::map(int errorCode, const ErrorMapper* fallbackErrors) {
    try {
        std::string result(prefix);
        LocalBuffer buffer;
        DWORD length = FormatMessageA(
            FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_IGNORE_INSERTS | FORMAT_MESSAGE_FROM_SYSTEM, nullptr,
            static_cast<DWORD>(errorCode), MAKELANGID(LANG_NEUTRAL, SUBLANG_DEFAULT),
            reinterpret_cast<LPSTR>(&buffer.text), 0, nullptr);
        if (length != 0 && buffer.text != nullptr) {
            return result.append(buffer.text, length);
        }
        if (fallbackErrors != nullptr) {
            std::pair<bool, std::string> fallback = fallbackErrors->lookup(errorCode);
            if (fallback.first) return result + fallback.second + CRLF;
        }
        return result + "The string representation of the error code [" + formatNumber(errorCode) +
               "] was not found." + CRLF;
    } catch (...) {
        ASSERT(false);
        return "An unexpected exception was caught in static std::string SystemErrors::map(int errorCode, "
               "const ErrorMapper* fallbackErrors = 0) throw()\n";
    }
}
