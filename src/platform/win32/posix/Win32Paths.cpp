#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "platform/win32/posix/FileInformation.h"
#include "platform/win32/posix/PathParts.h"
#include "platform/win32/posix/Win32File.h"

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

// The owner and the group, or, where the process may not give the file away,
// the group alone. Where neither may be set the file stays the process's own.
void takeOverOwner(int descriptor, const struct stat& replaced) {
    const uid_t owners[] = {replaced.st_uid, static_cast<uid_t>(-1)};
    for (const uid_t owner : owners) {
        if (fchown(descriptor, owner, replaced.st_gid) == 0) return;
    }
}

// The mode comes after the owner: a change of owner clears the set-user-ID
// and set-group-ID bits.
BOOL takeOverIdentity(LPCSTR replacementFileName, const struct stat& replaced) {
    const int descriptor = open(replacementFileName, O_RDONLY | O_NOFOLLOW | O_CLOEXEC);
    if (descriptor < 0) return failFromErrno();
    takeOverOwner(descriptor, replaced);
    const bool modeTaken = fchmod(descriptor, replaced.st_mode & 07777) == 0;
    const int modeError = errno;
    const bool closed = close(descriptor) == 0;
    if (!modeTaken) {
        SetLastError(platform::errorFromErrno(modeError));
        return FALSE;
    }
    return closed ? TRUE : failFromErrno();
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

BOOL ReplaceFileA(LPCSTR replacedFileName, LPCSTR replacementFileName, LPCSTR backupFileName, DWORD replaceFlags,
                  LPVOID /*exclude*/, LPVOID /*reserved*/) {
    if (backupFileName != nullptr || replaceFlags != 0) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return FALSE;
    }
    struct stat replaced;
    if (stat(replacedFileName, &replaced) != 0) return failFromErrno();
    if (!takeOverIdentity(replacementFileName, replaced)) return FALSE;
    if (std::rename(replacementFileName, replacedFileName) != 0) return failFromErrno();
    return syncDirectoryOf(replacedFileName);
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
