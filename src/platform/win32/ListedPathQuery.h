#ifndef VESTIGA_PLATFORM_WIN32_LISTEDPATHQUERY_H
#define VESTIGA_PLATFORM_WIN32_LISTEDPATHQUERY_H

namespace platform {

// The CreateFileA flags with which a scan queries a path that a listing
// found. Windows takes a symbolic link or junction for what it points to
// (FILE_FLAG_BACKUP_SEMANTICS); POSIX systems take the link itself, as their
// listings and find(1) show it (FILE_FLAG_BACKUP_SEMANTICS |
// FILE_FLAG_OPEN_REPARSE_POINT). A detailed scan on Windows describes a
// listed link itself all the same, from a second handle (ScanSession::query).
// A directory that the user names is queried with FILE_FLAG_BACKUP_SEMANTICS
// alone everywhere: for what it points to.
#ifdef _WIN32
const unsigned long LISTED_PATH_QUERY_FLAGS = 0x02000000;
#else
const unsigned long LISTED_PATH_QUERY_FLAGS = 0x02000000 | 0x00200000;
#endif

}  // namespace platform

#endif
