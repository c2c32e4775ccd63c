#include "platform/win32/posix/ListingChain.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <climits>
#include <ctime>
#include <string_view>

#include "platform/win32/posix/PathParts.h"
#include "platform/win32/posix/Win32Base.h"

namespace platform {

namespace {

const int forReading = O_RDONLY | O_NONBLOCK | O_DIRECTORY | O_CLOEXEC;

// Directories held open at most; a deeper one is opened by its whole path.
const std::size_t deepestChain = 64;

// Why a directory could not be opened, in the words Windows uses: a missing
// directory is a path not found (a file not found would mean an empty
// listing), and a file named as the directory is an invalid directory name.
DWORD errorOpeningDirectory(const std::string& directoryPath, int errnoValue) {
    if (errnoValue == ENOENT) return ERROR_PATH_NOT_FOUND;
    if (errnoValue == ENOTDIR) {
        struct stat status;
        if (stat(directoryPath.c_str(), &status) == 0 && !S_ISDIR(status.st_mode)) return ERROR_DIRECTORY;
        return ERROR_PATH_NOT_FOUND;
    }
    return errorFromErrno(errnoValue);
}

// The name of `path` within `directory` if it lies directly inside it; empty
// otherwise.
std::string_view nameWithin(std::string_view directory, std::string_view path) {
    if (path.size() <= directory.size() || !isSameOrBelow(directory, path)) return std::string_view();
    std::string_view name = path.substr(directory.size());
    if (name.front() == '/') name.remove_prefix(1);
    if (name.empty() || name.find('/') != std::string_view::npos) return std::string_view();
    return name;
}

}  // namespace

ListingChain::~ListingChain() { truncate(0); }

std::shared_ptr<const DirectoryListing> ListingChain::list(const std::string& directory) {
    struct timespec readStart;
    clock_gettime(CLOCK_REALTIME, &readStart);

    std::vector<Link>::size_type kept = _links.size();
    while (kept > 0 && !isSameOrBelow(_links[kept - 1].path, directory)) --kept;
    truncate(kept);
    if (!_links.empty() && _links.back().path == directory) {
        // Asked again for the directory listed last: its name, looked up in
        // the directory above, must still lead to it, unchanged.
        if (_links.size() > 1 && _lastListing != nullptr) {
            const std::string name(nameWithin(_links[_links.size() - 2].path, directory));
            struct stat status;
            if (!name.empty() && fstatat(dirfd(_links[_links.size() - 2].stream), name.c_str(), &status, 0) == 0 &&
                _lastListing->describes(status)) {
                return _lastListing;
            }
        }
        truncate(_links.size() - 1);
    }

    const int descriptor = open(directory);
    if (descriptor < 0) {
        SetLastError(errorOpeningDirectory(directory, errno));
        return nullptr;
    }
    struct stat status;
    DIR* stream = fstat(descriptor, &status) == 0 ? fdopendir(descriptor) : nullptr;
    if (stream == nullptr) {
        setLastErrorFromErrno();
        ::close(descriptor);
        return nullptr;
    }
    if (_lastListing == nullptr || !_lastListing->describes(status)) {
        _lastListing = std::make_shared<const DirectoryListing>(stream, status, readStart);
    }
    if (directory.front() == '/' && _links.size() < deepestChain) {
        _links.push_back(Link{directory, stream});
    } else {
        closedir(stream);
    }
    return _lastListing;
}

int ListingChain::open(const std::string& directory) {
    // A path too long for the system must fail as it fails.
    if (!_links.empty() && directory.size() < PATH_MAX) {
        const std::string name(nameWithin(_links.back().path, directory));
        if (!name.empty()) {
            const int descriptor = openat(dirfd(_links.back().stream), name.c_str(), forReading);
            if (descriptor >= 0) return descriptor;
        }
    }
    truncate(0);
    return ::open(directory.c_str(), forReading);
}

void ListingChain::truncate(std::vector<Link>::size_type size) {
    while (_links.size() > size) {
        closedir(_links.back().stream);
        _links.pop_back();
    }
}

}  // namespace platform
