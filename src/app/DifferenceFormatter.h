#ifndef VESTIGA_APP_DIFFERENCEFORMATTER_H
#define VESTIGA_APP_DIFFERENCEFORMATTER_H

#include <string>
#include <vector>

#include "app/SnapshotDifference.h"

namespace com {
namespace quorvane {
namespace products {
namespace lumeno {

// One line per difference, in the given order: "CRE ", "DEL " or "MOD ",
// the path as shown, "\n".
std::string formatDifferences(const std::vector<SnapshotDifference>& differences);

}  // namespace lumeno
}  // namespace products
}  // namespace quorvane
}  // namespace com

#endif
