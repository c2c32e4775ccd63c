#include "platform/win32/emulation/FileHandle.h"

#include <unistd.h>

#include <cerrno>

#include "platform/win32/emulation/FileInformation.h"

namespace platform {

FileHandle::FileHandle(const struct stat& status) : HandleObject(kind), _descriptor(-1), _status(status) {}

FileHandle::FileHandle(int descriptor) : HandleObject(kind), _descriptor(descriptor), _status() {}

FileHandle::~FileHandle() {
    if (_descriptor >= 0) ::close(_descriptor);
}

bool FileHandle::getInformation(BY_HANDLE_FILE_INFORMATION* information) const {
    struct stat status = _status;
    if (_descriptor >= 0 && fstat(_descriptor, &status) != 0) {
        setLastErrorFromErrno();
        return false;
    }
    *information = fileInformationFromStatus(status);
    return true;
}

DWORD FileHandle::getType() const {
    struct stat status = _status;
    if (_descriptor >= 0 && fstat(_descriptor, &status) != 0) {
        setLastErrorFromErrno();
        return FILE_TYPE_UNKNOWN;
    }
    SetLastError(ERROR_SUCCESS);
    if (S_ISREG(status.st_mode) || S_ISDIR(status.st_mode)) return FILE_TYPE_DISK;
    if (S_ISFIFO(status.st_mode) || S_ISSOCK(status.st_mode)) return FILE_TYPE_PIPE;
    return FILE_TYPE_CHAR;
}

// A handle for queries has no data to read or write, and a handle opened for
// one of them refuses the other, as on Windows. An interrupted call goes on
// where it stopped.
bool FileHandle::read(void* buffer, DWORD size, DWORD* bytesRead) {
    *bytesRead = 0;
    if (_descriptor < 0) {
        SetLastError(ERROR_ACCESS_DENIED);
        return false;
    }
    ssize_t count;
    while ((count = ::read(_descriptor, buffer, size)) < 0 && errno == EINTR) {
    }
    if (count < 0) {
        SetLastError(errno == EBADF ? ERROR_ACCESS_DENIED : errorFromErrno(errno));
        return false;
    }
    *bytesRead = static_cast<DWORD>(count);
    return true;
}

// Writes everything or fails: a short write goes on with the rest.
bool FileHandle::write(const void* buffer, DWORD size, DWORD* bytesWritten) {
    *bytesWritten = 0;
    if (_descriptor < 0) {
        SetLastError(ERROR_ACCESS_DENIED);
        return false;
    }
    const char* next = static_cast<const char*>(buffer);
    while (*bytesWritten < size) {
        const ssize_t count = ::write(_descriptor, next + *bytesWritten, size - *bytesWritten);
        if (count < 0 && errno == EINTR) continue;
        if (count < 0) {
            SetLastError(errno == EBADF ? ERROR_ACCESS_DENIED : errorFromErrno(errno));
            return false;
        }
        *bytesWritten += static_cast<DWORD>(count);
    }
    return true;
}

bool FileHandle::setEnd() {
    if (_descriptor < 0) {
        SetLastError(ERROR_ACCESS_DENIED);
        return false;
    }
    const off_t position = lseek(_descriptor, 0, SEEK_CUR);
    if (position < 0 || ftruncate(_descriptor, position) != 0) {
        setLastErrorFromErrno();
        return false;
    }
    return true;
}

bool FileHandle::flush() const {
    if (_descriptor < 0) {
        SetLastError(ERROR_ACCESS_DENIED);
        return false;
    }
    if (fsync(_descriptor) != 0) {
        setLastErrorFromErrno();
        return false;
    }
    return true;
}

bool FileHandle::close() {
    if (_descriptor < 0) return true;
    const int result = ::close(_descriptor);
    _descriptor = -1;
    if (result != 0) {
        setLastErrorFromErrno();
        return false;
    }
    return true;
}

}  // namespace platform
