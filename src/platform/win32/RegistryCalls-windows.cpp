#include "platform/win32/RegistryCalls.h"

#include <algorithm>
#include <cstring>
#include <vector>

#include "platform/win32/Win32.h"

#include <winternl.h>

#include "platform/win32/WidePaths-windows.h"

namespace platform {

namespace {

// The registry's own limits, in UTF-16 units with the terminating NUL: 255
// for a key name, 16,383 for a value name. Data is bounded by memory alone,
// and more than a gibibyte is taken for a fault.
const std::size_t longestKeyName = 256;
const std::size_t longestValueName = 16384;
const std::size_t largestData = std::size_t(1) << 30;
const std::size_t firstNameSize = 256;
const std::size_t firstDataSize = 2048;
const std::size_t largestFirstData = 64 * 1024;

bool isText(DWORD type) { return type == REG_SZ || type == REG_EXPAND_SZ || type == REG_MULTI_SZ; }

// The data as the program holds it: the UTF-16 of a string type as UTF-8
// (an odd last byte, which is no character, kept as it is), other types'
// bytes unchanged.
std::string dataOf(DWORD type, const std::vector<BYTE>& buffer, DWORD size) {
    const char* const bytes = reinterpret_cast<const char*>(buffer.data());
    if (!isText(type)) return std::string(bytes, size);
    std::vector<wchar_t> units(size / sizeof(wchar_t));
    if (!units.empty()) std::memcpy(units.data(), bytes, units.size() * sizeof(wchar_t));
    std::string text = toUtf8(units.data(), units.size());
    if (size % sizeof(wchar_t) != 0) text += bytes[size - 1];
    return text;
}

// A buffer found too small grows to the size asked for, or to twice its
// size when none is told, up to `largest`. False once it is that large.
template <typename Buffer>
bool grow(Buffer& buffer, std::size_t asked, std::size_t largest) {
    if (buffer.size() >= largest) return false;
    buffer.resize(std::min(std::max(asked, buffer.size() * 2), largest));
    return true;
}

typedef NTSTATUS(NTAPI* OpenKeyEx)(PHANDLE, ACCESS_MASK, POBJECT_ATTRIBUTES, ULONG);
typedef ULONG(NTAPI* StatusToError)(NTSTATUS);

template <typename Function>
Function ntdllFunction(const char* name) {
    const FARPROC function = GetProcAddress(GetModuleHandleW(L"ntdll.dll"), name);
    return reinterpret_cast<Function>(reinterpret_cast<void*>(function));
}

// NtOpenKeyEx: `name` as a counted string, relative to `directory`, or the
// kernel's whole name of a key when `directory` is 0.
long openNative(HANDLE directory, const std::wstring& name, REGSAM access, ULONG attributes, HKEY& opened) {
    const OpenKeyEx openKeyEx = ntdllFunction<OpenKeyEx>("NtOpenKeyEx");
    const StatusToError toError = ntdllFunction<StatusToError>("RtlNtStatusToDosError");
    if (openKeyEx == nullptr || toError == nullptr) return ERROR_CALL_NOT_IMPLEMENTED;
    if (name.size() * sizeof(wchar_t) > 0xFFFE) return ERROR_INVALID_PARAMETER;
    UNICODE_STRING counted;
    counted.Buffer = const_cast<PWSTR>(name.data());
    counted.Length = static_cast<USHORT>(name.size() * sizeof(wchar_t));
    counted.MaximumLength = counted.Length;
    OBJECT_ATTRIBUTES objectAttributes;
    InitializeObjectAttributes(&objectAttributes, &counted, attributes, directory, nullptr);
    HANDLE key = nullptr;
    const NTSTATUS status = openKeyEx(&key, access, &objectAttributes, 0);
    if (status < 0) return static_cast<long>(toError(status));
    opened = static_cast<HKEY>(key);
    return ERROR_SUCCESS;
}

// Where the kernel keeps a key that a predefined root stands for: by its
// whole name, or by its path below the user's own key (empty for that key).
struct RootPlace {
    HKEY root;
    const wchar_t* kernelName;
    const wchar_t* belowCurrentUser;
};

// In the order a name below each root is looked up: HKEY_CLASSES_ROOT shows
// the user's classes over the machine's. HKEY_PERFORMANCE_DATA and
// HKEY_DYN_DATA are keys of no hive.
const RootPlace rootPlaces[] = {
    {HKEY_CURRENT_USER, nullptr, L""},
    {HKEY_LOCAL_MACHINE, L"\\Registry\\Machine", nullptr},
    {HKEY_USERS, L"\\Registry\\User", nullptr},
    {HKEY_CURRENT_CONFIG, L"\\Registry\\Machine\\System\\CurrentControlSet\\Hardware Profiles\\Current", nullptr},
    {HKEY_CLASSES_ROOT, nullptr, L"Software\\Classes"},
    {HKEY_CLASSES_ROOT, L"\\Registry\\Machine\\Software\\Classes", nullptr},
};

long openRootPlace(const RootPlace& place, REGSAM access, HKEY& opened) {
    if (place.kernelName != nullptr) return openNative(nullptr, place.kernelName, access, OBJ_CASE_INSENSITIVE, opened);
    HKEY user = nullptr;
    const LONG result = RegOpenCurrentUser(access, &user);
    if (result != ERROR_SUCCESS || *place.belowCurrentUser == L'\0') {
        opened = user;
        return result;
    }
    const LONG below = RegOpenKeyExW(user, place.belowCurrentUser, 0, access, &opened);
    RegCloseKey(user);
    return below;
}

// A name that holds a NUL goes as a counted string, relative to the
// parent's handle. A predefined root is a handle of advapi32's, which the
// kernel does not know: below one, the name is opened relative to the key
// the root stands for, opened as a key of its own.
long openByCountedName(HKEY parent, const std::wstring& name, REGSAM access, bool followLink, HKEY& opened) {
    const ULONG attributes = OBJ_CASE_INSENSITIVE | (followLink ? 0 : OBJ_OPENLINK);
    bool belowRoot = false;
    long result = ERROR_INVALID_HANDLE;
    for (const RootPlace& place : rootPlaces) {
        if (place.root != parent) continue;
        belowRoot = true;
        HKEY root = nullptr;
        result = openRootPlace(place, access, root);
        if (result == ERROR_SUCCESS) {
            result = openNative(root, name, access, attributes, opened);
            RegCloseKey(root);
        }
        if (result != ERROR_FILE_NOT_FOUND) return result;
    }
    return belowRoot ? result : openNative(parent, name, access, attributes, opened);
}

}  // namespace

long openRegistryKey(HKEY parent, const std::string& subKey, REGSAM access, bool followLink, HKEY& opened) {
    const std::wstring name = toWide(subKey);
    if (name.find(L'\0') != std::wstring::npos) return openByCountedName(parent, name, access, followLink, opened);
    return RegOpenKeyExW(parent, name.c_str(), followLink ? 0 : REG_OPTION_OPEN_LINK, access, &opened);
}

long queryLongestValueData(HKEY key, std::uint32_t& longestData) {
    DWORD longest = 0;
    const LONG result = RegQueryInfoKeyW(key, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr,
                                         &longest, nullptr, nullptr);
    longestData = longest;
    return result;
}

long enumRegistryValue(HKEY key, std::uint32_t index, std::uint32_t dataSize, std::string& name,
                       std::uint32_t& type, std::string& data) {
    std::vector<wchar_t> nameBuffer(firstNameSize);
    std::vector<BYTE> dataBuffer(std::min<std::size_t>(std::max<std::size_t>(dataSize, 1), largestFirstData));
    for (;;) {
        DWORD nameLength = static_cast<DWORD>(nameBuffer.size());
        DWORD size = static_cast<DWORD>(dataBuffer.size());
        DWORD valueType = 0;
        const LONG result =
            RegEnumValueW(key, index, nameBuffer.data(), &nameLength, nullptr, &valueType, dataBuffer.data(), &size);
        if (result == ERROR_MORE_DATA) {
            // The data's size is told; which of the two did not fit is not.
            if (size > dataBuffer.size() && grow(dataBuffer, size, largestData)) continue;
            if (grow(nameBuffer, 0, longestValueName) || grow(dataBuffer, 0, largestData)) continue;
        }
        if (result != ERROR_SUCCESS) return result;
        name = toUtf8(nameBuffer.data(), std::min<std::size_t>(nameLength, nameBuffer.size()));
        type = valueType;
        data = dataOf(valueType, dataBuffer, std::min<DWORD>(size, static_cast<DWORD>(dataBuffer.size())));
        return ERROR_SUCCESS;
    }
}

long enumRegistryKey(HKEY key, std::uint32_t index, std::string& name) {
    std::vector<wchar_t> buffer(longestKeyName);
    for (;;) {
        DWORD length = static_cast<DWORD>(buffer.size());
        const LONG result = RegEnumKeyExW(key, index, buffer.data(), &length, nullptr, nullptr, nullptr, nullptr);
        if (result == ERROR_MORE_DATA && grow(buffer, 0, longestValueName)) continue;
        if (result == ERROR_SUCCESS) name = toUtf8(buffer.data(), std::min<std::size_t>(length, buffer.size()));
        return result;
    }
}

long queryRegistryValue(HKEY key, const std::string& name, std::uint32_t& type, std::string& data) {
    const std::wstring wideName = toWide(name);
    std::vector<BYTE> buffer(firstDataSize);
    for (;;) {
        DWORD size = static_cast<DWORD>(buffer.size());
        DWORD valueType = 0;
        const LONG result = RegQueryValueExW(key, wideName.c_str(), nullptr, &valueType, buffer.data(), &size);
        if (result == ERROR_MORE_DATA && grow(buffer, size, largestData)) continue;
        if (result != ERROR_SUCCESS) return result;
        type = valueType;
        data = dataOf(valueType, buffer, std::min<DWORD>(size, static_cast<DWORD>(buffer.size())));
        return ERROR_SUCCESS;
    }
}

}  // namespace platform
