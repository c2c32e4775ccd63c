#ifndef VESTIGA_WINDOWS_REGISTRY_REGISTRYKEY_H
#define VESTIGA_WINDOWS_REGISTRY_REGISTRYKEY_H

#include <string>

#include "platform/win32/Win32Handles.h"

namespace windows {
namespace registry {

// An open registry key: its handle and the name it is shown by.
class RegistryKey {
public:
    virtual ~RegistryKey() {}
    virtual HKEY getKey() const = 0;
    virtual std::string getName() const = 0;
};

}  // namespace registry
}  // namespace windows

#endif
