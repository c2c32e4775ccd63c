#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "app/DetailText.h"
#include "app/DumpReader.h"
#include "app/EntryDetails.h"
#include "app/SnapshotException.h"
#include "support/DumpBytes.h"

namespace {

using com::quorvane::products::lumeno::DetailChange;
using com::quorvane::products::lumeno::detailChanges;
using com::quorvane::products::lumeno::DumpReader;
using com::quorvane::products::lumeno::EntryDetails;
using com::quorvane::products::lumeno::SnapshotException;

// A header written by hand: the fields named, in an order of its own, and
// one this program does not know ("colour", bytes) between them; then the
// facts about the scan: an unknown one, skipped, and the directories.
std::string header(const std::string& version = "\x01") {
    std::string bytes("\xFF\xFF\xFF\xFF", 4);
    bytes += version;
    bytes += '\x04';
    bytes += std::string("\x04") + "mode" + "N";
    bytes += std::string("\x06") + "colour" + "B";
    bytes += std::string("\x0A") + "last write" + "S";
    bytes += std::string("\x0B") + "link target" + "B";
    bytes += '\x02';
    bytes += std::string("\x04") + "tide" + std::string("\x01") + "x";
    bytes += std::string("\x04") + "dirs" + std::string("\x05\x01") + "a" + std::string("\x02") + "bc";
    return bytes;
}

// A record with a details part: its byte count, then the fields.
std::string record(const std::string& path, std::uint64_t fingerprint, const std::string& fields) {
    return dumpRecord(path, fingerprint) + static_cast<char>(fields.size()) + fields;
}

// /a: mode 04755 (0xED 0x13), colour "red", last write -1 ns (zigzag 1);
// /b: link target "x\ny".
std::string detailedDump() {
    return header() + record("/a", 7, std::string("\x07\xED\x13\x03red\x01", 8)) +
           record("/b", 8, std::string("\x08\x03x\ny", 5));
}

TEST(DetailedDumpReading, FieldsAreReadByNameAndUnknownOnesSkipped) {
    ReadDump dump(detailedDump());
    DumpReader& reader = dump.reader;
    ASSERT_TRUE(reader.isDetailed());
    EXPECT_EQ(std::vector<std::string>({"a", "bc"}), reader.origin()->dirs);
    EXPECT_FALSE(reader.origin()->regdirs.has_value());
    EXPECT_EQ(2u, reader.entryCount());
    EXPECT_EQ("/a", reader.path());
    EXPECT_EQ(7u, reader.fingerprint());
    EntryDetails a = reader.details();
    EXPECT_EQ(04755u, a.number(EntryDetails::MODE));
    EXPECT_EQ(static_cast<std::uint64_t>(-1), a.number(EntryDetails::LAST_WRITE));
    EXPECT_FALSE(a.has(EntryDetails::LINK_TARGET));
    EXPECT_FALSE(a.has(EntryDetails::KIND));
    reader.advance();
    EXPECT_EQ("/b", reader.path());
    EXPECT_EQ(8u, reader.fingerprint());
    EntryDetails b = reader.details();
    EXPECT_EQ("x\ny", b.bytes(EntryDetails::LINK_TARGET));
    EXPECT_FALSE(b.has(EntryDetails::MODE));
    reader.advance();
    EXPECT_TRUE(reader.atEnd());

    std::vector<DetailChange> changes = detailChanges(a, b);
    ASSERT_EQ(3u, changes.size());
    EXPECT_EQ("mode", std::string(changes[0].name));
    EXPECT_EQ("4755", changes[0].before);
    EXPECT_EQ("none", changes[0].after);
    EXPECT_EQ("\"x\\ny\"", changes[1].after);
    EXPECT_EQ("1969-12-31T23:59:59.999999999Z", changes[2].before);
}

TEST(DetailedDumpReading, EveryCutAndDamageIsCorruptButRecordBoundariesAreWhole) {
    const std::string whole = detailedDump();
    const std::size_t firstEnd = header().size() + 2 + 4 + 8 + 9;
    for (std::size_t size = 1; size < whole.size(); ++size) {
        const std::string cut = whole.substr(0, size);
        const bool boundary = size == header().size() || size == firstEnd;
        EXPECT_EQ(boundary ? "no exception" : "Error deserializing data. The data is corrupt.\n", readFailure(cut))
            << size;
    }
    const std::string corrupt = "Error deserializing data. The data is corrupt.\n";
    const std::string plainRecord = dumpRecord("/a", 1);
    EXPECT_EQ(corrupt, readFailure(header("\x02")));
    // A bit for a field the header does not have; bytes left behind the fields;
    // a number longer than 64 bits; a known name with another encoding.
    EXPECT_EQ(corrupt, readFailure(header() + record("/a", 1, "\x10")));
    EXPECT_EQ(corrupt, readFailure(header() + record("/a", 1, std::string("\x01\x05\x00", 3))));
    EXPECT_EQ(corrupt, readFailure(header() + record("/a", 1, "\x01\xFF\xFF\xFF\xFF\xFF\xFF\xFF\xFF\xFF\x02")));
    std::string wrongEncoding = header();
    wrongEncoding[wrongEncoding.find("modeN") + 4] = 'B';
    EXPECT_EQ(corrupt, readFailure(wrongEncoding));
    std::string unknownEncoding = header();
    unknownEncoding[unknownEncoding.find("colourB") + 6] = 'Q';
    EXPECT_EQ(corrupt, readFailure(unknownEncoding));
    // A plain record where a detailed one belongs.
    EXPECT_EQ(corrupt, readFailure(header() + plainRecord));
    // Content is a digest, a digest marked as taken while the file changed,
    // or nothing; any other length would be shown as a digest it is not.
    // One field, content, and no facts about the scan.
    const std::string contentHeader = std::string("\xFF\xFF\xFF\xFF\x01\x01\x07", 7) + "contentB" + std::string(1, '\0');
    const auto withContent = [&contentHeader](const std::string& content) {
        return contentHeader + record("/a", 1, "\x01" + std::string(1, static_cast<char>(content.size())) + content);
    };
    const std::string digest(32, '\xAB');
    for (const std::string& content : {std::string(), digest, digest + "C"}) {
        EXPECT_EQ("no exception", readFailure(withContent(content))) << content.size();
    }
    for (const std::string& content : {digest.substr(1), digest + "X", digest + digest}) {
        EXPECT_EQ(corrupt, readFailure(withContent(content))) << content.size();
    }
}

}  // namespace
