#ifndef VESTIGA_PLATFORM_WIN32_EMULATION_WIN32ENVIRONMENT_H
#define VESTIGA_PLATFORM_WIN32_EMULATION_WIN32ENVIRONMENT_H

#include "platform/win32/emulation/Win32Base.h"

// Copies `source` to `destination` with each %NAME% whose variable is set in
// the process environment replaced by its value (names as POSIX spells them,
// case-sensitive); every other character, an unset name and a lone % stay as
// written. Returns the size the result needs, its NUL included, whether or not
// it fit: with a smaller `size` the buffer receives as much as fits and a
// NUL, with size 0 nothing. Returns 0 with ERROR_INVALID_PARAMETER for a null
// source.
DWORD ExpandEnvironmentStringsA(LPCSTR source, LPSTR destination, DWORD size);

#endif
