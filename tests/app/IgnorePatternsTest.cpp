#include <gtest/gtest.h>

#include <stdexcept>
#include <string>
#include <vector>

#include <boost/regex.hpp>

#include "app/IgnorePatterns.h"
#include "app/SnapshotException.h"
#include "support/CollectingMessageOutput.h"
#include "support/InMemoryFileLoader.h"

namespace {

using namespace com::quorvane::products::lumeno;

const std::vector<std::string> allProgress = {"Loading ignore file.\n",
                                              "Compiling regular expressions in ignore file.\n",
                                              "Compiling done.\n"};

class IgnorePatterns : public testing::Test {
protected:
    // Loads `content` as the ignore file "ignore.txt" into `patterns`.
    void load(const std::string& content) {
        loader.add("ignore.txt", content);
        loadIgnorePatterns(output, loader, "ignore.txt", patterns);
    }

    bool ignores(const std::string& name) const { return isIgnored(name, patterns); }

    CollectingMessageOutput output;
    InMemoryFileLoader loader;
    IgnorePatternList patterns;
};

TEST_F(IgnorePatterns, EmptyFileGivesTheThreeProgressMessagesAndIgnoresNothing) {
    load("");
    EXPECT_EQ(allProgress, output.messages);
    EXPECT_EQ(1u, loader.requests.size());
    EXPECT_EQ("ignore.txt", loader.requests[0].first);
    EXPECT_EQ(0u, loader.requests[0].second);
    EXPECT_FALSE(ignores(""));
    EXPECT_FALSE(ignores("c:\\temp"));
}

TEST_F(IgnorePatterns, FileOfLineEndsOnlyIgnoresNothing) {
    load("\r\n\n\r\r\n");
    EXPECT_EQ(allProgress, output.messages);
    EXPECT_FALSE(ignores(""));
    EXPECT_FALSE(ignores("\r\n"));
}

void loadIgnoreFile(const std::string& content, IgnorePatternList& patterns) {
    CollectingMessageOutput output;
    InMemoryFileLoader loader;
    loader.add("ignore.txt", content);
    loadIgnorePatterns(output, loader, "ignore.txt", patterns);
}

// An ignore file, and names it must and must not ignore.
struct MatchRule {
    const char* rule;
    std::string ignoreFile;
    std::vector<std::string> ignored;
    std::vector<std::string> kept;
};

const MatchRule matchRules[] = {
    {"whole name only", "temp\nc:\\\\temp\n",
     {"temp", "c:\\temp"}, {"temp2", "xtemp", "c:\\temp\\a.txt", "d:\\c:\\temp"}},
    {"longest match from the start counts", "a|ab\n(c|cd)e?", {"ab", "cd", "cde"}, {"abc", "b"}},
    {"trailing wildcard covers everything below", "c:\\\\temp.*\r\n.*\\\\cache\\\\.*\r\n",
     {"c:\\temp", "c:\\temp\\a.txt", "d:\\x\\cache\\y"}, {"d:\\x\\cache"}},
    {"case-sensitive", "C:\\\\TEMP.*", {"C:\\TEMP\\a.txt"}, {"c:\\temp\\a.txt"}},
    {"single backslash is an escape", "c:\\temp", {"c:\temp"}, {"c:\\temp"}},
    {"blanks at the ends of a line belong to the pattern", "temp \n  \n\tx",
     {"temp ", "  ", "\tx"}, {"temp", " ", "   ", "x"}},
    {"empty name needs a pattern that matches the empty string", "a\n.+\n", {}, {""}},
    {"empty name is ignored by .*", ".*", {"", "anything"}, {}},
    {"a literal start ends before a quantifier, an alternation or an escape",
     "abc?\nxy*z\nq{0}r\nab|cd\nm(?i)N\na\\.b\n/proc(/.*)?", {"ab", "xz", "r", "cd", "mn", "a.b", "/proc/1"},
     {"abd", "xyy", "qr", "Mn", "axb", "/pro", "/procs"}},
    {"a leading group starts with one of its alternatives unless a quantifier or an option change follows",
     "(/root|/home/[^/]+)/\\.cache(/.*)?\n(?:ab|c)d\n(x|yz)?w\n(a(?i)b|c)\n(e|f)*g",
     {"/root/.cache", "/home/u/.cache/x", "abd", "cd", "w", "xw", "yzw", "aB", "C", "g", "efg"},
     {"/home/.cache", "/roots/.cache", "ad", "AB", "zw"}},
};

TEST(IgnorePatternMatching, NamesAreMatchedWholeAndCaseSensitively) {
    for (const MatchRule& rule : matchRules) {
        SCOPED_TRACE(rule.rule);
        IgnorePatternList patterns;
        loadIgnoreFile(rule.ignoreFile, patterns);
        for (const std::string& name : rule.ignored) EXPECT_TRUE(isIgnored(name, patterns)) << name;
        for (const std::string& name : rule.kept) EXPECT_FALSE(isIgnored(name, patterns)) << name;
    }
}

// One pattern, a directory and the separator its children are made with,
// and whether every path below it is certainly ignored.
struct SubtreeRuleCase {
    const char* pattern;
    const char* dir;
    char separator;
    bool everythingBelow;
};

const SubtreeRuleCase subtreeRuleCases[] = {
    {"d(/.*)?", "d", '/', true},
    {"/p/[^/]+/d/.*", "/p/x/d", '/', true},
    {"(?i)/D(/.*)", "/d", '/', true},
    {"/(?:a|b)(/.*)?", "/b", '/', true},
    {"C:\\\\Temp(\\\\.*)?", "C:\\Temp", '\\', true},
    {"C:\\\\Temp\\\\.*", "C:\\Temp", '/', false},
    {"d(/.*)?", "d/", '/', false},
    {"C:\\\\(\\\\.*)?", "C:\\", '\\', false},
    {"d", "d", '/', false},
    {"d|e(/.*)?", "d", '/', false},
    {"d|e(/.*)?", "e", '/', false},
    {"(?x)d#(/.*)?", "d", '/', false},
    {"(?-s)d(/.*)?", "d", '/', false},
    {"d(?=/x)(/.*)?", "d", '/', false},
    {"d(?!/x)(/.*)?", "d", '/', false},
    {"d$(/.*)?", "d", '/', false},
    {"d\\b(/.*)?", "d", '/', false},
    {"d.*+/.*", "dd", '/', false},
    {"(?>d.*)/.*", "dd", '/', false},
    {"d\\Q(/.*)?", "d", '/', false},
};

TEST(IgnorePatternSubtrees, OnlyAPatternWhoseRestCannotSeeItsEndingIgnoresAllBelow) {
    for (const SubtreeRuleCase& rule : subtreeRuleCases) {
        SCOPED_TRACE(std::string(rule.pattern) + " / " + rule.dir);
        IgnorePatternList patterns;
        patterns.append(rule.pattern);
        EXPECT_EQ(rule.everythingBelow, isEverythingBelowIgnored(rule.dir, rule.separator, patterns));
        if (rule.everythingBelow) {
            // The pattern itself agrees, for names that hold a line break and a NUL.
            for (const std::string& name : {std::string("x"), std::string("a\nb"), std::string("a\0b", 3)}) {
                EXPECT_TRUE(isIgnored(rule.dir + std::string(1, rule.separator) + name, patterns));
            }
        }
    }
}

std::vector<bool> ignoredFlags(const std::vector<std::string>& names, const IgnorePatternList& patterns) {
    std::vector<bool> flags;
    for (const std::string& name : names) flags.push_back(isIgnored(name, patterns));
    return flags;
}

TEST(IgnorePatternLineEnds, CrLfLfAndCrFilesBehaveAlike) {
    const std::vector<std::string> lines = {"c:\\\\temp.*", "x ", "HKEY_USERS\\\\S-1-5-18"};
    const std::vector<std::string> names = {"c:\\temp", "c:\\temp\\a", "x ", "x", "x \r", "HKEY_USERS\\S-1-5-18",
                                            "HKEY_USERS\\S-1-5-18\n", "\r\n"};
    const std::vector<bool> expected = {true, true, true, false, false, true, false, false};
    for (const std::string lineEnd : {"\r\n", "\n", "\r"}) {
        std::string content;
        for (const std::string& line : lines) content += line + lineEnd;
        IgnorePatternList patterns;
        loadIgnoreFile(content, patterns);
        const char* const lineEndName = lineEnd == "\r\n" ? "CR LF" : lineEnd == "\n" ? "LF" : "CR";
        EXPECT_EQ(expected, ignoredFlags(names, patterns)) << lineEndName;
    }
}

std::string compileError(const std::string& pattern) {
    try {
        boost::regex compiled(pattern);
    } catch (const boost::regex_error& e) {
        return e.what();
    }
    return "compiled";
}

TEST_F(IgnorePatterns, PatternThatDoesNotCompileIsNamedWithTheLibraryText) {
    const std::string bad = "c:\\\\temp[";
    const std::string libraryText = compileError(bad);
    ASSERT_NE("compiled", libraryText);
    try {
        load("first\r\nsecond.*\r\n" + bad + "\r\nfourth[\r\n");
        FAIL() << "accepted";
    } catch (const SnapshotException& e) {
        EXPECT_EQ("Error compiling regular expression: 'c:\\\\temp['\n" + libraryText + "\n", e.getMessage());
    }
    EXPECT_EQ(std::vector<std::string>(allProgress.begin(), allProgress.begin() + 2), output.messages);
}

TEST_F(IgnorePatterns, LoaderFailurePassesUnchanged) {
    try {
        loadIgnorePatterns(output, loader, "missing.txt", patterns);
        FAIL() << "loaded";
    } catch (const io::file::CouldNotLoadFileException& e) {
        EXPECT_EQ("Could not load 'missing.txt'", e.getMessage());
    }
    EXPECT_EQ(std::vector<std::string>({"Loading ignore file.\n"}), output.messages);
}

std::string matchError(const std::string& pattern, const std::string& name) {
    try {
        boost::regex_match(name.begin(), name.end(), boost::regex(pattern));
    } catch (const std::runtime_error& e) {
        return e.what();
    }
    return "matched without failure";
}

TEST_F(IgnorePatterns, FailedMatchNamesThePatternAndTheName) {
    const std::string name(30, 'a');
    const std::string libraryText = matchError("(a*)*b", name);
    ASSERT_NE("matched without failure", libraryText);
    load("x\n(a*)*b\n");
    try {
        ignores(name);
        FAIL() << "no failure";
    } catch (const SnapshotException& e) {
        EXPECT_EQ("Error matching regular expression: '(a*)*b' against the name '" + name + "'\n" + libraryText + "\n",
                  e.getMessage());
    }
    EXPECT_TRUE(ignores("x")) << "an earlier pattern decides before the failing one runs";
}

}  // namespace
