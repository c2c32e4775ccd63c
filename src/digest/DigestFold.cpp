#include "digest/DigestFold.h"

std::uint64_t foldDigest(const std::vector<unsigned char>& digest) {
    std::uint64_t folded = 0;
    for (std::size_t i = 0; i < digest.size() && i < 16; ++i) {
        folded ^= static_cast<std::uint64_t>(digest[i]) << (8 * (i % 8));
    }
    return folded;
}
