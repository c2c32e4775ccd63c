#ifndef VESTIGA_APP_IGNOREPATTERNS_H
#define VESTIGA_APP_IGNOREPATTERNS_H

#include <list>
#include <string>
#include <vector>

#include <boost/regex.hpp>

#include "app/IsIgnored.h"

namespace com {
namespace quorvane {
namespace products {
namespace lumeno {

class FileLoader;
class MessageOutput;

// Compiled regular expressions, in the order of the lines of the ignore file.
class IgnorePatternList {
public:
    typedef std::list<boost::regex>::const_iterator const_iterator;

    // Compiles `pattern` with the default Perl-style options and appends it.
    // Throws SnapshotException naming the pattern if it does not compile.
    void append(const std::string& pattern);

    const_iterator begin() const { return _patterns.begin(); }
    const_iterator end() const { return _patterns.end(); }
    // For each pattern in order, the texts one of which every name it
    // matches whole begins with; "" where that cannot be told from the
    // pattern's text.
    const std::vector<std::vector<std::string>>& literalStarts() const { return _literalStarts; }

    // True when some pattern certainly ignores every path below the
    // directory `dir`, whose children are `dir`, `separator` and a name; the
    // rule is stated at `appendSubtreeRule`. A `dir` that ends in
    // `separator` is never answered true.
    bool ignoresEverythingBelow(const std::string& dir, char separator) const;

private:
    // The part of a pattern before its suffix that takes in every path
    // below, and the separator that suffix begins with.
    struct SubtreeRule {
        boost::regex rest;
        char separator;
    };

    void appendSubtreeRule(const std::string& pattern);

    std::list<boost::regex> _patterns;
    std::vector<std::vector<std::string>> _literalStarts;
    // One rule per pattern that gives one, in the order of the patterns.
    std::vector<SubtreeRule> _subtreeRules;
};

// Loads the ignore file `fileName` through `loader` and appends one pattern
// per non-empty line to `ignorePatterns`, reporting progress on `output`.
// Gives the file's bytes.
std::string loadIgnorePatterns(MessageOutput& output, FileLoader& loader, const std::string& fileName,
                        IgnorePatternList& ignorePatterns);

}  // namespace lumeno
}  // namespace products
}  // namespace quorvane
}  // namespace com

#endif
