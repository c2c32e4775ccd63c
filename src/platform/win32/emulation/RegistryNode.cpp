#include "platform/win32/emulation/RegistryNode.h"

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

std::shared_ptr<const RegistryNode> RegistryNode::findSubKey(const std::string& name) const {
    for (const std::shared_ptr<RegistryNode>& subKey : _subKeys) {
        if (sameRegistryName(subKey->_name, name)) return subKey;
    }
    return nullptr;
}

}  // namespace platform
