#ifndef VESTIGA_DIGEST_MD5_H
#define VESTIGA_DIGEST_MD5_H

#include <cstdint>

// The MD5 message digest of RFC 1321. An object serves one message: it is
// open until finalize() and can then only hand out the digest. Calls in the
// wrong state write a line to standard error and change nothing.
class MD5 {
public:
    MD5();

    void update(const unsigned char* input, unsigned int length);
    void finalize();
    // A new[]'d copy of the 16 digest bytes, which the caller delete[]s; null
    // before finalize().
    unsigned char* raw_digest() const;

private:
    void transform(const unsigned char block[64]);

    std::uint32_t _state[4];
    std::uint32_t _count[2];
    unsigned char _buffer[64];
    unsigned char _digest[16];
    std::uint8_t _finalized;
};

#endif
