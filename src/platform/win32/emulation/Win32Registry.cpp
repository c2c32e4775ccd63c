#include "platform/win32/emulation/Win32Registry.h"

#include <algorithm>
#include <cstring>

#include "platform/win32/emulation/InMemoryRegistry.h"

using platform::InMemoryRegistry;
using platform::RegistryNode;

namespace {

// Hands out data as Windows does: the size is always reported; the bytes are
// copied when a buffer is given and large enough.
LONG deliverData(const std::string& data, LPBYTE buffer, LPDWORD size) {
    const DWORD needed = static_cast<DWORD>(data.size());
    if (buffer == nullptr) {
        if (size != nullptr) *size = needed;
        return ERROR_SUCCESS;
    }
    if (*size < needed) {
        *size = needed;
        return ERROR_MORE_DATA;
    }
    std::memcpy(buffer, data.data(), data.size());
    *size = needed;
    return ERROR_SUCCESS;
}

void copyName(const std::string& name, LPSTR buffer) {
    std::memcpy(buffer, name.c_str(), name.size() + 1);
}

void setIfAsked(LPDWORD target, DWORD value) {
    if (target != nullptr) *target = value;
}

}  // namespace

LONG RegOpenKeyExA(HKEY key, LPCSTR subKey, DWORD /*options*/, REGSAM desired, PHKEY result) {
    if (result == nullptr) return ERROR_INVALID_PARAMETER;
    return InMemoryRegistry::instance().openKey(key, subKey != nullptr ? subKey : "", desired, *result);
}

LONG RegCloseKey(HKEY key) { return InMemoryRegistry::instance().closeKey(key); }

LONG RegQueryValueExA(HKEY key, LPCSTR valueName, LPDWORD reserved, LPDWORD type, LPBYTE data,
                      LPDWORD dataSize) {
    if (reserved != nullptr || (data != nullptr && dataSize == nullptr)) return ERROR_INVALID_PARAMETER;
    const RegistryNode* node = nullptr;
    const LONG result = InMemoryRegistry::instance().findKey(key, KEY_QUERY_VALUE, node);
    if (result != ERROR_SUCCESS) return result;
    const RegistryNode::Value* value = node->findValue(valueName != nullptr ? valueName : "");
    if (value == nullptr) return ERROR_FILE_NOT_FOUND;
    setIfAsked(type, value->type);
    return deliverData(value->data, data, dataSize);
}

LONG RegQueryInfoKeyA(HKEY key, LPSTR className, LPDWORD classNameLength, LPDWORD reserved,
                      LPDWORD subKeyCount, LPDWORD longestSubKeyName, LPDWORD longestClassName,
                      LPDWORD valueCount, LPDWORD longestValueName, LPDWORD longestValueData,
                      LPDWORD securityDescriptorSize, struct _FILETIME* lastWriteTime) {
    if (reserved != nullptr || lastWriteTime != nullptr || (className != nullptr && classNameLength == nullptr)) {
        return ERROR_INVALID_PARAMETER;
    }
    // As with Wine, any handle may ask; the values themselves need KEY_QUERY_VALUE.
    const RegistryNode* node = nullptr;
    const LONG result = InMemoryRegistry::instance().findKey(key, 0, node);
    if (result != ERROR_SUCCESS) return result;
    if (className != nullptr) {
        if (*classNameLength == 0) return ERROR_MORE_DATA;
        className[0] = '\0';
    }
    setIfAsked(classNameLength, 0);
    setIfAsked(longestClassName, 0);
    setIfAsked(securityDescriptorSize, 0);

    std::size_t subKeyName = 0;
    for (const auto& subKey : node->getSubKeys()) subKeyName = std::max(subKeyName, subKey->getName().size());
    std::size_t valueName = 0, valueData = 0;
    for (const RegistryNode::Value& value : node->getValues()) {
        valueName = std::max(valueName, value.name.size());
        valueData = std::max(valueData, value.data.size());
    }
    setIfAsked(subKeyCount, static_cast<DWORD>(node->getSubKeys().size()));
    setIfAsked(longestSubKeyName, static_cast<DWORD>(subKeyName));
    setIfAsked(valueCount, static_cast<DWORD>(node->getValues().size()));
    setIfAsked(longestValueName, static_cast<DWORD>(valueName));
    setIfAsked(longestValueData, static_cast<DWORD>(valueData));
    return ERROR_SUCCESS;
}

LONG RegEnumValueA(HKEY key, DWORD index, LPSTR valueName, LPDWORD valueNameLength, LPDWORD reserved,
                   LPDWORD type, LPBYTE data, LPDWORD dataSize) {
    if (valueName == nullptr || valueNameLength == nullptr || reserved != nullptr ||
        (data != nullptr && dataSize == nullptr)) {
        return ERROR_INVALID_PARAMETER;
    }
    const RegistryNode* node = nullptr;
    const LONG result = InMemoryRegistry::instance().findKey(key, KEY_QUERY_VALUE, node);
    if (result != ERROR_SUCCESS) return result;
    if (index >= node->getValues().size()) return ERROR_NO_MORE_ITEMS;
    const RegistryNode::Value& value = node->getValues()[index];
    // The name and its NUL must fit; then, as with Wine, a data buffer too small
    // still reports the type and the size and leaves the name unwritten.
    if (*valueNameLength <= value.name.size()) return ERROR_MORE_DATA;
    setIfAsked(type, value.type);
    const LONG delivered = deliverData(value.data, data, dataSize);
    if (delivered != ERROR_SUCCESS) return delivered;
    copyName(value.name, valueName);
    *valueNameLength = static_cast<DWORD>(value.name.size());
    return ERROR_SUCCESS;
}

LONG RegEnumKeyExA(HKEY key, DWORD index, LPSTR name, LPDWORD nameLength, LPDWORD reserved, LPSTR className,
                   LPDWORD classNameLength, struct _FILETIME* lastWriteTime) {
    if (name == nullptr || nameLength == nullptr || reserved != nullptr || className != nullptr ||
        classNameLength != nullptr || lastWriteTime != nullptr) {
        return ERROR_INVALID_PARAMETER;
    }
    const RegistryNode* node = nullptr;
    const LONG result = InMemoryRegistry::instance().findKey(key, KEY_ENUMERATE_SUB_KEYS, node);
    if (result != ERROR_SUCCESS) return result;
    if (index >= node->getSubKeys().size()) return ERROR_NO_MORE_ITEMS;
    const std::string& subKeyName = node->getSubKeys()[index]->getName();
    if (*nameLength <= subKeyName.size()) return ERROR_MORE_DATA;
    copyName(subKeyName, name);
    *nameLength = static_cast<DWORD>(subKeyName.size());
    return ERROR_SUCCESS;
}
