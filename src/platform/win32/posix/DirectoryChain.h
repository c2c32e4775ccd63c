#ifndef VESTIGA_PLATFORM_WIN32_POSIX_DIRECTORYCHAIN_H
#define VESTIGA_PLATFORM_WIN32_POSIX_DIRECTORYCHAIN_H

#include <sys/stat.h>

#include <string>
#include <string_view>
#include <vector>

namespace platform {

// Takes the status of paths the way fstatat does, but relative to their
// directory where it can: the directories from the first one opened down to
// the directory of the path queried last stay open, each opened relative to
// the one above it. Paths queried in ascending order, as the scan queries
// them, find their directory open, or an ancestor of it: no lookup walks
// the whole path from the root again.
//
// Only one ascending run of queries goes through the open directories; a
// path that does not sort after the one before it closes them all, and so
// does the end of the object. A failure is always told by a query of the
// whole path, so that it is the one the system gives for it.
class DirectoryChain {
public:
    DirectoryChain() = default;
    ~DirectoryChain();
    DirectoryChain(const DirectoryChain&) = delete;
    DirectoryChain& operator=(const DirectoryChain&) = delete;

    // The status of `path` as fstatat with `flags` (AT_SYMLINK_NOFOLLOW or
    // 0) gives it relative to the current directory: 0, or -1 with errno set.
    int query(const char* path, struct stat& status, int flags);

private:
    struct Link {
        std::string path;
        int descriptor;
    };

    // An open descriptor of `directory`, reached from the chain; -1 if the
    // chain cannot reach it.
    int open(std::string_view directory);
    // Closes the links below the first `size`.
    void truncate(std::vector<Link>::size_type size);

    std::vector<Link> _links;
    std::string _lastPath;
};

}  // namespace platform

#endif
