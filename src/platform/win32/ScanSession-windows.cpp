#include "platform/win32/ScanSession.h"

#include "platform/win32/Win32.h"

namespace platform {

// Windows lists and queries every path by its whole name: a session keeps
// nothing open.
class OpenDirectories {};

ScanSession::ScanSession() = default;

ScanSession::~ScanSession() = default;

void ScanSession::beginWalk() {}

HANDLE ScanSession::findFirstFile(const std::string& pattern, FindEntry& entry) {
    return platform::findFirstFile(pattern, entry);
}

HANDLE ScanSession::openForQueries(const std::string& path, std::uint32_t flagsAndAttributes) {
    return platform::createFile(path, 0, 0, OPEN_EXISTING, flagsAndAttributes);
}

void ScanSession::close() {}

}  // namespace platform
