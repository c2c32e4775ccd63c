#ifndef VESTIGA_WINDOWS_REGISTRY_REGISTRYREADERIMPL_H
#define VESTIGA_WINDOWS_REGISTRY_REGISTRYREADERIMPL_H

#include <cstdint>
#include <string>
#include <utility>
#include <vector>

#include "windows/registry/RegistryKey.h"
#include "windows/registry/RegistryReader.h"

namespace windows {
namespace registry {

// Reads the values and lists the sub-keys of an open key, which it does not
// own and which must outlive it. Failures raise RegistryException or one of
// its subclasses, with the key's name and the system's text.
class RegistryReaderImpl : public RegistryReader {
public:
    explicit RegistryReaderImpl(RegistryKey* key);

    // The text of a string value (the first string of a REG_MULTI_SZ, a
    // REG_EXPAND_SZ expanded), of any length.
    std::string readString(const std::string& valueName) override;
    // A REG_DWORD or a REG_BINARY of up to 4 bytes, little-endian.
    int readInt(const std::string& valueName) override;
    // Whether the value exists.
    bool valueExists(const std::string& valueName) override;

    // Every value as (name, data), in the platform's order. A text value is its
    // text up to the first NUL (REG_EXPAND_SZ expanded), then whatever follows
    // from that NUL on, without the NULs that end the data; all other types
    // keep their bytes.
    virtual std::vector<std::pair<std::string, std::string>> getValues();
    // The same, and the type of each value in `types`, in the same order.
    std::vector<std::pair<std::string, std::string>> getValues(std::vector<unsigned long>& types);
    // The key's last-write FILETIME, 0 where the platform keeps none.
    std::uint64_t getLastWriteTime();
    // The names of the direct sub-keys, in the platform's order.
    virtual std::vector<std::string> getSubKeys();

private:
    RegistryKey* _key;
};

}  // namespace registry
}  // namespace windows

#endif
