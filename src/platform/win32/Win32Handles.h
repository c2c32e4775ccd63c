#ifndef VESTIGA_PLATFORM_WIN32_WIN32HANDLES_H
#define VESTIGA_PLATFORM_WIN32_WIN32HANDLES_H

// The few Win32 handle types that appear in the program's own headers,
// declared without <windows.h>. The declarations are those <windows.h> makes
// (STRICT handles, REGSAM as a 32-bit access mask), so both may be seen in
// one translation unit.

typedef void* HANDLE;

struct HKEY__;
typedef struct HKEY__* HKEY;

#ifdef _WIN32
typedef unsigned long REGSAM;
#else
typedef unsigned int REGSAM;
#endif

#endif
