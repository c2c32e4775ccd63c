// Any message, fed in pieces of any sizes, gives the digest of one update.
#include <cstdint>
#include <cstdlib>
#include <vector>

#include "digest/MD5DigestImpl.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size == 0) return 0;
    // The first byte chooses the piece sizes; the rest is the message.
    const unsigned int seed = data[0];
    const char* begin = reinterpret_cast<const char*>(data) + 1;
    const char* end = reinterpret_cast<const char*>(data) + size;

    MD5DigestImpl whole;
    whole.update(begin, end);
    std::vector<unsigned char> expected;
    whole.getDigest(expected);

    MD5DigestImpl pieces;
    unsigned int step = seed;
    for (const char* at = begin; at < end;) {
        step = step * 1103515245u + 12345u;
        const std::size_t piece = std::min<std::size_t>(static_cast<std::size_t>(end - at), (step >> 16) % 130);
        pieces.update(at, at + piece);
        at += piece;
    }
    std::vector<unsigned char> actual;
    pieces.getDigest(actual);
    if (actual != expected || actual.size() != 16) std::abort();
    return 0;
}
