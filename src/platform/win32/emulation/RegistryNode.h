#ifndef VESTIGA_PLATFORM_WIN32_EMULATION_REGISTRYNODE_H
#define VESTIGA_PLATFORM_WIN32_EMULATION_REGISTRYNODE_H

#include <memory>
#include <string>
#include <vector>

#include "platform/win32/emulation/Win32Base.h"

namespace platform {

// One key of the in-memory registry, with its values and sub-keys in the
// order they were made. Names are found without regard to ASCII case and keep
// their spelling. The registry only reads keys: a key as made here is empty,
// and a class derived from this one fills the members it keeps for that.
class RegistryNode {
public:
    struct Value {
        std::string name;
        DWORD type;
        std::string data;
    };

    explicit RegistryNode(const std::string& name);

    const std::string& getName() const { return _name; }
    const std::vector<Value>& getValues() const { return _values; }
    const std::vector<std::shared_ptr<RegistryNode>>& getSubKeys() const { return _subKeys; }

    const Value* findValue(const std::string& name) const;
    std::shared_ptr<const RegistryNode> findSubKey(const std::string& name) const;

    // Whether opening the key is refused, as an access control list can refuse it.
    bool refusesAccess() const { return _refusesAccess; }
    // Whether the key was deleted while handles to it were open.
    bool isDeleted() const { return _deleted; }

protected:
    std::string _name;
    std::vector<Value> _values;
    std::vector<std::shared_ptr<RegistryNode>> _subKeys;
    bool _refusesAccess;
    bool _deleted;
};

// Registry names compare equal regardless of the case of ASCII letters.
bool sameRegistryName(const std::string& a, const std::string& b);

}  // namespace platform

#endif
