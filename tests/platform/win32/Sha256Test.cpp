#include <gtest/gtest.h>

#include <algorithm>
#include <string>

#include "platform/win32/Sha256.h"

namespace {

std::string hexOf(const platform::Sha256Digest& digest) {
    static const char digits[] = "0123456789abcdef";
    std::string text;
    for (const std::uint8_t byte : digest) {
        text += digits[byte >> 4];
        text += digits[byte & 15];
    }
    return text;
}

// The test vectors of FIPS 180-2, one object hashing them one after another.
TEST(Sha256, GivesTheStandardDigestsMessageAfterMessage) {
    platform::Sha256 sha;
    const struct {
        std::string message;
        const char* digest;
    } vectors[] = {
        {"abc", "ba7816bf8f01cfea414140de5dae2223b00361a396177a9cb410ff61f20015ad"},
        {"", "e3b0c44298fc1c149afbf4c8996fb92427ae41e4649b934ca495991b7852b855"},
        {"abcdbcdecdefdefgefghfghighijhijkijkljklmklmnlmnomnopnopq",
         "248d6a61d20638b8e5c026930c3e6039a33ce45964ff2167f6ecedd419db06c1"},
    };
    for (const auto& vector : vectors) {
        sha.update(vector.message.data(), vector.message.size());
        EXPECT_EQ(vector.digest, hexOf(sha.finish())) << '"' << vector.message << '"';
    }
}

// A million 'a' fed in pieces that cross every block boundary differently,
// and again in one piece.
TEST(Sha256, TakesTheMessageInPiecesOfAnySize) {
    const std::string million(1000000, 'a');
    const char* expected = "cdc76e5c9914fb9281a1c7e284d73e67f1809a48a497200e046d39ccc7112cd0";
    platform::Sha256 sha;
    std::size_t fed = 0;
    for (std::size_t piece = 1; fed < million.size(); piece = piece * 3 + 1) {
        const std::size_t size = std::min(piece % 100003, million.size() - fed);
        sha.update(million.data() + fed, size);
        fed += size;
    }
    EXPECT_EQ(expected, hexOf(sha.finish()));
    sha.update(million.data(), million.size());
    EXPECT_EQ(expected, hexOf(sha.finish()));
}

}  // namespace
