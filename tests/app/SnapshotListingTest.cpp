#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "app/SnapshotImpl.h"
#include "support/CollectingMessageOutput.h"
#include "support/DumpBytes.h"

namespace {

TEST(SnapshotListing, LineIsSixteenUpperCaseHexDigitsBlankPathLineFeed) {
    EXPECT_EQ("0102030405060708 C:\\a.txt\n", snapshotOf({{"C:\\a.txt", 0x0102030405060708ull}})->toString());
    EXPECT_EQ("0000000000000000 HKEY_USERS\n", snapshotOf({{"HKEY_USERS", 0}})->toString());
    EXPECT_EQ("00000000FFFFFFFF x\n", snapshotOf({{"x", 0x00000000FFFFFFFFull}})->toString());
    EXPECT_EQ("FFFFFFFF00000000 x\n", snapshotOf({{"x", 0xFFFFFFFF00000000ull}})->toString());
    EXPECT_EQ("ABCDEF0123456789 x\n", snapshotOf({{"x", 0xABCDEF0123456789ull}})->toString());
    EXPECT_EQ("0000000000000001 a b \n", snapshotOf({{"a b ", 1}})->toString());
}

TEST(SnapshotListing, PrintWritesOneMessagePerLineInPathOrder) {
    const auto snapshot = snapshotOf({{"b", 0xB}, {"a", 0xA}, {"C", 0xC}});
    CollectingMessageOutput output;
    snapshot->print(output);
    EXPECT_EQ(std::vector<std::string>(
                  {"000000000000000C C\n", "000000000000000A a\n", "000000000000000B b\n"}),
              output.messages);
    EXPECT_EQ(snapshot->toString(), output.text());
}

TEST(SnapshotListing, EmptySnapshotListsNothing) {
    const auto snapshot = snapshotOf({});
    CollectingMessageOutput output;
    snapshot->print(output);
    EXPECT_TRUE(output.messages.empty());
    EXPECT_EQ("", snapshot->toString());
}

}  // namespace
