#include "platform/win32/ScanSession.h"

#include <vector>

#include "platform/win32/Win32.h"

namespace platform {

// Windows lists and queries every path by its whole name. A session keeps
// the directories its walks start from, as they were typed, each with its
// separator: in a path below one of them, the names after it are names the
// system listed, which it is to take as they stand.
class OpenDirectories {
public:
    bool walkBegins = false;
    std::vector<std::string> roots;

    // The length of the typed part of `path`: the longest directory a walk
    // started from that it lies below, or all of it.
    std::size_t typedLength(const std::string& path) const {
        std::size_t longest = std::string::npos;
        for (const std::string& root : roots) {
            if (path.size() > root.size() && path.compare(0, root.size(), root) == 0 &&
                (longest == std::string::npos || root.size() > longest)) {
                longest = root.size();
            }
        }
        return longest;
    }
};

ScanSession::ScanSession() : _directories(new OpenDirectories) {}

ScanSession::~ScanSession() = default;

void ScanSession::beginWalk() { _directories->walkBegins = true; }

HANDLE ScanSession::findFirstFile(const std::string& pattern, FindEntry& entry) {
    if (_directories->walkBegins) {
        _directories->walkBegins = false;
        const std::string root = pattern.substr(0, pattern.find_last_of("\\/") + 1);
        if (!root.empty()) _directories->roots.push_back(root);
    }
    return platform::findFirstFile(pattern, entry, _directories->typedLength(pattern));
}

HANDLE ScanSession::openForQueries(const std::string& path, std::uint32_t flagsAndAttributes) {
    return platform::createFile(path, 0, 0, OPEN_EXISTING, flagsAndAttributes, _directories->typedLength(path));
}

void ScanSession::close() {}

}  // namespace platform
