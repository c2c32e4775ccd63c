#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "app/Listing.h"
#include "support/CollectingMessageOutput.h"
#include "support/DumpBytes.h"

namespace {

std::string listingOf(const Entries& entries) {
    ReadDump dump(entries);
    CollectingMessageOutput output;
    printListing(dump.reader, output);
    return output.text();
}

TEST(SnapshotListing, LineIsSixteenUpperCaseHexDigitsBlankPathLineFeed) {
    EXPECT_EQ("0102030405060708 C:\\a.txt\n", listingOf({{"C:\\a.txt", 0x0102030405060708ull}}));
    EXPECT_EQ("0000000000000000 HKEY_USERS\n", listingOf({{"HKEY_USERS", 0}}));
    EXPECT_EQ("00000000FFFFFFFF x\n", listingOf({{"x", 0x00000000FFFFFFFFull}}));
    EXPECT_EQ("FFFFFFFF00000000 x\n", listingOf({{"x", 0xFFFFFFFF00000000ull}}));
    EXPECT_EQ("ABCDEF0123456789 x\n", listingOf({{"x", 0xABCDEF0123456789ull}}));
    EXPECT_EQ("0000000000000001 a b \n", listingOf({{"a b ", 1}}));
}

// Ascending records with repeats next to each other stream; records that go
// backwards are sorted, the later of equal paths winning; a run of millions of
// empty paths lists once. The listing goes out in blocks, not a write per line.
TEST(SnapshotListing, PrintListsEveryPathOnceInPathOrderWithItsLastFingerprint) {
    ReadDump backwards(Entries{{"b", 0xB}, {"a", 0xA}, {"C", 0xC}, {"a", 0xAA}, {"b/", 1}, {"b", 0xBB}});
    CollectingMessageOutput output;
    printListing(backwards.reader, output);
    EXPECT_EQ("000000000000000C C\n00000000000000AA a\n00000000000000BB b\n0000000000000001 b/\n", output.text());
    EXPECT_EQ(1u, output.messages.size());

    ReadDump repeated(Entries{{"a", 1}, {"a", 2}, {"a", 3}, {"b", 1}, {"b", 2}});
    CollectingMessageOutput repeatedOutput;
    printListing(repeated.reader, repeatedOutput);
    EXPECT_EQ("0000000000000003 a\n0000000000000002 b\n", repeatedOutput.text());

    ReadDump zeros(std::string(12 * 1000000, '\0'));
    EXPECT_EQ(1u, zeros.reader.entryCount());
    CollectingMessageOutput zerosOutput;
    printListing(zeros.reader, zerosOutput);
    EXPECT_EQ("0000000000000000 \n", zerosOutput.text());
}

TEST(SnapshotListing, EmptyDumpListsNothing) {
    ReadDump dump(Entries{});
    CollectingMessageOutput output;
    printListing(dump.reader, output);
    EXPECT_TRUE(output.messages.empty());
}

}  // namespace
