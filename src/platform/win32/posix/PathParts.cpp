#include "platform/win32/posix/PathParts.h"

namespace platform {

std::string directoryOf(const std::string& path) {
    const std::string::size_type separator = path.rfind('/');
    if (separator == std::string::npos) return ".";
    if (separator == 0) return "/";
    return path.substr(0, separator);
}

std::string nameOf(const std::string& path) {
    const std::string::size_type separator = path.rfind('/');
    return separator == std::string::npos ? path : path.substr(separator + 1);
}

}  // namespace platform
