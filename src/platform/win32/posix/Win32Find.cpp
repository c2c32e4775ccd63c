#include <memory>
#include <string>

#include "platform/win32/posix/DirectoryListing.h"
#include "platform/win32/posix/FindHandle.h"
#include "platform/win32/posix/ListingChain.h"
#include "platform/win32/posix/PathParts.h"
#include "platform/win32/posix/Win32File.h"

namespace {

// A scan lists each directory twice in a row, its files and then its
// subdirectories, and walks down the tree from one directory to the next.
platform::ListingChain listings;

}  // namespace

HANDLE FindFirstFileA(LPCSTR fileName, LPWIN32_FIND_DATAA findFileData) {
    const std::string pattern(fileName);
    if (pattern.empty()) {
        SetLastError(ERROR_PATH_NOT_FOUND);
        return INVALID_HANDLE_VALUE;
    }
    std::shared_ptr<const platform::DirectoryListing> listing = listings.list(platform::directoryOf(pattern));
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
