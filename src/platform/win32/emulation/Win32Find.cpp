#include "platform/win32/emulation/Win32Find.h"

#include <memory>
#include <string>

#include "platform/win32/emulation/DirectoryListing.h"
#include "platform/win32/emulation/FindHandle.h"
#include "platform/win32/emulation/OpenDirectories.h"
#include "platform/win32/emulation/PathParts.h"

namespace platform {

HANDLE findFirstFile(OpenDirectories& directories, LPCSTR fileName, LPWIN32_FIND_DATAA findFileData) {
    const std::string pattern(fileName);
    if (pattern.empty()) {
        SetLastError(ERROR_PATH_NOT_FOUND);
        return INVALID_HANDLE_VALUE;
    }
    std::unique_ptr<DirectoryListing> listing = directories.list(directoryOf(pattern));
    if (listing == nullptr) return INVALID_HANDLE_VALUE;
    std::unique_ptr<FindHandle> handle(new FindHandle(std::move(listing), nameOf(pattern)));
    if (!handle->next(findFileData)) {
        if (GetLastError() == ERROR_NO_MORE_FILES) SetLastError(ERROR_FILE_NOT_FOUND);
        return INVALID_HANDLE_VALUE;
    }
    return toHandle(handle.release());
}

}  // namespace platform

HANDLE FindFirstFileA(LPCSTR fileName, LPWIN32_FIND_DATAA findFileData) {
    platform::OpenDirectories directory(1);
    return platform::findFirstFile(directory, fileName, findFileData);
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
