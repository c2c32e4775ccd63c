#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "support/CapturedStdout.h"
#include "util/parser/StringTokenizerImpl.h"

namespace {

std::vector<std::string> allTokens(const std::string& text, const std::string& delimiters) {
    StringTokenizerImpl tokenizer(text, delimiters);
    std::vector<std::string> tokens;
    while (tokenizer.hasMoreTokens()) tokens.push_back(tokenizer.nextToken());
    return tokens;
}

typedef std::vector<std::string> Tokens;

TEST(StringTokenizerImpl, TextWithoutTokensHasNone) {
    for (const std::string text : {"", "\r\n", "\n\n\r\r\n"}) {
        StringTokenizerImpl tokenizer(text, "\r\n");
        EXPECT_FALSE(tokenizer.hasMoreTokens()) << text.size();
        EXPECT_EQ(0u, tokenizer.countTokens()) << text.size();
    }
}

TEST(StringTokenizerImpl, RunsOfDelimitersCollapseAndEndsProduceNothing) {
    EXPECT_EQ(Tokens({"a", "b"}), allTokens("a\r\n\r\nb\r\n", "\r\n"));
    EXPECT_EQ(Tokens({"a", "b"}), allTokens(",,a,;,b;", ",;"));
    EXPECT_EQ(Tokens({"a", "b", "c"}), allTokens("a\rb\nc", "\n\r\n"));
}

TEST(StringTokenizerImpl, OnlyDelimiterCharactersSplit) {
    EXPECT_EQ(Tokens({"  x  "}), allTokens("\n  x  \r", "\r\n"));
    EXPECT_EQ(Tokens({"a\tb c"}), allTokens("a\tb c", "\r\n"));
}

TEST(StringTokenizerImpl, EmptyDelimiterSetMakesTheWholeTextOneToken) {
    StringTokenizerImpl tokenizer("a b\r\nc", "");
    EXPECT_EQ(1u, tokenizer.countTokens());
    EXPECT_EQ("a b\r\nc", tokenizer.nextToken());
    EXPECT_FALSE(tokenizer.hasMoreTokens());
}

TEST(StringTokenizerImpl, CountAndPeekDoNotMove) {
    StringTokenizerImpl tokenizer("a b c", " ");
    EXPECT_EQ(3u, tokenizer.countTokens());
    EXPECT_EQ("a", tokenizer.peekToken(0));
    EXPECT_EQ("a", tokenizer.nextToken());
    EXPECT_EQ(2u, tokenizer.countTokens());
    EXPECT_EQ("b", tokenizer.peekToken(0));
    EXPECT_EQ("c", tokenizer.peekToken(1));
    EXPECT_EQ(2u, tokenizer.countTokens());
    EXPECT_EQ("b", tokenizer.nextToken());
    EXPECT_EQ("c", tokenizer.nextToken());
    EXPECT_FALSE(tokenizer.hasMoreTokens());
    EXPECT_EQ(0u, tokenizer.countTokens());
}

TEST(StringTokenizerImpl, PeekJustBeyondTheLastTokenGivesAnEmptyStringWithoutReport) {
    StringTokenizerImpl tokenizer("a b", " ");
    std::string token = "unset";
    EXPECT_EQ("", capturedStdout([&] { token = tokenizer.peekToken(2); }));
    EXPECT_EQ("", token);
    EXPECT_EQ("a", tokenizer.nextToken());
}

TEST(StringTokenizerImpl, PeekFurtherAheadReportsTheFailedCheckAndGivesAnEmptyString) {
    StringTokenizerImpl tokenizer("a b", " ");
    std::string token = "unset";
    const std::string report = capturedStdout([&] { token = tokenizer.peekToken(3); });
    EXPECT_NE(std::string::npos, report.find("Assertion failed. Message: countTokens() >= tokensAheadOfNextToken\n"));
    EXPECT_EQ("", token);
    EXPECT_EQ("a", tokenizer.nextToken());
}

TEST(StringTokenizerImpl, NextTokenAfterTheLastReportsTheFailedCheckAndStaysAtTheEnd) {
    StringTokenizerImpl tokenizer("a", " ");
    EXPECT_EQ("a", tokenizer.nextToken());
    std::string token = "unset";
    const std::string report = capturedStdout([&] { token = tokenizer.nextToken(); });
    EXPECT_NE(std::string::npos, report.find("Assertion failed. Message: hasMoreTokens()\n"));
    EXPECT_EQ("", token);
    EXPECT_FALSE(tokenizer.hasMoreTokens());
    EXPECT_EQ(0u, tokenizer.countTokens());
}

}  // namespace
