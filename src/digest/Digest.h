#ifndef VESTIGA_DIGEST_DIGEST_H
#define VESTIGA_DIGEST_DIGEST_H

#include <vector>

// A message digest over a byte sequence: feed the bytes, then take the digest.
class Digest {
public:
    virtual ~Digest() {}
    // Adds the bytes [begin, end) to the message.
    virtual void update(const char* begin, const char* end) = 0;
    // Ends the message and appends the digest bytes to `out`.
    virtual void getDigest(std::vector<unsigned char>& out) = 0;
};

#endif
