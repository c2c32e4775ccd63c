#include "app/IgnorePatterns.h"

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

void IgnorePatternList::append(const std::string& pattern) {
    try {
        _patterns.push_back(boost::regex(pattern));
    } catch (const boost::regex_error& e) {
        throw SnapshotException("Error compiling regular expression: '" + shownName(pattern) + "'\n" +
                                shownName(e.what()) + "\n");
    }
}

void loadIgnorePatterns(MessageOutput& output, FileLoader& loader, const std::string& fileName,
                        IgnorePatternList& ignorePatterns) {
    output.write("Loading ignore file.\n");
    const std::string text = loader.load(fileName, 0);
    output.write("Compiling regular expressions in ignore file.\n");
    // Carriage return and line feed each end a line; empty lines give nothing.
    StringTokenizerImpl lines(text, CRLF);
    while (lines.hasMoreTokens()) ignorePatterns.append(lines.nextToken());
    output.write("Compiling done.\n");
}

bool isIgnored(const std::string& name, const IgnorePatternList& ignorePatterns) {
    for (const boost::regex& pattern : ignorePatterns) {
        try {
            if (boost::regex_match(name.begin(), name.end(), pattern)) return true;
        } catch (const std::runtime_error& e) {
            throw SnapshotException("Error matching regular expression: '" + pattern.str() + "' against the name '" +
                                    shownName(name) + "'\n" + e.what() + "\n");
        }
    }
    return false;
}

}  // namespace lumeno
}  // namespace products
}  // namespace quorvane
}  // namespace com
