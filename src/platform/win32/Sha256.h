#ifndef VESTIGA_PLATFORM_WIN32_SHA256_H
#define VESTIGA_PLATFORM_WIN32_SHA256_H

#include <array>
#include <cstddef>
#include <cstdint>
#include <memory>

namespace platform {

typedef std::array<std::uint8_t, 32> Sha256Digest;

// The SHA-256 digest of FIPS 180-4, computed by the system's library: OpenSSL's
// libcrypto on POSIX systems, CNG (bcrypt.dll) on Windows. Both use the
// processor's SHA instructions where it has them. Feed the bytes in pieces of
// any size; `finish` hands out the digest of all of them and starts the next
// message. An object serves one thread at a time; objects are independent.
// A library that cannot make a digest (only for want of memory) raises
// std::bad_alloc.
class Sha256 {
public:
    Sha256();
    ~Sha256();
    Sha256(const Sha256&) = delete;
    Sha256& operator=(const Sha256&) = delete;

    void update(const void* data, std::size_t size);
    Sha256Digest finish();

private:
    struct State;
    std::unique_ptr<State> _state;
};

}  // namespace platform

#endif
