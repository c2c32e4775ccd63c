#include "platform/win32/Sha256.h"

#include <new>

#include "platform/win32/Win32.h"

#include <bcrypt.h>

namespace platform {

namespace {

// The provider serves every hash of the process, from any thread; it is
// opened once, on first use, and closed at exit.
class Sha256Provider {
public:
    Sha256Provider() : _algorithm(nullptr) {
        if (!BCRYPT_SUCCESS(BCryptOpenAlgorithmProvider(&_algorithm, BCRYPT_SHA256_ALGORITHM, nullptr, 0))) {
            _algorithm = nullptr;
        }
    }
    ~Sha256Provider() {
        if (_algorithm != nullptr) BCryptCloseAlgorithmProvider(_algorithm, 0);
    }
    Sha256Provider(const Sha256Provider&) = delete;
    Sha256Provider& operator=(const Sha256Provider&) = delete;

    BCRYPT_ALG_HANDLE get() const { return _algorithm; }

private:
    BCRYPT_ALG_HANDLE _algorithm;
};

BCRYPT_HASH_HANDLE createHash() {
    static const Sha256Provider provider;
    BCRYPT_HASH_HANDLE hash = nullptr;
    if (provider.get() == nullptr ||
        !BCRYPT_SUCCESS(BCryptCreateHash(provider.get(), &hash, nullptr, 0, nullptr, 0, 0))) {
        throw std::bad_alloc();
    }
    return hash;
}

}  // namespace

struct Sha256::State {
    BCRYPT_HASH_HANDLE hash;
};

Sha256::Sha256() : _state(new State{createHash()}) {}

Sha256::~Sha256() { BCryptDestroyHash(_state->hash); }

// BCryptHashData takes at most 4 GiB less one byte at a time.
void Sha256::update(const void* data, std::size_t size) {
    const std::size_t largestPiece = 0x80000000u;
    const UCHAR* bytes = static_cast<const UCHAR*>(data);
    while (size != 0) {
        const std::size_t piece = size < largestPiece ? size : largestPiece;
        if (!BCRYPT_SUCCESS(BCryptHashData(_state->hash, const_cast<UCHAR*>(bytes), static_cast<ULONG>(piece), 0))) {
            throw std::bad_alloc();
        }
        bytes += piece;
        size -= piece;
    }
}

// A finished CNG hash cannot take more data: the next message gets a new one.
Sha256Digest Sha256::finish() {
    Sha256Digest digest;
    if (!BCRYPT_SUCCESS(BCryptFinishHash(_state->hash, digest.data(), static_cast<ULONG>(digest.size()), 0))) {
        throw std::bad_alloc();
    }
    BCRYPT_HASH_HANDLE next = createHash();
    BCryptDestroyHash(_state->hash);
    _state->hash = next;
    return digest;
}

}  // namespace platform
