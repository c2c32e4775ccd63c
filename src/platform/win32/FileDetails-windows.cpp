#include "platform/win32/FileDetails.h"

#include "platform/win32/Win32.h"

namespace platform {

namespace {

// 100-nanosecond steps from 1601-01-01 to 1970-01-01.
const std::int64_t stepsBeforeUnixEpoch = 116444736000000000LL;

std::uint64_t combine(DWORD high, DWORD low) { return (static_cast<std::uint64_t>(high) << 32) | low; }

}  // namespace

void readFileDetails(HANDLE /*handle*/, const std::string& /*path*/, const BY_HANDLE_FILE_INFORMATION& information,
                     FileDetails& details) {
    const DWORD attributes = information.dwFileAttributes;
    details.kind = (attributes & FILE_ATTRIBUTE_REPARSE_POINT) != 0 ? FileDetails::LINK
                   : (attributes & FILE_ATTRIBUTE_DIRECTORY) != 0   ? FileDetails::DIRECTORY
                                                                     : FileDetails::FILE;
    details.size = combine(information.nFileSizeHigh, information.nFileSizeLow);
    const std::int64_t steps = static_cast<std::int64_t>(
        combine(information.ftLastWriteTime.dwHighDateTime, information.ftLastWriteTime.dwLowDateTime));
    details.lastWrite = (steps - stepsBeforeUnixEpoch) * 100;
    details.device = information.dwVolumeSerialNumber;
    details.index = combine(information.nFileIndexHigh, information.nFileIndexLow);
    details.links = information.nNumberOfLinks;
    details.hasAttributes = true;
    details.attributes = attributes;
}

}  // namespace platform
