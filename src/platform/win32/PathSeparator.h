#ifndef VESTIGA_PLATFORM_WIN32_PATHSEPARATOR_H
#define VESTIGA_PLATFORM_WIN32_PATHSEPARATOR_H

namespace platform {

// The character that separates the names in a path: a backslash on Windows,
// a slash on POSIX systems.
#ifdef _WIN32
const char PATH_SEPARATOR = '\\';
#else
const char PATH_SEPARATOR = '/';
#endif

}  // namespace platform

#endif
