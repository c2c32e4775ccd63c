#ifndef VESTIGA_WINDOWS_REGISTRY_REGISTRYKEYIMPL_H
#define VESTIGA_WINDOWS_REGISTRY_REGISTRYKEYIMPL_H

#include <string>

#include "windows/registry/RegistryKey.h"

namespace windows {
namespace registry {

// A key below a predefined root, named "ROOT\sub\key" (the root name alone for
// the root itself), or below another open key. Closed until open()
// succeeds; closes itself when destroyed. A key given by its path below a
// root opens as whatever it is, a link as the key it points to; a key below
// another one opens as itself, a link as the link, whose one value names its
// target, so that a walk never follows one.
class RegistryKeyImpl : public RegistryKey {
public:
    // Raises RegistryException when `parent` is not a predefined root.
    RegistryKeyImpl(HKEY parent, const std::string& subKey);
    // A key directly below the open key `parent`, named after it; it opens
    // relative to the parent's handle, so that a path of any length can be
    // read.
    RegistryKeyImpl(const RegistryKey& parent, const std::string& subKey);
    ~RegistryKeyImpl() override;

    RegistryKeyImpl(const RegistryKeyImpl&) = delete;
    RegistryKeyImpl& operator=(const RegistryKeyImpl&) = delete;

    HKEY getKey() const override;
    std::string getName() const override;

    // Opens the sub-key below `parent` with the access mask. Raises
    // RegistryKeyNotFoundException, RegistryAccessDeniedException or
    // RegistryException, and then stays closed.
    void open(HKEY parent, REGSAM access);

private:
    void close();

    HKEY _key;
    HKEY _parent;
    std::string _subKey;
    std::string _name;
    bool _followLink;
};

}  // namespace registry
}  // namespace windows

#endif
