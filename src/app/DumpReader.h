#ifndef VESTIGA_APP_DUMPREADER_H
#define VESTIGA_APP_DUMPREADER_H

#include <cstddef>
#include <cstdint>
#include <string_view>
#include <vector>

#include "app/Fingerprint.h"

namespace com {
namespace quorvane {
namespace products {
namespace lumeno {

// The records of a dump file, read where they lie: a cursor that gives every
// path once, in byte order, with the fingerprint of its last record. No path
// is copied; the views it gives lie in the bytes it was made over, which
// must outlive it.
//
// Invariants:
// - every record in [_begin, _end) was checked whole when the reader was made;
// - _index is empty when the records never go backwards (repeats next to each
//   other allowed); then _position is the offset of the first record of the
//   current path, _current that of its last record and _following the offset
//   after it;
// - otherwise _index holds, in path order, the offset of the last record of
//   every path, and _position is the current place in it;
// - at the end, _position is the size of the bytes, or of _index.
class DumpReader {
public:
    // Checks every record of [begin, end): throws SnapshotException with the
    // corrupt data message when one is cut short. Records that go backwards
    // cost an index of one offset per record, sorted once here.
    DumpReader(const char* begin, const char* end);

    DumpReader(const DumpReader&) = delete;
    DumpReader& operator=(const DumpReader&) = delete;

    // The number of distinct paths.
    std::uint64_t entryCount() const;

    bool atEnd() const;
    // The current path and its fingerprint; not at the end.
    std::string_view path() const;
    Fingerprint fingerprint() const;
    void advance();
    // Back to the first path.
    void rewind();

private:
    std::string_view pathAt(std::uint64_t offset) const;
    std::uint64_t recordEnd(std::uint64_t offset) const;
    // Places the cursor on the path whose first record starts at _position.
    void settle();
    void sortIndex();

    const char* _begin;
    std::uint64_t _size;
    std::uint64_t _entryCount;
    std::vector<std::uint64_t> _index;
    std::uint64_t _position;
    std::uint64_t _current;
    std::uint64_t _following;
};

}  // namespace lumeno
}  // namespace products
}  // namespace quorvane
}  // namespace com

#endif
