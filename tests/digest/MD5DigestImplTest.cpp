#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "digest/DigestFold.h"
#include "digest/MD5DigestImpl.h"

namespace {

std::vector<unsigned char> digestOf(const std::string& message) {
    MD5DigestImpl digest;
    digest.update(message.data(), message.data() + message.size());
    std::vector<unsigned char> out;
    digest.getDigest(out);
    return out;
}

TEST(MD5DigestImpl, AppendsTheSixteenDigestBytesInOrder) {
    std::vector<unsigned char> out = {0xAA};
    MD5DigestImpl digest;
    const std::string message = "abc";
    digest.update(message.data(), message.data() + message.size());
    digest.getDigest(out);
    const std::vector<unsigned char> expected = {0xAA, 0x90, 0x01, 0x50, 0x98, 0x3c, 0xd2, 0x4f, 0xb0,
                                                 0xd6, 0x96, 0x3f, 0x7d, 0x28, 0xe1, 0x7f, 0x72};
    EXPECT_EQ(expected, out);
}

TEST(MD5DigestImpl, AnEmptyRangeAddsNothingAndNulBytesCount) {
    MD5DigestImpl digest;
    const char data[] = "ab\0c";
    digest.update(data, data);
    digest.update(data, data + 4);
    std::vector<unsigned char> out;
    digest.getDigest(out);
    EXPECT_EQ(digestOf(std::string(data, 4)), out);
    EXPECT_NE(digestOf("abc"), out);
}

TEST(MD5DigestImpl, UpdateAfterGetDigestLeavesTheDigestUnchanged) {
    MD5DigestImpl digest;
    std::vector<unsigned char> first;
    digest.getDigest(first);
    testing::internal::CaptureStderr();
    const std::string more = "more";
    digest.update(more.data(), more.data() + more.size());
    EXPECT_EQ("MD5::update:  Can't update a finalized digest!\n", testing::internal::GetCapturedStderr());
    std::vector<unsigned char> second;
    testing::internal::CaptureStderr();
    digest.getDigest(second);
    testing::internal::GetCapturedStderr();
    EXPECT_EQ(first, second);
    EXPECT_EQ(digestOf(""), second);
}

TEST(DigestFold, XorsTheTwoLittleEndianHalves) {
    EXPECT_EQ(0xC2303314E56F9746ULL, foldDigest(digestOf("abc")));
    EXPECT_EQ(0x7AF0F86341859D3DULL, foldDigest(digestOf("")));
    std::vector<unsigned char> halves(16, 0);
    halves[0] = 0x01;
    halves[7] = 0x80;
    halves[8] = 0x03;
    EXPECT_EQ(0x8000000000000002ULL, foldDigest(halves));
}

}  // namespace
