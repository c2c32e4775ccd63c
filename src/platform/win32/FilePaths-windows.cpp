#include "platform/win32/FilePaths.h"

#include <vector>

#include "platform/win32/FileCalls.h"
#include "platform/win32/Win32.h"
#include "platform/win32/WidePaths-windows.h"

namespace platform {

// Opening a path follows its links; the open file knows its own full name.
std::string finalPathName(const std::string& path) {
    HANDLE file = createFile(path, 0, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, OPEN_EXISTING,
                             FILE_ATTRIBUTE_NORMAL);
    if (file == INVALID_HANDLE_VALUE) return path;
    std::vector<wchar_t> name(MAX_PATH);
    const auto getName = [&] {
        return GetFinalPathNameByHandleW(file, name.data(), static_cast<DWORD>(name.size()),
                                         FILE_NAME_NORMALIZED | VOLUME_NAME_DOS);
    };
    // A buffer too small gives the size needed.
    DWORD length = getName();
    if (length >= name.size()) {
        name.resize(length + 1);
        length = getName();
    }
    CloseHandle(file);
    return length == 0 || length >= name.size() ? path : toUtf8(name.data());
}

// Windows takes '/' as a separator too, and "C:name" names a file in the
// current directory of drive C.
std::string pathBeside(const std::string& path, const std::string& name) {
    return path.substr(0, path.find_last_of("\\/:") + 1) + name;
}

}  // namespace platform
