#include "platform/win32/emulation/Win32FileHandles.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <memory>

#include "platform/win32/emulation/FileHandle.h"
#include "platform/win32/emulation/OpenDirectories.h"

namespace {

HANDLE fail(DWORD errorCode) {
    SetLastError(errorCode);
    return INVALID_HANDLE_VALUE;
}

HANDLE failFromErrno() {
    platform::setLastErrorFromErrno();
    return INVALID_HANDLE_VALUE;
}

// The file behind `file` for a read or a write; null, with the error set,
// for a handle of another kind or an overlapped call, which is not offered.
platform::FileHandle* synchronousFile(HANDLE file, LPOVERLAPPED overlapped) {
    platform::FileHandle* handle = platform::handleObject<platform::FileHandle>(file);
    if (handle == nullptr || overlapped == nullptr) return handle;
    SetLastError(ERROR_INVALID_PARAMETER);
    return nullptr;
}

bool opensDirectories(DWORD flagsAndAttributes) { return (flagsAndAttributes & FILE_FLAG_BACKUP_SEMANTICS) != 0; }

// The open(2) flags for a creation disposition; -1 for an unknown one.
int creationFlags(DWORD creationDisposition) {
    switch (creationDisposition) {
        case CREATE_NEW: return O_CREAT | O_EXCL;
        case OPEN_EXISTING: return 0;
        case OPEN_ALWAYS: return O_CREAT;
        default: return -1;
    }
}

HANDLE openData(LPCSTR fileName, DWORD desiredAccess, DWORD creationDisposition, DWORD flagsAndAttributes) {
    const int creation = creationFlags(creationDisposition);
    if (creation < 0) return fail(ERROR_INVALID_PARAMETER);
    const bool reading = (desiredAccess & GENERIC_READ) != 0;
    const bool writing = (desiredAccess & GENERIC_WRITE) != 0;
    const int access = reading && writing ? O_RDWR : (writing ? O_WRONLY : O_RDONLY);
    // Without O_NONBLOCK, opening a FIFO waits for the other end to come.
    const int descriptor = open(fileName, access | creation | O_CLOEXEC | O_NONBLOCK, 0666);
    // Where a file may be created, only its directory can be missing.
    if (descriptor < 0 && errno == ENOENT && (creation & O_CREAT)) return fail(ERROR_PATH_NOT_FOUND);
    if (descriptor < 0) return failFromErrno();
    std::unique_ptr<platform::FileHandle> handle(new platform::FileHandle(descriptor));
    const int statusFlags = fcntl(descriptor, F_GETFL);
    if (statusFlags < 0 || fcntl(descriptor, F_SETFL, statusFlags & ~O_NONBLOCK) != 0) return failFromErrno();
    struct stat status;
    if (fstat(descriptor, &status) != 0) return failFromErrno();
    if (S_ISDIR(status.st_mode) && !opensDirectories(flagsAndAttributes)) return fail(ERROR_ACCESS_DENIED);
    return platform::toHandle(handle.release());
}

}  // namespace

namespace platform {

// The status of the path, taken relative to its directory where that is open;
// the handle keeps nothing open.
HANDLE openForQueries(OpenDirectories* directories, LPCSTR fileName, DWORD creationDisposition,
                      DWORD flagsAndAttributes) {
    if (creationDisposition != OPEN_EXISTING) return fail(ERROR_INVALID_PARAMETER);
    struct stat status;
    const int flags = (flagsAndAttributes & FILE_FLAG_OPEN_REPARSE_POINT) ? AT_SYMLINK_NOFOLLOW : 0;
    const int result = directories != nullptr ? directories->query(fileName, status, flags)
                                              : fstatat(AT_FDCWD, fileName, &status, flags);
    if (result != 0) return failFromErrno();
    if (S_ISDIR(status.st_mode) && !opensDirectories(flagsAndAttributes)) return fail(ERROR_ACCESS_DENIED);
    return toHandle(new FileHandle(status));
}

}  // namespace platform

HANDLE CreateFileA(LPCSTR fileName, DWORD desiredAccess, DWORD /*shareMode*/,
                   LPSECURITY_ATTRIBUTES /*securityAttributes*/, DWORD creationDisposition, DWORD flagsAndAttributes,
                   HANDLE /*templateFile*/) {
    if ((desiredAccess & (GENERIC_READ | GENERIC_WRITE)) == 0) {
        return platform::openForQueries(nullptr, fileName, creationDisposition, flagsAndAttributes);
    }
    return openData(fileName, desiredAccess, creationDisposition, flagsAndAttributes);
}

BOOL GetFileInformationByHandle(HANDLE file, LPBY_HANDLE_FILE_INFORMATION fileInformation) {
    const platform::FileHandle* handle = platform::handleObject<platform::FileHandle>(file);
    return handle != nullptr && handle->getInformation(fileInformation) ? TRUE : FALSE;
}

DWORD GetFileType(HANDLE file) {
    const platform::FileHandle* handle = platform::handleObject<platform::FileHandle>(file);
    return handle != nullptr ? handle->getType() : FILE_TYPE_UNKNOWN;
}

BOOL ReadFile(HANDLE file, LPVOID buffer, DWORD numberOfBytesToRead, LPDWORD numberOfBytesRead,
              LPOVERLAPPED overlapped) {
    platform::FileHandle* handle = synchronousFile(file, overlapped);
    return handle != nullptr && handle->read(buffer, numberOfBytesToRead, numberOfBytesRead) ? TRUE : FALSE;
}

BOOL WriteFile(HANDLE file, const void* buffer, DWORD numberOfBytesToWrite, LPDWORD numberOfBytesWritten,
               LPOVERLAPPED overlapped) {
    platform::FileHandle* handle = synchronousFile(file, overlapped);
    return handle != nullptr && handle->write(buffer, numberOfBytesToWrite, numberOfBytesWritten) ? TRUE : FALSE;
}

BOOL SetEndOfFile(HANDLE file) {
    platform::FileHandle* handle = platform::handleObject<platform::FileHandle>(file);
    return handle != nullptr && handle->setEnd() ? TRUE : FALSE;
}

BOOL FlushFileBuffers(HANDLE file) {
    const platform::FileHandle* handle = platform::handleObject<platform::FileHandle>(file);
    return handle != nullptr && handle->flush() ? TRUE : FALSE;
}

BOOL CloseHandle(HANDLE object) {
    std::unique_ptr<platform::FileHandle> handle(platform::handleObject<platform::FileHandle>(object));
    return handle != nullptr && handle->close() ? TRUE : FALSE;
}
