#include "platform/win32/emulation/Win32Paths.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "platform/win32/emulation/FileInformation.h"
#include "platform/win32/emulation/PathParts.h"

namespace {

BOOL failFromErrno() {
    platform::setLastErrorFromErrno();
    return FALSE;
}

// Puts the directory entry of `path` on disk.
BOOL syncDirectoryOf(const std::string& path) {
    const int descriptor = open(platform::directoryOf(path).c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (descriptor < 0) return failFromErrno();
    const bool synced = fsync(descriptor) == 0;
    const int syncError = errno;
    close(descriptor);
    if (!synced) {
        SetLastError(platform::errorFromErrno(syncError));
        return FALSE;
    }
    return TRUE;
}

}  // namespace

DWORD GetCurrentDirectoryA(DWORD bufferLength, LPSTR buffer) {
    std::vector<char> directory(256);
    while (getcwd(directory.data(), directory.size()) == nullptr) {
        if (errno != ERANGE) {
            platform::setLastErrorFromErrno();
            return 0;
        }
        directory.resize(directory.size() * 2);
    }
    const DWORD length = static_cast<DWORD>(std::strlen(directory.data()));
    if (buffer == nullptr || length >= bufferLength) return length + 1;
    std::memcpy(buffer, directory.data(), length + 1);
    return length;
}

BOOL MoveFileExA(LPCSTR existingFileName, LPCSTR newFileName, DWORD flags) {
    if ((flags & MOVEFILE_REPLACE_EXISTING) == 0) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return FALSE;
    }
    if (std::rename(existingFileName, newFileName) != 0) return failFromErrno();
    if (flags & MOVEFILE_WRITE_THROUGH) return syncDirectoryOf(newFileName);
    return TRUE;
}

BOOL DeleteFileA(LPCSTR fileName) { return unlink(fileName) == 0 ? TRUE : failFromErrno(); }

DWORD GetFileAttributesA(LPCSTR fileName) {
    struct stat status;
    if (lstat(fileName, &status) != 0) {
        platform::setLastErrorFromErrno();
        return INVALID_FILE_ATTRIBUTES;
    }
    return platform::attributesFromMode(status.st_mode);
}
