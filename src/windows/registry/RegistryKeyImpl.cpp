#include "windows/registry/RegistryKeyImpl.h"

#include "util/NameQuoting.h"
#include "platform/errorresources/Assertion.h"
#include "platform/errorresources/SystemErrors.h"
#include "platform/win32/RegistryCalls.h"
#include "platform/win32/Win32.h"
#include "windows/registry/RegistryExceptions.h"
#include "windows/registry/RegistryHelpers.h"

namespace windows {
namespace registry {

RegistryKeyImpl::RegistryKeyImpl(HKEY parent, const std::string& subKey)
    : _key(nullptr), _parent(parent), _subKey(subKey), _name(keyToString(parent)), _followLink(true) {
    if (!_subKey.empty()) _name += "\\" + _subKey;
}

RegistryKeyImpl::RegistryKeyImpl(const RegistryKey& parent, const std::string& subKey)
    : _key(nullptr),
      _parent(parent.getKey()),
      _subKey(subKey),
      _name(parent.getName() + "\\" + subKey),
      _followLink(false) {}

RegistryKeyImpl::~RegistryKeyImpl() { close(); }

// The checks keep the texts their reports have always had.
HKEY RegistryKeyImpl::getKey() const {
    ASSERT(_key != 0);
    return _key;
}

std::string RegistryKeyImpl::getName() const { return _name; }

void RegistryKeyImpl::open(HKEY parent, REGSAM access) {
    ASSERT(_key == 0);
    HKEY opened = nullptr;
    const long result = platform::openRegistryKey(parent, _subKey, access, _followLink, opened);
    if (result == ERROR_SUCCESS) {
        // A key opened twice keeps the newer handle only.
        close();
        _key = opened;
        return;
    }
    const std::string subject =
        "Key: " + shownName(_name) + "\n\n" + SystemErrors::map(static_cast<int>(result));
    switch (result) {
        case ERROR_ACCESS_DENIED:
            throw RegistryAccessDeniedException("Error when opening a registry key, access is denied. " + subject);
        case ERROR_FILE_NOT_FOUND:
            throw RegistryKeyNotFoundException("Error when opening a registry key, the key doesn't exist. " + subject);
        default:
            throw RegistryException("Error when opening a registry key. " + subject);
    }
}

void RegistryKeyImpl::close() {
    if (_key == nullptr) return;
    if (RegCloseKey(_key) != ERROR_SUCCESS) ASSERT(false);
    _key = nullptr;
}

}  // namespace registry
}  // namespace windows
