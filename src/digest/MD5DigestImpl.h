#ifndef VESTIGA_DIGEST_MD5DIGESTIMPL_H
#define VESTIGA_DIGEST_MD5DIGESTIMPL_H

#include "digest/Digest.h"
#include "digest/MD5.h"

// The MD5 digest of one message (16 bytes).
class MD5DigestImpl : public Digest {
public:
    void update(const char* begin, const char* end) override;
    void getDigest(std::vector<unsigned char>& out) override;

private:
    MD5 _md5;
};

#endif
