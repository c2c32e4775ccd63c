#ifndef VESTIGA_PLATFORM_WIN32_WIN32HANDLES_H
#define VESTIGA_PLATFORM_WIN32_WIN32HANDLES_H

// The few Win32 types that appear in the program's own headers, declared
// without <windows.h>. The declarations are those <windows.h> makes (STRICT
// handles, REGSAM as an unsigned long), so both may be seen in one
// translation unit; on POSIX systems they are the only ones.

typedef void* HANDLE;

struct HKEY__;
typedef struct HKEY__* HKEY;

typedef unsigned long REGSAM;

#endif
