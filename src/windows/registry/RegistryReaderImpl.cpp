#include "windows/registry/RegistryReaderImpl.h"

#include <cstdint>
#include <vector>

#include "util/NameQuoting.h"
#include "platform/errorresources/Assertion.h"
#include "platform/errorresources/SystemErrors.h"
#include "platform/win32/RegistryCalls.h"
#include "platform/win32/Win32.h"
#include "windows/registry/RegistryExceptions.h"
#include "windows/registry/RegistryHelpers.h"

namespace windows {
namespace registry {

namespace {

// The bytes before the first NUL.
std::string textUpToNul(const std::string& data) { return data.substr(0, data.find('\0')); }

// What follows the text of a string value: everything from its first NUL up
// to its last byte that is not NUL, so that data hidden behind an embedded
// NUL counts while the string's own terminating NULs do not. Empty for a
// string without an embedded NUL.
std::string bytesAfterText(const std::string& data) {
    const std::string::size_type nul = data.find('\0');
    if (nul == std::string::npos) return std::string();
    const std::string::size_type last = data.find_last_not_of('\0');
    return last == std::string::npos || last < nul ? std::string() : data.substr(nul, last + 1 - nul);
}

// The beginnings of the messages of one operation's failures, by result.
struct FailureMessages {
    const char* accessDenied;
    const char* notFound;
    const char* other;
};

const FailureMessages queryFailures = {
    "Error when reading a registry key, access is denied. ",
    "Error when reading a registry key, the value doesn't exist. ",
    "Error when reading a registry key. ",
};

const FailureMessages enumValueFailures = {
    "Error when reading a registry key while enumerating a value, access is denied. Using 'RegEnumValue'. ",
    "Error when reading a registry key, the value doesn't exist. Using 'RegEnumValue'. ",
    "Error when reading a registry key while enumerating a value. Using 'RegEnumValue'. ",
};

const FailureMessages enumKeyFailures = {
    "Error when enumerating a registry key using 'RegEnumKey', access is denied. ",
    "Error when enumerating a registry key using 'RegEnumKey', the value doesn't exist. ",
    "Error when enumerating a registry key using 'RegEnumKey'. ",
};

// Raises the exception for a failed call on `entry`, a key or value name.
[[noreturn]] void throwFailure(const FailureMessages& messages, const std::string& entry, long result) {
    const std::string subject = "Entry: " + shownName(entry) + "\n\n" +
                                SystemErrors::map(static_cast<int>(result));
    switch (result) {
        case ERROR_ACCESS_DENIED:
            throw RegistryAccessDeniedException(messages.accessDenied + subject);
        case ERROR_FILE_NOT_FOUND:
            throw RegistryValueNotFoundException(messages.notFound + subject);
        default:
            throw RegistryException(messages.other + subject);
    }
}

// Reads a whole value.
std::string queryValue(const RegistryKey& key, const std::string& valueName, std::uint32_t& type) {
    std::string data;
    const long result = platform::queryRegistryValue(key.getKey(), valueName, type, data);
    if (result != ERROR_SUCCESS) throwFailure(queryFailures, key.getName() + "\\" + valueName, result);
    return data;
}

}  // namespace

RegistryReaderImpl::RegistryReaderImpl(RegistryKey* key) : _key(key) {}

std::string RegistryReaderImpl::readString(const std::string& valueName) {
    std::uint32_t type = 0;
    const std::string text = textUpToNul(queryValue(*_key, valueName, type));
    ASSERT(type == REG_SZ || type == REG_MULTI_SZ || type == REG_EXPAND_SZ);
    return type == REG_EXPAND_SZ ? expandEnvironmentVariables(text) : text;
}

// An integer is read into four bytes: longer data does not fit, as the
// platform reports for a buffer too small.
int RegistryReaderImpl::readInt(const std::string& valueName) {
    std::uint32_t type = 0;
    const std::string data = queryValue(*_key, valueName, type);
    if (data.size() > sizeof(int)) throwFailure(queryFailures, _key->getName() + "\\" + valueName, ERROR_MORE_DATA);
    ASSERT(type == REG_DWORD || type == REG_BINARY || type == REG_DWORD_LITTLE_ENDIAN);
    unsigned int value = 0;
    for (std::size_t i = 0; i < data.size(); ++i) value |= static_cast<unsigned int>(static_cast<unsigned char>(data[i])) << (8 * i);
    return static_cast<int>(value);
}

bool RegistryReaderImpl::valueExists(const std::string& valueName) {
    try {
        std::uint32_t type = 0;
        queryValue(*_key, valueName, type);
        return true;
    } catch (const RegistryValueNotFoundException&) {
        return false;
    }
}

std::vector<std::pair<std::string, std::string>> RegistryReaderImpl::getValues() {
    std::vector<unsigned long> types;
    return getValues(types);
}

std::uint64_t RegistryReaderImpl::getLastWriteTime() {
    FILETIME time = {0, 0};
    const LONG result = RegQueryInfoKeyA(_key->getKey(), nullptr, nullptr, nullptr, nullptr, nullptr, nullptr,
                                         nullptr, nullptr, nullptr, nullptr, &time);
    if (result != ERROR_SUCCESS) return 0;
    return (static_cast<std::uint64_t>(time.dwHighDateTime) << 32) | time.dwLowDateTime;
}

std::vector<std::pair<std::string, std::string>> RegistryReaderImpl::getValues(std::vector<unsigned long>& types) {
    types.clear();
    const HKEY key = _key->getKey();
    std::uint32_t longestData = 0;
    const long info = platform::queryLongestValueData(key, longestData);
    if (info != ERROR_SUCCESS) {
        throw RegistryException("Error querying registry information using 'RegQueryInfoKey'. " +
                                SystemErrors::map(static_cast<int>(info)));
    }
    std::vector<std::pair<std::string, std::string>> values;
    for (std::uint32_t index = 0;; ++index) {
        std::string name;
        std::string data;
        std::uint32_t type = 0;
        const long result = platform::enumRegistryValue(key, index, longestData, name, type, data);
        if (result == ERROR_NO_MORE_ITEMS) break;
        if (result != ERROR_SUCCESS) throwFailure(enumValueFailures, _key->getName(), result);
        if (type == REG_SZ) {
            data = textUpToNul(data) + bytesAfterText(data);
        } else if (type == REG_EXPAND_SZ) {
            data = expandEnvironmentVariables(textUpToNul(data)) + bytesAfterText(data);
        }
        values.emplace_back(name, data);
        types.push_back(type);
    }
    return values;
}

std::vector<std::string> RegistryReaderImpl::getSubKeys() {
    const HKEY key = _key->getKey();
    std::vector<std::string> subKeys;
    for (std::uint32_t index = 0;; ++index) {
        std::string name;
        const long result = platform::enumRegistryKey(key, index, name);
        if (result == ERROR_NO_MORE_ITEMS) break;
        if (result != ERROR_SUCCESS) throwFailure(enumKeyFailures, _key->getName(), result);
        subKeys.push_back(name);
    }
    return subKeys;
}

}  // namespace registry
}  // namespace windows
