#include "platform/win32/FileCalls.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>

#include "platform/win32/FilePaths.h"
#include "platform/win32/TemporaryName.h"
#include "platform/win32/Win32.h"
#include "platform/win32/ExtendedAttributes-posix.h"
#include "platform/win32/emulation/FileHandle.h"
#include "platform/win32/emulation/PathParts.h"
#include "platform/win32/TemporaryFileRemoval-posix.h"

// POSIX names are bytes of any length the system takes: the narrow calls
// carry them as they are.

namespace platform {

namespace {

// Until it takes the target's place, a replacement is its owner's alone.
const mode_t privateMode = 0600;

void fill(FindEntry& entry, const WIN32_FIND_DATAA& record) {
    entry.attributes = record.dwFileAttributes;
    entry.name.assign(record.cFileName, strnlen(record.cFileName, sizeof record.cFileName));
}

bool failWith(int errnoValue) {
    SetLastError(errorFromErrno(errnoValue));
    return false;
}

// Where a file is created, only its directory can be missing.
HANDLE failToCreate(int errnoValue) {
    SetLastError(errnoValue == ENOENT ? ERROR_PATH_NOT_FOUND : errorFromErrno(errnoValue));
    return INVALID_HANDLE_VALUE;
}

// The mode a new file gets: 0666 less the umask, which reading it sets.
mode_t newFileMode() {
    const mode_t mask = umask(0);
    umask(mask);
    return 0666 & ~mask;
}

// What a file system answers that cannot make a file without a name.
bool takesNoUnnamedFiles(int errnoValue) {
    return errnoValue == EOPNOTSUPP || errnoValue == EISDIR || errnoValue == EINVAL;
}

HANDLE createNamedReplacement(const std::string& target, std::string& name) {
    TemporaryFileRemoval removal;
    for (int attempt = 0; attempt < temporaryNamesToTry; ++attempt) {
        const std::string candidate = pathBeside(target, temporaryName());
        const int descriptor = open(candidate.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, privateMode);
        if (descriptor >= 0) {
            removal.removeOnSignal(candidate);
            name = candidate;
            return toHandle(new FileHandle(descriptor));
        }
        if (errno != EEXIST) return failToCreate(errno);
    }
    SetLastError(ERROR_FILE_EXISTS);
    return INVALID_HANDLE_VALUE;
}

HANDLE createNamedScratchFile(const std::string& path) {
    for (int attempt = 0; attempt < temporaryNamesToTry; ++attempt) {
        const std::string candidate = pathBeside(path, temporaryName());
        TemporaryFileRemoval removal;
        const int descriptor = open(candidate.c_str(), O_RDWR | O_CREAT | O_EXCL | O_CLOEXEC, privateMode);
        if (descriptor >= 0) {
            if (unlink(candidate.c_str()) == 0) return toHandle(new FileHandle(descriptor));
            const int error = errno;
            close(descriptor);
            return failToCreate(error);
        }
        if (errno != EEXIST) return failToCreate(errno);
    }
    SetLastError(ERROR_FILE_EXISTS);
    return INVALID_HANDLE_VALUE;
}

// The owner and the group, or, where the process may not give the file away,
// the group alone. Where neither may be set the file stays the process's own.
void takeOverOwner(int replacement, const struct stat& target) {
    const uid_t owners[] = {target.st_uid, static_cast<uid_t>(-1)};
    for (const uid_t owner : owners) {
        if (fchown(replacement, owner, target.st_gid) == 0) return;
    }
}

// The target is opened by its final name, never through a link. The mode
// comes last: a change of owner clears the set-user-ID and set-group-ID bits,
// and the mode sets the mask of a copied access control list.
bool takeOverTarget(const std::string& target, int replacement) {
    const int flags = O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC;
    int source = open(target.c_str(), O_RDONLY | flags);
    if (source < 0 && errno == EACCES) source = open(target.c_str(), O_WRONLY | flags);
    if (source < 0) return failWith(errno);
    struct stat status;
    bool taken = fstat(source, &status) == 0;
    if (taken) {
        takeOverOwner(replacement, status);
        taken = copyExtendedAttributes(source, replacement) && fchmod(replacement, status.st_mode & 07777) == 0;
    }
    const int error = errno;
    close(source);
    return taken || failWith(error);
}

// Gives the file without a name a temporary one in the target's directory.
bool linkUnnamed(int descriptor, int directory, const std::string& target, std::string& name) {
    const std::string self = "/proc/self/fd/" + std::to_string(descriptor);
    for (int attempt = 0; attempt < temporaryNamesToTry; ++attempt) {
        const std::string candidate = temporaryName();
        TemporaryFileRemoval removal;
        if (linkat(AT_FDCWD, self.c_str(), directory, candidate.c_str(), AT_SYMLINK_FOLLOW) == 0) {
            name = pathBeside(target, candidate);
            removal.removeOnSignal(name);
            return true;
        }
        if (errno != EEXIST) return failWith(errno);
    }
    SetLastError(ERROR_FILE_EXISTS);
    return false;
}

// Removes the replacement's name after a failure, keeping the failure's error.
void removeName(std::string& name) {
    const DWORD failure = GetLastError();
    TemporaryFileRemoval removal;
    unlink(name.c_str());
    removal.keepOnSignal();
    name.clear();
    SetLastError(failure);
}

// Gives the replacement the target's name; on failure it keeps its own, so
// that what it holds may still be written to the target in place.
bool moveOverTarget(int directory, const std::string& target, std::string& name) {
    TemporaryFileRemoval removal;
    if (renameat(directory, nameOf(name).c_str(), directory, nameOf(target).c_str()) != 0) return failWith(errno);
    removal.keepOnSignal();
    name.clear();
    return true;
}

}  // namespace

HANDLE findFirstFile(const std::string& pattern, FindEntry& entry, std::size_t) {
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
                  std::uint32_t creationDisposition, std::uint32_t flagsAndAttributes, std::size_t) {
    return CreateFileA(path.c_str(), desiredAccess, shareMode, nullptr, creationDisposition, flagsAndAttributes,
                       nullptr);
}

std::uint32_t getFileAttributes(const std::string& path) { return GetFileAttributesA(path.c_str()); }

// A temporary file that is gone is no longer removed on a signal.
bool deleteFile(const std::string& path) {
    TemporaryFileRemoval removal;
    const bool deleted = DeleteFileA(path.c_str()) != 0;
    removal.keepOnSignal();
    return deleted;
}

bool isPlantedInSharedDirectory(HANDLE file, const std::string& path) {
    const FileHandle* handle = handleObject<FileHandle>(file);
    struct stat target;
    struct stat directory;
    if (handle == nullptr || fstat(handle->getDescriptor(), &target) != 0 ||
        stat(directoryOf(path).c_str(), &directory) != 0) {
        return false;
    }
    const mode_t shared = S_ISVTX | S_IWOTH;
    return (directory.st_mode & shared) == shared && target.st_uid != geteuid() && target.st_uid != directory.st_uid;
}

HANDLE createReplacementFile(const std::string& target, std::string& name) {
    const int descriptor = open(directoryOf(target).c_str(), O_TMPFILE | O_WRONLY | O_CLOEXEC, privateMode);
    if (descriptor >= 0) {
        name.clear();
        return toHandle(new FileHandle(descriptor));
    }
    if (!takesNoUnnamedFiles(errno)) return failToCreate(errno);
    return createNamedReplacement(target, name);
}

HANDLE createScratchFile(const std::string& path) {
    const int descriptor = open(directoryOf(path).c_str(), O_TMPFILE | O_RDWR | O_CLOEXEC, privateMode);
    if (descriptor >= 0) return toHandle(new FileHandle(descriptor));
    if (!takesNoUnnamedFiles(errno)) return failToCreate(errno);
    return createNamedScratchFile(path);
}

// The replacement takes what belongs to the target while only its owner can
// reach it, then a temporary name if it has none, then the target's name.
bool replaceFile(const std::string& target, bool targetExists, HANDLE replacement, std::string& name,
                 bool ownerOnly) {
    FileHandle* handle = handleObject<FileHandle>(replacement);
    if (handle == nullptr) return false;
    const int descriptor = handle->getDescriptor();
    const mode_t mode = ownerOnly ? newFileMode() & 0700 : newFileMode();
    const bool ready = targetExists ? takeOverTarget(target, descriptor)
                                    : fchmod(descriptor, mode) == 0 || failWith(errno);
    if (!ready) return closeKeepingError(replacement);
    const int directory = open(directoryOf(target).c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (directory < 0) {
        failWith(errno);
        return closeKeepingError(replacement);
    }
    if (name.empty() && !linkUnnamed(descriptor, directory, target, name)) {
        close(directory);
        return closeKeepingError(replacement);
    }
    if (!CloseHandle(replacement)) {
        removeName(name);
        close(directory);
        return false;
    }
    const bool synced = moveOverTarget(directory, target, name) && (fsync(directory) == 0 || failWith(errno));
    close(directory);
    return synced;
}

}  // namespace platform
