#include <dirent.h>
#include <sys/stat.h>

#include <cerrno>
#include <ctime>
#include <memory>
#include <string>

#include "platform/win32/posix/DirectoryListing.h"
#include "platform/win32/posix/FindHandle.h"
#include "platform/win32/posix/PathParts.h"
#include "platform/win32/posix/Win32File.h"

namespace {

// The listing of the directory read last. A scan lists each directory twice
// in a row, its files and then its subdirectories; the second search is
// served from here when the directory has not changed in between.
std::shared_ptr<const platform::DirectoryListing> lastListing;

struct DirectoryCloser {
    void operator()(DIR* directory) const { closedir(directory); }
};

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
    return platform::errorFromErrno(errnoValue);
}

// What the directory holds now: the last listing if it provably still tells
// that, otherwise a fresh read. Null, with the last error set, when the
// directory cannot be opened.
std::shared_ptr<const platform::DirectoryListing> listDirectory(const std::string& directoryPath) {
    struct timespec readStart;
    clock_gettime(CLOCK_REALTIME, &readStart);
    DIR* directory = opendir(directoryPath.c_str());
    if (directory == nullptr) {
        SetLastError(errorOpeningDirectory(directoryPath, errno));
        return nullptr;
    }
    std::unique_ptr<DIR, DirectoryCloser> closeWhenDone(directory);
    struct stat status;
    if (fstat(dirfd(directory), &status) != 0) {
        platform::setLastErrorFromErrno();
        return nullptr;
    }
    if (lastListing == nullptr || !lastListing->describes(status)) {
        lastListing = std::make_shared<const platform::DirectoryListing>(directory, status, readStart);
    }
    return lastListing;
}

}  // namespace

HANDLE FindFirstFileA(LPCSTR fileName, LPWIN32_FIND_DATAA findFileData) {
    const std::string pattern(fileName);
    if (pattern.empty()) {
        SetLastError(ERROR_PATH_NOT_FOUND);
        return INVALID_HANDLE_VALUE;
    }
    std::shared_ptr<const platform::DirectoryListing> listing = listDirectory(platform::directoryOf(pattern));
    if (listing == nullptr) return INVALID_HANDLE_VALUE;
    std::unique_ptr<platform::FindHandle> handle(new platform::FindHandle(listing, platform::nameOf(pattern)));
    if (!handle->next(findFileData)) {
        if (GetLastError() == ERROR_NO_MORE_FILES) SetLastError(ERROR_FILE_NOT_FOUND);
        return INVALID_HANDLE_VALUE;
    }
    return platform::toHandle(handle.release());
}

BOOL FindNextFileA(HANDLE findFile, LPWIN32_FIND_DATAA findFileData) {
    platform::FindHandle* handle = platform::handleObject<platform::FindHandle>(findFile);
    return handle != nullptr && handle->next(findFileData) ? TRUE : FALSE;
}

BOOL FindClose(HANDLE findFile) {
    platform::FindHandle* handle = platform::handleObject<platform::FindHandle>(findFile);
    if (handle == nullptr) return FALSE;
    delete handle;
    return TRUE;
}
