#ifndef VESTIGA_PLATFORM_WIN32_EMULATION_PATHPARTS_H
#define VESTIGA_PLATFORM_WIN32_EMULATION_PATHPARTS_H

#include <string>
#include <string_view>

namespace platform {

// The directory part of a path: everything before the last '/', "/" for an
// entry of the root, "." for a bare name.
std::string directoryOf(const std::string& path);

// Everything after the last '/'; the whole path when it has none.
std::string nameOf(const std::string& path);

// Whether `path` is `directory` itself or lies below it, by their text.
bool isSameOrBelow(std::string_view directory, std::string_view path);

}  // namespace platform

#endif
