#ifndef VESTIGA_PLATFORM_WIN32_POSIX_INMEMORYREGISTRY_H
#define VESTIGA_PLATFORM_WIN32_POSIX_INMEMORYREGISTRY_H

#include <cstdint>
#include <map>
#include <memory>
#include <string>

#include "platform/win32/posix/RegistryNode.h"
#include "platform/win32/posix/Win32Base.h"

namespace platform {

// The registry of a system that has none, behind the Reg* calls of this
// layer. At program start it holds the root keys and nothing below them:
// HKEY_PERFORMANCE_DATA opens (as itself) but answers every query with
// ERROR_INVALID_HANDLE, as Wine's does; HKEY_DYN_DATA is an ordinary, empty
// root. Keys, values and refusals get there through the functions for tests.
//
// Key paths are backslash-separated; a leading backslash is a bad path name,
// empty parts elsewhere are skipped. Results are Win32 error codes.
class InMemoryRegistry {
public:
    static InMemoryRegistry& instance();

    // RegOpenKeyExA: a root opened with an empty path is its own handle; every
    // other key gets a new handle, distinct from the root handles.
    LONG openKey(HKEY parent, const std::string& path, REGSAM access, HKEY& opened);
    LONG closeKey(HKEY key);
    // The key behind an open handle, when the handle grants `access`.
    LONG findKey(HKEY key, REGSAM access, const RegistryNode*& node) const;

    // For tests. Each key path is taken below a root handle (or an open key),
    // without access checks.
    // Creates the key and every missing key above it.
    LONG createKey(HKEY root, const std::string& path);
    // Sets a value of an existing key; an empty name is the default value.
    LONG setValue(HKEY root, const std::string& path, const std::string& name, DWORD type,
                  const std::string& data);
    // Makes opening the key fail with ERROR_ACCESS_DENIED.
    LONG denyAccess(HKEY root, const std::string& path);
    // Removes the key with everything below it; open handles to it then
    // answer ERROR_KEY_DELETED.
    LONG deleteTree(HKEY root, const std::string& path);
    // Back to the state at program start; every handle but the roots is invalid.
    void reset();

private:
    struct Handle {
        std::shared_ptr<RegistryNode> node;
        REGSAM access;
    };

    InMemoryRegistry();
    LONG find(HKEY parent, const std::string& path, bool create, std::shared_ptr<RegistryNode>& node);

    std::map<HKEY, Handle> _handles;
    std::uintptr_t _lastHandle;
};

}  // namespace platform

#endif
