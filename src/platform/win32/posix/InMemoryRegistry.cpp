#include "platform/win32/posix/InMemoryRegistry.h"

#include <vector>

#include "platform/win32/posix/Win32Registry.h"

namespace platform {

namespace {

const REGSAM allAccess = ~static_cast<REGSAM>(0);

const HKEY rootsWithKeys[] = {HKEY_CLASSES_ROOT, HKEY_CURRENT_USER, HKEY_LOCAL_MACHINE,
                              HKEY_USERS,        HKEY_CURRENT_CONFIG, HKEY_DYN_DATA};

bool isRoot(HKEY key) {
    for (HKEY root : rootsWithKeys) {
        if (root == key) return true;
    }
    return false;
}

// The non-empty parts of a path, or false for a path with a leading backslash.
bool splitPath(const std::string& path, std::vector<std::string>& parts) {
    if (!path.empty() && path[0] == '\\') return false;
    std::string::size_type start = 0;
    while (start <= path.size()) {
        std::string::size_type end = path.find('\\', start);
        if (end == std::string::npos) end = path.size();
        if (end > start) parts.push_back(path.substr(start, end - start));
        start = end + 1;
    }
    return true;
}

}  // namespace

InMemoryRegistry& InMemoryRegistry::instance() {
    static InMemoryRegistry registry;
    return registry;
}

InMemoryRegistry::InMemoryRegistry() : _lastHandle(0) { reset(); }

void InMemoryRegistry::reset() {
    _handles.clear();
    for (HKEY root : rootsWithKeys) _handles[root] = Handle{std::make_shared<RegistryNode>(""), allAccess};
}

LONG InMemoryRegistry::find(HKEY parent, const std::string& path, bool create, std::shared_ptr<RegistryNode>& node) {
    auto handle = _handles.find(parent);
    if (handle == _handles.end()) return ERROR_INVALID_HANDLE;
    if (handle->second.node->isDeleted()) return ERROR_KEY_DELETED;
    std::vector<std::string> parts;
    if (!splitPath(path, parts)) return ERROR_BAD_PATHNAME;
    std::shared_ptr<RegistryNode> current = handle->second.node;
    for (const std::string& part : parts) {
        current = create ? current->addSubKey(part) : current->findSubKey(part);
        if (!current) return ERROR_FILE_NOT_FOUND;
    }
    node = current;
    return ERROR_SUCCESS;
}

LONG InMemoryRegistry::openKey(HKEY parent, const std::string& path, REGSAM access, HKEY& opened) {
    if (parent == HKEY_PERFORMANCE_DATA) {
        if (!path.empty()) return ERROR_INVALID_HANDLE;
        opened = parent;
        return ERROR_SUCCESS;
    }
    std::shared_ptr<RegistryNode> node;
    const LONG result = find(parent, path, false, node);
    if (result != ERROR_SUCCESS) return result;
    if (node->refusesAccess()) return ERROR_ACCESS_DENIED;
    if (isRoot(parent) && node == _handles[parent].node) {
        opened = parent;
        return ERROR_SUCCESS;
    }
    // Handle values stay clear of the roots' and never repeat.
    _lastHandle += 4;
    opened = reinterpret_cast<HKEY>(_lastHandle);
    _handles[opened] = Handle{node, access};
    return ERROR_SUCCESS;
}

LONG InMemoryRegistry::closeKey(HKEY key) {
    if (key == HKEY_PERFORMANCE_DATA || isRoot(key)) return ERROR_SUCCESS;
    return _handles.erase(key) == 1 ? ERROR_SUCCESS : ERROR_INVALID_HANDLE;
}

LONG InMemoryRegistry::findKey(HKEY key, REGSAM access, const RegistryNode*& node) const {
    auto handle = _handles.find(key);
    if (handle == _handles.end()) return ERROR_INVALID_HANDLE;
    if (handle->second.node->isDeleted()) return ERROR_KEY_DELETED;
    if ((handle->second.access & access) != access) return ERROR_ACCESS_DENIED;
    node = handle->second.node.get();
    return ERROR_SUCCESS;
}

LONG InMemoryRegistry::createKey(HKEY root, const std::string& path) {
    std::shared_ptr<RegistryNode> node;
    return find(root, path, true, node);
}

LONG InMemoryRegistry::setValue(HKEY root, const std::string& path, const std::string& name, DWORD type,
                                const std::string& data) {
    std::shared_ptr<RegistryNode> node;
    const LONG result = find(root, path, false, node);
    if (result == ERROR_SUCCESS) node->setValue(name, type, data);
    return result;
}

LONG InMemoryRegistry::denyAccess(HKEY root, const std::string& path) {
    std::shared_ptr<RegistryNode> node;
    const LONG result = find(root, path, false, node);
    if (result == ERROR_SUCCESS) node->denyAccess();
    return result;
}

LONG InMemoryRegistry::deleteTree(HKEY root, const std::string& path) {
    std::vector<std::string> parts;
    if (!splitPath(path, parts)) return ERROR_BAD_PATHNAME;
    if (parts.empty()) return ERROR_INVALID_PARAMETER;
    const std::string::size_type lastSeparator = path.find_last_of('\\', path.find_last_not_of('\\'));
    const std::string parentPath = lastSeparator == std::string::npos ? "" : path.substr(0, lastSeparator);
    std::shared_ptr<RegistryNode> parent;
    const LONG result = find(root, parentPath, false, parent);
    if (result != ERROR_SUCCESS) return result;
    return parent->removeSubKey(parts.back()) ? ERROR_SUCCESS : ERROR_FILE_NOT_FOUND;
}

}  // namespace platform
