#include "platform/win32/emulation/FileInformation.h"

#include <cstdint>

namespace platform {

namespace {

// Seconds from 1601-01-01 to 1970-01-01.
const std::int64_t secondsBeforeUnixEpoch = 11644473600LL;
const std::int64_t intervalsPerSecond = 10000000LL;

DWORD lowPart(std::uint64_t value) { return static_cast<DWORD>(value & 0xFFFFFFFFu); }
DWORD highPart(std::uint64_t value) { return static_cast<DWORD>(value >> 32); }

}  // namespace

FILETIME fileTimeFromTimespec(const struct timespec& time) {
    FILETIME result = {0, 0};
    const std::int64_t seconds = static_cast<std::int64_t>(time.tv_sec) + secondsBeforeUnixEpoch;
    if (seconds < 0) return result;
    const std::uint64_t intervals =
        static_cast<std::uint64_t>(seconds) * intervalsPerSecond + static_cast<std::uint64_t>(time.tv_nsec) / 100;
    result.dwLowDateTime = lowPart(intervals);
    result.dwHighDateTime = highPart(intervals);
    return result;
}

DWORD attributesFromMode(mode_t mode) {
    if (S_ISLNK(mode)) return FILE_ATTRIBUTE_REPARSE_POINT;
    if (S_ISDIR(mode)) return FILE_ATTRIBUTE_DIRECTORY;
    return FILE_ATTRIBUTE_ARCHIVE;
}

BY_HANDLE_FILE_INFORMATION fileInformationFromStatus(const struct stat& status) {
    BY_HANDLE_FILE_INFORMATION information = {};
    information.dwFileAttributes = attributesFromMode(status.st_mode);
    information.ftCreationTime = fileTimeFromTimespec(status.st_ctim);
    information.ftLastAccessTime = fileTimeFromTimespec(status.st_atim);
    information.ftLastWriteTime = fileTimeFromTimespec(status.st_mtim);
    information.dwVolumeSerialNumber = static_cast<DWORD>(status.st_dev);
    const std::uint64_t size = S_ISDIR(status.st_mode) ? 0 : static_cast<std::uint64_t>(status.st_size);
    information.nFileSizeHigh = highPart(size);
    information.nFileSizeLow = lowPart(size);
    information.nNumberOfLinks = static_cast<DWORD>(status.st_nlink);
    const std::uint64_t index = static_cast<std::uint64_t>(status.st_ino);
    information.nFileIndexHigh = highPart(index);
    information.nFileIndexLow = lowPart(index);
    return information;
}

}  // namespace platform
