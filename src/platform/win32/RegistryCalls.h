#ifndef VESTIGA_PLATFORM_WIN32_REGISTRYCALLS_H
#define VESTIGA_PLATFORM_WIN32_REGISTRYCALLS_H

// The registry calls that take or give names and data, for names of any
// kind. Names are UTF-8 (a lone surrogate as its three bytes, WTF-8) and
// exactly what the registry holds: an embedded NUL is a byte of the name.
// The data of the string types (REG_SZ, REG_EXPAND_SZ, REG_MULTI_SZ) is UTF-8
// as well, every other type's its bytes. Results are the Win32 error codes
// the Reg* calls return; handles are those of RegOpenKeyEx, closed with
// RegCloseKey.
//
// On Windows these are the wide calls, each key opened relative to its
// parent's handle; a name that holds a NUL, which those cannot take, is
// opened with the counted-string call of ntdll (NtOpenKeyEx), below a
// predefined root relative to the key the root stands for. On POSIX systems
// they are the in-memory registry's, which counts its names as well.

#include <cstdint>
#include <string>

#include "platform/win32/Win32Handles.h"

namespace platform {

// A link key opens as the key it points to when `followLink` is set, else
// as itself: its one value, SymbolicLinkValue, names its target.
long openRegistryKey(HKEY parent, const std::string& subKey, REGSAM access, bool followLink, HKEY& opened);
// RegQueryInfoKey: the size of the longest value data, in bytes.
long queryLongestValueData(HKEY key, std::uint32_t& longestData);
// RegEnumValue: the value at `index`, read whole; `dataSize` is the size to
// try first, up to 64 KiB (a larger value is read in a second call).
// ERROR_NO_MORE_ITEMS after the last one.
long enumRegistryValue(HKEY key, std::uint32_t index, std::uint32_t dataSize, std::string& name,
                       std::uint32_t& type, std::string& data);
// RegEnumKeyEx: the name of the sub-key at `index`; ERROR_NO_MORE_ITEMS after
// the last one.
long enumRegistryKey(HKEY key, std::uint32_t index, std::string& name);
// RegQueryValueEx: the value called `name`, read whole.
long queryRegistryValue(HKEY key, const std::string& name, std::uint32_t& type, std::string& data);

}  // namespace platform

#endif
