#ifndef VESTIGA_PLATFORM_WIN32_EMULATION_OPENDIRECTORIES_H
#define VESTIGA_PLATFORM_WIN32_EMULATION_OPENDIRECTORIES_H

#include <sys/stat.h>

#include <cstddef>
#include <deque>
#include <memory>
#include <string>
#include <string_view>

#include "platform/win32/emulation/DirectoryListing.h"
#include "platform/win32/emulation/Win32Base.h"

namespace platform {

// The directories a scan keeps open, so that a directory or a path is reached
// by one name in an open directory instead of a lookup of its whole path. The
// walk lists each directory right after its parent, and the file-information
// pass queries the paths in ascending order: both go down a tree and back up,
// so the open directories form one chain, from a directory down to the one
// used last, each opened by its name in the one above. At most `capacity` are
// open at once; a deeper chain closes its topmost directories first.
//
// A subdirectory is opened for its listing by its name in its parent, with
// O_NOFOLLOW: one that has become a symbolic link since its parent was read
// fails as any directory that cannot be opened, and is not walked. Where no
// parent is open (the start of a walk, a path too long for the system) the
// directory is opened by its whole path. So is the directory a walk starts
// from, whatever it is: a walk starts after `close`. So is a subdirectory,
// still with O_NOFOLLOW, when the process has no descriptor left for it
// (EMFILE, ENFILE): every directory held is closed first, and the chain
// starts afresh from it.
//
// The queries of the directory listed last trust it: its entries are looked
// up in the directory they were read from. Other queries trust the
// directories opened for them. When
// they come back to a directory the chain kept, it is looked up again by
// its path, once: if that leads to another device or inode (it or an
// ancestor renamed or replaced since), the chain starts afresh.
class OpenDirectories {
public:
    explicit OpenDirectories(std::size_t capacity);
    ~OpenDirectories();
    OpenDirectories(const OpenDirectories&) = delete;
    OpenDirectories& operator=(const OpenDirectories&) = delete;

    // What `directory` holds now, read while it is open. Null, with the last
    // error set as Windows sets it, when it cannot be opened or read.
    std::unique_ptr<DirectoryListing> list(const std::string& directory);

    // The status of `path` as fstatat with `flags` (AT_SYMLINK_NOFOLLOW or
    // 0) gives it relative to the current directory: 0, or -1 with errno set.
    // A failure is always told by a query of the whole path, so that it is
    // the one the system gives for it.
    int query(const char* path, struct stat& status, int flags);

    // Closes every directory held; the next listing starts a walk.
    void close();

private:
    struct Link {
        std::string path;
        int descriptor;
        // Its identity when it was opened for lookups; 0 for a listed one.
        dev_t device;
        ino_t inode;
        // Looked up again by its path since it was opened.
        bool checked;
    };

    // Closes the links that are not `directory` or above it; whether any is left.
    bool keepAncestorsOf(std::string_view directory);
    // Appends an opened directory, closing the topmost one when the chain is full.
    void keep(Link link);
    // A descriptor of `directory` for lookups; -1 if it cannot be opened.
    int reachForQueries(std::string_view directory);
    // Whether the path of `link` still leads to the directory it holds.
    static bool stillNamed(const Link& link);
    // Closes the links below the first `size`.
    void truncate(std::deque<Link>::size_type size);
    static void release(const Link& link);

    std::deque<Link> _links;
    std::size_t _capacity;
    // The directory of the path queried last, checked when it was reached.
    std::string _queriedDirectory;
};

}  // namespace platform

#endif
