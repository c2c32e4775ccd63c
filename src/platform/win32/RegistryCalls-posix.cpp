#include "platform/win32/RegistryCalls.h"

#include <algorithm>
#include <vector>

#include "platform/win32/Win32.h"
#include "platform/win32/emulation/InMemoryRegistry.h"

namespace platform {

namespace {

// The largest buffer each kind of item can need, in bytes with the
// terminating NUL: key names of up to 255 characters and value names of up
// to 16,383, each of them up to three UTF-8 bytes; data is bounded by memory
// alone, and more than a gibibyte is taken for a fault.
const std::size_t largestKeyName = 255 * 3 + 1;
const std::size_t largestValueName = 16383 * 3 + 1;
const std::size_t largestData = std::size_t(1) << 30;
const std::size_t firstNameSize = 256;
const std::size_t firstDataSize = 2048;
const std::size_t largestFirstData = 64 * 1024;

// A buffer found too small is grown, and the same item read again: at least
// doubled, and at least to the size the call asks for. False once it is as
// large as an item of its kind can be.
bool grow(std::vector<char>& buffer, std::size_t asked, std::size_t largest) {
    if (buffer.size() >= largest) return false;
    buffer.resize(std::min(std::max(buffer.size() * 2, asked + 1), largest));
    return true;
}

BYTE* bytes(std::vector<char>& buffer) { return reinterpret_cast<BYTE*>(buffer.data()); }

}  // namespace

long openRegistryKey(HKEY parent, const std::string& subKey, REGSAM access, bool followLink, HKEY& opened) {
    // A name that holds a NUL is passed to the registry as the counted
    // string it is, as RegOpenKeyExA cannot take it.
    if (subKey.find('\0') != std::string::npos) {
        return InMemoryRegistry::instance().openKey(parent, subKey, access, opened);
    }
    return RegOpenKeyExA(parent, subKey.c_str(), followLink ? 0 : REG_OPTION_OPEN_LINK, access, &opened);
}

long queryLongestValueData(HKEY key, std::uint32_t& longestData) {
    DWORD longest = 0;
    const LONG result = RegQueryInfoKeyA(key, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr,
                                         &longest, nullptr, nullptr);
    longestData = longest;
    return result;
}

long enumRegistryValue(HKEY key, std::uint32_t index, std::uint32_t dataSize, std::string& name,
                       std::uint32_t& type, std::string& data) {
    std::vector<char> nameBuffer(firstNameSize);
    std::vector<char> dataBuffer(std::min<std::size_t>(std::size_t(dataSize) + 1, largestFirstData));
    for (;;) {
        DWORD nameLength = static_cast<DWORD>(nameBuffer.size());
        DWORD size = static_cast<DWORD>(dataBuffer.size());
        DWORD valueType = 0;
        const LONG result = RegEnumValueA(key, index, nameBuffer.data(), &nameLength, nullptr, &valueType,
                                          bytes(dataBuffer), &size);
        if (result == ERROR_MORE_DATA) {
            // Which of the two did not fit is not always told: both grow.
            const bool nameGrew = grow(nameBuffer, nameLength, largestValueName);
            const bool dataGrew = grow(dataBuffer, size, largestData);
            if (nameGrew || dataGrew) continue;
        }
        if (result != ERROR_SUCCESS) return result;
        name.assign(nameBuffer.data(), std::min<std::size_t>(nameLength, nameBuffer.size()));
        type = valueType;
        data.assign(dataBuffer.data(), std::min<std::size_t>(size, dataBuffer.size()));
        return ERROR_SUCCESS;
    }
}

long enumRegistryKey(HKEY key, std::uint32_t index, std::string& name) {
    std::vector<char> buffer(firstNameSize);
    for (;;) {
        DWORD length = static_cast<DWORD>(buffer.size());
        const LONG result = RegEnumKeyExA(key, index, buffer.data(), &length, nullptr, nullptr, nullptr, nullptr);
        if (result == ERROR_MORE_DATA && grow(buffer, 0, largestKeyName)) continue;
        if (result == ERROR_SUCCESS) name.assign(buffer.data(), std::min<std::size_t>(length, buffer.size()));
        return result;
    }
}

long queryRegistryValue(HKEY key, const std::string& name, std::uint32_t& type, std::string& data) {
    std::vector<char> buffer(firstDataSize);
    for (;;) {
        DWORD size = static_cast<DWORD>(buffer.size());
        DWORD valueType = 0;
        const LONG result = RegQueryValueExA(key, name.c_str(), nullptr, &valueType, bytes(buffer), &size);
        if (result == ERROR_MORE_DATA && grow(buffer, size, largestData)) continue;
        if (result != ERROR_SUCCESS) return result;
        type = valueType;
        data.assign(buffer.data(), std::min<std::size_t>(size, buffer.size()));
        return ERROR_SUCCESS;
    }
}

}  // namespace platform
