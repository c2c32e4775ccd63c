// Any mask against any name (separated by the first NUL byte): an answer,
// and the same answer as a plain reading of the mask, one mask character at
// a time over every prefix of the name.
#include <cctype>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <vector>

#include "platform/win32/emulation/WildcardMatch.h"

namespace {

bool sameLetter(char maskCharacter, char nameCharacter) {
    return maskCharacter == '?' || std::tolower(static_cast<unsigned char>(maskCharacter)) ==
                                       std::tolower(static_cast<unsigned char>(nameCharacter));
}

bool reference(const std::string& mask, const std::string& name) {
    // matched[j]: whether the mask read so far matches the first j characters of the name.
    std::vector<bool> matched(name.size() + 1, false);
    matched[0] = true;
    for (const char m : mask) {
        std::vector<bool> next(name.size() + 1, false);
        bool reached = false;
        for (std::size_t j = 0; j <= name.size(); ++j) {
            if (m == '*') {
                reached = reached || matched[j];
                next[j] = reached;
            } else {
                next[j] = j > 0 && matched[j - 1] && sameLetter(m, name[j - 1]);
            }
        }
        matched.swap(next);
    }
    return matched[name.size()];
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string input(reinterpret_cast<const char*>(data), size);
    const std::size_t split = input.find('\0');
    if (split == std::string::npos) return 0;
    const std::string mask = input.substr(0, split);
    const std::string name = input.substr(split + 1);
    if (name.find('\0') != std::string::npos || mask == "*.*") return 0;
    if (platform::matchesWildcard(mask, name) != reference(mask, name)) std::abort();
    return 0;
}
