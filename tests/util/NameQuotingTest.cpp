#include <gtest/gtest.h>

#include <string>

#include "util/NameQuoting.h"

namespace {


TEST(NameQuoting, OrdinaryNamesStandAsTheyAre) {
    for (const std::string name : {"C:\\dir\\file.txt", "/usr/lib/x86_64", "tab\there", "quote\"inside",
                                   "caf\xC3\xA9 \xE6\x97\xA5\xE6\x9C\xAC \xF0\x9F\x98\x80", "\xC2\xA0nbsp",
                                   "\xE2\x80\x8D joiner", "\xE2\x81\xAA", "\xD8\x9B", "\xC2", "\xE2\x80", "",
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

}  // namespace
