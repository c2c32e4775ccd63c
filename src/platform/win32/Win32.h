#ifndef VESTIGA_PLATFORM_WIN32_WIN32_H
#define VESTIGA_PLATFORM_WIN32_WIN32_H

// The Win32 subset the program is written against. On Windows it is the
// real API; elsewhere the project's own implementation of the same calls,
// with Win32 error codes and the Windows English message texts.
//
// Besides the constants of PathSeparator.h and ListedPathQuery.h, this is the
// one place in the sources that tells the platforms apart; the build picks
// the implementation of each other header of this folder from its siblings
// Name-windows.cpp and Name-posix.cpp, and builds emulation/ on POSIX only.
// Include it from source files only: it pulls in <windows.h>.

#ifdef _WIN32
#ifndef NOMINMAX
#define NOMINMAX
#endif
#include <windows.h>
#else
#include "platform/win32/emulation/Win32Emulation.h"
#endif

#endif
