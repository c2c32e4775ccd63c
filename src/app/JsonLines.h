#ifndef VESTIGA_APP_JSONLINES_H
#define VESTIGA_APP_JSONLINES_H

#include <string>
#include <vector>

#include "app/SnapshotDifference.h"

namespace com {
namespace quorvane {
namespace products {
namespace lumeno {

class DumpReader;

// The reports for scripts: one JSON object a line, each ended by "\n". Paths
// are the recorded bytes as JSON strings (see appendJsonString), fingerprints
// 16 upper-case hexadecimal digits.

// One object per difference, in the order given:
// {"change":"modified","path":"C:\\a.txt","old":{"fingerprint":"..."},"new":{"fingerprint":"..."}}
// A creation has no "old", a deletion no "new".
std::string differenceLines(const std::vector<SnapshotDifference>& differences);

// One object per entry of `dump`, read from its first path:
// {"path":"C:\\a.txt","fingerprint":"0102030405060708"}
std::string listingLines(DumpReader& dump);

}  // namespace lumeno
}  // namespace products
}  // namespace quorvane
}  // namespace com

#endif
