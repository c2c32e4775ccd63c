#ifndef VESTIGA_PLATFORM_WIN32_POSIX_FINDHANDLE_H
#define VESTIGA_PLATFORM_WIN32_POSIX_FINDHANDLE_H

#include <dirent.h>

#include <string>

#include "platform/win32/posix/HandleObject.h"

namespace platform {

// An open directory listing, handing out the entries whose names match a mask.
class FindHandle : public HandleObject {
public:
    static constexpr Kind kind = FIND_HANDLE;

    FindHandle(const std::string& directoryPath, const std::string& mask);
    ~FindHandle() override;

    // Opens the directory. false, with the last error set, on failure.
    bool open();

    // Fills `record` with the next matching entry. false, with the last error
    // set, on failure; the last error is ERROR_NO_MORE_FILES at the end.
    bool next(WIN32_FIND_DATAA* record);

private:
    DWORD attributesOf(const struct dirent& entry) const;

    DIR* _directory;
    std::string _directoryPath;
    std::string _mask;
};

}  // namespace platform

#endif
