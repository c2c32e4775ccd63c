#ifndef VESTIGA_PLATFORM_WIN32_WIDEPATHS_WINDOWS_H
#define VESTIGA_PLATFORM_WIN32_WIDEPATHS_WINDOWS_H

#include <cstddef>
#include <string>

namespace platform {

// The path as the wide calls take it: unchanged while it fits into MAX_PATH
// characters. A longer one is made absolute and given the "\\?\" prefix,
// which lifts the limit.
std::wstring systemPath(const std::string& path);

// Windows names are UTF-16 that need not be valid: a surrogate may stand
// alone. The program's names are UTF-8, and a lone surrogate is written as
// the three bytes of its code point (the generalized UTF-8 known as WTF-8),
// so that no two names become one text. Converting back gives the same
// UTF-16; a byte that is no part of such a sequence becomes U+FFFD. A NUL
// is a character like any other in both directions.
std::wstring toWide(const std::string& text);
std::string toUtf8(const wchar_t* text, std::size_t length);
// The same for a NUL-terminated wide string.
std::string toUtf8(const wchar_t* text);

}  // namespace platform

#endif
