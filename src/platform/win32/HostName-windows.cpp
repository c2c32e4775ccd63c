#include "platform/win32/HostName.h"

#include <vector>

#include "platform/win32/WidePaths-windows.h"
#include "platform/win32/Win32.h"

namespace platform {

std::string hostName() {
    DWORD length = 0;
    GetComputerNameExW(ComputerNameDnsHostname, nullptr, &length);
    if (length != 0) {
        std::vector<wchar_t> name(length);
        if (GetComputerNameExW(ComputerNameDnsHostname, name.data(), &length)) return toUtf8(name.data(), length);
    }
    wchar_t name[MAX_COMPUTERNAME_LENGTH + 1];
    length = MAX_COMPUTERNAME_LENGTH + 1;
    if (!GetComputerNameW(name, &length)) return std::string();
    return toUtf8(name, length);
}

}  // namespace platform
