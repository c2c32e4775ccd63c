#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <memory>
#include <string>

#include "digest/MD5.h"

namespace {

std::string hex(const unsigned char* bytes) {
    std::string text;
    char pair[3];
    for (int i = 0; i < 16; ++i) {
        std::snprintf(pair, sizeof pair, "%02x", bytes[i]);
        text += pair;
    }
    return text;
}

const unsigned char* bytesOf(const std::string& text) { return reinterpret_cast<const unsigned char*>(text.data()); }

// Feeds the message in pieces of `piece` bytes (the whole message for 0).
std::string md5Hex(const std::string& message, std::size_t piece = 0) {
    MD5 md5;
    if (piece == 0) piece = message.size() + 1;
    for (std::size_t at = 0; at < message.size(); at += piece) {
        const std::size_t length = std::min(piece, message.size() - at);
        md5.update(bytesOf(message) + at, static_cast<unsigned int>(length));
    }
    md5.finalize();
    std::unique_ptr<unsigned char[]> digest(md5.raw_digest());
    return hex(digest.get());
}

TEST(MD5, ReproducesTheRfc1321TestSuite) {
    EXPECT_EQ("d41d8cd98f00b204e9800998ecf8427e", md5Hex(""));
    EXPECT_EQ("0cc175b9c0f1b6a831c399e269772661", md5Hex("a"));
    EXPECT_EQ("900150983cd24fb0d6963f7d28e17f72", md5Hex("abc"));
    EXPECT_EQ("f96b697d7cb7938d525a2f31aaf161d0", md5Hex("message digest"));
    EXPECT_EQ("c3fcd3d76192e4007dfb496cca67e13b", md5Hex("abcdefghijklmnopqrstuvwxyz"));
    EXPECT_EQ("d174ab98d277d9f5a5611c2c9f419d9f",
              md5Hex("ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789"));
    EXPECT_EQ("57edf4a22be3c955ac49da2e2107b67a",
              md5Hex("12345678901234567890123456789012345678901234567890123456789012345678901234567890"));
}

TEST(MD5, PaddingThatNeedsOneOrTwoExtraBlocks) {
    EXPECT_EQ("ef1772b6dff9a122358552954ad0df65", md5Hex(std::string(55, 'a')));
    EXPECT_EQ("3b0c8ac703f828b04c6c197006d17218", md5Hex(std::string(56, 'a')));
    EXPECT_EQ("b06521f39153d618550606be297466d5", md5Hex(std::string(63, 'a')));
    EXPECT_EQ("014842d480b571495a4a0363793f7367", md5Hex(std::string(64, 'a')));
    EXPECT_EQ("c743a45e0d2e6a95cb859adae0248435", md5Hex(std::string(65, 'a')));
    EXPECT_EQ("8a7bd0732ed6a28ce75f6dabc90e1613", md5Hex(std::string(119, 'a')));
    EXPECT_EQ("5f61c0ccad4cac44c75ff505e1f1e537", md5Hex(std::string(120, 'a')));
    EXPECT_EQ("e510683b3f5ffe4093d021808bc6ff70", md5Hex(std::string(128, 'a')));
}

TEST(MD5, AnySplitOfTheInputGivesTheSameDigest) {
    std::string message;
    for (int round = 0; round < 3; ++round) {
        for (int byte = 0; byte < 256; ++byte) message += static_cast<char>(byte);
    }
    for (std::size_t piece = 1; piece <= 130; ++piece) {
        EXPECT_EQ("e6899eaaf06fd702f3ed3f988eb19362", md5Hex(message, piece)) << "pieces of " << piece;
    }
    // Uneven pieces that start inside and straddle 64-byte blocks.
    MD5 md5;
    const std::size_t cuts[] = {0, 1, 63, 64, 65, 190, 191, 500, 700, message.size()};
    for (std::size_t i = 0; i + 1 < sizeof cuts / sizeof cuts[0]; ++i) {
        md5.update(bytesOf(message) + cuts[i], static_cast<unsigned int>(cuts[i + 1] - cuts[i]));
    }
    md5.finalize();
    std::unique_ptr<unsigned char[]> digest(md5.raw_digest());
    EXPECT_EQ("e6899eaaf06fd702f3ed3f988eb19362", hex(digest.get()));
}

TEST(MD5, MillionBytes) { EXPECT_EQ("7707d6ae4e027c70eea2a935c2296f21", md5Hex(std::string(1000000, 'a'), 4096)); }

TEST(MD5, EachRawDigestIsAFreshCopy) {
    MD5 md5;
    md5.update(bytesOf("abc"), 3);
    md5.finalize();
    std::unique_ptr<unsigned char[]> first(md5.raw_digest());
    first[0] = 0;
    std::unique_ptr<unsigned char[]> second(md5.raw_digest());
    EXPECT_EQ("900150983cd24fb0d6963f7d28e17f72", hex(second.get()));
}

TEST(MD5, CallsInTheWrongStateComplainOnStandardErrorAndChangeNothing) {
    MD5 md5;
    md5.update(bytesOf("abc"), 3);

    testing::internal::CaptureStderr();
    std::unique_ptr<unsigned char[]> early(md5.raw_digest());
    EXPECT_EQ("MD5::raw_digest:  Can't get digest if you haven't finalized the digest!\n",
              testing::internal::GetCapturedStderr());
    EXPECT_EQ(nullptr, early.get());

    md5.finalize();
    testing::internal::CaptureStderr();
    md5.update(bytesOf("def"), 3);
    EXPECT_EQ("MD5::update:  Can't update a finalized digest!\n", testing::internal::GetCapturedStderr());

    testing::internal::CaptureStderr();
    md5.finalize();
    EXPECT_EQ("MD5::finalize:  Already finalized this digest!\n", testing::internal::GetCapturedStderr());

    std::unique_ptr<unsigned char[]> digest(md5.raw_digest());
    EXPECT_EQ("900150983cd24fb0d6963f7d28e17f72", hex(digest.get()));
}

}  // namespace
