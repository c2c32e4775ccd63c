#ifndef VESTIGA_PLATFORM_WIN32_UTF8FILECALLS_H
#define VESTIGA_PLATFORM_WIN32_UTF8FILECALLS_H

// The find-file and open calls of the scan, for paths of any length and in
// any script. Paths and names are UTF-8 (on POSIX systems: bytes, as the
// system holds them). Handles, results and the last error are those of
// FindFirstFile, FindNextFile and CreateFile; FindClose and CloseHandle
// release the handles.
//
// On Windows these are the wide calls: a name outside the ANSI code page, or
// longer than the record of the narrow calls holds, comes back whole, and a
// path too long for the plain form is passed in its "\\?\" form.

#include <cstdint>
#include <string>

#include "platform/win32/Win32Handles.h"

namespace platform {

// One entry of a listing: its Win32 attribute word and its name.
struct FindEntry {
    std::uint32_t attributes;
    std::string name;
};

HANDLE findFirstFile(const std::string& pattern, FindEntry& entry);
bool findNextFile(HANDLE find, FindEntry& entry);
HANDLE createFile(const std::string& path, std::uint32_t desiredAccess, std::uint32_t shareMode,
                  std::uint32_t creationDisposition, std::uint32_t flagsAndAttributes);

}  // namespace platform

#endif
