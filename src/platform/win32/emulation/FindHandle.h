#ifndef VESTIGA_PLATFORM_WIN32_EMULATION_FINDHANDLE_H
#define VESTIGA_PLATFORM_WIN32_EMULATION_FINDHANDLE_H

#include <cstddef>
#include <memory>
#include <string>

#include "platform/win32/emulation/DirectoryListing.h"
#include "platform/win32/emulation/HandleObject.h"

namespace platform {

// An open search: hands out the entries of a directory listing whose names
// match a mask.
class FindHandle : public HandleObject {
public:
    static constexpr Kind kind = FIND_HANDLE;

    FindHandle(std::unique_ptr<const DirectoryListing> listing, const std::string& mask);

    // Fills `record` with the next matching entry. false, with the last error
    // set, after the last one: ERROR_NO_MORE_FILES, or the error that ended
    // the read of the directory.
    bool next(WIN32_FIND_DATAA* record);

private:
    std::unique_ptr<const DirectoryListing> _listing;
    std::size_t _position;
    std::string _mask;
};

}  // namespace platform

#endif
