#include "platform/win32/emulation/FindHandle.h"

#include <dirent.h>

#include <cstring>
#include <utility>

#include "platform/win32/emulation/WildcardMatch.h"

namespace platform {

// Every name a directory holds fits into a find record with its NUL.
static_assert(sizeof(dirent::d_name) <= MAX_PATH, "a file name must fit into cFileName");

FindHandle::FindHandle(std::unique_ptr<const DirectoryListing> listing, const std::string& mask)
    : HandleObject(kind), _listing(std::move(listing)), _position(0), _mask(mask) {}

bool FindHandle::next(WIN32_FIND_DATAA* record) {
    while (_position < _listing->size()) {
        const std::size_t index = _position++;
        const char* name = _listing->nameAt(index);
        if (!matchesWildcard(_mask, name)) continue;
        std::memset(record, 0, sizeof *record);
        record->dwFileAttributes = _listing->attributesAt(index);
        std::strcpy(record->cFileName, name);
        return true;
    }
    SetLastError(_listing->getEndError());
    return false;
}

}  // namespace platform
