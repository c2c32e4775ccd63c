#include <gtest/gtest.h>

#include <string>

#include "platform/win32/ContentReader.h"
#include "platform/win32/Win32.h"
#include "support/ScratchDirectory.h"

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

// Two and a half blocks and a few bytes, none of them alike in a row, so
// that a block read twice, left out or cut short changes the digest.
std::string patternedContent() {
    std::string content((5 << 19) + 7, '\0');
    for (std::size_t i = 0; i < content.size(); ++i) content[i] = static_cast<char>(((i ^ (i >> 11)) * 31) & 0xff);
    return content;
}

// The digests are those Python's hashlib gives for the same bytes.
TEST(ContentReader, DigestsFilesAndTellsWhatItCouldNotRead) {
    ScratchDirectory scratch;
    const std::string large = scratch.writeFile("large.bin", patternedContent());
    const std::string empty = scratch.writeFile("empty", "");
    platform::ContentReader reader;

    const platform::FileContent first = reader.read(large);
    EXPECT_EQ(platform::FileContent::READ, first.outcome);
    EXPECT_EQ("f409cab9c429d656b8c358a98732e4cf9169297c875f9c31cf96670d01064336", hexOf(first.digest));
    const platform::FileContent none = reader.read(empty);
    EXPECT_EQ(platform::FileContent::READ, none.outcome);
    EXPECT_EQ("e3b0c44298fc1c149afbf4c8996fb92427ae41e4649b934ca495991b7852b855", hexOf(none.digest));
    EXPECT_EQ(first.digest, reader.read(large).digest);

    const platform::FileContent missing = reader.read(scratch.pathOf("missing"));
    EXPECT_EQ(platform::FileContent::UNREADABLE, missing.outcome);
    EXPECT_EQ(static_cast<std::uint32_t>(ERROR_FILE_NOT_FOUND), missing.error);
    EXPECT_EQ(platform::FileContent::NOT_A_FILE, reader.read(scratch.makeDirectory("directory")).outcome);
}

}  // namespace
