#ifndef VESTIGA_PLATFORM_WIN32_WIN32_H
#define VESTIGA_PLATFORM_WIN32_WIN32_H

// The Win32 subset the program is written against. On Windows it is the
// real API; elsewhere the project's own implementation of the same calls,
// with Win32 error codes and the Windows English message texts.
//
// This is the one place in the sources that tells the platforms apart; the
// build picks the implementations of the other headers of this folder from
// windows/ or posix/. Include it from source files only: it pulls in
// <windows.h>.

#ifdef _WIN32
#ifndef NOMINMAX
#define NOMINMAX
#endif
#include <windows.h>
#else
#include "platform/win32/posix/Win32Base.h"
#include "platform/win32/posix/Win32Environment.h"
#include "platform/win32/posix/Win32File.h"
#include "platform/win32/posix/Win32Registry.h"
#endif

#endif
