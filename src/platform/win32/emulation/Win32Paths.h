#ifndef VESTIGA_PLATFORM_WIN32_EMULATION_WIN32PATHS_H
#define VESTIGA_PLATFORM_WIN32_EMULATION_WIN32PATHS_H

#include "platform/win32/emulation/Win32File.h"

// The length of the directory, or, when the buffer is too small, the length
// needed including the terminating NUL; 0 on failure.
DWORD GetCurrentDirectoryA(DWORD bufferLength, LPSTR buffer);

// Moves a file within its file system. MOVEFILE_REPLACE_EXISTING is required:
// the move replaces the target in one step. MOVEFILE_WRITE_THROUGH returns
// only after the directory holding the target is on disk.
BOOL MoveFileExA(LPCSTR existingFileName, LPCSTR newFileName, DWORD flags);
BOOL DeleteFileA(LPCSTR fileName);

#define INVALID_FILE_ATTRIBUTES ((DWORD)-1)

// The attributes of the entry itself; a symbolic link is not followed.
DWORD GetFileAttributesA(LPCSTR fileName);

#endif
