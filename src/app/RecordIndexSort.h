#ifndef VESTIGA_APP_RECORDINDEXSORT_H
#define VESTIGA_APP_RECORDINDEXSORT_H

#include <cstdint>
#include <vector>

namespace com {
namespace quorvane {
namespace products {
namespace lumeno {

// Sorts the offsets of dump records, each the start of a checked record of
// the bytes at `begin`, by the byte order of their paths, and of records of
// equal paths keeps the offset of the last in the file alone.
//
// A dump out of order is most often one of millions of long paths that share
// most of their bytes, whose records lie anywhere in the file. A sort by
// comparisons would read two records per comparison, tens of millions of
// times, each a fresh cache line. This one is a radix sort from the front
// (an in-place American flag sort): each pass reads one byte of each record
// of a group, in loads that do not wait on each other, and a group whose
// records share bytes skips them all at once. It costs what the paths' bytes
// cost, whatever they hold, and two bytes an offset beside the offsets.
void sortByPath(std::vector<std::uint64_t>& offsets, const char* begin);

}  // namespace lumeno
}  // namespace products
}  // namespace quorvane
}  // namespace com

#endif
