#ifndef VESTIGA_APP_ISIGNORED_H
#define VESTIGA_APP_ISIGNORED_H

#include <string>

namespace com {
namespace quorvane {
namespace products {
namespace lumeno {

// The compiled patterns of the ignore file; defined in app/IgnorePatterns.h.
class IgnorePatternList;

// True when one of the patterns matches `name` as a whole, case-sensitively.
// Throws SnapshotException when the regular expression library gives up on
// a match (for instance on runaway backtracking).
bool isIgnored(const std::string& name, const IgnorePatternList& ignorePatterns);

// True when the patterns certainly ignore every path below the directory
// `dir`, whose children are `dir`, `separator` and a name; false whenever
// that is not certain. Throws as isIgnored does.
bool isEverythingBelowIgnored(const std::string& dir, char separator, const IgnorePatternList& ignorePatterns);

}  // namespace lumeno
}  // namespace products
}  // namespace quorvane
}  // namespace com

#endif
