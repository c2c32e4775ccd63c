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

// GetFullPathNameW of `path`, of any length; empty on failure.
std::wstring fullPathName(const std::wstring& path) {
    std::vector<wchar_t> buffer(MAX_PATH);
    for (;;) {
        const DWORD length =
            GetFullPathNameW(path.empty() ? L"." : path.c_str(), static_cast<DWORD>(buffer.size()), buffer.data(), nullptr);
        if (length == 0) return std::wstring();
        if (length < buffer.size()) return std::wstring(buffer.data(), length);
        buffer.resize(length);
    }
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

// The typed part is resolved by GetFullPathNameW, as every plain call of
// Windows resolves a path; the rest is added as it stands.
std::wstring systemPath(const std::string& path, std::size_t typedLength) {
    const std::size_t typed = std::min(typedLength, path.size());
    const std::wstring named = toWide(path.substr(0, typed));
    const std::wstring rest = toWide(path.substr(typed));
    if (startsWith(named, extendedPrefix) || startsWith(named, L"\\\\.\\")) return named + rest;
    std::wstring full = fullPathName(named);
    // Without it the path goes as it is, and the call that gets it tells
    // what is wrong with it.
    if (full.empty()) return named + rest;
    if (!rest.empty() && full.back() == L'\\' && rest.front() == L'\\') full.pop_back();
    full += rest;
    // A device (NUL, CON) that the typed part names stays one.
    if (startsWith(full, L"\\\\.\\") || startsWith(full, extendedPrefix)) return full;
    if (startsWith(full, L"\\\\")) return extendedUncPrefix + full.substr(2);
    return extendedPrefix + full;
}

}  // namespace platform
