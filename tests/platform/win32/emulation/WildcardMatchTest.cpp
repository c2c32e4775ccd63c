#include <gtest/gtest.h>

#include "platform/win32/emulation/WildcardMatch.h"

namespace {

using platform::matchesWildcard;

TEST(WildcardMatch, StarMatchesAnyRunIncludingNone) {
    EXPECT_TRUE(matchesWildcard("*", "anything.txt"));
    EXPECT_TRUE(matchesWildcard("*", "."));
    EXPECT_TRUE(matchesWildcard("*", ".."));
    EXPECT_TRUE(matchesWildcard("*.txt", ".txt"));
    EXPECT_TRUE(matchesWildcard("a*b*c", "abc"));
    EXPECT_TRUE(matchesWildcard("a*b*c", "aXXbYYbZc"));
    EXPECT_TRUE(matchesWildcard("**x", "x"));
    EXPECT_FALSE(matchesWildcard("*.txt", "a.txt.bak"));
    EXPECT_FALSE(matchesWildcard("a*b*c", "aXXbYYc-"));
}

TEST(WildcardMatch, QuestionMarkMatchesExactlyOneCharacter) {
    EXPECT_TRUE(matchesWildcard("?.dat", "a.dat"));
    EXPECT_FALSE(matchesWildcard("?.dat", ".dat"));
    EXPECT_FALSE(matchesWildcard("?.dat", "ab.dat"));
    EXPECT_TRUE(matchesWildcard("*?", "a"));
    EXPECT_FALSE(matchesWildcard("*?", ""));
}

TEST(WildcardMatch, OtherCharactersMatchThemselvesRegardlessOfAsciiCase) {
    EXPECT_TRUE(matchesWildcard("Report.TXT", "report.txt"));
    EXPECT_TRUE(matchesWildcard("*.txt", "NOTES.TXT"));
    EXPECT_FALSE(matchesWildcard("report.txt", "report.txx"));
    EXPECT_FALSE(matchesWildcard("\xc4*", "\xe4.txt"));
    EXPECT_TRUE(matchesWildcard("[a].txt", "[a].txt"));
    EXPECT_FALSE(matchesWildcard("[a].txt", "a.txt"));
}

TEST(WildcardMatch, StarDotStarMatchesNamesWithoutADotToo) {
    EXPECT_TRUE(matchesWildcard("*.*", "README"));
    EXPECT_TRUE(matchesWildcard("*.*", "a.b"));
}

TEST(WildcardMatch, EmptyMaskMatchesNothing) { EXPECT_FALSE(matchesWildcard("", "a")); }

}  // namespace
