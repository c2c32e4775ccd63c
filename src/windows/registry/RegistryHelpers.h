#ifndef VESTIGA_WINDOWS_REGISTRY_REGISTRYHELPERS_H
#define VESTIGA_WINDOWS_REGISTRY_REGISTRYHELPERS_H

#include <memory>
#include <string>

#include "platform/win32/Win32Handles.h"

namespace windows {
namespace registry {

class RegistryKey;
class RegistryKeyImpl;

// The name of a predefined root key ("HKEY_CURRENT_USER", ...) for its handle.
// Raises RegistryException for any other handle.
std::string keyToString(HKEY key);

// The handle of a predefined root key for its exact, upper-case name.
// Raises RegistryException for any other name.
HKEY stringToKey(const std::string& name);

// Divides a key path at its first backslash into the root handle and the path
// below the root. A path without a backslash leaves `subKey` as it was.
void splitKeyPath(const std::string& path, HKEY& root, std::string& subKey);

// The key at `keyPath` (a root key's name, then the path below it), open to
// be read. Raises RegistryException when it cannot be opened.
std::unique_ptr<RegistryKeyImpl> openKeyToRead(const std::string& keyPath);
// The sub-key `name` of the open key `parent`, open to be read. Raises
// RegistryException when it cannot be opened.
std::unique_ptr<RegistryKeyImpl> openSubKeyToRead(const RegistryKey& parent, const std::string& name);

// The text with its environment variable references (%NAME%) expanded.
// Raises RegistryException when the platform cannot expand it.
std::string expandEnvironmentVariables(const std::string& text);

}  // namespace registry
}  // namespace windows

#endif
