#include "platform/win32/emulation/PathParts.h"

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

bool isSameOrBelow(std::string_view directory, std::string_view path) {
    if (directory.empty() || path.compare(0, directory.size(), directory) != 0) return false;
    return path.size() == directory.size() || directory.back() == '/' || path[directory.size()] == '/';
}

}  // namespace platform
