#include "platform/win32/Sha256.h"

#include <openssl/evp.h>

#include <new>

namespace platform {

struct Sha256::State {
    EVP_MD_CTX* context;
};

namespace {

void begin(EVP_MD_CTX* context) {
    if (EVP_DigestInit_ex(context, EVP_sha256(), nullptr) != 1) throw std::bad_alloc();
}

}  // namespace

Sha256::Sha256() : _state(new State{EVP_MD_CTX_new()}) {
    if (_state->context == nullptr) throw std::bad_alloc();
    try {
        begin(_state->context);
    } catch (...) {
        EVP_MD_CTX_free(_state->context);
        throw;
    }
}

Sha256::~Sha256() { EVP_MD_CTX_free(_state->context); }

void Sha256::update(const void* data, std::size_t size) {
    if (size != 0 && EVP_DigestUpdate(_state->context, data, size) != 1) throw std::bad_alloc();
}

Sha256Digest Sha256::finish() {
    Sha256Digest digest;
    unsigned int length = 0;
    if (EVP_DigestFinal_ex(_state->context, digest.data(), &length) != 1 || length != digest.size()) {
        throw std::bad_alloc();
    }
    begin(_state->context);
    return digest;
}

}  // namespace platform
