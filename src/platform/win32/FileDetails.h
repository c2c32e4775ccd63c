#ifndef VESTIGA_PLATFORM_WIN32_FILEDETAILS_H
#define VESTIGA_PLATFORM_WIN32_FILEDETAILS_H

#include <cstdint>
#include <string>
#include <utility>
#include <vector>

#include "platform/win32/Win32Handles.h"

struct _BY_HANDLE_FILE_INFORMATION;

namespace platform {

// What a scan records of a file or directory beyond its last-write time,
// as the platform tells it. Fields the platform does not have stay unset.
struct FileDetails {
    // In the order EntryDetails numbers them.
    enum Kind { DIRECTORY, FILE, LINK, FIFO, SOCKET, DEVICE };

    Kind kind = FILE;
    std::uint64_t size = 0;
    // Nanoseconds since 1970-01-01 UTC.
    std::int64_t lastWrite = 0;
    // The device or volume and the file's index on it.
    std::uint64_t device = 0;
    std::uint64_t index = 0;
    std::uint64_t links = 0;

    // POSIX systems.
    bool hasOwnership = false;
    std::uint32_t mode = 0;  // the twelve permission bits
    std::uint32_t owner = 0;
    std::uint32_t group = 0;
    std::int64_t statusChange = 0;
    // The text a symbolic link holds.
    std::string linkTarget;

    // Windows.
    bool hasAttributes = false;
    std::uint32_t attributes = 0;
};

// Whether a path may have extended attributes, which readFileDetails leaves
// to readExtendedAttributes: on POSIX systems, where listing them is one more
// call on the whole path for every entry, which a scan makes on other
// threads while its walk goes on. Windows files have none that a scan
// records.
#ifdef _WIN32
const bool HAS_EXTENDED_ATTRIBUTES = false;
#else
const bool HAS_EXTENDED_ATTRIBUTES = true;
#endif

// Every extended attribute of the entry at `path` itself (not what a link
// points to) as (name, value), access control lists among them, in the
// order the system lists them: one listing, and the values only when it
// names any. None where the file system has none or they cannot be read.
void readExtendedAttributes(const std::string& path, std::vector<std::pair<std::string, std::string>>& attributes);

// The details of `path`, opened for queries as `handle`, whose file
// information is `information`, its extended attributes aside. A symbolic link or junction opened itself
// (FILE_FLAG_OPEN_REPARSE_POINT on Windows, always on POSIX systems) is
// described itself, with the text it points to: on Windows the name its
// reparse data shows, or else the one the system follows. What cannot be
// read (a link's text, the attributes of a path too long) is left out.
void readFileDetails(HANDLE handle, const std::string& path, const _BY_HANDLE_FILE_INFORMATION& information,
                     FileDetails& details);

}  // namespace platform

#endif
