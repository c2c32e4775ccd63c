#include "platform/win32/emulation/OpenDirectories.h"

#include <fcntl.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <climits>
#include <utility>

#include "platform/win32/emulation/PathParts.h"
#include "platform/win32/emulation/Win32Base.h"

namespace platform {

namespace {

const int forReading = O_RDONLY | O_NONBLOCK | O_DIRECTORY | O_CLOEXEC;

// A directory opened only to look up names in it: O_PATH needs no right to
// read it, only to reach it, as a query of a path through it does. Elsewhere a
// directory that may not be read fails to open, and its entries are queried
// by their whole path.
#ifdef O_PATH
const int lookupOnly = O_PATH | O_DIRECTORY | O_CLOEXEC;
#else
const int lookupOnly = O_RDONLY | O_DIRECTORY | O_CLOEXEC;
#endif

// Why a directory could not be opened, in the words Windows uses: a missing
// directory is a path not found (a file not found would mean an empty
// listing), and a file or a link named as the directory is an invalid
// directory name. `status` looks the entry itself up.
template <typename Status>
DWORD errorOpeningDirectory(int errnoValue, Status status) {
    if (errnoValue == ENOENT) return ERROR_PATH_NOT_FOUND;
    if (errnoValue == ENOTDIR || errnoValue == ELOOP) {
        struct stat entry;
        if (status(entry) == 0 && !S_ISDIR(entry.st_mode)) return ERROR_DIRECTORY;
        return ERROR_PATH_NOT_FOUND;
    }
    return errorFromErrno(errnoValue);
}

bool isOutOfDescriptors(int errnoValue) { return errnoValue == EMFILE || errnoValue == ENFILE; }

// The name of `path` within `directory` if it lies directly inside it; empty
// otherwise.
std::string_view nameWithin(std::string_view directory, std::string_view path) {
    if (path.size() <= directory.size() || !isSameOrBelow(directory, path)) return std::string_view();
    std::string_view name = path.substr(directory.size());
    if (name.front() == '/') name.remove_prefix(1);
    if (name.empty() || name.find('/') != std::string_view::npos) return std::string_view();
    return name;
}

// The directory part of an absolute path, without trailing separators: "/" for
// an entry of the root.
std::string_view directoryPart(std::string_view path, std::string_view::size_type separator) {
    std::string_view directory = path.substr(0, separator);
    while (directory.size() > 1 && directory.back() == '/') directory.remove_suffix(1);
    return directory.empty() ? std::string_view("/") : directory;
}

}  // namespace

OpenDirectories::OpenDirectories(std::size_t capacity) : _capacity(std::max<std::size_t>(capacity, 2)) {}

OpenDirectories::~OpenDirectories() { close(); }

void OpenDirectories::close() {
    truncate(0);
    _queriedDirectory.clear();
}

std::unique_ptr<DirectoryListing> OpenDirectories::list(const std::string& directory) {
    // Listed again, a directory is read again, through its parent.
    if (keepAncestorsOf(directory) && _links.back().path == directory) truncate(_links.size() - 1);

    // A path too long for the system must fail as it fails.
    const std::string name(_links.empty() || directory.size() >= PATH_MAX
                               ? std::string_view()
                               : nameWithin(_links.back().path, directory));
    int descriptor = -1;
    if (!name.empty()) {
        const int parent = _links.back().descriptor;
        descriptor = openat(parent, name.c_str(), forReading | O_NOFOLLOW);
        if (descriptor < 0 && !isOutOfDescriptors(errno)) {
            SetLastError(errorOpeningDirectory(
                errno, [&](struct stat& entry) { return fstatat(parent, name.c_str(), &entry, AT_SYMLINK_NOFOLLOW); }));
            return nullptr;
        }
    }
    if (descriptor < 0) {
        // With no descriptor left, the directories held are given up and a
        // subdirectory is opened by its whole path, still not through a
        // symbolic link of its own name.
        truncate(0);
        descriptor = ::open(directory.c_str(), name.empty() ? forReading : forReading | O_NOFOLLOW);
        if (descriptor < 0) {
            SetLastError(
                errorOpeningDirectory(errno, [&](struct stat& entry) { return stat(directory.c_str(), &entry); }));
            return nullptr;
        }
    }
    std::unique_ptr<DirectoryListing> listing(new DirectoryListing(descriptor));
    // The entries of a listing are queried through the directory they were
    // read from, and right after it: they are what it held. Trusted, it is
    // never looked up again, and needs no identity to be checked against.
    keep(Link{directory, descriptor, 0, 0, true});
    _queriedDirectory = directory;
    return listing;
}

int OpenDirectories::query(const char* path, struct stat& status, int flags) {
    const std::string_view whole(path);
    // A path too long for the system must fail as it fails. A relative path
    // is reached as its directory was: from the current directory, which
    // the program never changes.
    const std::string_view::size_type separator = whole.rfind('/');
    if (separator == std::string_view::npos || whole.size() >= PATH_MAX) {
        return fstatat(AT_FDCWD, path, &status, flags);
    }
    const std::string_view name = whole.substr(separator + 1);
    if (name.empty()) return fstatat(AT_FDCWD, path, &status, flags);
    const int directory = reachForQueries(directoryPart(whole, separator));
    // The name runs to the end of the path, and so ends with its NUL.
    if (directory >= 0 && fstatat(directory, name.data(), &status, flags) == 0) return 0;
    return fstatat(AT_FDCWD, path, &status, flags);
}

int OpenDirectories::reachForQueries(std::string_view directory) {
    if (!_links.empty() && _links.back().path == directory && _queriedDirectory == directory) {
        return _links.back().descriptor;
    }
    _queriedDirectory.clear();
    if (keepAncestorsOf(directory) && !_links.back().checked) {
        if (stillNamed(_links.back())) {
            _links.back().checked = true;
        } else {
            truncate(0);
        }
    }
    struct stat status;
    if (_links.empty()) {
        std::string path(directory);
        const int descriptor = ::open(path.c_str(), lookupOnly);
        if (descriptor < 0) return -1;
        if (fstat(descriptor, &status) != 0) {
            ::close(descriptor);
            return -1;
        }
        keep(Link{std::move(path), descriptor, status.st_dev, status.st_ino, false});
    }
    while (_links.back().path.size() < directory.size()) {
        std::string_view::size_type start = _links.back().path.size();
        while (directory[start] == '/') ++start;
        const std::string_view::size_type end = std::min(directory.find('/', start), directory.size());
        const std::string component(directory.substr(start, end - start));
        const int descriptor = openat(_links.back().descriptor, component.c_str(), lookupOnly | O_NOFOLLOW);
        if (descriptor < 0) return -1;
        if (fstat(descriptor, &status) != 0) {
            ::close(descriptor);
            return -1;
        }
        keep(Link{std::string(directory.substr(0, end)), descriptor, status.st_dev, status.st_ino, false});
    }
    _queriedDirectory.assign(directory);
    return _links.back().descriptor;
}

bool OpenDirectories::stillNamed(const Link& link) {
    struct stat status;
    return stat(link.path.c_str(), &status) == 0 && status.st_dev == link.device && status.st_ino == link.inode;
}

bool OpenDirectories::keepAncestorsOf(std::string_view directory) {
    std::deque<Link>::size_type kept = _links.size();
    while (kept > 0 && !isSameOrBelow(_links[kept - 1].path, directory)) --kept;
    truncate(kept);
    return !_links.empty();
}

void OpenDirectories::keep(Link link) {
    if (_links.size() == _capacity) {
        release(_links.front());
        _links.pop_front();
    }
    _links.push_back(std::move(link));
}

void OpenDirectories::truncate(std::deque<Link>::size_type size) {
    while (_links.size() > size) {
        release(_links.back());
        _links.pop_back();
    }
}

void OpenDirectories::release(const Link& link) { ::close(link.descriptor); }

}  // namespace platform
