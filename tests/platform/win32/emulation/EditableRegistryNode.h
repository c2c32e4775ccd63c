#ifndef VESTIGA_TESTS_PLATFORM_WIN32_EMULATION_EDITABLEREGISTRYNODE_H
#define VESTIGA_TESTS_PLATFORM_WIN32_EMULATION_EDITABLEREGISTRYNODE_H

#include <memory>
#include <string>

#include "platform/win32/emulation/RegistryNode.h"

namespace testsupport {

// A key of the in-memory registry that a test fills. Every key below it is
// an editable one too: addSubKey makes them all.
class EditableRegistryNode : public platform::RegistryNode {
public:
    explicit EditableRegistryNode(const std::string& name);

    std::shared_ptr<EditableRegistryNode> findEditableSubKey(const std::string& name) const;
    // The sub-key of that name, made at the end if there is none.
    std::shared_ptr<EditableRegistryNode> addSubKey(const std::string& name);
    // Replaces the data and type of an existing value in its place, or adds the value at the end.
    void setValue(const std::string& name, DWORD type, const std::string& data);
    // Takes the sub-key out and marks it and everything below it deleted.
    // False when there is no such sub-key.
    bool removeSubKey(const std::string& name);
    // Makes opening the key fail with ERROR_ACCESS_DENIED.
    void denyAccess() { _refusesAccess = true; }

private:
    void markDeleted();
};

}  // namespace testsupport

#endif
