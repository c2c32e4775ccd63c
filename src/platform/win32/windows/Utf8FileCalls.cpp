#include "platform/win32/Utf8FileCalls.h"

#include "platform/win32/Win32.h"

namespace platform {

namespace {

const wchar_t* const extendedPrefix = L"\\\\?\\";
const wchar_t* const extendedUncPrefix = L"\\\\?\\UNC\\";

std::wstring toUtf16(const std::string& text) {
    if (text.empty()) return std::wstring();
    const int size = static_cast<int>(text.size());
    const int length = MultiByteToWideChar(CP_UTF8, 0, text.data(), size, nullptr, 0);
    std::wstring wide(static_cast<std::size_t>(length), L'\0');
    MultiByteToWideChar(CP_UTF8, 0, text.data(), size, &wide[0], length);
    return wide;
}

std::string toUtf8(const wchar_t* text) {
    const int length = WideCharToMultiByte(CP_UTF8, 0, text, -1, nullptr, 0, nullptr, nullptr);
    if (length <= 1) return std::string();
    std::string narrow(static_cast<std::size_t>(length), '\0');
    WideCharToMultiByte(CP_UTF8, 0, text, -1, &narrow[0], length, nullptr, nullptr);
    narrow.resize(static_cast<std::size_t>(length - 1));
    return narrow;
}

bool startsWith(const std::wstring& text, const wchar_t* prefix) { return text.rfind(prefix, 0) == 0; }

// The path as the wide calls take it: unchanged while it fits into MAX_PATH
// characters. A longer one is made absolute and given the "\\?\" prefix,
// which lifts the limit; the prefix also turns off the system's own
// clean-up of the path (relative parts, "." and ".."), which the full path
// name has then done already. A path that already names a device or a
// prefixed path stays as it is.
std::wstring systemPath(const std::string& path) {
    const std::wstring wide = toUtf16(path);
    if (wide.size() < MAX_PATH || startsWith(wide, extendedPrefix) || startsWith(wide, L"\\\\.\\")) return wide;
    const DWORD needed = GetFullPathNameW(wide.c_str(), 0, nullptr, nullptr);
    if (needed == 0) return wide;
    std::wstring full(needed, L'\0');
    const DWORD length = GetFullPathNameW(wide.c_str(), needed, &full[0], nullptr);
    if (length == 0 || length >= needed) return wide;
    full.resize(length);
    if (startsWith(full, L"\\\\")) return extendedUncPrefix + full.substr(2);
    return extendedPrefix + full;
}

void fill(FindEntry& entry, const WIN32_FIND_DATAW& record) {
    entry.attributes = record.dwFileAttributes;
    entry.name = toUtf8(record.cFileName);
}

}  // namespace

HANDLE findFirstFile(const std::string& pattern, FindEntry& entry) {
    WIN32_FIND_DATAW record;
    HANDLE find = FindFirstFileW(systemPath(pattern).c_str(), &record);
    if (find != INVALID_HANDLE_VALUE) fill(entry, record);
    return find;
}

bool findNextFile(HANDLE find, FindEntry& entry) {
    WIN32_FIND_DATAW record;
    if (!FindNextFileW(find, &record)) return false;
    fill(entry, record);
    return true;
}

HANDLE createFile(const std::string& path, std::uint32_t desiredAccess, std::uint32_t shareMode,
                  std::uint32_t creationDisposition, std::uint32_t flagsAndAttributes) {
    return CreateFileW(systemPath(path).c_str(), desiredAccess, shareMode, nullptr, creationDisposition,
                       flagsAndAttributes, nullptr);
}

}  // namespace platform
