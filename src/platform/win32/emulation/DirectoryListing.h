#ifndef VESTIGA_PLATFORM_WIN32_EMULATION_DIRECTORYLISTING_H
#define VESTIGA_PLATFORM_WIN32_EMULATION_DIRECTORYLISTING_H

#include <cstddef>
#include <string>
#include <vector>

#include "platform/win32/emulation/Win32Base.h"

namespace platform {

// The entries of one directory, read in one go: names and attributes in the
// order the system delivers them, "." and ".." among them. On Linux the
// entries are read straight from the directory's descriptor (getdents64),
// in large blocks and without a stream.
class DirectoryListing {
public:
    // Reads the directory open as `descriptor` to its end; the descriptor
    // stays open.
    explicit DirectoryListing(int descriptor);

    std::size_t size() const { return _entries.size(); }
    // The name, NUL-terminated, and the find-file attributes of an entry.
    const char* nameAt(std::size_t index) const { return _names.data() + _entries[index].nameOffset; }
    DWORD attributesAt(std::size_t index) const { return _entries[index].attributes; }
    // ERROR_NO_MORE_FILES when every entry was read, otherwise the error the
    // read ended with, after the entries read before it.
    DWORD getEndError() const { return _endError; }

private:
    struct Entry {
        std::string::size_type nameOffset;
        DWORD attributes;
    };

    void read(int descriptor);
    void add(int descriptor, const char* name, unsigned char type);

    std::string _names;
    std::vector<Entry> _entries;
    DWORD _endError;
};

}  // namespace platform

#endif
