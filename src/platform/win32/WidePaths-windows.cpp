#include "platform/win32/WidePaths-windows.h"

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

bool startsWith(const std::wstring& text, const wchar_t* prefix) { return text.rfind(prefix, 0) == 0; }

}  // namespace

std::string toUtf8(const wchar_t* text) {
    const int length = WideCharToMultiByte(CP_UTF8, 0, text, -1, nullptr, 0, nullptr, nullptr);
    if (length <= 1) return std::string();
    std::string narrow(static_cast<std::size_t>(length), '\0');
    WideCharToMultiByte(CP_UTF8, 0, text, -1, &narrow[0], length, nullptr, nullptr);
    narrow.resize(static_cast<std::size_t>(length - 1));
    return narrow;
}

// A full path ("C:\...", "\\server\...") that fits stays as it is; a
// relative one only while its full form fits too. The prefix also turns off
// the system's own clean-up of the path (relative parts, "." and ".."), which
// the full path name has then done already. A path that already names a
// device or a prefixed path stays as it is.
std::wstring systemPath(const std::string& path) {
    const std::wstring wide = toUtf16(path);
    if (startsWith(wide, extendedPrefix) || startsWith(wide, L"\\\\.\\")) return wide;
    const bool full = (wide.size() > 2 && wide[1] == L':' && (wide[2] == L'\\' || wide[2] == L'/')) ||
                      startsWith(wide, L"\\\\");
    if (full && wide.size() < MAX_PATH) return wide;
    // One call answers for a path whose full form fits, the usual case.
    wchar_t fitting[MAX_PATH];
    const DWORD needed = GetFullPathNameW(wide.c_str(), MAX_PATH, fitting, nullptr);
    if (needed < MAX_PATH) return wide;
    std::wstring fullPath(needed, L'\0');
    const DWORD length = GetFullPathNameW(wide.c_str(), needed, &fullPath[0], nullptr);
    if (length == 0 || length >= needed) return wide;
    fullPath.resize(length);
    if (startsWith(fullPath, L"\\\\")) return extendedUncPrefix + fullPath.substr(2);
    return extendedPrefix + fullPath;
}

}  // namespace platform
