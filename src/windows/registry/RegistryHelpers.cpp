#include "windows/registry/RegistryHelpers.h"

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <vector>

#include "util/NameQuoting.h"
#include "platform/errorresources/Assertion.h"
#include "platform/errorresources/SystemErrors.h"
#include "platform/win32/RootKeys.h"
#include "platform/win32/Win32.h"
#include "windows/registry/RegistryExceptions.h"
#include "windows/registry/RegistryKeyImpl.h"

namespace windows {
namespace registry {

namespace {

// Eight upper-case hexadecimal digits: the low 32 bits of the handle's value.
std::string handleText(HKEY key) {
    char text[9];
    std::snprintf(text, sizeof text, "%08X",
                  static_cast<unsigned int>(static_cast<std::uint32_t>(reinterpret_cast<std::uintptr_t>(key))));
    return text;
}

RegistryException expansionFailure() {
    return RegistryException("Error when expanding enviromental varible.\n\n" +
                             SystemErrors::map(static_cast<int>(GetLastError())));
}

}  // namespace

std::string keyToString(HKEY key) {
    for (const platform::RootKey& root : platform::ROOT_KEYS) {
        if (root.handle == key) return root.name;
    }
    throw RegistryException("Unable to convert the key '" + handleText(key) + "' to a registry key string.");
}

HKEY stringToKey(const std::string& name) {
    for (const platform::RootKey& root : platform::ROOT_KEYS) {
        if (name == root.name) return root.handle;
    }
    throw RegistryException("Unable to convert the string '" + shownName(name) +
                            "' to a registry key.");
}

void splitKeyPath(const std::string& path, HKEY& root, std::string& subKey) {
    const std::string::size_type separator = path.find('\\');
    root = stringToKey(path.substr(0, separator));
    if (separator != std::string::npos) subKey = path.substr(separator + 1);
}

std::unique_ptr<RegistryKeyImpl> openKeyToRead(const std::string& keyPath) {
    HKEY root = nullptr;
    std::string subKey;
    splitKeyPath(keyPath, root, subKey);
    std::unique_ptr<RegistryKeyImpl> key(new RegistryKeyImpl(root, subKey));
    key->open(root, KEY_READ);
    return key;
}

std::unique_ptr<RegistryKeyImpl> openSubKeyToRead(const RegistryKey& parent, const std::string& name) {
    std::unique_ptr<RegistryKeyImpl> key(new RegistryKeyImpl(parent, name));
    key->open(parent.getKey(), KEY_READ);
    return key;
}

std::string expandEnvironmentVariables(const std::string& text) {
    // A reference needs two characters at least.
    if (text.size() < 2) return text;
    const DWORD expandedSize = ExpandEnvironmentStringsA(text.c_str(), nullptr, 0);
    if (expandedSize == 0) throw expansionFailure();
    std::vector<char> buffer(expandedSize);
    const DWORD pathSize = ExpandEnvironmentStringsA(text.c_str(), buffer.data(), expandedSize);
    if (pathSize == 0) throw expansionFailure();
    // The fill reports the bytes it wrote with their NUL: as many as the size
    // query reported, or one fewer where the query keeps a byte in reserve.
    ASSERT(pathSize <= expandedSize);
    return std::string(buffer.begin(), std::find(buffer.begin(), buffer.end(), '\0'));
}

}  // namespace registry
}  // namespace windows
