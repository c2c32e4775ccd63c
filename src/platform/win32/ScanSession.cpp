#include "platform/win32/ScanSession.h"

#include "platform/errorresources/Assertion.h"
#include "platform/win32/FileDetails.h"
#include "platform/win32/ListedPathQuery.h"
#include "platform/win32/Win32.h"

namespace platform {

namespace {

// Whether a listed path, queried with LISTED_PATH_QUERY_FLAGS, is taken for
// what it points to when it is a link.
const bool listedLinksAreFollowed = (LISTED_PATH_QUERY_FLAGS & FILE_FLAG_OPEN_REPARSE_POINT) == 0;

// The details of the link `path`, whose query, `followed` with `information`,
// took it for what it points to: from a second handle on the link itself, or
// from `followed` where the link cannot be opened so.
void readLinkDetails(ScanSession& session, const std::string& path, HANDLE followed,
                     const BY_HANDLE_FILE_INFORMATION& information, FileDetails& details) {
    HANDLE link = session.openForQueries(path, FILE_FLAG_BACKUP_SEMANTICS | FILE_FLAG_OPEN_REPARSE_POINT);
    BY_HANDLE_FILE_INFORMATION own;
    if (link != INVALID_HANDLE_VALUE && GetFileInformationByHandle(link, &own)) {
        readFileDetails(link, path, own, details);
    } else {
        readFileDetails(followed, path, information, details);
    }
    if (link != INVALID_HANDLE_VALUE) {
        const BOOL closed = CloseHandle(link);
        ASSERT(closed);
    }
}

}  // namespace

PathQuery ScanSession::query(const std::string& path, Origin origin, FileDetails* details) {
    HANDLE handle = openForQueries(path, origin == NAMED ? FILE_FLAG_BACKUP_SEMANTICS : LISTED_PATH_QUERY_FLAGS);
    if (handle == INVALID_HANDLE_VALUE) return PathQuery{PathQuery::NOT_OPENED, GetLastError(), 0};
    BY_HANDLE_FILE_INFORMATION information;
    if (!GetFileInformationByHandle(handle, &information)) {
        const DWORD error = GetLastError();
        CloseHandle(handle);
        return PathQuery{PathQuery::NO_INFORMATION, error, 0};
    }
    if (details != nullptr) {
        if (origin == LISTED_REPARSE_POINT && listedLinksAreFollowed) {
            readLinkDetails(*this, path, handle, information, *details);
        } else {
            readFileDetails(handle, path, information, *details);
        }
    }
    const BOOL closed = CloseHandle(handle);
    ASSERT(closed);
    const std::uint64_t lastWrite =
        (static_cast<std::uint64_t>(information.ftLastWriteTime.dwHighDateTime) << 32) |
        information.ftLastWriteTime.dwLowDateTime;
    return PathQuery{PathQuery::FOUND, ERROR_SUCCESS, lastWrite};
}

bool ScanSession::isOutOfDescriptors(std::uint32_t error) { return error == ERROR_TOO_MANY_OPEN_FILES; }

}  // namespace platform
