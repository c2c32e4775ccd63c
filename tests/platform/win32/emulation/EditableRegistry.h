#ifndef VESTIGA_TESTS_PLATFORM_WIN32_EMULATION_EDITABLEREGISTRY_H
#define VESTIGA_TESTS_PLATFORM_WIN32_EMULATION_EDITABLEREGISTRY_H

#include <map>
#include <memory>
#include <string>

#include "platform/win32/emulation/EditableRegistryNode.h"
#include "platform/win32/emulation/InMemoryRegistry.h"

namespace testsupport {

// The in-memory registry as tests fill it, in place of the program's own,
// which holds nothing but the empty root keys. From the first call of
// instance() on, the Reg* calls work on it. Each key path is taken below a
// root handle, without access checks; results are Win32 error codes.
class EditableRegistry {
public:
    static EditableRegistry& instance();
    ~EditableRegistry();

    // Makes the key and every missing key above it.
    LONG createKey(HKEY root, const std::string& path);
    // Sets a value of an existing key; an empty name is the default value.
    LONG setValue(HKEY root, const std::string& path, const std::string& name, DWORD type, const std::string& data);
    // Makes opening the key fail with ERROR_ACCESS_DENIED.
    LONG denyAccess(HKEY root, const std::string& path);
    // Removes the key with everything below it; open handles to it then
    // answer ERROR_KEY_DELETED.
    LONG deleteTree(HKEY root, const std::string& path);
    // Empty root keys again; every handle but the roots is invalid.
    void reset();

private:
    EditableRegistry();
    LONG find(HKEY root, const std::string& path, bool create, std::shared_ptr<EditableRegistryNode>& node);

    std::map<HKEY, std::shared_ptr<EditableRegistryNode>> _roots;
    std::unique_ptr<platform::InMemoryRegistry> _registry;
};

}  // namespace testsupport

#endif
