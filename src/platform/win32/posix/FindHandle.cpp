#include "platform/win32/posix/FindHandle.h"

#include <sys/stat.h>

#include <cerrno>
#include <cstring>

#include "platform/win32/posix/FileInformation.h"
#include "platform/win32/posix/WildcardMatch.h"

namespace platform {

// Every name readdir delivers fits into a find record with its NUL.
static_assert(sizeof(dirent::d_name) <= MAX_PATH, "a file name must fit into cFileName");

namespace {

// Why a directory could not be opened, in the words Windows uses: a missing
// directory is a path not found (a file not found would mean an empty
// listing), and a file named as the directory is an invalid directory name.
DWORD errorOpeningDirectory(const std::string& directoryPath, int errnoValue) {
    if (errnoValue == ENOENT) return ERROR_PATH_NOT_FOUND;
    if (errnoValue == ENOTDIR) {
        struct stat status;
        if (stat(directoryPath.c_str(), &status) == 0 && !S_ISDIR(status.st_mode)) return ERROR_DIRECTORY;
        return ERROR_PATH_NOT_FOUND;
    }
    return errorFromErrno(errnoValue);
}

}  // namespace

FindHandle::FindHandle(const std::string& directoryPath, const std::string& mask)
    : HandleObject(kind), _directory(nullptr), _directoryPath(directoryPath), _mask(mask) {}

FindHandle::~FindHandle() {
    if (_directory != nullptr) closedir(_directory);
}

bool FindHandle::open() {
    _directory = opendir(_directoryPath.c_str());
    if (_directory == nullptr) {
        SetLastError(errorOpeningDirectory(_directoryPath, errno));
        return false;
    }
    return true;
}

bool FindHandle::next(WIN32_FIND_DATAA* record) {
    for (;;) {
        errno = 0;
        const struct dirent* entry = readdir(_directory);
        if (entry == nullptr) {
            if (errno != 0) {
                setLastErrorFromErrno();
            } else {
                SetLastError(ERROR_NO_MORE_FILES);
            }
            return false;
        }
        if (!matchesWildcard(_mask, entry->d_name)) continue;
        std::memset(record, 0, sizeof *record);
        record->dwFileAttributes = attributesOf(*entry);
        std::strcpy(record->cFileName, entry->d_name);
        return true;
    }
}

// The entry's type as the directory gives it; only a file system that does
// not tell costs a look at the entry itself. An entry that is gone by then
// is reported as a file: whoever opens it next finds it missing.
DWORD FindHandle::attributesOf(const struct dirent& entry) const {
    switch (entry.d_type) {
        case DT_DIR: return FILE_ATTRIBUTE_DIRECTORY;
        case DT_LNK: return FILE_ATTRIBUTE_REPARSE_POINT;
        case DT_UNKNOWN: {
            struct stat status;
            const std::string path = _directoryPath + "/" + entry.d_name;
            if (lstat(path.c_str(), &status) == 0) return attributesFromMode(status.st_mode);
            return FILE_ATTRIBUTE_ARCHIVE;
        }
        default: return FILE_ATTRIBUTE_ARCHIVE;
    }
}

}  // namespace platform
