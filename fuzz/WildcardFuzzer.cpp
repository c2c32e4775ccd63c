// Any mask against any name (separated by the first NUL byte): an answer,
// and the same answer as a plain recursive reading of the mask.
#include <cctype>
#include <cstdint>
#include <cstdlib>
#include <string>

#include "platform/win32/posix/WildcardMatch.h"

namespace {

bool reference(const char* mask, const char* name) {
    if (*mask == '\0') return *name == '\0';
    if (*mask == '*') return reference(mask + 1, name) || (*name != '\0' && reference(mask, name + 1));
    if (*name == '\0') return false;
    const bool same = *mask == '?' || std::tolower(static_cast<unsigned char>(*mask)) ==
                                          std::tolower(static_cast<unsigned char>(*name));
    return same && reference(mask + 1, name + 1);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string input(reinterpret_cast<const char*>(data), size);
    const std::size_t split = input.find('\0');
    if (split == std::string::npos) return 0;
    const std::string mask = input.substr(0, split);
    const std::string name = input.substr(split + 1);
    if (name.find('\0') != std::string::npos || mask.size() > 12 || mask == "*.*") return 0;
    if (platform::matchesWildcard(mask, name) != reference(mask.c_str(), name.c_str())) std::abort();
    return 0;
}
