#include "digest/MD5.h"

#include <cstring>
#include <iostream>

namespace {

inline std::uint32_t rotateLeft(std::uint32_t x, int n) { return (x << n) | (x >> (32 - n)); }

inline std::uint32_t F(std::uint32_t x, std::uint32_t y, std::uint32_t z) { return z ^ (x & (y ^ z)); }
inline std::uint32_t G(std::uint32_t x, std::uint32_t y, std::uint32_t z) { return y ^ (z & (x ^ y)); }
inline std::uint32_t H(std::uint32_t x, std::uint32_t y, std::uint32_t z) { return x ^ y ^ z; }
inline std::uint32_t I(std::uint32_t x, std::uint32_t y, std::uint32_t z) { return y ^ (x | ~z); }

#define MD5_STEP(f, a, b, c, d, x, s, t) (a) = (b) + rotateLeft((a) + f((b), (c), (d)) + (x) + (t), (s))

inline std::uint32_t readLittleEndian(const unsigned char* bytes) {
    return static_cast<std::uint32_t>(bytes[0]) | static_cast<std::uint32_t>(bytes[1]) << 8 |
           static_cast<std::uint32_t>(bytes[2]) << 16 | static_cast<std::uint32_t>(bytes[3]) << 24;
}

inline void writeLittleEndian(std::uint32_t value, unsigned char* bytes) {
    bytes[0] = static_cast<unsigned char>(value);
    bytes[1] = static_cast<unsigned char>(value >> 8);
    bytes[2] = static_cast<unsigned char>(value >> 16);
    bytes[3] = static_cast<unsigned char>(value >> 24);
}

void complain(const char* message) { std::cerr << message << std::endl; }

}  // namespace

MD5::MD5() : _state{0x67452301, 0xEFCDAB89, 0x98BADCFE, 0x10325476}, _count{0, 0}, _buffer{}, _digest{}, _finalized(0) {}

void MD5::update(const unsigned char* input, unsigned int length) {
    if (_finalized) {
        complain("MD5::update:  Can't update a finalized digest!");
        return;
    }
    unsigned int index = (_count[0] >> 3) & 0x3F;
    const std::uint32_t bits = static_cast<std::uint32_t>(length) << 3;
    _count[0] += bits;
    if (_count[0] < bits) ++_count[1];
    _count[1] += static_cast<std::uint32_t>(length >> 29);

    unsigned int used = 0;
    const unsigned int space = 64 - index;
    if (length >= space) {
        std::memcpy(_buffer + index, input, space);
        transform(_buffer);
        for (used = space; used + 63 < length; used += 64) transform(input + used);
        index = 0;
    }
    std::memcpy(_buffer + index, input + used, length - used);
}

void MD5::finalize() {
    if (_finalized) {
        complain("MD5::finalize:  Already finalized this digest!");
        return;
    }
    unsigned char bitCount[8];
    writeLittleEndian(_count[0], bitCount);
    writeLittleEndian(_count[1], bitCount + 4);

    static const unsigned char padding[64] = {0x80};
    const unsigned int index = (_count[0] >> 3) & 0x3F;
    update(padding, index < 56 ? 56 - index : 120 - index);
    update(bitCount, 8);

    for (int i = 0; i < 4; ++i) writeLittleEndian(_state[i], _digest + 4 * i);
    std::memset(_buffer, 0, sizeof _buffer);
    _finalized = 1;
}

unsigned char* MD5::raw_digest() const {
    if (!_finalized) {
        complain("MD5::raw_digest:  Can't get digest if you haven't finalized the digest!");
        return nullptr;
    }
    unsigned char* copy = new unsigned char[16];
    std::memcpy(copy, _digest, 16);
    return copy;
}

