#include "platform/win32/emulation/WildcardMatch.h"

namespace platform {

namespace {

char foldCase(char c) { return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c; }

bool sameCharacter(char maskCharacter, char nameCharacter) {
    return maskCharacter == '?' || foldCase(maskCharacter) == foldCase(nameCharacter);
}

}  // namespace

bool matchesWildcard(std::string_view mask, std::string_view name) {
    if (mask == "*" || mask == "*.*") return true;
    // Greedy matching with one back-track point: the last '*' seen. On a
    // mismatch, that star swallows one more character of the name.
    std::string_view::size_type m = 0, n = 0;
    std::string_view::size_type starInMask = std::string_view::npos, starInName = 0;
    while (n < name.size()) {
        if (m < mask.size() && mask[m] == '*') {
            starInMask = m++;
            starInName = n;
        } else if (m < mask.size() && sameCharacter(mask[m], name[n])) {
            ++m;
            ++n;
        } else if (starInMask != std::string_view::npos) {
            m = starInMask + 1;
            n = ++starInName;
        } else {
            return false;
        }
    }
    while (m < mask.size() && mask[m] == '*') ++m;
    return m == mask.size();
}

}  // namespace platform
