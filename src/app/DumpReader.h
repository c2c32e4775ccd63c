#ifndef VESTIGA_APP_DUMPREADER_H
#define VESTIGA_APP_DUMPREADER_H

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string_view>
#include <vector>

#include "app/DumpOrigin.h"
#include "app/EntryDetails.h"
#include "app/Fingerprint.h"

namespace com {
namespace quorvane {
namespace products {
namespace lumeno {

// The records of a dump file, read where they lie: a cursor that gives every
// path once, in byte order, with the fingerprint of its last record. No path
// is copied; the views it gives lie in the bytes it was made over, which
// must outlive it. A detailed dump is read the same way, behind its header,
// and gives the details of each path as well.
//
// Invariants:
// - every record in [_begin, _end) was checked whole when the reader was made;
// - _index is empty when the records never go backwards (repeats next to each
//   other allowed); then _position is the offset of the first record of the
//   current path, _current that of its last record and _following the offset
//   after it; _repeats tells whether any record has the path of the one
//   before it;
// - otherwise _index holds, in path order, the offset of the last record of
//   every path, and _position is the current place in it;
// - at the end, _position is the size of the bytes, or of _index.
class DetailedDumpFormat;

class DumpReader {
public:
    // Checks every record of [begin, end), and the header of a detailed
    // dump: throws SnapshotException with the corrupt data message when one
    // is cut short or damaged. Records that go backwards
    // cost an index of one offset per record, sorted once here.
    DumpReader(const char* begin, const char* end);

    DumpReader(const DumpReader&) = delete;
    DumpReader& operator=(const DumpReader&) = delete;
    ~DumpReader();

    // The number of distinct paths.
    std::uint64_t entryCount() const;

    bool atEnd() const;
    // The current path and its fingerprint; not at the end.
    std::string_view path() const;
    Fingerprint fingerprint() const;
    // Whether the dump is a detailed one.
    bool isDetailed() const;
    // Whether its records hold the digests of the files' content.
    bool holdsContent() const;
    // The details of the current path; not at the end, in a detailed dump.
    EntryDetails details() const;
    // What a detailed dump records about its scan; null for a plain dump.
    const DumpOrigin* origin() const;
    // The bytes of the header's list of fields, and of the current path's
    // details part: two dumps with the same list hold the same details in
    // the same bytes.
    std::string_view layoutBytes() const;
    std::string_view detailBytes() const;
    void advance();
    // Back to the first path.
    void rewind();

private:
    std::string_view pathAt(std::uint64_t offset) const;
    std::uint64_t recordEnd(std::uint64_t offset) const;
    std::uint64_t currentRecord() const;
    std::uint64_t detailsOffset() const;
    // Places the cursor on the path whose first record starts at _position.
    void settle();
    void sortIndex();

    const char* _begin;
    std::uint64_t _size;
    std::unique_ptr<DetailedDumpFormat> _format;
    // Where the first record starts: behind the header of a detailed dump.
    std::uint64_t _recordsStart;
    std::uint64_t _entryCount;
    std::vector<std::uint64_t> _index;
    bool _repeats;
    std::uint64_t _position;
    std::uint64_t _current;
    std::uint64_t _following;
};

}  // namespace lumeno
}  // namespace products
}  // namespace quorvane
}  // namespace com

#endif
