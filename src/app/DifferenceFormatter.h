#ifndef VESTIGA_APP_DIFFERENCEFORMATTER_H
#define VESTIGA_APP_DIFFERENCEFORMATTER_H

#include <string>
#include <vector>

#include "app/MessageOutput.h"
#include "app/SnapshotDifference.h"

namespace com {
namespace quorvane {
namespace products {
namespace lumeno {

// One line per difference, in the given order: "CRE ", "DEL " or "MOD ",
// the path as shown, "\n"; below a modification, a line for each detail
// that changed. They go to `output` a block of 64 KiB at a time, so that a
// report of millions of lines takes no more memory than one.
void writeDifferences(const std::vector<SnapshotDifference>& differences, MessageOutput& output);

}  // namespace lumeno
}  // namespace products
}  // namespace quorvane
}  // namespace com

#endif
