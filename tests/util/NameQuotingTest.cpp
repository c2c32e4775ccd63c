#include <gtest/gtest.h>

#include <string>

#include "util/NameQuoting.h"

namespace {


TEST(NameQuoting, OrdinaryNamesStandAsTheyAre) {
    for (const std::string name : {"C:\\dir\\file.txt", "/usr/lib/x86_64", "tab\there", "quote\"inside",
                                   "caf\xC3\xA9 \xE6\x97\xA5\xE6\x9C\xAC \xF0\x9F\x98\x80", "\xC2\xA0nbsp",
                                   "\xE2\x80\xA7\xE2\x81\xA5\xE2\x81\xAA", "\xD8\x9B", "\xEF\xBB\xBE", "\xED\x9F\xBF",
                                   "\xEE\x80\x80\xF3\xA0\x82\x80\xF4\x8F\xBF\xBF", "caf\x65\xCC\x81", "",
                                   "HKEY_CURRENT_USER\\Software\\x"}) {
        EXPECT_FALSE(needsQuoting(name)) << name;
        EXPECT_EQ(name, shownName(name));
    }
}

TEST(NameQuoting, ControlsAndDirectionMarksAreEscaped) {
    EXPECT_EQ("\"t/innocent\\nDEL t\"", shownName("t/innocent\nDEL t"));
    EXPECT_EQ("\"C:\\\\dir\\\\x\\ny\"", shownName("C:\\dir\\x\ny"));
    EXPECT_EQ("\"a\\r\\tb\\000c\\033[2J\\177\"", shownName(std::string("a\r\tb\0c\x1B[2J\x7F", 11)));
    EXPECT_EQ("\"\\033]0;title\\007\"", shownName("\x1B]0;title\x07"));
    EXPECT_EQ("\"gpj\\342\\200\\256.exe\"", shownName("gpj\xE2\x80\xAE.exe"));
    EXPECT_EQ("\"\\302\\200\\302\\237 \\330\\234\"", shownName("\xC2\x80\xC2\x9F \xD8\x9C"));
    EXPECT_EQ("\"\\342\\200\\216\\342\\200\\217\\342\\200\\252\\342\\201\\246\\342\\201\\251\"",
              shownName("\xE2\x80\x8E\xE2\x80\x8F\xE2\x80\xAA\xE2\x81\xA6\xE2\x81\xA9"));
    EXPECT_EQ("\"\\\"quoted\\\" \\001\"", shownName("\"quoted\" \x01"));
    EXPECT_EQ("\"\\\"lead\"", shownName("\"lead"));
    EXPECT_EQ("\"caf\xC3\xA9\\n\"", shownName("caf\xC3\xA9\n"));
}

TEST(NameQuoting, SeparatorsAndInvisibleCharactersAreEscaped) {
    EXPECT_EQ("\"x\\342\\200\\250DEL /etc/shadow\"", shownName("x\xE2\x80\xA8" "DEL /etc/shadow"));
    EXPECT_EQ("\"\\342\\200\\251\"", shownName("\xE2\x80\xA9"));
    EXPECT_EQ("\"su\\342\\200\\213do\"", shownName("su\xE2\x80\x8B" "do"));
    for (const std::string name : {"\xE2\x80\x8B", "\xE2\x80\x8C", "\xE2\x80\x8D", "\xE2\x81\xA0", "\xE2\x81\xA4",
                                   "\xEF\xBB\xBF", "\xF3\xA0\x80\x80", "\xF3\xA0\x81\xBF"}) {
        EXPECT_TRUE(needsQuoting("a" + name + "b")) << name;
        std::string octal;
        for (const char byte : name) {
            const auto value = static_cast<unsigned char>(byte);
            octal += {'\\', static_cast<char>('0' + (value >> 6)), static_cast<char>('0' + ((value >> 3) & 7)),
                      static_cast<char>('0' + (value & 7))};
        }
        EXPECT_EQ("\"a" + octal + "b\"", shownName("a" + name + "b"));
    }
}

TEST(NameQuoting, BytesThatAreNotUtf8AreEscapedOneByOne) {
    // Stray bytes, among them 0x9B, CSI to an 8-bit terminal; behind eight
    // printable bytes, so that the fast path hands them over.
    EXPECT_EQ("\"abcdefgh\\233[2J\\377\\200\"", shownName("abcdefgh\x9B[2J\xFF\x80"));
    // Cut short, at the end and before an ASCII byte, which stands as it is.
    EXPECT_EQ("\"\\302\"", shownName("\xC2"));
    EXPECT_EQ("\"\\342\\200x\"", shownName("\xE2\x80x"));
    EXPECT_EQ("\"\\360\\237\\230\"", shownName("\xF0\x9F\x98"));
    // Overlong forms of '/' and of NUL, and code points above U+10FFFF.
    EXPECT_EQ("\"\\300\\257\\340\\200\\257\\300\\200\"", shownName("\xC0\xAF\xE0\x80\xAF\xC0\x80"));
    EXPECT_EQ("\"\\364\\220\\200\\200\\370\\210\\200\\200\\200\"",
              shownName("\xF4\x90\x80\x80\xF8\x88\x80\x80\x80"));
    // Surrogates as the Windows build records unpaired ones: x<U+D800> and
    // x<U+DFFF> differ from each other and from x<U+FFFD>.
    EXPECT_EQ("\"x\\355\\240\\200\"", shownName("x\xED\xA0\x80"));
    EXPECT_EQ("\"x\\355\\277\\277\"", shownName("x\xED\xBF\xBF"));
    EXPECT_EQ("x\xEF\xBF\xBD", shownName("x\xEF\xBF\xBD"));
    // Valid characters around an invalid byte stand as they are.
    EXPECT_EQ("\"\xC3\xA9\\351\xE6\x97\xA5\"", shownName("\xC3\xA9\xE9\xE6\x97\xA5"));
}

}  // namespace
