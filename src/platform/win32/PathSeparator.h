#ifndef VESTIGA_PLATFORM_WIN32_PATHSEPARATOR_H
#define VESTIGA_PLATFORM_WIN32_PATHSEPARATOR_H

namespace platform {

// The character that separates the names in a path: a backslash on Windows,
// a slash on POSIX systems.
extern const char PATH_SEPARATOR;

}  // namespace platform

#endif
