#ifndef VESTIGA_PLATFORM_WIN32_EMULATION_FILEINFORMATION_H
#define VESTIGA_PLATFORM_WIN32_EMULATION_FILEINFORMATION_H

#include <sys/stat.h>
#include <sys/types.h>

#include <ctime>

#include "platform/win32/emulation/Win32File.h"

namespace platform {

// 100-nanosecond intervals since 1601-01-01 UTC; times before then give 0.
FILETIME fileTimeFromTimespec(const struct timespec& time);

// FILE_ATTRIBUTE_DIRECTORY for a directory, FILE_ATTRIBUTE_REPARSE_POINT for
// a symbolic link, FILE_ATTRIBUTE_ARCHIVE for anything else.
DWORD attributesFromMode(mode_t mode);

// Windows gives no creation time here: the status-change time stands in
// for it. Directories report size 0, as on Windows.
BY_HANDLE_FILE_INFORMATION fileInformationFromStatus(const struct stat& status);

}  // namespace platform

#endif
