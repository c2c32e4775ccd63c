#ifndef VESTIGA_PLATFORM_WIN32_POSIX_LISTINGCHAIN_H
#define VESTIGA_PLATFORM_WIN32_POSIX_LISTINGCHAIN_H

#include <dirent.h>

#include <memory>
#include <string>
#include <vector>

#include "platform/win32/posix/DirectoryListing.h"

namespace platform {

// Lists directories the way a walk down a tree asks for them. The
// directories the walk is in stay open, from the one it started at down to
// the one listed last, each opened by its name relative to the one above it:
// a subdirectory opens without a lookup of its whole path. The listing read
// last is kept; asked for the same directory again, the chain looks up its
// name in the directory above and serves the kept listing if that finds the
// same directory with the same times, provably unchanged.
//
// A directory that is not below an open one, or one that cannot be opened
// relative to its parent, is opened by its whole path and starts the chain
// afresh; so is every relative path, which depends on the current directory.
class ListingChain {
public:
    ListingChain() = default;
    ~ListingChain();
    ListingChain(const ListingChain&) = delete;
    ListingChain& operator=(const ListingChain&) = delete;

    // What `directory` holds now. Null, with the last error set as Windows
    // sets it, when the directory cannot be opened or read.
    std::shared_ptr<const DirectoryListing> list(const std::string& directory);

private:
    struct Link {
        std::string path;
        DIR* stream;
    };

    // Opens `directory` for reading relative to the deepest open directory,
    // or by its whole path; -1, with errno set, on failure.
    int open(const std::string& directory);
    // Closes the links below the first `size`.
    void truncate(std::vector<Link>::size_type size);

    std::vector<Link> _links;
    std::shared_ptr<const DirectoryListing> _lastListing;
};

}  // namespace platform

#endif
