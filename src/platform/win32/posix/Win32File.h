#ifndef VESTIGA_PLATFORM_WIN32_POSIX_WIN32FILE_H
#define VESTIGA_PLATFORM_WIN32_POSIX_WIN32FILE_H

// The Win32 file calls the program uses, for POSIX systems. Paths use '/'.
//
// How the POSIX side answers:
// - FILE_ATTRIBUTE_READONLY is never reported: permissions say who may write.
// - A listing never follows a symbolic link: it reports one with
//   FILE_ATTRIBUTE_REPARSE_POINT alone, never as a directory, so no walk goes
//   through a link. Directories carry FILE_ATTRIBUTE_DIRECTORY, every other
//   entry FILE_ATTRIBUTE_ARCHIVE; the attribute word is never 0.
// - Find records hold the name and the attributes only; their times and
//   sizes are 0. The file information of a handle holds everything.
// - Share modes and security attributes are accepted and play no part.

#include <cstdint>

#include "platform/win32/posix/Win32Base.h"

#define INVALID_HANDLE_VALUE (reinterpret_cast<HANDLE>(static_cast<std::intptr_t>(-1)))

#define FILE_ATTRIBUTE_READONLY 0x00000001
#define FILE_ATTRIBUTE_DIRECTORY 0x00000010
#define FILE_ATTRIBUTE_ARCHIVE 0x00000020
#define FILE_ATTRIBUTE_NORMAL 0x00000080
#define FILE_ATTRIBUTE_REPARSE_POINT 0x00000400

#define GENERIC_READ 0x80000000
#define GENERIC_WRITE 0x40000000

#define FILE_SHARE_READ 0x00000001
#define FILE_SHARE_WRITE 0x00000002
#define FILE_SHARE_DELETE 0x00000004

#define CREATE_NEW 1
#define OPEN_EXISTING 3
#define OPEN_ALWAYS 4

#define FILE_FLAG_BACKUP_SEMANTICS 0x02000000
#define FILE_FLAG_OPEN_REPARSE_POINT 0x00200000

#define MOVEFILE_REPLACE_EXISTING 0x00000001
#define MOVEFILE_WRITE_THROUGH 0x00000008

// 100-nanosecond intervals since 1601-01-01 UTC.
typedef struct _FILETIME {
    DWORD dwLowDateTime;
    DWORD dwHighDateTime;
} FILETIME, *LPFILETIME;

typedef struct _WIN32_FIND_DATAA {
    DWORD dwFileAttributes;
    FILETIME ftCreationTime;
    FILETIME ftLastAccessTime;
    FILETIME ftLastWriteTime;
    DWORD nFileSizeHigh;
    DWORD nFileSizeLow;
    DWORD dwReserved0;
    DWORD dwReserved1;
    CHAR cFileName[MAX_PATH];
    CHAR cAlternateFileName[14];
} WIN32_FIND_DATAA, *LPWIN32_FIND_DATAA;

typedef struct _BY_HANDLE_FILE_INFORMATION {
    DWORD dwFileAttributes;
    FILETIME ftCreationTime;
    FILETIME ftLastAccessTime;
    FILETIME ftLastWriteTime;
    DWORD dwVolumeSerialNumber;
    DWORD nFileSizeHigh;
    DWORD nFileSizeLow;
    DWORD nNumberOfLinks;
    DWORD nFileIndexHigh;
    DWORD nFileIndexLow;
} BY_HANDLE_FILE_INFORMATION, *LPBY_HANDLE_FILE_INFORMATION;

typedef struct _SECURITY_ATTRIBUTES {
    DWORD nLength;
    LPVOID lpSecurityDescriptor;
    BOOL bInheritHandle;
} SECURITY_ATTRIBUTES, *LPSECURITY_ATTRIBUTES;

// The pattern is a directory, '/', and a mask in which '*' stands for any run
// of characters and '?' for one; letters match regardless of ASCII case. A
// pattern without '/' is a mask for the current directory. Entries come in
// directory order, "." and ".." among them. Fails with ERROR_FILE_NOT_FOUND
// when the directory has no matching entry, ERROR_PATH_NOT_FOUND when it does
// not exist, ERROR_DIRECTORY when it is a file, ERROR_ACCESS_DENIED when it
// may not be read. The entries are read when the search opens, every time.
HANDLE FindFirstFileA(LPCSTR fileName, LPWIN32_FIND_DATAA findFileData);
// 0 with ERROR_NO_MORE_FILES after the last entry.
BOOL FindNextFileA(HANDLE findFile, LPWIN32_FIND_DATAA findFileData);
BOOL FindClose(HANDLE findFile);

// The length of the directory, or, when the buffer is too small, the length
// needed including the terminating NUL; 0 on failure.
DWORD GetCurrentDirectoryA(DWORD bufferLength, LPSTR buffer);

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

#define FILE_TYPE_UNKNOWN 0x0000
#define FILE_TYPE_DISK 0x0001
#define FILE_TYPE_CHAR 0x0002
#define FILE_TYPE_PIPE 0x0003

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

// Moves a file within its file system. MOVEFILE_REPLACE_EXISTING is required:
// the move replaces the target in one step. MOVEFILE_WRITE_THROUGH returns
// only after the directory holding the target is on disk.
BOOL MoveFileExA(LPCSTR existingFileName, LPCSTR newFileName, DWORD flags);
BOOL DeleteFileA(LPCSTR fileName);

#define INVALID_FILE_ATTRIBUTES ((DWORD)-1)

// The attributes of the entry itself; a symbolic link is not followed.
DWORD GetFileAttributesA(LPCSTR fileName);

#endif
