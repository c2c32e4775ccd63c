#include "support/ScratchRegistryKey.h"

#include <stdexcept>

#include "platform/win32/Win32.h"

namespace testsupport {

namespace {

void check(LONG result, const std::string& what) {
    if (result != ERROR_SUCCESS) throw std::runtime_error(what + " failed with " + std::to_string(result));
}

std::string below(const std::string& key, const std::string& relativePath) {
    return relativePath.empty() ? key : key + "\\" + relativePath;
}

unsigned int scratchKeys = 0;

void createKeyBelowCurrentUser(const std::string& path) {
    HKEY key = 0;
    check(RegCreateKeyExA(HKEY_CURRENT_USER, path.c_str(), 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &key, nullptr),
          "Creating " + path);
    RegCloseKey(key);
}

}  // namespace

ScratchRegistryKey::ScratchRegistryKey()
    : _subKey("Software\\VestigaTest-" + std::to_string(GetCurrentProcessId()) + "-" + std::to_string(++scratchKeys)) {
    createKeyBelowCurrentUser(_subKey);
}

ScratchRegistryKey::~ScratchRegistryKey() { RegDeleteTreeA(HKEY_CURRENT_USER, _subKey.c_str()); }

void ScratchRegistryKey::createKey(const std::string& relativePath) {
    createKeyBelowCurrentUser(below(_subKey, relativePath));
}

void ScratchRegistryKey::setValue(const std::string& relativePath, const std::string& name, unsigned int type,
                                  const std::string& data) {
    const std::string path = below(_subKey, relativePath);
    HKEY key = 0;
    check(RegOpenKeyExA(HKEY_CURRENT_USER, path.c_str(), 0, KEY_SET_VALUE, &key), "Opening " + path);
    const LONG result = RegSetValueExA(key, name.c_str(), 0, type, reinterpret_cast<const BYTE*>(data.data()),
                                       static_cast<DWORD>(data.size()));
    RegCloseKey(key);
    check(result, "Setting " + name);
}

}  // namespace testsupport
