#include "digest/MD5DigestImpl.h"

#include <limits>
#include <memory>

void MD5DigestImpl::update(const char* begin, const char* end) {
    const unsigned int largest = std::numeric_limits<unsigned int>::max();
    while (begin < end) {
        const std::size_t remaining = static_cast<std::size_t>(end - begin);
        const unsigned int length = remaining < largest ? static_cast<unsigned int>(remaining) : largest;
        _md5.update(reinterpret_cast<const unsigned char*>(begin), length);
        begin += length;
    }
}

void MD5DigestImpl::getDigest(std::vector<unsigned char>& out) {
    _md5.finalize();
    std::unique_ptr<unsigned char[]> raw(_md5.raw_digest());
    if (raw) out.insert(out.end(), raw.get(), raw.get() + 16);
}
