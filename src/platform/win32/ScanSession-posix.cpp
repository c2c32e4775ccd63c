#include "platform/win32/ScanSession.h"

#include <sys/resource.h>

#include <algorithm>
#include <cstring>

#include "platform/win32/emulation/OpenDirectories.h"
#include "platform/win32/emulation/Win32FileHandles.h"
#include "platform/win32/emulation/Win32Find.h"

namespace platform {

namespace {

// Directories held open at most: half of what the process may open, the rest
// left to everything else, and never more than a deep tree needs to be
// walked without a lookup of its whole path.
std::size_t directoryCapacity() {
    const std::size_t deepestChain = 64;
    struct rlimit limit;
    if (getrlimit(RLIMIT_NOFILE, &limit) != 0 || limit.rlim_cur == RLIM_INFINITY) return deepestChain;
    return std::min<std::size_t>(deepestChain, limit.rlim_cur / 2);
}

}  // namespace

ScanSession::ScanSession() : _directories(new OpenDirectories(directoryCapacity())) {}

ScanSession::~ScanSession() = default;

void ScanSession::beginWalk() { _directories->close(); }

HANDLE ScanSession::findFirstFile(const std::string& pattern, FindEntry& entry) {
    WIN32_FIND_DATAA record;
    HANDLE find = platform::findFirstFile(*_directories, pattern.c_str(), &record);
    if (find != INVALID_HANDLE_VALUE) {
        entry.attributes = record.dwFileAttributes;
        entry.name.assign(record.cFileName, strnlen(record.cFileName, sizeof record.cFileName));
    }
    return find;
}

HANDLE ScanSession::openForQueries(const std::string& path, std::uint32_t flagsAndAttributes) {
    return platform::openForQueries(_directories.get(), path.c_str(), OPEN_EXISTING, flagsAndAttributes);
}

void ScanSession::close() { _directories->close(); }

}  // namespace platform
