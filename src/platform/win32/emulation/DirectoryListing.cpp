#include "platform/win32/emulation/DirectoryListing.h"

#include <fcntl.h>
#include <sys/stat.h>

#include <cerrno>

#include "platform/win32/emulation/FileInformation.h"

namespace platform {

namespace {

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

DirectoryListing::DirectoryListing(DIR* directory) : _endError(ERROR_NO_MORE_FILES) { read(directory); }

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

}  // namespace platform
