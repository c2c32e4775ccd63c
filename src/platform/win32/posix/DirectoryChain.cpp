#include "platform/win32/posix/DirectoryChain.h"

#include <fcntl.h>
#include <unistd.h>

#include <algorithm>
#include <climits>

#include "platform/win32/posix/PathParts.h"

namespace platform {

namespace {

// A directory opened only to look up names in it: O_PATH needs no right to
// read it, only to reach it, as a query of a path through it does. Elsewhere a
// directory that may not be read fails to open, and its entries are queried
// by their whole path.
#ifdef O_PATH
const int lookupOnly = O_PATH | O_DIRECTORY | O_CLOEXEC;
#else
const int lookupOnly = O_RDONLY | O_DIRECTORY | O_CLOEXEC;
#endif

// Descriptors held at most: a deeper directory is queried by its whole path.
const std::size_t deepestChain = 64;

// The directory part of an absolute path, without trailing separators: "/" for
// an entry of the root.
std::string_view directoryPart(std::string_view path, std::string_view::size_type separator) {
    std::string_view directory = path.substr(0, separator);
    while (directory.size() > 1 && directory.back() == '/') directory.remove_suffix(1);
    return directory.empty() ? std::string_view("/") : directory;
}

}  // namespace

DirectoryChain::~DirectoryChain() { truncate(0); }

int DirectoryChain::query(const char* path, struct stat& status, int flags) {
    const std::string_view whole(path);
    // Relative paths depend on the current directory, and a path too long
    // for the system must fail as it fails.
    if (whole.empty() || whole[0] != '/' || whole.size() >= PATH_MAX) return fstatat(AT_FDCWD, path, &status, flags);
    if (!(std::string_view(_lastPath) < whole)) truncate(0);
    _lastPath.assign(whole);

    const std::string_view::size_type separator = whole.rfind('/');
    const std::string_view name = whole.substr(separator + 1);
    if (name.empty()) return fstatat(AT_FDCWD, path, &status, flags);
    const int directory = open(directoryPart(whole, separator));
    if (directory < 0) return fstatat(AT_FDCWD, path, &status, flags);
    // The name runs to the end of the path, and so ends with its NUL.
    if (fstatat(directory, name.data(), &status, flags) == 0) return 0;
    return fstatat(AT_FDCWD, path, &status, flags);
}

int DirectoryChain::open(std::string_view directory) {
    std::vector<Link>::size_type kept = _links.size();
    while (kept > 0 && !isSameOrBelow(_links[kept - 1].path, directory)) --kept;
    truncate(kept);
    if (_links.empty()) {
        const std::string path(directory);
        const int descriptor = ::open(path.c_str(), lookupOnly);
        if (descriptor < 0) return -1;
        _links.push_back(Link{path, descriptor});
    }
    while (_links.back().path.size() < directory.size()) {
        if (_links.size() == deepestChain) return -1;
        std::string_view::size_type start = _links.back().path.size();
        while (directory[start] == '/') ++start;
        const std::string_view::size_type end = std::min(directory.find('/', start), directory.size());
        const std::string component(directory.substr(start, end - start));
        const int descriptor = openat(_links.back().descriptor, component.c_str(), lookupOnly);
        if (descriptor < 0) return -1;
        _links.push_back(Link{std::string(directory.substr(0, end)), descriptor});
    }
    return _links.back().descriptor;
}

void DirectoryChain::truncate(std::vector<Link>::size_type size) {
    while (_links.size() > size) {
        ::close(_links.back().descriptor);
        _links.pop_back();
    }
}

}  // namespace platform
