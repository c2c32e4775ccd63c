#include "windows/registry/RegistryReaderImpl.h"

#include <algorithm>
#include <vector>

#include "util/NameQuoting.h"
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

// The largest buffer each kind of item can need, in UTF-8 bytes with the
// terminating NUL: the registry holds key names of up to 255 UTF-16
// characters and value names of up to 16,383, each of them up to three
// UTF-8 bytes; data is bounded by memory alone, and more than a gibibyte is
// taken for a fault.
const std::size_t largestKeyName = 255 * 3 + 1;
const std::size_t largestValueName = 16383 * 3 + 1;
const std::size_t largestData = std::size_t(1) << 30;

// The bytes before the first NUL, never more than `size`.
std::string textUpToNul(const char* data, std::size_t size) {
    return std::string(data, std::find(data, data + size, '\0'));
}

// What follows the text of a string value: everything from its first NUL up
// to its last byte that is not NUL, so that data hidden behind an embedded
// NUL counts while the string's own terminating NULs do not. Empty for a
// string without an embedded NUL.
std::string bytesAfterText(const char* data, std::size_t size) {
    const char* const nul = std::find(data, data + size, '\0');
    const char* end = data + size;
    while (end > nul && end[-1] == '\0') --end;
    return std::string(nul, end);
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

// The sizes the platform reports count UTF-16 characters, while the narrow
// calls hand out UTF-8, up to three bytes for each of them; and an item may
// grow between two calls. A buffer found too small is grown, and the same
// item read again: at least doubled, and at least to the size the platform
// asks for. False once it is as large as an item of its kind can be.
bool grow(std::vector<char>& buffer, DWORD asked, std::size_t largest) {
    if (buffer.size() >= largest) return false;
    const std::size_t wanted = std::max<std::size_t>(buffer.size() * 2, static_cast<std::size_t>(asked) + 1);
    buffer.resize(std::min<std::size_t>(wanted, largest));
    return true;
}

// Queries a value into `data`; `size` holds the buffer's size and receives the
// byte count.
void queryValue(const RegistryKey& key, const std::string& valueName, DWORD& type, BYTE* data, DWORD& size) {
    const LONG result = RegQueryValueExA(key.getKey(), valueName.c_str(), nullptr, &type, data, &size);
    if (result != ERROR_SUCCESS) throwFailure(queryFailures, key.getName() + "\\" + valueName, result);
}

// The text of a string value, read into a buffer of stringBufferSize bytes
// that grows for a longer one.
std::string queryText(const RegistryKey& key, const std::string& valueName, DWORD& type) {
    std::vector<char> buffer(stringBufferSize);
    for (;;) {
        DWORD size = static_cast<DWORD>(buffer.size());
        const LONG result =
            RegQueryValueExA(key.getKey(), valueName.c_str(), nullptr, &type, reinterpret_cast<BYTE*>(buffer.data()), &size);
        if (result == ERROR_MORE_DATA && grow(buffer, size, largestData)) continue;
        if (result != ERROR_SUCCESS) throwFailure(queryFailures, key.getName() + "\\" + valueName, result);
        return textUpToNul(buffer.data(), std::min<std::size_t>(size, buffer.size()));
    }
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
    DWORD longestName = 0;
    DWORD longestData = 0;
    const LONG info = RegQueryInfoKeyA(key, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, &longestName, &longestData, nullptr, nullptr);
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
    for (DWORD index = 0;;) {
        DWORD nameLength = static_cast<DWORD>(name.size());
        DWORD dataSize = static_cast<DWORD>(data.size());
        DWORD type = 0;
        const LONG result = RegEnumValueA(key, index, name.data(), &nameLength, nullptr, &type,
                                          reinterpret_cast<BYTE*>(data.data()), &dataSize);
        if (result == ERROR_NO_MORE_ITEMS) break;
        if (result == ERROR_MORE_DATA) {
            // Which of the two did not fit is not always told: both grow.
            const bool nameGrew = grow(name, nameLength, largestValueName);
            const bool dataGrew = grow(data, dataSize, largestData);
            if (nameGrew || dataGrew) continue;
        }
        if (result != ERROR_SUCCESS) throwFailure(enumValueFailures, _key->getName(), result);

        const std::size_t dataLength = std::min<std::size_t>(dataSize, data.size());
        std::string bytes;
        if (type == REG_SZ) {
            bytes = textUpToNul(data.data(), dataLength) + bytesAfterText(data.data(), dataLength);
        } else if (type == REG_EXPAND_SZ) {
            bytes = expandEnvironmentVariables(textUpToNul(data.data(), dataLength)) +
                    bytesAfterText(data.data(), dataLength);
        } else {
            bytes.assign(data.data(), dataLength);
        }
        values.emplace_back(textUpToNul(name.data(), std::min<std::size_t>(nameLength, name.size())), bytes);
        types.push_back(type);
        ++index;
    }
    return values;
}

std::vector<std::string> RegistryReaderImpl::getSubKeys() {
    const HKEY key = _key->getKey();
    std::vector<char> name(subKeyNameBufferSize);
    std::vector<std::string> subKeys;
    for (DWORD index = 0;;) {
        const LONG result = RegEnumKeyA(key, index, name.data(), static_cast<DWORD>(name.size()));
        if (result == ERROR_NO_MORE_ITEMS) break;
        if (result == ERROR_MORE_DATA && grow(name, 0, largestKeyName)) continue;
        if (result != ERROR_SUCCESS) throwFailure(enumKeyFailures, _key->getName(), result);
        subKeys.push_back(textUpToNul(name.data(), name.size()));
        ++index;
    }
    return subKeys;
}

}  // namespace registry
}  // namespace windows
