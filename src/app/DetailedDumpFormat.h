#ifndef VESTIGA_APP_DETAILEDDUMPFORMAT_H
#define VESTIGA_APP_DETAILEDDUMPFORMAT_H

#include <cstdint>
#include <memory_resource>
#include <string>
#include <utility>
#include <vector>

#include "app/DumpOrigin.h"
#include "app/EntryDetails.h"

namespace com {
namespace quorvane {
namespace products {
namespace lumeno {

// The layout of a detailed dump. It starts with a header:
//   - 0xFFFFFFFF in 4 bytes, where a plain dump has the length of its first
//     path, so that a reader of plain dumps finds it cut short;
//   - the version, a number (1);
//   - the number of fields, a number (at most 64), and for each field its
//     name's length as a number, the name, and one byte for its encoding:
//     'N' a number, 'S' a signed number (zigzag), 'B' bytes (their count as
//     a number, then the bytes);
//   - the number of facts about the scan, a number (at most 64), and for
//     each its name's length as a number, the name, its value's length as a
//     number and the value: "program version", "host name" and "scan
//     started" (UTC, "YYYY-MM-DDTHH:MM:SS.fffffffZ") as texts, "dirs" and
//     "regdirs" as lists (each element its length as a number, then its
//     bytes), "ignore file SHA-256" as the 32 bytes of the digest.
// Then come the records in path order, each a plain record (path length in
// 4 bytes, path, fingerprint in 8 bytes, little-endian) followed by its
// details: their byte count as a number, then a number whose bit i says
// that field i of the header is present, then the present fields in header
// order. A number is unsigned LEB128, at most 10 bytes; times are signed
// numbers. A reader skips the fields and facts whose names it does not
// know; anything out of place is corrupt data.
class DetailedDumpFormat {
public:
    // True when the bytes of a dump begin as a detailed dump does.
    static bool startsDetailed(const char* begin, const char* end);
    // Appends the header this program writes, with the facts `origin` holds;
    // only that of a content dump lists EntryDetails::CONTENT.
    static void appendHeader(std::string& out, const DumpOrigin& origin, bool withContent);
    // Adds the field of bytes `field` with `value` to a details part made by
    // appendDetails that holds no field numbered as high: the extended
    // attributes and the content, which a scan reads apart from its walk.
    static void addBytes(std::string& details, EntryDetails::Field field, const std::string& value);
    // Appends an extended attribute to a list for
    // EntryDetails::EXTENDED_ATTRIBUTES.
    static void appendAttribute(std::string& list, const std::string& name, std::uint64_t digest);
    // The attributes of such a list, checked when it was read, as (name, digest).
    static std::vector<std::pair<std::string, std::uint64_t>> attributes(const std::string& list);
    // Appends the details part of a record.
    static void appendDetails(std::string& out, const EntryDetails& details);

    // Reads the header at the start of [begin, end). Throws SnapshotException
    // with the corrupt data message when it is damaged or cut short.
    DetailedDumpFormat(const char* begin, const char* end);

    // Whether the header lists `field`.
    bool holds(EntryDetails::Field field) const;
    // The size of the header, and of its part up to the end of the fields:
    // two dumps with the same such part hold the same details in the same bytes.
    std::uint64_t headerSize() const;
    std::uint64_t layoutSize() const;
    // The facts about the scan the header holds.
    const DumpOrigin& origin() const;
    // The size of the details part that starts at `at`, with `available`
    // bytes behind it; checks every field. Throws SnapshotException when
    // they do not fit or are damaged.
    std::uint64_t checkDetails(const char* at, std::uint64_t available) const;
    // The size of the details part at `at`, checked before by checkDetails.
    std::uint64_t detailsSize(const char* at) const;
    // The details part at `at`, checked before by checkDetails.
    EntryDetails readDetails(const char* at) const;

private:
    struct Column {
        int field;  // an EntryDetails::Field, or -1 for a field this program does not know
        char encoding;
    };

    // Reads the details at [at, at + available), filling `details` if not null.
    std::uint64_t parse(const char* at, std::uint64_t available, EntryDetails* details) const;

    std::vector<Column> _columns;
    // Bit i: column i holds bytes.
    std::uint64_t _bytesColumns = 0;
    std::uint64_t _layoutSize;
    std::uint64_t _headerSize;
    DumpOrigin _origin;
};

}  // namespace lumeno
}  // namespace products
}  // namespace quorvane
}  // namespace com

#endif
