#ifndef VESTIGA_PLATFORM_WIN32_EMULATION_WIN32FILEHANDLES_H
#define VESTIGA_PLATFORM_WIN32_EMULATION_WIN32FILEHANDLES_H

#include "platform/win32/emulation/Win32File.h"

// Desired access 0 opens for queries: the path is examined once and the
// handle keeps nothing open. As on Windows, a symbolic link is followed to
// what it points to unless FILE_FLAG_OPEN_REPARSE_POINT asks for the link
// itself.
// GENERIC_READ and GENERIC_WRITE open the file's data; a directory then fails
// with ERROR_ACCESS_DENIED as on Windows. CREATE_NEW never follows a link at
// the path's end; OPEN_ALWAYS creates a missing file, through a link that
// leads nowhere as far as the system allows it. A new file gets mode 0666
// less the umask. Directories open for queries only
// with FILE_FLAG_BACKUP_SEMANTICS. The open never waits, as on Windows: a FIFO
// opens for reading at once, and for writing only while it has a reader
// (ERROR_NOT_READY otherwise).
HANDLE CreateFileA(LPCSTR fileName, DWORD desiredAccess, DWORD shareMode, LPSECURITY_ATTRIBUTES securityAttributes,
                   DWORD creationDisposition, DWORD flagsAndAttributes, HANDLE templateFile);
BOOL GetFileInformationByHandle(HANDLE file, LPBY_HANDLE_FILE_INFORMATION fileInformation);

// FILE_TYPE_DISK for a file or a directory, FILE_TYPE_PIPE for a FIFO or a
// socket, FILE_TYPE_CHAR for a device. FILE_TYPE_UNKNOWN with the last error
// set on failure, ERROR_SUCCESS otherwise.
DWORD GetFileType(HANDLE file);
typedef struct _OVERLAPPED OVERLAPPED, *LPOVERLAPPED;

// Read and write at the handle's position, which they move on; overlapped
// operation is not supported. A read at the end reads 0 bytes.
BOOL ReadFile(HANDLE file, LPVOID buffer, DWORD numberOfBytesToRead, LPDWORD numberOfBytesRead,
              LPOVERLAPPED overlapped);
BOOL WriteFile(HANDLE file, const void* buffer, DWORD numberOfBytesToWrite, LPDWORD numberOfBytesWritten,
               LPOVERLAPPED overlapped);
// Ends the file at the handle's position.
BOOL SetEndOfFile(HANDLE file);
// Writes the file's data through to the disk.
BOOL FlushFileBuffers(HANDLE file);
BOOL CloseHandle(HANDLE object);

namespace platform {

class OpenDirectories;

// CreateFileA with desired access 0: the status of the path, taken through
// `directories` where it is not null; the handle keeps nothing open.
HANDLE openForQueries(OpenDirectories* directories, LPCSTR fileName, DWORD creationDisposition,
                      DWORD flagsAndAttributes);

}  // namespace platform

#endif
