#include "windows/registry/RegistryReaderImpl.h"

#include <algorithm>
#include <vector>

#include "platform/errorresources/Assertion.h"
#include "platform/errorresources/SystemErrors.h"
#include "platform/win32/Win32.h"
#include "windows/registry/RegistryExceptions.h"
#include "windows/registry/RegistryHelpers.h"

namespace windows {
namespace registry {

namespace {

const DWORD stringBufferSize = 2048;
const DWORD subKeyNameBufferSize = 261;

// The bytes before the first NUL, never more than `size`.
std::string textUpToNul(const char* data, std::size_t size) {
    return std::string(data, std::find(data, data + size, '\0'));
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
[[noreturn]] void throwFailure(const FailureMessages& messages, const std::string& entry, LONG result) {
    const std::string subject = "Entry: " + entry + "\n\n" + SystemErrors::map(static_cast<int>(result));
    switch (result) {
        case ERROR_ACCESS_DENIED:
            throw RegistryAccessDeniedException(messages.accessDenied + subject);
        case ERROR_FILE_NOT_FOUND:
            throw RegistryValueNotFoundException(messages.notFound + subject);
        default:
            throw RegistryException(messages.other + subject);
    }
}

// Queries a value into `data`; `size` holds the buffer's size and receives the
// byte count.
void queryValue(const RegistryKey& key, const std::string& valueName, DWORD& type, BYTE* data, DWORD& size) {
    const LONG result = RegQueryValueExA(key.getKey(), valueName.c_str(), 0, &type, data, &size);
    if (result != ERROR_SUCCESS) throwFailure(queryFailures, key.getName() + "\\" + valueName, result);
}

// The text of a string value, as read into a buffer of stringBufferSize bytes.
std::string queryText(const RegistryKey& key, const std::string& valueName, DWORD& type) {
    std::vector<char> buffer(stringBufferSize);
    DWORD size = stringBufferSize;
    queryValue(key, valueName, type, reinterpret_cast<BYTE*>(buffer.data()), size);
    return textUpToNul(buffer.data(), std::min<std::size_t>(size, buffer.size()));
}

}  // namespace

RegistryReaderImpl::RegistryReaderImpl(RegistryKey* key) : _key(key) {}

std::string RegistryReaderImpl::readString(const std::string& valueName) {
    DWORD type = 0;
    const std::string text = queryText(*_key, valueName, type);
    ASSERT(type == REG_SZ || type == REG_MULTI_SZ || type == REG_EXPAND_SZ);
    return type == REG_EXPAND_SZ ? expandEnvironmentVariables(text) : text;
}

int RegistryReaderImpl::readInt(const std::string& valueName) {
    BYTE bytes[sizeof(int)] = {};
    DWORD type = 0;
    DWORD size = sizeof bytes;
    queryValue(*_key, valueName, type, bytes, size);
    ASSERT(type == REG_DWORD || type == REG_BINARY || type == REG_DWORD_LITTLE_ENDIAN);
    ASSERT(size <= sizeof(int));
    unsigned int value = 0;
    for (std::size_t i = 0; i < sizeof bytes; ++i) value |= static_cast<unsigned int>(bytes[i]) << (8 * i);
    return static_cast<int>(value);
}

bool RegistryReaderImpl::valueExists(const std::string& valueName) {
    try {
        DWORD type = 0;
        queryText(*_key, valueName, type);
        return true;
    } catch (const RegistryValueNotFoundException&) {
        return false;
    }
}

std::vector<std::pair<std::string, std::string>> RegistryReaderImpl::getValues() {
    const HKEY key = _key->getKey();
    DWORD longestName = 0;
    DWORD longestData = 0;
    const LONG info = RegQueryInfoKeyA(key, 0, 0, 0, 0, 0, 0, 0, &longestName, &longestData, 0, 0);
    if (info != ERROR_SUCCESS) {
        throw RegistryException("Error querying registry information using 'RegQueryInfoKey'. " +
                                SystemErrors::map(static_cast<int>(info)));
    }
    // One byte more than the longest of each, so that text that fits ends in NUL.
    // Every read below is bounded by the counts the platform returns, so the
    // buffers need no clearing between values.
    std::vector<char> name(longestName + 1);
    std::vector<char> data(longestData + 1);

    std::vector<std::pair<std::string, std::string>> values;
    for (DWORD index = 0;; ++index) {
        DWORD nameLength = static_cast<DWORD>(name.size());
        DWORD dataSize = static_cast<DWORD>(data.size());
        DWORD type = 0;
        const LONG result = RegEnumValueA(key, index, name.data(), &nameLength, 0, &type,
                                          reinterpret_cast<BYTE*>(data.data()), &dataSize);
        if (result == ERROR_NO_MORE_ITEMS) break;
        if (result != ERROR_SUCCESS) throwFailure(enumValueFailures, _key->getName(), result);

        const std::size_t dataLength = std::min<std::size_t>(dataSize, data.size());
        std::string bytes;
        if (type == REG_SZ) {
            bytes = textUpToNul(data.data(), dataLength);
        } else if (type == REG_EXPAND_SZ) {
            bytes = expandEnvironmentVariables(textUpToNul(data.data(), dataLength));
        } else {
            bytes.assign(data.data(), dataLength);
        }
        values.emplace_back(textUpToNul(name.data(), std::min<std::size_t>(nameLength, name.size())), bytes);
    }
    return values;
}

std::vector<std::string> RegistryReaderImpl::getSubKeys() {
    const HKEY key = _key->getKey();
    char name[subKeyNameBufferSize];
    std::vector<std::string> subKeys;
    for (DWORD index = 0;; ++index) {
        const LONG result = RegEnumKeyA(key, index, name, subKeyNameBufferSize);
        if (result == ERROR_NO_MORE_ITEMS) break;
        if (result != ERROR_SUCCESS) throwFailure(enumKeyFailures, _key->getName(), result);
        subKeys.push_back(textUpToNul(name, subKeyNameBufferSize));
    }
    return subKeys;
}

}  // namespace registry
}  // namespace windows
