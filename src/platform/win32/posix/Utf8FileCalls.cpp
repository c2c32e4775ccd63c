#include "platform/win32/Utf8FileCalls.h"

#include <cstring>

#include "platform/win32/Win32.h"

// POSIX names are bytes of any length the system takes: the narrow calls
// carry them as they are.

namespace platform {

namespace {

void fill(FindEntry& entry, const WIN32_FIND_DATAA& record) {
    entry.attributes = record.dwFileAttributes;
    entry.name.assign(record.cFileName, strnlen(record.cFileName, sizeof record.cFileName));
}

}  // namespace

HANDLE findFirstFile(const std::string& pattern, FindEntry& entry) {
    WIN32_FIND_DATAA record;
    HANDLE find = FindFirstFileA(pattern.c_str(), &record);
    if (find != INVALID_HANDLE_VALUE) fill(entry, record);
    return find;
}

bool findNextFile(HANDLE find, FindEntry& entry) {
    WIN32_FIND_DATAA record;
    if (!FindNextFileA(find, &record)) return false;
    fill(entry, record);
    return true;
}

HANDLE createFile(const std::string& path, std::uint32_t desiredAccess, std::uint32_t shareMode,
                  std::uint32_t creationDisposition, std::uint32_t flagsAndAttributes) {
    return CreateFileA(path.c_str(), desiredAccess, shareMode, nullptr, creationDisposition, flagsAndAttributes,
                       nullptr);
}

}  // namespace platform
