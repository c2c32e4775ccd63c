#include "platform/win32/posix/DirectoryListing.h"

#include <fcntl.h>

#include <cerrno>

#include "platform/win32/posix/FileInformation.h"

namespace platform {

namespace {

// File systems keep times to a tick of the clock, or coarser: FAT to two
// seconds. A change made within the same tick as the change before it leaves
// the directory's times as they were. Only a directory whose last change lies
// further back than that before its read began can be told unchanged by its
// times.
const time_t coarsestTimeResolution = 2;

bool sameTime(const struct timespec& a, const struct timespec& b) {
    return a.tv_sec == b.tv_sec && a.tv_nsec == b.tv_nsec;
}

bool changedLongBefore(const struct timespec& changed, const struct timespec& readStart) {
    const time_t limit = readStart.tv_sec - coarsestTimeResolution;
    return changed.tv_sec < limit || (changed.tv_sec == limit && changed.tv_nsec < readStart.tv_nsec);
}

// The entry's type as the directory gives it; only a file system that does
// not tell costs a look at the entry itself. An entry that is gone by then
// is reported as a file: whoever opens it next finds it missing.
DWORD attributesOf(DIR* directory, const struct dirent& entry) {
    switch (entry.d_type) {
        case DT_DIR: return FILE_ATTRIBUTE_DIRECTORY;
        case DT_LNK: return FILE_ATTRIBUTE_REPARSE_POINT;
        case DT_UNKNOWN: {
            struct stat status;
            if (fstatat(dirfd(directory), entry.d_name, &status, AT_SYMLINK_NOFOLLOW) == 0) {
                return attributesFromMode(status.st_mode);
            }
            return FILE_ATTRIBUTE_ARCHIVE;
        }
        default: return FILE_ATTRIBUTE_ARCHIVE;
    }
}

}  // namespace

DirectoryListing::DirectoryListing(DIR* directory, const struct stat& status, const struct timespec& readStart)
    : _endError(ERROR_NO_MORE_FILES),
      _device(status.st_dev),
      _inode(status.st_ino),
      _modified(status.st_mtim),
      _changed(status.st_ctim),
      _reusable(false) {
    read(directory);
    _reusable = _endError == ERROR_NO_MORE_FILES && changedLongBefore(_changed, readStart);
}

void DirectoryListing::read(DIR* directory) {
    for (;;) {
        errno = 0;
        const struct dirent* entry = readdir(directory);
        if (entry == nullptr) {
            if (errno != 0) _endError = errorFromErrno(errno);
            return;
        }
        _entries.push_back(Entry{_names.size(), attributesOf(directory, *entry)});
        _names.append(entry->d_name);
        _names.push_back('\0');
    }
}

bool DirectoryListing::describes(const struct stat& status) const {
    return _reusable && status.st_dev == _device && status.st_ino == _inode && sameTime(status.st_mtim, _modified) &&
           sameTime(status.st_ctim, _changed);
}

}  // namespace platform
