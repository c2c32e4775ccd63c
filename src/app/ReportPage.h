#ifndef VESTIGA_APP_REPORTPAGE_H
#define VESTIGA_APP_REPORTPAGE_H

#include <string>
#include <vector>

#include "app/SnapshotDifference.h"

namespace com {
namespace quorvane {
namespace products {
namespace lumeno {

class DumpReader;

// The report page: one self-contained HTML file whose script draws the tree
// of paths from the data written here.

// The page of a comparison: both dump files with their entry counts and the
// differences shown, with the old and new fingerprint of every modified path.
std::string comparisonPage(const std::string& oldFile, const DumpReader& oldDump, const std::string& newFile,
                           const DumpReader& newDump, const std::vector<SnapshotDifference>& differences);

// The page of the listing of one dump, read from its first path: every entry
// with its fingerprint.
std::string listingPage(const std::string& file, DumpReader& dump);

}  // namespace lumeno
}  // namespace products
}  // namespace quorvane
}  // namespace com

#endif
