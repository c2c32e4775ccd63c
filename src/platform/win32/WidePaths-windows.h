#ifndef VESTIGA_PLATFORM_WIN32_WIDEPATHS_WINDOWS_H
#define VESTIGA_PLATFORM_WIN32_WIDEPATHS_WINDOWS_H

#include <string>

namespace platform {

// The path as the wide calls take it: unchanged while it fits into MAX_PATH
// characters. A longer one is made absolute and given the "\\?\" prefix,
// which lifts the limit.
std::wstring systemPath(const std::string& path);

// UTF-8 text of a NUL-terminated wide string.
std::string toUtf8(const wchar_t* text);

}  // namespace platform

#endif
