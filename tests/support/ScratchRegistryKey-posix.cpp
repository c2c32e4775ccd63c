#include "support/ScratchRegistryKey.h"

#include <stdexcept>

#include "platform/win32/Win32.h"
#include "platform/win32/emulation/EditableRegistry.h"

namespace testsupport {

namespace {

EditableRegistry& registry() { return EditableRegistry::instance(); }

void check(LONG result, const std::string& what) {
    if (result != ERROR_SUCCESS) throw std::runtime_error(what + " failed with " + std::to_string(result));
}

std::string below(const std::string& key, const std::string& relativePath) {
    return relativePath.empty() ? key : key + "\\" + relativePath;
}

unsigned int scratchKeys = 0;

}  // namespace

ScratchRegistryKey::ScratchRegistryKey() : _subKey("Software\\VestigaTest-" + std::to_string(++scratchKeys)) {
    check(registry().createKey(HKEY_CURRENT_USER, _subKey), "Creating " + _subKey);
}

ScratchRegistryKey::~ScratchRegistryKey() { registry().deleteTree(HKEY_CURRENT_USER, _subKey); }

void ScratchRegistryKey::createKey(const std::string& relativePath) {
    check(registry().createKey(HKEY_CURRENT_USER, below(_subKey, relativePath)), "Creating " + relativePath);
}

void ScratchRegistryKey::setValue(const std::string& relativePath, const std::string& name, unsigned int type,
                                  const std::string& data) {
    check(registry().setValue(HKEY_CURRENT_USER, below(_subKey, relativePath), name, type, data), "Setting " + name);
}

}  // namespace testsupport
