#include "platform/win32/emulation/Win32Base.h"

#include <cerrno>
#include <cstdlib>
#include <cstring>

namespace {

thread_local DWORD lastError = ERROR_SUCCESS;

struct SystemMessage {
    DWORD code;
    const char* text;
};

// The texts Windows gives in English for the codes this layer produces, each
// ended as a POSIX line is, by a line feed alone.
const SystemMessage systemMessages[] = {
    {ERROR_SUCCESS, "The operation completed successfully.\n"},
    {ERROR_FILE_NOT_FOUND, "The system cannot find the file specified.\n"},
    {ERROR_PATH_NOT_FOUND, "The system cannot find the path specified.\n"},
    {ERROR_TOO_MANY_OPEN_FILES, "The system cannot open the file.\n"},
    {ERROR_ACCESS_DENIED, "Access is denied.\n"},
    {ERROR_INVALID_HANDLE, "The handle is invalid.\n"},
    {ERROR_NOT_ENOUGH_MEMORY, "Not enough memory resources are available to process this command.\n"},
    {ERROR_NOT_SAME_DEVICE, "The system cannot move the file to a different disk drive.\n"},
    {ERROR_NO_MORE_FILES, "There are no more files.\n"},
    {ERROR_WRITE_PROTECT, "The media is write protected.\n"},
    {ERROR_NOT_READY, "The device is not ready.\n"},
    {ERROR_GEN_FAILURE, "A device attached to the system is not functioning.\n"},
    {ERROR_SHARING_VIOLATION,
     "The process cannot access the file because it is being used by another process.\n"},
    {ERROR_LOCK_VIOLATION,
     "The process cannot access the file because another process has locked a portion of the file.\n"},
    {ERROR_HANDLE_EOF, "Reached the end of the file.\n"},
    {ERROR_NOT_SUPPORTED, "The request is not supported.\n"},
    {ERROR_FILE_EXISTS, "The file exists.\n"},
    {ERROR_INVALID_PARAMETER, "The parameter is incorrect.\n"},
    {ERROR_BROKEN_PIPE, "The pipe has been ended.\n"},
    {ERROR_DISK_FULL, "There is not enough space on the disk.\n"},
    {ERROR_CALL_NOT_IMPLEMENTED, "This function is not supported on this system.\n"},
    {ERROR_INSUFFICIENT_BUFFER, "The data area passed to a system call is too small.\n"},
    {ERROR_NEGATIVE_SEEK,
     "An attempt was made to move the file pointer before the beginning of the file.\n"},
    {ERROR_DIR_NOT_EMPTY, "The directory is not empty.\n"},
    {ERROR_BAD_PATHNAME, "The specified path is invalid.\n"},
    {ERROR_BUSY, "The requested resource is in use.\n"},
    {ERROR_FILENAME_EXCED_RANGE, "The filename or extension is too long.\n"},
    {ERROR_FILE_TOO_LARGE, "The file size exceeds the limit allowed and cannot be saved.\n"},
    {ERROR_MORE_DATA, "More data is available.\n"},
    {ERROR_NO_MORE_ITEMS, "No more data is available.\n"},
    {ERROR_DIRECTORY, "The directory name is invalid.\n"},
    {ERROR_OPERATION_ABORTED,
     "The I/O operation has been aborted because of either a thread exit or an application request.\n"},
    {ERROR_KEY_DELETED, "Illegal operation attempted on a registry key that has been marked for deletion.\n"},
    {ERROR_IO_DEVICE, "The request could not be performed because of an I/O device error.\n"},
    {ERROR_CANT_RESOLVE_FILENAME, "The name of the file cannot be resolved by the system.\n"},
};

const char* findSystemMessage(DWORD code) {
    for (const SystemMessage& message : systemMessages) {
        if (message.code == code) return message.text;
    }
    return nullptr;
}

}  // namespace

DWORD GetLastError() { return lastError; }

void SetLastError(DWORD errorCode) { lastError = errorCode; }

DWORD FormatMessageA(DWORD flags, const void* /*source*/, DWORD messageId, DWORD /*languageId*/,
                     LPSTR buffer, DWORD size, void* /*arguments*/) {
    if (!(flags & FORMAT_MESSAGE_FROM_SYSTEM) || buffer == nullptr) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return 0;
    }
    const char* text = findSystemMessage(messageId);
    if (text == nullptr) {
        SetLastError(ERROR_MR_MID_NOT_FOUND);
        return 0;
    }
    const DWORD length = static_cast<DWORD>(std::strlen(text));
    if (flags & FORMAT_MESSAGE_ALLOCATE_BUFFER) {
        DWORD blockSize = (size > length ? size : length) + 1;
        char* block = static_cast<char*>(std::malloc(blockSize));
        if (block == nullptr) {
            SetLastError(ERROR_NOT_ENOUGH_MEMORY);
            return 0;
        }
        std::memcpy(block, text, length + 1);
        *reinterpret_cast<char**>(buffer) = block;
        return length;
    }
    if (size <= length) {
        SetLastError(ERROR_INSUFFICIENT_BUFFER);
        return 0;
    }
    std::memcpy(buffer, text, length + 1);
    return length;
}

HLOCAL LocalFree(HLOCAL memory) {
    std::free(memory);
    return nullptr;
}

namespace platform {

DWORD errorFromErrno(int errnoValue) {
    switch (errnoValue) {
        case 0: return ERROR_SUCCESS;
        case ENOENT: return ERROR_FILE_NOT_FOUND;
        case ENOTDIR: return ERROR_PATH_NOT_FOUND;
        case EACCES:
        case EPERM:
        case EISDIR: return ERROR_ACCESS_DENIED;
        case EEXIST: return ERROR_FILE_EXISTS;
        case ENAMETOOLONG: return ERROR_FILENAME_EXCED_RANGE;
        case ENOSPC:
        case EDQUOT: return ERROR_DISK_FULL;
        case EFBIG: return ERROR_FILE_TOO_LARGE;
        case EMFILE:
        case ENFILE: return ERROR_TOO_MANY_OPEN_FILES;
        case ENOMEM: return ERROR_NOT_ENOUGH_MEMORY;
        case ELOOP: return ERROR_CANT_RESOLVE_FILENAME;
        case EBUSY: return ERROR_BUSY;
        case ETXTBSY: return ERROR_SHARING_VIOLATION;
        case EROFS: return ERROR_WRITE_PROTECT;
        case EIO: return ERROR_IO_DEVICE;
        case EBADF: return ERROR_INVALID_HANDLE;
        case EINVAL: return ERROR_INVALID_PARAMETER;
        case ENOTEMPTY: return ERROR_DIR_NOT_EMPTY;
        case EXDEV: return ERROR_NOT_SAME_DEVICE;
        case EPIPE: return ERROR_BROKEN_PIPE;
        case ENOSYS: return ERROR_CALL_NOT_IMPLEMENTED;
        case ENOTSUP: return ERROR_NOT_SUPPORTED;
        case ESPIPE: return ERROR_NEGATIVE_SEEK;
        case EAGAIN: return ERROR_LOCK_VIOLATION;
        case EINTR: return ERROR_OPERATION_ABORTED;
        case ENXIO:
        case ENODEV: return ERROR_NOT_READY;
        default: return ERROR_GEN_FAILURE;
    }
}

void setLastErrorFromErrno() { SetLastError(errorFromErrno(errno)); }

}  // namespace platform
