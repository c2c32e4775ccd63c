#ifndef VESTIGA_PLATFORM_WIN32_WIDEPATHS_WINDOWS_H
#define VESTIGA_PLATFORM_WIN32_WIDEPATHS_WINDOWS_H

#include <cstddef>
#include <string>

namespace platform {

// The path as the wide file calls take it: always its full "\\?\" form
// ("\\?\UNC\server\share\..." for a network path), of any length. The
// first `typedLength` bytes are a path as the user typed it, made full as
// Windows makes every path full (relative to the current directory, "/", "."
// and "..", and CON or NUL as a device); the bytes after it are names the
// system listed, taken as they stand. Without the prefix Windows would drop
// their trailing dots and blanks and read CON, NUL.TXT or COM1 among them as
// devices: a folder "App." would be read as "App". A path that already names
// a device or has the prefix stays as it is.
std::wstring systemPath(const std::string& path, std::size_t typedLength = std::string::npos);

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
