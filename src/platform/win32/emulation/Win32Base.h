#ifndef VESTIGA_PLATFORM_WIN32_EMULATION_WIN32BASE_H
#define VESTIGA_PLATFORM_WIN32_EMULATION_WIN32BASE_H

// Basic Win32 types, error codes and the error calls, for POSIX systems.

#include <cstdint>

#include "platform/win32/Win32Handles.h"

typedef std::uint32_t DWORD;
typedef std::int32_t LONG;
typedef int BOOL;
typedef unsigned char BYTE;
typedef std::uint16_t WORD;
typedef char CHAR;
typedef char* LPSTR;
typedef const char* LPCSTR;
typedef DWORD* LPDWORD;
typedef BYTE* LPBYTE;
typedef void* LPVOID;
typedef void* HANDLE;
typedef void* HLOCAL;

#ifndef TRUE
#define TRUE 1
#endif
#ifndef FALSE
#define FALSE 0
#endif

#define MAX_PATH 260

#define ERROR_SUCCESS 0L
#define ERROR_FILE_NOT_FOUND 2L
#define ERROR_PATH_NOT_FOUND 3L
#define ERROR_TOO_MANY_OPEN_FILES 4L
#define ERROR_ACCESS_DENIED 5L
#define ERROR_INVALID_HANDLE 6L
#define ERROR_NOT_ENOUGH_MEMORY 8L
#define ERROR_NOT_SAME_DEVICE 17L
#define ERROR_NO_MORE_FILES 18L
#define ERROR_WRITE_PROTECT 19L
#define ERROR_NOT_READY 21L
#define ERROR_GEN_FAILURE 31L
#define ERROR_SHARING_VIOLATION 32L
#define ERROR_LOCK_VIOLATION 33L
#define ERROR_HANDLE_EOF 38L
#define ERROR_NOT_SUPPORTED 50L
#define ERROR_FILE_EXISTS 80L
#define ERROR_INVALID_PARAMETER 87L
#define ERROR_BROKEN_PIPE 109L
#define ERROR_DISK_FULL 112L
#define ERROR_CALL_NOT_IMPLEMENTED 120L
#define ERROR_INSUFFICIENT_BUFFER 122L
#define ERROR_NEGATIVE_SEEK 131L
#define ERROR_DIR_NOT_EMPTY 145L
#define ERROR_BAD_PATHNAME 161L
#define ERROR_BUSY 170L
#define ERROR_FILENAME_EXCED_RANGE 206L
#define ERROR_FILE_TOO_LARGE 223L
#define ERROR_MORE_DATA 234L
#define ERROR_NO_MORE_ITEMS 259L
#define ERROR_DIRECTORY 267L
#define ERROR_MR_MID_NOT_FOUND 317L
#define ERROR_OPERATION_ABORTED 995L
#define ERROR_KEY_DELETED 1018L
#define ERROR_IO_DEVICE 1117L
// Only Windows reports it (ReplaceFile); this layer never does.
#define ERROR_UNABLE_TO_MOVE_REPLACEMENT_2 1177L
#define ERROR_CANT_RESOLVE_FILENAME 1921L

#define FORMAT_MESSAGE_ALLOCATE_BUFFER 0x00000100
#define FORMAT_MESSAGE_IGNORE_INSERTS 0x00000200
#define FORMAT_MESSAGE_FROM_SYSTEM 0x00001000

#define LANG_NEUTRAL 0x00
#define SUBLANG_DEFAULT 0x01
#define MAKELANGID(p, s) ((((WORD)(s)) << 10) | (WORD)(p))

DWORD GetLastError();
void SetLastError(DWORD errorCode);

// Only system messages are known, and only without inserts. With
// FORMAT_MESSAGE_ALLOCATE_BUFFER, `buffer` receives a block for LocalFree.
DWORD FormatMessageA(DWORD flags, const void* source, DWORD messageId, DWORD languageId,
                     LPSTR buffer, DWORD size, void* arguments);
HLOCAL LocalFree(HLOCAL memory);

namespace platform {

// The Win32 error code for an errno value, as Windows reports the same failure.
DWORD errorFromErrno(int errnoValue);

// Sets the calling thread's last error from errno.
void setLastErrorFromErrno();

}  // namespace platform

#endif
