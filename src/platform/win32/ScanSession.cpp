#include "platform/win32/ScanSession.h"

#include "platform/errorresources/Assertion.h"
#include "platform/win32/FileDetails.h"
#include "platform/win32/ListedPathQuery.h"
#include "platform/win32/Win32.h"

namespace platform {

PathQuery ScanSession::query(const std::string& path, bool named, FileDetails* details) {
    HANDLE handle = openForQueries(path, named ? FILE_FLAG_BACKUP_SEMANTICS : LISTED_PATH_QUERY_FLAGS);
    if (handle == INVALID_HANDLE_VALUE) return PathQuery{PathQuery::NOT_OPENED, GetLastError(), 0};
    BY_HANDLE_FILE_INFORMATION information;
    if (!GetFileInformationByHandle(handle, &information)) {
        const DWORD error = GetLastError();
        CloseHandle(handle);
        return PathQuery{PathQuery::NO_INFORMATION, error, 0};
    }
    if (details != nullptr) readFileDetails(handle, path, information, *details);
    const BOOL closed = CloseHandle(handle);
    ASSERT(closed);
    const std::uint64_t lastWrite =
        (static_cast<std::uint64_t>(information.ftLastWriteTime.dwHighDateTime) << 32) |
        information.ftLastWriteTime.dwLowDateTime;
    return PathQuery{PathQuery::FOUND, ERROR_SUCCESS, lastWrite};
}

bool ScanSession::isOutOfDescriptors(std::uint32_t error) { return error == ERROR_TOO_MANY_OPEN_FILES; }

}  // namespace platform
