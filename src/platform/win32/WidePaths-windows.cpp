#include "platform/win32/WidePaths-windows.h"

#include <algorithm>
#include <cwchar>
#include <vector>

#include "platform/win32/Win32.h"

namespace platform {

namespace {

const wchar_t* const extendedPrefix = L"\\\\?\\";
const wchar_t* const extendedUncPrefix = L"\\\\?\\UNC\\";

bool startsWith(const std::wstring& text, const wchar_t* prefix) { return text.rfind(prefix, 0) == 0; }

bool isHighSurrogate(unsigned int unit) { return unit >= 0xD800 && unit <= 0xDBFF; }
bool isLowSurrogate(unsigned int unit) { return unit >= 0xDC00 && unit <= 0xDFFF; }

void appendUtf8(std::string& text, unsigned int codePoint) {
    if (codePoint < 0x80) {
        text += static_cast<char>(codePoint);
    } else if (codePoint < 0x800) {
        text += static_cast<char>(0xC0 | (codePoint >> 6));
        text += static_cast<char>(0x80 | (codePoint & 0x3F));
    } else if (codePoint < 0x10000) {
        text += static_cast<char>(0xE0 | (codePoint >> 12));
        text += static_cast<char>(0x80 | ((codePoint >> 6) & 0x3F));
        text += static_cast<char>(0x80 | (codePoint & 0x3F));
    } else {
        text += static_cast<char>(0xF0 | (codePoint >> 18));
        text += static_cast<char>(0x80 | ((codePoint >> 12) & 0x3F));
        text += static_cast<char>(0x80 | ((codePoint >> 6) & 0x3F));
        text += static_cast<char>(0x80 | (codePoint & 0x3F));
    }
}

void appendUtf16(std::wstring& text, unsigned int codePoint) {
    if (codePoint < 0x10000) {
        text += static_cast<wchar_t>(codePoint);
    } else {
        codePoint -= 0x10000;
        text += static_cast<wchar_t>(0xD800 | (codePoint >> 10));
        text += static_cast<wchar_t>(0xDC00 | (codePoint & 0x3FF));
    }
}

// The code point of the sequence at `at`, and its length in `length`; 0 for
// a byte that begins no sequence (overlong forms, code points above
// U+10FFFF and cut sequences included). Encoded surrogates count.
unsigned int decodeAt(const std::string& text, std::size_t at, std::size_t& length) {
    const unsigned char lead = static_cast<unsigned char>(text[at]);
    unsigned int codePoint;
    unsigned int smallest;
    if (lead < 0x80) {
        length = 1;
        return lead;
    } else if (lead >= 0xC2 && lead <= 0xDF) {
        length = 2, codePoint = lead & 0x1F, smallest = 0x80;
    } else if (lead >= 0xE0 && lead <= 0xEF) {
        length = 3, codePoint = lead & 0x0F, smallest = 0x800;
    } else if (lead >= 0xF0 && lead <= 0xF4) {
        length = 4, codePoint = lead & 0x07, smallest = 0x10000;
    } else {
        length = 0;
        return 0;
    }
    if (text.size() - at < length) {
        length = 0;
        return 0;
    }
    for (std::size_t i = 1; i < length; ++i) {
        const unsigned char next = static_cast<unsigned char>(text[at + i]);
        if ((next & 0xC0) != 0x80) {
            length = 0;
            return 0;
        }
        codePoint = (codePoint << 6) | (next & 0x3F);
    }
    if (codePoint < smallest || codePoint > 0x10FFFF) {
        length = 0;
        return 0;
    }
    return codePoint;
}

}  // namespace

std::wstring toWide(const std::string& text) {
    std::wstring wide;
    wide.reserve(text.size());
    for (std::size_t at = 0; at < text.size();) {
        std::size_t length = 0;
        const unsigned int codePoint = decodeAt(text, at, length);
        if (length == 0) {
            wide += L'\uFFFD';
            ++at;
            continue;
        }
        appendUtf16(wide, codePoint);
        at += length;
    }
    return wide;
}

std::string toUtf8(const wchar_t* text, std::size_t length) {
    std::string narrow;
    narrow.reserve(length);
    for (std::size_t at = 0; at < length; ++at) {
        const unsigned int unit = static_cast<unsigned short>(text[at]);
        if (isHighSurrogate(unit) && at + 1 < length && isLowSurrogate(static_cast<unsigned short>(text[at + 1]))) {
            const unsigned int low = static_cast<unsigned short>(text[++at]);
            appendUtf8(narrow, 0x10000 + ((unit - 0xD800) << 10) + (low - 0xDC00));
        } else {
            appendUtf8(narrow, unit);
        }
    }
    return narrow;
}

std::string toUtf8(const wchar_t* text) { return toUtf8(text, std::wcslen(text)); }

// A full path ("C:\...", "\\server\...") that fits stays as it is; a
// relative one only while its full form fits too. The prefix also turns off
// the system's own clean-up of the path (relative parts, "." and ".."), which
// the full path name has then done already. A path that already names a
// device or a prefixed path stays as it is.
std::wstring systemPath(const std::string& path) {
    const std::wstring wide = toWide(path);
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
