#ifndef VESTIGA_PLATFORM_WIN32_POSIX_DIRECTORYLISTING_H
#define VESTIGA_PLATFORM_WIN32_POSIX_DIRECTORYLISTING_H

#include <dirent.h>
#include <sys/stat.h>

#include <cstddef>
#include <ctime>
#include <string>
#include <vector>

#include "platform/win32/posix/Win32Base.h"

namespace platform {

// The entries of one directory, read in one go: names and attributes in the
// order the system delivers them, "." and ".." among them. A listing knows
// which directory it was read from and the times that directory had then, so
// that it can stand in for a second read as long as the directory provably
// has not changed.
class DirectoryListing {
public:
    // Reads `directory` to its end. `status` is the directory's status and
    // `readStart` the time, both taken before the first entry was read.
    DirectoryListing(DIR* directory, const struct stat& status, const struct timespec& readStart);

    std::size_t size() const { return _entries.size(); }
    // The name, NUL-terminated, and the find-file attributes of an entry.
    const char* nameAt(std::size_t index) const { return _names.data() + _entries[index].nameOffset; }
    DWORD attributesAt(std::size_t index) const { return _entries[index].attributes; }
    // ERROR_NO_MORE_FILES when every entry was read, otherwise the error the
    // read ended with, after the entries read before it.
    DWORD getEndError() const { return _endError; }

    // Whether this listing is what reading the directory of `status`, taken
    // now, would give: the same directory, with the same modification and
    // change times, and a complete read that began after the last change the
    // times can tell apart from a later one.
    bool describes(const struct stat& status) const;

private:
    struct Entry {
        std::string::size_type nameOffset;
        DWORD attributes;
    };

    void read(DIR* directory);

    std::string _names;
    std::vector<Entry> _entries;
    DWORD _endError;
    dev_t _device;
    ino_t _inode;
    struct timespec _modified;
    struct timespec _changed;
    bool _reusable;
};

}  // namespace platform

#endif
