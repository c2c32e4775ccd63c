#ifndef VESTIGA_WINDOWS_REGISTRY_REGISTRYREADER_H
#define VESTIGA_WINDOWS_REGISTRY_REGISTRYREADER_H

#include <string>

namespace windows {
namespace registry {

// Reads single values of a registry key.
class RegistryReader {
public:
    virtual ~RegistryReader() {}
    virtual std::string readString(const std::string& valueName) = 0;
    virtual int readInt(const std::string& valueName) = 0;
    virtual bool valueExists(const std::string& valueName) = 0;
};

}  // namespace registry
}  // namespace windows

#endif
