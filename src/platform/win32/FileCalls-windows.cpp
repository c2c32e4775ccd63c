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

HANDLE findFirstFile(const std::string& pattern, FindEntry& entry, std::size_t typedLength) {
    WIN32_FIND_DATAW record;
    HANDLE find = FindFirstFileW(systemPath(pattern, typedLength).c_str(), &record);
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
                  std::uint32_t creationDisposition, std::uint32_t flagsAndAttributes, std::size_t typedLength) {
    return CreateFileW(systemPath(path, typedLength).c_str(), desiredAccess, shareMode, nullptr, creationDisposition,
                       flagsAndAttributes, nullptr);
}

std::uint32_t getFileAttributes(const std::string& path) { return GetFileAttributesW(systemPath(path).c_str()); }

bool deleteFile(const std::string& path) { return DeleteFileW(systemPath(path).c_str()) != 0; }

bool isPlantedInSharedDirectory(HANDLE, const std::string&) { return false; }

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

HANDLE createScratchFile(const std::string& path) {
    for (int attempt = 0; attempt < temporaryNamesToTry; ++attempt) {
        HANDLE file = createFile(pathBeside(path, temporaryName()), GENERIC_READ | GENERIC_WRITE, 0, CREATE_NEW,
                                 FILE_ATTRIBUTE_TEMPORARY | FILE_FLAG_DELETE_ON_CLOSE);
        if (file != INVALID_HANDLE_VALUE || GetLastError() != ERROR_FILE_EXISTS) return file;
    }
    SetLastError(ERROR_FILE_EXISTS);
    return INVALID_HANDLE_VALUE;
}

// ReplaceFile opens both files itself, so the replacement is closed first.
// It is given a backup name of its own: without one, Wine makes a temporary
// name for the replaced file in a buffer of MAX_PATH characters, which a long
// path overruns. The backup is the old dump, deleted once the new one has its
// place.
bool replaceFile(const std::string& target, bool targetExists, HANDLE replacement, std::string& name, bool) {
    if (!CloseHandle(replacement)) return false;
    if (!targetExists) {
        if (!moveOver(name, target)) return false;
        name.clear();
        return true;
    }
    const std::string backup = pathBeside(target, temporaryName());
    if (ReplaceFileW(systemPath(target).c_str(), systemPath(name).c_str(), systemPath(backup).c_str(), 0, nullptr,
                     nullptr) != 0) {
        name.clear();
        deleteFile(backup);
        return true;
    }
    if (GetLastError() != ERROR_UNABLE_TO_MOVE_REPLACEMENT_2) return false;
    // The old dump has moved to the backup name and the new one kept its
    // own: the new one takes the target's name by a plain move, or both stay.
    if (moveOver(name, target)) {
        name.clear();
        deleteFile(backup);
        return true;
    }
    SetLastError(ERROR_UNABLE_TO_MOVE_REPLACEMENT_2);
    return false;
}

}  // namespace platform
