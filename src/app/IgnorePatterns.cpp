#include "app/IgnorePatterns.h"

#include <algorithm>
#include <cstring>
#include <stdexcept>

#include "app/FileLoader.h"
#include "app/MessageOutput.h"
#include "util/NameQuoting.h"
#include "app/SnapshotException.h"
#include "util/Helpers.h"
#include "util/parser/StringTokenizerImpl.h"

namespace com {
namespace quorvane {
namespace products {
namespace lumeno {

namespace {

// The endings that take in every path below what comes before them, each
// with the separator it begins with.
const struct {
    const char* text;
    char separator;
} SUBTREE_SUFFIXES[] = {{"(/.*)?", '/'},     {"/.*", '/'},     {"(/.*)", '/'},
                        {"(\\\\.*)?", '\\'}, {"\\\\.*", '\\'}, {"(\\\\.*)", '\\'}};

bool endsWith(const std::string& text, const char* suffix) {
    const std::size_t length = std::strlen(suffix);
    return text.size() >= length && text.compare(text.size() - length, length, suffix) == 0;
}

// Where the character class that opens at `open` ends: at the first ']'
// that is neither its first character nor part of an escape or of a
// "[:name:]" inside it; npos where it does not end.
std::size_t classEnd(const std::string& pattern, std::size_t open) {
    std::size_t j = open + 1;
    if (j < pattern.size() && pattern[j] == '^') ++j;
    if (j < pattern.size() && pattern[j] == ']') ++j;
    while (j < pattern.size() && pattern[j] != ']') {
        if (pattern[j] == '\\') {
            ++j;
        } else if (pattern[j] == '[' && j + 1 < pattern.size() && std::strchr(":.=", pattern[j + 1]) != nullptr) {
            const std::size_t close = pattern.find(std::string(1, pattern[j + 1]) + "]", j + 2);
            if (close == std::string::npos) return std::string::npos;
            j = close + 2;
            continue;
        }
        ++j;
    }
    return j < pattern.size() ? j : std::string::npos;
}

// True when nothing in `rest` can see or change what is matched after it:
// no alternation outside parentheses and brackets, no group that starts
// with "(?" other than "(?:", "(?i)" and "(?-i)" (which refuses option
// changes, lookarounds, atomic groups, comments and conditionals), no
// backtracking verb, no assertion that looks ahead ("$", "\z", "\Z", "\b",
// "\B", "\<", "\>", "\'"), no "\G", "\K" or "\Q", no possessive quantifier,
// and no escape left open at the end.
bool isSelfContained(const std::string& rest) {
    int depth = 0;
    for (std::size_t i = 0; i < rest.size(); ++i) {
        const char c = rest[i];
        if (c == '\\') {
            if (i + 1 == rest.size()) return false;
            const char escaped = rest[i + 1];
            if (std::strchr("zZbBGKQ<>'", escaped) != nullptr) return false;
            if (std::strchr("cpP", escaped) != nullptr && i + 2 == rest.size()) return false;
            ++i;
        } else if (c == '[') {
            i = classEnd(rest, i);
            if (i == std::string::npos) return false;
        } else if (c == '(') {
            if (rest.compare(i, 4, "(?i)") == 0) {
                i += 3;
            } else if (rest.compare(i, 5, "(?-i)") == 0) {
                i += 4;
            } else if (rest.compare(i, 3, "(?:") == 0) {
                ++depth;
                i += 2;
            } else if (rest.compare(i, 2, "(?") == 0 || rest.compare(i, 2, "(*") == 0) {
                return false;
            } else {
                ++depth;
            }
        } else if (c == ')') {
            if (--depth < 0) return false;
        } else if (c == '|') {
            if (depth == 0) return false;
        } else if (c == '$') {
            return false;
        } else if (std::strchr("*+?}", c) != nullptr && i + 1 < rest.size() && rest[i + 1] == '+') {
            return false;
        }
    }
    return depth == 0;
}

// What every name that `pattern` matches whole begins with: the plain
// characters it starts with, less the last one where a quantifier follows
// it; "" where an alternation or an option change could undo that
// (isSelfContained), or where the pattern starts with anything else.
std::string literalPrefix(const std::string& pattern) {
    if (!isSelfContained(pattern)) return std::string();
    const std::size_t plain = pattern.find_first_of("\\^$.|?*+()[]{}");
    if (plain == std::string::npos) return pattern;
    std::size_t length = plain;
    if (length > 0 && std::strchr("?*+{", pattern[plain]) != nullptr) --length;
    return pattern.substr(0, length);
}

// What every name that `pattern` matches whole begins with one of. A
// self-contained pattern that opens with a group of alternatives, matched
// once ("(/root|/home/[^/]+)/x", "(?:a|b)c"), begins with the literal
// prefix of one of them; any other pattern with its own literal prefix. An
// option change in the group holds for the alternatives after it as well, so
// a pattern with one is left to its own prefix.
std::vector<std::string> startsOf(const std::string& pattern) {
    const std::size_t open = pattern.compare(0, 3, "(?:") == 0 ? 3 : 1;
    if (pattern.empty() || pattern[0] != '(' || (open == 1 && pattern.compare(0, 2, "(?") == 0) ||
        pattern.find("(?i)") != std::string::npos || pattern.find("(?-i)") != std::string::npos ||
        !isSelfContained(pattern)) {
        return {literalPrefix(pattern)};
    }
    std::vector<std::string> starts;
    std::size_t alternative = open;
    int depth = 0;
    for (std::size_t i = open; i < pattern.size(); ++i) {
        const char c = pattern[i];
        if (c == '\\') {
            ++i;
        } else if (c == '[') {
            i = classEnd(pattern, i);
        } else if (c == '(') {
            ++depth;
        } else if (c == ')' && depth > 0) {
            --depth;
        } else if ((c == '|' || c == ')') && depth == 0) {
            starts.push_back(literalPrefix(pattern.substr(alternative, i - alternative)));
            alternative = i + 1;
            if (c == '|') continue;
            if (i + 1 < pattern.size() && std::strchr("?*+{", pattern[i + 1]) != nullptr) break;
            return starts;
        }
    }
    return {std::string()};
}

}  // namespace

void IgnorePatternList::append(const std::string& pattern) {
    try {
        _patterns.push_back(boost::regex(pattern));
    } catch (const boost::regex_error& e) {
        throw SnapshotException("Error compiling regular expression: '" + shownName(pattern) + "'\n" +
                                shownName(e.what()) + "\n");
    }
    _literalStarts.push_back(startsOf(pattern));
    appendSubtreeRule(pattern);
}

// A pattern that ends in "(/.*)?", "/.*" or "(/.*)", or in one of these
// with "\\\\" (which matches one backslash) for the slash, matches
// P + separator + any name
// whenever the rest before that ending matches P whole: the rest and the
// ending are then matched one after the other, and the default "." matches
// every character, line breaks and NUL included. That holds only when the
// rest cannot see or change its ending (isSelfContained) and compiles on its
// own with the same options. Every other pattern gives no rule, and a
// directory it might keep something below is walked.
void IgnorePatternList::appendSubtreeRule(const std::string& pattern) {
    for (const auto& suffix : SUBTREE_SUFFIXES) {
        if (!endsWith(pattern, suffix.text)) continue;
        const std::string rest = pattern.substr(0, pattern.size() - std::strlen(suffix.text));
        if (!isSelfContained(rest)) return;
        try {
            _subtreeRules.push_back(SubtreeRule{boost::regex(rest), suffix.separator});
        } catch (const boost::regex_error&) {
        }
        return;
    }
}

bool IgnorePatternList::ignoresEverythingBelow(const std::string& dir, char separator) const {
    if (!dir.empty() && dir.back() == separator) return false;
    for (const SubtreeRule& rule : _subtreeRules) {
        if (rule.separator != separator) continue;
        try {
            if (boost::regex_match(dir.begin(), dir.end(), rule.rest)) return true;
        } catch (const std::runtime_error& e) {
            throw SnapshotException("Error matching regular expression: '" + rule.rest.str() + "' against the name '" +
                                    shownName(dir) + "'\n" + e.what() + "\n");
        }
    }
    return false;
}

std::string loadIgnorePatterns(MessageOutput& output, FileLoader& loader, const std::string& fileName,
                               IgnorePatternList& ignorePatterns) {
    output.write("Loading ignore file.\n");
    const std::string text = loader.load(fileName, 0);
    output.write("Compiling regular expressions in ignore file.\n");
    // Carriage return and line feed each end a line; empty lines give nothing.
    StringTokenizerImpl lines(text, CRLF);
    while (lines.hasMoreTokens()) ignorePatterns.append(lines.nextToken());
    output.write("Compiling done.\n");
    return text;
}

// A name that begins with none of a pattern's literal starts is not matched
// by it: most names are told so without the regular expression.
bool isIgnored(const std::string& name, const IgnorePatternList& ignorePatterns) {
    auto starts = ignorePatterns.literalStarts().begin();
    for (const boost::regex& pattern : ignorePatterns) {
        const std::vector<std::string>& patternStarts = *starts++;
        if (std::none_of(patternStarts.begin(), patternStarts.end(), [&name](const std::string& start) {
                return name.compare(0, start.size(), start) == 0;
            })) {
            continue;
        }
        try {
            if (boost::regex_match(name.begin(), name.end(), pattern)) return true;
        } catch (const std::runtime_error& e) {
            throw SnapshotException("Error matching regular expression: '" + pattern.str() + "' against the name '" +
                                    shownName(name) + "'\n" + e.what() + "\n");
        }
    }
    return false;
}

bool isEverythingBelowIgnored(const std::string& dir, char separator, const IgnorePatternList& ignorePatterns) {
    return ignorePatterns.ignoresEverythingBelow(dir, separator);
}

}  // namespace lumeno
}  // namespace products
}  // namespace quorvane
}  // namespace com
