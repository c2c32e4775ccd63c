#include "platform/win32/FileDetails.h"

#include "platform/win32/Win32.h"

#include <winioctl.h>

#include <cstring>
#include <vector>

#include "platform/win32/WidePaths-windows.h"

namespace platform {

namespace {

// 100-nanosecond steps from 1601-01-01 to 1970-01-01.
const std::int64_t stepsBeforeUnixEpoch = 116444736000000000LL;

std::uint64_t combine(DWORD high, DWORD low) { return (static_cast<std::uint64_t>(high) << 32) | low; }

// The reparse data of a symbolic link or a junction (mount point), as
// FSCTL_GET_REPARSE_POINT gives it: the tag, the length of the data and a
// reserved word, then the offset and byte length of the substitute name and
// of the print name within the names that follow; a symbolic link has a word
// of flags before them.
const std::size_t substituteNameAt = 8;
const std::size_t printNameAt = 12;
const std::size_t mountPointNamesAt = 16;
const std::size_t symbolicLinkNamesAt = 20;

std::uint16_t wordAt(const std::vector<unsigned char>& data, std::size_t at) {
    std::uint16_t word;
    std::memcpy(&word, &data[at], sizeof word);
    return word;
}

// The name whose offset and length stand at `field`, in the names from
// `names` up to `end`; empty where it does not lie within them.
std::string nameAt(const std::vector<unsigned char>& data, std::size_t end, std::size_t names, std::size_t field) {
    const std::size_t offset = wordAt(data, field);
    const std::size_t length = wordAt(data, field + 2);
    if (names + offset + length > end) return std::string();
    std::wstring name(length / sizeof(wchar_t), L'\0');
    std::memcpy(&name[0], &data[names + offset], name.size() * sizeof(wchar_t));
    return toUtf8(name.data(), name.size());
}

// What the symbolic link or junction open as `handle` points to: the name it
// shows (its print name), or the one the system follows where it shows none.
// Empty for any other reparse point, and where the data cannot be read.
std::string reparseTarget(HANDLE handle) {
    std::vector<unsigned char> data(MAXIMUM_REPARSE_DATA_BUFFER_SIZE);
    DWORD returned = 0;
    if (!DeviceIoControl(handle, FSCTL_GET_REPARSE_POINT, nullptr, 0, data.data(), static_cast<DWORD>(data.size()),
                         &returned, nullptr) ||
        returned < mountPointNamesAt) {
        return std::string();
    }
    DWORD tag;
    std::memcpy(&tag, data.data(), sizeof tag);
    const std::size_t names = tag == IO_REPARSE_TAG_SYMLINK       ? symbolicLinkNamesAt
                              : tag == IO_REPARSE_TAG_MOUNT_POINT ? mountPointNamesAt
                                                                  : 0;
    if (names == 0 || returned < names) return std::string();
    const std::string printName = nameAt(data, returned, names, printNameAt);
    return !printName.empty() ? printName : nameAt(data, returned, names, substituteNameAt);
}

}  // namespace

void readFileDetails(HANDLE handle, const std::string& /*path*/, const BY_HANDLE_FILE_INFORMATION& information,
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
    if (details.kind == FileDetails::LINK) details.linkTarget = reparseTarget(handle);
}

void readExtendedAttributes(const std::string& /*path*/,
                            std::vector<std::pair<std::string, std::string>>& attributes) {
    attributes.clear();
}

}  // namespace platform
