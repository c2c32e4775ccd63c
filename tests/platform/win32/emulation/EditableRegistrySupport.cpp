#include "platform/win32/emulation/EditableRegistry.h"

#include <vector>

#include "platform/win32/RootKeys.h"
#include "platform/win32/Win32.h"

namespace testsupport {

EditableRegistry& EditableRegistry::instance() {
    static EditableRegistry registry;
    return registry;
}

EditableRegistry::EditableRegistry() { reset(); }

EditableRegistry::~EditableRegistry() { platform::InMemoryRegistry::install(nullptr); }

void EditableRegistry::reset() {
    _roots.clear();
    platform::InMemoryRegistry::RootKeys roots;
    for (const platform::RootKey& root : platform::ROOT_KEYS) {
        _roots[root.handle] = std::make_shared<EditableRegistryNode>("");
        roots[root.handle] = _roots[root.handle];
    }
    std::unique_ptr<platform::InMemoryRegistry> registry(new platform::InMemoryRegistry(roots));
    platform::InMemoryRegistry::install(registry.get());
    _registry = std::move(registry);
}

LONG EditableRegistry::find(HKEY root, const std::string& path, bool create,
                            std::shared_ptr<EditableRegistryNode>& node) {
    auto found = _roots.find(root);
    if (found == _roots.end()) return ERROR_INVALID_HANDLE;
    std::vector<std::string> parts;
    if (!platform::InMemoryRegistry::splitPath(path, parts)) return ERROR_BAD_PATHNAME;
    std::shared_ptr<EditableRegistryNode> current = found->second;
    for (const std::string& part : parts) {
        current = create ? current->addSubKey(part) : current->findEditableSubKey(part);
        if (!current) return ERROR_FILE_NOT_FOUND;
    }
    node = current;
    return ERROR_SUCCESS;
}

LONG EditableRegistry::createKey(HKEY root, const std::string& path) {
    std::shared_ptr<EditableRegistryNode> node;
    return find(root, path, true, node);
}

LONG EditableRegistry::setValue(HKEY root, const std::string& path, const std::string& name, DWORD type,
                                const std::string& data) {
    std::shared_ptr<EditableRegistryNode> node;
    const LONG result = find(root, path, false, node);
    if (result == ERROR_SUCCESS) node->setValue(name, type, data);
    return result;
}

LONG EditableRegistry::denyAccess(HKEY root, const std::string& path) {
    std::shared_ptr<EditableRegistryNode> node;
    const LONG result = find(root, path, false, node);
    if (result == ERROR_SUCCESS) node->denyAccess();
    return result;
}

LONG EditableRegistry::deleteTree(HKEY root, const std::string& path) {
    std::vector<std::string> parts;
    if (!platform::InMemoryRegistry::splitPath(path, parts)) return ERROR_BAD_PATHNAME;
    if (parts.empty()) return ERROR_INVALID_PARAMETER;
    const std::string::size_type lastSeparator = path.find_last_of('\\', path.find_last_not_of('\\'));
    const std::string parentPath = lastSeparator == std::string::npos ? "" : path.substr(0, lastSeparator);
    std::shared_ptr<EditableRegistryNode> parent;
    const LONG result = find(root, parentPath, false, parent);
    if (result != ERROR_SUCCESS) return result;
    return parent->removeSubKey(parts.back()) ? ERROR_SUCCESS : ERROR_FILE_NOT_FOUND;
}

}  // namespace testsupport
