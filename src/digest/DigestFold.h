#ifndef VESTIGA_DIGEST_DIGESTFOLD_H
#define VESTIGA_DIGEST_DIGESTFOLD_H

#include <cstdint>
#include <vector>

// A 16-byte digest folded to 64 bits: bytes 0 to 7 read as a little-endian
// number, exclusive-or bytes 8 to 15 read the same way. Missing bytes count as 0.
std::uint64_t foldDigest(const std::vector<unsigned char>& digest);

#endif
