#ifndef VESTIGA_APP_DIFFERENCEFORMATTER_H
#define VESTIGA_APP_DIFFERENCEFORMATTER_H

#include <string>
#include <vector>

#include "app/SnapshotDifference.h"

namespace com {
namespace quorvane {
namespace products {
namespace lumeno {

class IgnorePatternList;

// One line per difference whose path is not ignored, in the given order:
// "CRE ", "DEL " or "MOD ", the path, "\n".
std::string formatDifferences(const std::vector<SnapshotDifference>& differences,
                              const IgnorePatternList& ignorePatterns);

}  // namespace lumeno
}  // namespace products
}  // namespace quorvane
}  // namespace com

#endif
