#include "platform/win32/emulation/EditableRegistryNode.h"

#include <algorithm>

namespace testsupport {

EditableRegistryNode::EditableRegistryNode(const std::string& name) : RegistryNode(name) {}

std::shared_ptr<EditableRegistryNode> EditableRegistryNode::findEditableSubKey(const std::string& name) const {
    for (const std::shared_ptr<RegistryNode>& subKey : _subKeys) {
        if (platform::sameRegistryName(subKey->getName(), name)) {
            return std::static_pointer_cast<EditableRegistryNode>(subKey);
        }
    }
    return nullptr;
}

std::shared_ptr<EditableRegistryNode> EditableRegistryNode::addSubKey(const std::string& name) {
    std::shared_ptr<EditableRegistryNode> subKey = findEditableSubKey(name);
    if (!subKey) {
        subKey = std::make_shared<EditableRegistryNode>(name);
        _subKeys.push_back(subKey);
    }
    return subKey;
}

void EditableRegistryNode::setValue(const std::string& name, DWORD type, const std::string& data) {
    for (Value& value : _values) {
        if (platform::sameRegistryName(value.name, name)) {
            value.type = type;
            value.data = data;
            return;
        }
    }
    _values.push_back(Value{name, type, data});
}

bool EditableRegistryNode::removeSubKey(const std::string& name) {
    auto found = std::find_if(_subKeys.begin(), _subKeys.end(), [&name](const std::shared_ptr<RegistryNode>& subKey) {
        return platform::sameRegistryName(subKey->getName(), name);
    });
    if (found == _subKeys.end()) return false;
    std::static_pointer_cast<EditableRegistryNode>(*found)->markDeleted();
    _subKeys.erase(found);
    return true;
}

void EditableRegistryNode::markDeleted() {
    _deleted = true;
    for (const std::shared_ptr<RegistryNode>& subKey : _subKeys) {
        std::static_pointer_cast<EditableRegistryNode>(subKey)->markDeleted();
    }
}

}  // namespace testsupport
