#include "platform/win32/FileCalls.h"

#include "platform/win32/FilePaths.h"
#include "platform/win32/TemporaryName.h"
#include "platform/win32/Win32.h"
#include "platform/win32/WidePaths-windows.h"

namespace platform {

namespace {

void fill(FindEntry& entry, const WIN32_FIND_DATAW& record) {
    entry.attributes = record.dwFileAttributes;
    entry.name = toUtf8(record.cFileName);
}

bool moveOver(const std::string& existing, const std::string& target) {
    return MoveFileExW(systemPath(existing).c_str(), systemPath(target).c_str(),
                       MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH) != 0;
}

}  // namespace

HANDLE findFirstFile(const std::string& pattern, FindEntry& entry) {
    WIN32_FIND_DATAW record;
    HANDLE find = FindFirstFileW(systemPath(pattern).c_str(), &record);
    if (find != INVALID_HANDLE_VALUE) fill(entry, record);
    return find;
}

bool findNextFile(HANDLE find, FindEntry& entry) {
    WIN32_FIND_DATAW record;
    if (!FindNextFileW(find, &record)) return false;
    fill(entry, record);
    return true;
}

HANDLE createFile(const std::string& path, std::uint32_t desiredAccess, std::uint32_t shareMode,
                  std::uint32_t creationDisposition, std::uint32_t flagsAndAttributes) {
    return CreateFileW(systemPath(path).c_str(), desiredAccess, shareMode, nullptr, creationDisposition,
                       flagsAndAttributes, nullptr);
}

std::uint32_t getFileAttributes(const std::string& path) { return GetFileAttributesW(systemPath(path).c_str()); }

bool deleteFile(const std::string& path) { return DeleteFileW(systemPath(path).c_str()) != 0; }

HANDLE createReplacementFile(const std::string& target, std::string& name) {
    for (int attempt = 0; attempt < temporaryNamesToTry; ++attempt) {
        const std::string candidate = pathBeside(target, temporaryName());
        HANDLE file = createFile(candidate, GENERIC_WRITE, 0, CREATE_NEW, FILE_ATTRIBUTE_NORMAL);
        if (file != INVALID_HANDLE_VALUE) {
            name = candidate;
            return file;
        }
        if (GetLastError() != ERROR_FILE_EXISTS) return INVALID_HANDLE_VALUE;
    }
    return INVALID_HANDLE_VALUE;
}

// ReplaceFile opens both files itself, so the replacement is closed first.
bool replaceFile(const std::string& target, bool targetExists, HANDLE replacement, std::string& name) {
    if (!CloseHandle(replacement)) return false;
    const bool replaced =
        targetExists
            ? ReplaceFileW(systemPath(target).c_str(), systemPath(name).c_str(), nullptr, 0, nullptr, nullptr) != 0
            : moveOver(name, target);
    if (replaced) {
        name.clear();
        return true;
    }
    if (GetLastError() != ERROR_UNABLE_TO_MOVE_REPLACEMENT) return false;
    // Windows has removed the target and left the replacement under its own
    // name. It is the only copy of the data now, and stays, whether or not it
    // can still be given the target's name.
    if (moveOver(name, target)) {
        name.clear();
        return true;
    }
    SetLastError(ERROR_UNABLE_TO_MOVE_REPLACEMENT);
    return false;
}

}  // namespace platform
