#ifndef VESTIGA_PLATFORM_WIN32_POSIX_REGISTRYNODE_H
#define VESTIGA_PLATFORM_WIN32_POSIX_REGISTRYNODE_H

#include <memory>
#include <string>
#include <vector>

#include "platform/win32/posix/Win32Base.h"

namespace platform {

// One key of the in-memory registry, with its values and sub-keys in
// creation order. Names are found without regard to ASCII case and keep the
// spelling they were created with.
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
    std::shared_ptr<RegistryNode> findSubKey(const std::string& name) const;

    // The sub-key of that name, created at the end if there is none.
    std::shared_ptr<RegistryNode> addSubKey(const std::string& name);
    // Replaces the data and type of an existing value in its place, or adds the value at the end.
    void setValue(const std::string& name, DWORD type, const std::string& data);
    // Takes the sub-key out and marks it and everything below it deleted.
    // False when there is no such sub-key.
    bool removeSubKey(const std::string& name);

    // Whether opening the key is refused, as an access control list can refuse it.
    bool refusesAccess() const { return _refusesAccess; }
    void denyAccess() { _refusesAccess = true; }
    // Whether the key was deleted while handles to it were open.
    bool isDeleted() const { return _deleted; }

private:
    void markDeleted();

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
