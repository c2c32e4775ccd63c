#ifndef VESTIGA_PLATFORM_WIN32_EMULATION_WIN32FIND_H
#define VESTIGA_PLATFORM_WIN32_EMULATION_WIN32FIND_H

#include "platform/win32/emulation/Win32File.h"

// The pattern is a directory, '/', and a mask in which '*' stands for any run
// of characters and '?' for one; letters match regardless of ASCII case. A
// pattern without '/' is a mask for the current directory. Entries come in
// directory order, "." and ".." among them. Fails with ERROR_FILE_NOT_FOUND
// when the directory has no matching entry, ERROR_PATH_NOT_FOUND when it does
// not exist, ERROR_DIRECTORY when it is a file, ERROR_ACCESS_DENIED when it
// may not be read. The entries are read when the search opens, every time.
HANDLE FindFirstFileA(LPCSTR fileName, LPWIN32_FIND_DATAA findFileData);
// 0 with ERROR_NO_MORE_FILES after the last entry.
BOOL FindNextFileA(HANDLE findFile, LPWIN32_FIND_DATAA findFileData);
BOOL FindClose(HANDLE findFile);

namespace platform {

class OpenDirectories;

// FindFirstFileA on a directory reached through `directories`.
HANDLE findFirstFile(OpenDirectories& directories, LPCSTR fileName, LPWIN32_FIND_DATAA findFileData);

}  // namespace platform

#endif
