#ifndef VESTIGA_TESTS_SUPPORT_SCRATCHREGISTRYKEY_H
#define VESTIGA_TESTS_SUPPORT_SCRATCHREGISTRYKEY_H

#include <string>

namespace testsupport {

// A key below HKEY_CURRENT_USER\Software with a name no other key has, for
// one test to fill; the destructor deletes it with everything below it. On
// Windows it lives in the real registry, elsewhere in the in-memory one.
class ScratchRegistryKey {
public:
    ScratchRegistryKey();
    ~ScratchRegistryKey();

    ScratchRegistryKey(const ScratchRegistryKey&) = delete;
    ScratchRegistryKey& operator=(const ScratchRegistryKey&) = delete;

    // The path below HKEY_CURRENT_USER, "Software\VestigaTest-...".
    const std::string& subKey() const { return _subKey; }
    // The path with its root, "HKEY_CURRENT_USER\Software\VestigaTest-...".
    std::string fullPath() const { return "HKEY_CURRENT_USER\\" + _subKey; }

    // Creates a key (and the keys above it) below the scratch key.
    void createKey(const std::string& relativePath);
    // Sets a value of the scratch key ("" as path) or of a key below it; the
    // data are the exact bytes stored.
    void setValue(const std::string& relativePath, const std::string& name, unsigned int type,
                  const std::string& data);

private:
    std::string _subKey;
};

}  // namespace testsupport

#endif
