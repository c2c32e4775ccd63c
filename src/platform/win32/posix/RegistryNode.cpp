#include "platform/win32/posix/RegistryNode.h"

#include <algorithm>

namespace platform {

namespace {

char foldAsciiCase(char c) { return c >= 'a' && c <= 'z' ? static_cast<char>(c - 'a' + 'A') : c; }

}  // namespace

bool sameRegistryName(const std::string& a, const std::string& b) {
    return a.size() == b.size() &&
           std::equal(a.begin(), a.end(), b.begin(), [](char x, char y) { return foldAsciiCase(x) == foldAsciiCase(y); });
}

RegistryNode::RegistryNode(const std::string& name) : _name(name), _refusesAccess(false), _deleted(false) {}

const RegistryNode::Value* RegistryNode::findValue(const std::string& name) const {
    for (const Value& value : _values) {
        if (sameRegistryName(value.name, name)) return &value;
    }
    return nullptr;
}

std::shared_ptr<RegistryNode> RegistryNode::findSubKey(const std::string& name) const {
    for (const std::shared_ptr<RegistryNode>& subKey : _subKeys) {
        if (sameRegistryName(subKey->_name, name)) return subKey;
    }
    return nullptr;
}

std::shared_ptr<RegistryNode> RegistryNode::addSubKey(const std::string& name) {
    std::shared_ptr<RegistryNode> subKey = findSubKey(name);
    if (!subKey) {
        subKey = std::make_shared<RegistryNode>(name);
        _subKeys.push_back(subKey);
    }
    return subKey;
}

void RegistryNode::setValue(const std::string& name, DWORD type, const std::string& data) {
    const Value* existing = findValue(name);
    if (existing != nullptr) {
        Value& value = _values[static_cast<std::size_t>(existing - _values.data())];
        value.type = type;
        value.data = data;
    } else {
        _values.push_back(Value{name, type, data});
    }
}

bool RegistryNode::removeSubKey(const std::string& name) {
    auto found = std::find_if(_subKeys.begin(), _subKeys.end(),
                              [&name](const std::shared_ptr<RegistryNode>& subKey) { return sameRegistryName(subKey->_name, name); });
    if (found == _subKeys.end()) return false;
    (*found)->markDeleted();
    _subKeys.erase(found);
    return true;
}

void RegistryNode::markDeleted() {
    _deleted = true;
    for (const std::shared_ptr<RegistryNode>& subKey : _subKeys) subKey->markDeleted();
}

}  // namespace platform
