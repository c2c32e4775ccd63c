#include "platform/win32/FilePaths.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <vector>

namespace platform {

namespace {

// What the link `path` holds; false when it cannot be read.
bool readLink(const std::string& path, std::string& target) {
    std::vector<char> buffer(256);
    for (;;) {
        const ssize_t length = readlink(path.c_str(), buffer.data(), buffer.size());
        if (length < 0) return false;
        if (static_cast<std::size_t>(length) < buffer.size()) {
            target.assign(buffer.data(), static_cast<std::size_t>(length));
            return true;
        }
        buffer.resize(buffer.size() * 2);
    }
}

bool sameFile(const struct stat& one, const struct stat& other) {
    return one.st_dev == other.st_dev && one.st_ino == other.st_ino;
}

}  // namespace

// The kernel follows the links, under its own rules (a link another user
// owns in a sticky directory is refused where fs.protected_symlinks says
// so), and names the file it reached. A name that no longer leads to that
// file (it was removed or moved meanwhile) is not taken.
std::string finalPathName(const std::string& path) {
    const int descriptor = open(path.c_str(), O_PATH | O_CLOEXEC);
    if (descriptor < 0) return path;
    std::string name;
    struct stat opened;
    struct stat named;
    const bool found = fstat(descriptor, &opened) == 0 &&
                       readLink("/proc/self/fd/" + std::to_string(descriptor), name) &&
                       name.compare(0, 1, "/") == 0 && lstat(name.c_str(), &named) == 0 && sameFile(opened, named);
    close(descriptor);
    return found ? name : path;
}

std::string pathBeside(const std::string& path, const std::string& name) {
    return path.substr(0, path.rfind('/') + 1) + name;
}

}  // namespace platform
