#ifndef VESTIGA_APP_DUMPCOMPARE_H
#define VESTIGA_APP_DUMPCOMPARE_H

#include <vector>

#include "app/SnapshotDifference.h"

namespace com {
namespace quorvane {
namespace products {
namespace lumeno {

class DumpReader;
class IgnorePatternList;

// What changed from the old dump to the new one, in one merge pass over both
// readers from their first paths: all creations, then all deletions, then
// all modifications, each ordered by path. The readers end at their ends.
// Between two detailed dumps, a path is modified when its fingerprint or
// any of its details differ, and its difference tells which details; a
// plain dump against a detailed one compares on the fingerprints alone.
std::vector<SnapshotDifference> compare(DumpReader& oldDump, DumpReader& newDump);

// Drops the differences whose paths an ignore pattern matches, keeping the
// order of the rest.
void removeIgnored(std::vector<SnapshotDifference>& differences, const IgnorePatternList& ignorePatterns);

}  // namespace lumeno
}  // namespace products
}  // namespace quorvane
}  // namespace com

#endif
