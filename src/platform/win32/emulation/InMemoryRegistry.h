#ifndef VESTIGA_PLATFORM_WIN32_EMULATION_INMEMORYREGISTRY_H
#define VESTIGA_PLATFORM_WIN32_EMULATION_INMEMORYREGISTRY_H

#include <cstdint>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "platform/win32/emulation/RegistryNode.h"
#include "platform/win32/emulation/Win32Base.h"

namespace platform {

// The registry of a system that has none, behind the Reg* calls of this
// layer: open handles over a tree of keys that it only reads. The process's
// own holds the root keys and nothing below them. HKEY_PERFORMANCE_DATA is
// never a key of its own: it opens (as itself) but answers every query with
// ERROR_INVALID_HANDLE, as Wine's does; HKEY_DYN_DATA is an ordinary root.
//
// Key paths are backslash-separated; a leading backslash is a bad path name,
// empty parts elsewhere are skipped. Results are Win32 error codes.
class InMemoryRegistry {
public:
    // The key behind each root handle.
    typedef std::map<HKEY, std::shared_ptr<const RegistryNode>> RootKeys;

    explicit InMemoryRegistry(const RootKeys& roots);

    // The registry the Reg* calls work on: the one installed last, or the
    // process's own.
    static InMemoryRegistry& instance();
    // Makes `registry` the one the Reg* calls work on, until the next call;
    // 0 gives them the process's own again. The caller keeps ownership.
    static void install(InMemoryRegistry* registry);

    // RegOpenKeyExA: a root opened with an empty path is its own handle; every
    // other key gets a new handle, distinct from the root handles.
    LONG openKey(HKEY parent, const std::string& path, REGSAM access, HKEY& opened);
    LONG closeKey(HKEY key);
    // The key behind an open handle, when the handle grants `access`.
    LONG findKey(HKEY key, REGSAM access, const RegistryNode*& node) const;

    // Appends the non-empty parts of a key path to `parts`; false for a path
    // with a leading backslash.
    static bool splitPath(const std::string& path, std::vector<std::string>& parts);

private:
    struct Handle {
        std::shared_ptr<const RegistryNode> node;
        REGSAM access;
    };

    bool isRoot(HKEY key) const;

    std::map<HKEY, Handle> _handles;
    std::uintptr_t _lastHandle;
};

}  // namespace platform

#endif
