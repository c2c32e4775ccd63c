#include "platform/win32/FilePaths.h"

#include <sys/stat.h>
#include <unistd.h>

#include <vector>

namespace platform {

namespace {

// As many links as the system follows in one path before it reports a loop.
const int longestLinkChain = 40;

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

}  // namespace

// A relative link is taken from the directory that holds it.
std::string finalPathName(const std::string& path) {
    std::string name = path;
    for (int link = 0; link < longestLinkChain; ++link) {
        struct stat status;
        std::string target;
        if (lstat(name.c_str(), &status) != 0 || !S_ISLNK(status.st_mode) || !readLink(name, target)) return name;
        name = target.compare(0, 1, "/") == 0 ? target : pathBeside(name, target);
    }
    return path;
}

std::string pathBeside(const std::string& path, const std::string& name) {
    return path.substr(0, path.rfind('/') + 1) + name;
}

}  // namespace platform
