#include "platform/win32/emulation/InMemoryRegistry.h"

#include <vector>

#include "platform/win32/RootKeys.h"
#include "platform/win32/emulation/Win32Registry.h"

namespace platform {

namespace {

const REGSAM allAccess = ~static_cast<REGSAM>(0);

InMemoryRegistry* installed = nullptr;

InMemoryRegistry::RootKeys emptyRootKeys() {
    InMemoryRegistry::RootKeys roots;
    for (const RootKey& root : ROOT_KEYS) roots[root.handle] = std::make_shared<RegistryNode>("");
    return roots;
}

}  // namespace

InMemoryRegistry::InMemoryRegistry(const RootKeys& roots) : _lastHandle(0) {
    for (const auto& root : roots) {
        if (root.first != HKEY_PERFORMANCE_DATA) _handles[root.first] = Handle{root.second, allAccess};
    }
}

InMemoryRegistry& InMemoryRegistry::instance() {
    static InMemoryRegistry processRegistry(emptyRootKeys());
    return installed != nullptr ? *installed : processRegistry;
}

void InMemoryRegistry::install(InMemoryRegistry* registry) { installed = registry; }

bool InMemoryRegistry::isRoot(HKEY key) const {
    for (const RootKey& root : ROOT_KEYS) {
        if (root.handle == key) return _handles.count(key) == 1;
    }
    return false;
}

LONG InMemoryRegistry::openKey(HKEY parent, const std::string& path, REGSAM access, HKEY& opened) {
    if (parent == HKEY_PERFORMANCE_DATA) {
        if (!path.empty()) return ERROR_INVALID_HANDLE;
        opened = parent;
        return ERROR_SUCCESS;
    }
    auto handle = _handles.find(parent);
    if (handle == _handles.end()) return ERROR_INVALID_HANDLE;
    if (handle->second.node->isDeleted()) return ERROR_KEY_DELETED;
    std::vector<std::string> parts;
    if (!splitPath(path, parts)) return ERROR_BAD_PATHNAME;
    std::shared_ptr<const RegistryNode> node = handle->second.node;
    for (const std::string& part : parts) {
        node = node->findSubKey(part);
        if (!node) return ERROR_FILE_NOT_FOUND;
    }
    if (node->refusesAccess()) return ERROR_ACCESS_DENIED;
    if (parts.empty() && isRoot(parent)) {
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

bool InMemoryRegistry::splitPath(const std::string& path, std::vector<std::string>& parts) {
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

}  // namespace platform
