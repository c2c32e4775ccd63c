#ifndef VESTIGA_PLATFORM_WIN32_EMULATION_WIN32REGISTRY_H
#define VESTIGA_PLATFORM_WIN32_EMULATION_WIN32REGISTRY_H

// The registry calls of advapi32, for POSIX systems. A POSIX system has no
// registry: the calls work on the process's own in-memory registry
// (platform::InMemoryRegistry), which starts with the root keys and nothing
// below them. Error codes and buffer contracts are those of Windows: sizes in
// bytes, name lengths without their NUL, ERROR_MORE_DATA for a buffer too
// small. Values are read (RegQueryValueExA, RegEnumValueA) through handles
// opened with KEY_QUERY_VALUE and sub-keys listed (RegEnumKeyExA) with
// KEY_ENUMERATE_SUB_KEYS; RegQueryInfoKeyA, as on Wine, needs neither.

#include <cstdint>

#include "platform/win32/emulation/Win32Base.h"

typedef HKEY* PHKEY;

// The predefined root handles, sign-extended as Windows declares them.
#define VESTIGA_PREDEFINED_KEY(value) ((HKEY)(std::intptr_t)(std::int32_t)(value))
#define HKEY_CLASSES_ROOT VESTIGA_PREDEFINED_KEY(0x80000000u)
#define HKEY_CURRENT_USER VESTIGA_PREDEFINED_KEY(0x80000001u)
#define HKEY_LOCAL_MACHINE VESTIGA_PREDEFINED_KEY(0x80000002u)
#define HKEY_USERS VESTIGA_PREDEFINED_KEY(0x80000003u)
#define HKEY_PERFORMANCE_DATA VESTIGA_PREDEFINED_KEY(0x80000004u)
#define HKEY_CURRENT_CONFIG VESTIGA_PREDEFINED_KEY(0x80000005u)
#define HKEY_DYN_DATA VESTIGA_PREDEFINED_KEY(0x80000006u)

#define KEY_QUERY_VALUE 0x0001
#define KEY_ENUMERATE_SUB_KEYS 0x0008
#define KEY_NOTIFY 0x0010
#define READ_CONTROL 0x00020000
#define KEY_READ (READ_CONTROL | KEY_QUERY_VALUE | KEY_ENUMERATE_SUB_KEYS | KEY_NOTIFY)

// The in-memory registry has no link keys: every key opens as itself.
#define REG_OPTION_OPEN_LINK 0x00000008

#define REG_NONE 0
#define REG_SZ 1
#define REG_EXPAND_SZ 2
#define REG_BINARY 3
#define REG_DWORD 4
#define REG_DWORD_LITTLE_ENDIAN 4
#define REG_MULTI_SZ 7

struct _FILETIME;

LONG RegOpenKeyExA(HKEY key, LPCSTR subKey, DWORD options, REGSAM desired, PHKEY result);
LONG RegCloseKey(HKEY key);
LONG RegQueryValueExA(HKEY key, LPCSTR valueName, LPDWORD reserved, LPDWORD type, LPBYTE data,
                      LPDWORD dataSize);
// The in-memory registry keeps no class names, security descriptors or write
// times: the class comes back empty, the descriptor size 0, and asking for
// the write time is an invalid parameter.
LONG RegQueryInfoKeyA(HKEY key, LPSTR className, LPDWORD classNameLength, LPDWORD reserved,
                      LPDWORD subKeyCount, LPDWORD longestSubKeyName, LPDWORD longestClassName,
                      LPDWORD valueCount, LPDWORD longestValueName, LPDWORD longestValueData,
                      LPDWORD securityDescriptorSize, struct _FILETIME* lastWriteTime);
LONG RegEnumValueA(HKEY key, DWORD index, LPSTR valueName, LPDWORD valueNameLength, LPDWORD reserved,
                   LPDWORD type, LPBYTE data, LPDWORD dataSize);
// Names are counted: a NUL in one is a byte of it, and the length tells
// where it ends. There are no class names or write times to ask for: asking
// is an invalid parameter.
LONG RegEnumKeyExA(HKEY key, DWORD index, LPSTR name, LPDWORD nameLength, LPDWORD reserved, LPSTR className,
                   LPDWORD classNameLength, struct _FILETIME* lastWriteTime);

#endif
