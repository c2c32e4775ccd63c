// Any bytes: either rejected as corrupt, or records, sorted or not, repeated
// or not, that the writer makes a dump of which reads back to the same
// entries and the same bytes, and is no longer than what was read
// (duplicates go, nothing is added). A detailed
// dump is either rejected or read whole: every record's details, and their
// listing and differences, come from bytes that were checked.
#include <cstdint>
#include <cstdlib>
#include <memory>
#include <string>
#include <vector>

#include "app/DetailText.h"
#include "app/DumpReader.h"
#include "app/SnapshotException.h"
#include "app/DumpWriter.h"
#include "app/Listing.h"

using namespace com::quorvane::products::lumeno;

namespace {

void readDetailed(const char* begin, std::size_t size) {
    std::unique_ptr<DumpReader> made;
    try {
        made.reset(new DumpReader(begin, begin + size));
    } catch (const SnapshotException&) {
        return;
    }
    // A dump that was accepted reads whole: a failure now would be half a
    // report.
    DumpReader& reader = *made;
    if (!reader.isDetailed()) std::abort();
    std::string listing = originLines("Dump", *reader.origin());
    EntryDetails previous;
    std::uint64_t count = 0;
    for (; !reader.atEnd(); reader.advance(), ++count) {
        const EntryDetails details = reader.details();
        appendDetailedListingLine(listing, reader.path(), details);
        detailChanges(previous, details);
        previous = details;
    }
    if (count != reader.entryCount()) std::abort();
}

// The plain dump and the listing of what `reader` reads.
void rewrite(DumpReader& reader, std::string& dump, std::string& listing) {
    DumpWriter writer([&dump](const char* data, std::size_t size) {
        dump.append(data, size);
        return true;
    });
    std::uint64_t count = 0;
    for (; !reader.atEnd(); reader.advance(), ++count) {
        writer.add(reader.path(), reader.fingerprint());
        appendListingLine(listing, reader.path(), reader.fingerprint());
    }
    writer.finish();
    if (count != reader.entryCount()) std::abort();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const char* begin = reinterpret_cast<const char*>(data);
    if (size >= 4 && std::string(begin, 4) == "\xFF\xFF\xFF\xFF") {
        readDetailed(begin, size);
        return 0;
    }
    std::string first;
    std::string listing;
    try {
        DumpReader reader(begin, begin + size);
        rewrite(reader, first, listing);
    } catch (const SnapshotException&) {
        return 0;
    }
    DumpReader again(first.data(), first.data() + first.size());
    std::string second;
    std::string listingAgain;
    rewrite(again, second, listingAgain);
    if (first.size() > size || first != second || listing != listingAgain) std::abort();
    return 0;
}