void MD5::transform(const unsigned char block[64]) {
    std::uint32_t x[16];
    for (int i = 0; i < 16; ++i) x[i] = readLittleEndian(block + 4 * i);
    std::uint32_t a = _state[0], b = _state[1], c = _state[2], d = _state[3];

    MD5_STEP(F, a, b, c, d, x[0], 7, 0xd76aa478);
    MD5_STEP(F, d, a, b, c, x[1], 12, 0xe8c7b756);
    MD5_STEP(F, c, d, a, b, x[2], 17, 0x242070db);
    MD5_STEP(F, b, c, d, a, x[3], 22, 0xc1bdceee);
    MD5_STEP(F, a, b, c, d, x[4], 7, 0xf57c0faf);
    MD5_STEP(F, d, a, b, c, x[5], 12, 0x4787c62a);
    MD5_STEP(F, c, d, a, b, x[6], 17, 0xa8304613);
    MD5_STEP(F, b, c, d, a, x[7], 22, 0xfd469501);
    MD5_STEP(F, a, b, c, d, x[8], 7, 0x698098d8);
    MD5_STEP(F, d, a, b, c, x[9], 12, 0x8b44f7af);
    MD5_STEP(F, c, d, a, b, x[10], 17, 0xffff5bb1);
    MD5_STEP(F, b, c, d, a, x[11], 22, 0x895cd7be);
    MD5_STEP(F, a, b, c, d, x[12], 7, 0x6b901122);
    MD5_STEP(F, d, a, b, c, x[13], 12, 0xfd987193);
    MD5_STEP(F, c, d, a, b, x[14], 17, 0xa679438e);
    MD5_STEP(F, b, c, d, a, x[15], 22, 0x49b40821);

    MD5_STEP(G, a, b, c, d, x[1], 5, 0xf61e2562);
    MD5_STEP(G, d, a, b, c, x[6], 9, 0xc040b340);
    MD5_STEP(G, c, d, a, b, x[11], 14, 0x265e5a51);
    MD5_STEP(G, b, c, d, a, x[0], 20, 0xe9b6c7aa);
    MD5_STEP(G, a, b, c, d, x[5], 5, 0xd62f105d);
    MD5_STEP(G, d, a, b, c, x[10], 9, 0x02441453);
    MD5_STEP(G, c, d, a, b, x[15], 14, 0xd8a1e681);
    MD5_STEP(G, b, c, d, a, x[4], 20, 0xe7d3fbc8);
    MD5_STEP(G, a, b, c, d, x[9], 5, 0x21e1cde6);
    MD5_STEP(G, d, a, b, c, x[14], 9, 0xc33707d6);
    MD5_STEP(G, c, d, a, b, x[3], 14, 0xf4d50d87);
    MD5_STEP(G, b, c, d, a, x[8], 20, 0x455a14ed);
    MD5_STEP(G, a, b, c, d, x[13], 5, 0xa9e3e905);
    MD5_STEP(G, d, a, b, c, x[2], 9, 0xfcefa3f8);
    MD5_STEP(G, c, d, a, b, x[7], 14, 0x676f02d9);
    MD5_STEP(G, b, c, d, a, x[12], 20, 0x8d2a4c8a);

    MD5_STEP(H, a, b, c, d, x[5], 4, 0xfffa3942);
    MD5_STEP(H, d, a, b, c, x[8], 11, 0x8771f681);
    MD5_STEP(H, c, d, a, b, x[11], 16, 0x6d9d6122);
    MD5_STEP(H, b, c, d, a, x[14], 23, 0xfde5380c);
    MD5_STEP(H, a, b, c, d, x[1], 4, 0xa4beea44);
    MD5_STEP(H, d, a, b, c, x[4], 11, 0x4bdecfa9);
    MD5_STEP(H, c, d, a, b, x[7], 16, 0xf6bb4b60);
    MD5_STEP(H, b, c, d, a, x[10], 23, 0xbebfbc70);
    MD5_STEP(H, a, b, c, d, x[13], 4, 0x289b7ec6);
    MD5_STEP(H, d, a, b, c, x[0], 11, 0xeaa127fa);
    MD5_STEP(H, c, d, a, b, x[3], 16, 0xd4ef3085);
    MD5_STEP(H, b, c, d, a, x[6], 23, 0x04881d05);
    MD5_STEP(H, a, b, c, d, x[9], 4, 0xd9d4d039);
    MD5_STEP(H, d, a, b, c, x[12], 11, 0xe6db99e5);
    MD5_STEP(H, c, d, a, b, x[15], 16, 0x1fa27cf8);
    MD5_STEP(H, b, c, d, a, x[2], 23, 0xc4ac5665);

    MD5_STEP(I, a, b, c, d, x[0], 6, 0xf4292244);
    MD5_STEP(I, d, a, b, c, x[7], 10, 0x432aff97);
    MD5_STEP(I, c, d, a, b, x[14], 15, 0xab9423a7);
    MD5_STEP(I, b, c, d, a, x[5], 21, 0xfc93a039);
    MD5_STEP(I, a, b, c, d, x[12], 6, 0x655b59c3);
    MD5_STEP(I, d, a, b, c, x[3], 10, 0x8f0ccc92);
    MD5_STEP(I, c, d, a, b, x[10], 15, 0xffeff47d);
    MD5_STEP(I, b, c, d, a, x[1], 21, 0x85845dd1);
    MD5_STEP(I, a, b, c, d, x[8], 6, 0x6fa87e4f);
    MD5_STEP(I, d, a, b, c, x[15], 10, 0xfe2ce6e0);
    MD5_STEP(I, c, d, a, b, x[6], 15, 0xa3014314);
    MD5_STEP(I, b, c, d, a, x[13], 21, 0x4e0811a1);
    MD5_STEP(I, a, b, c, d, x[4], 6, 0xf7537e82);
    MD5_STEP(I, d, a, b, c, x[11], 10, 0xbd3af235);
    MD5_STEP(I, c, d, a, b, x[2], 15, 0x2ad7d2bb);
    MD5_STEP(I, b, c, d, a, x[9], 21, 0xeb86d391);

    _state[0] += a;
    _state[1] += b;
    _state[2] += c;
    _state[3] += d;
}
