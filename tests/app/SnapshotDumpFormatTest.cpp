#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "app/SnapshotException.h"
#include "app/SnapshotImpl.h"
#include "support/DumpBytes.h"

namespace {

using com::quorvane::products::lumeno::SnapshotException;
using com::quorvane::products::lumeno::SnapshotImpl;

const std::string corruptMessage = "Error deserializing data. The data is corrupt.\n";

// C:\a.txt with fingerprint 0x0102030405060708 and HKEY_USERS with 0.
const unsigned char exampleBytes[] = {
    0x08, 0x00, 0x00, 0x00, 0x43, 0x3A, 0x5C, 0x61, 0x2E, 0x74, 0x78, 0x74, 0x08, 0x07,
    0x06, 0x05, 0x04, 0x03, 0x02, 0x01, 0x0A, 0x00, 0x00, 0x00, 0x48, 0x4B, 0x45, 0x59,
    0x5F, 0x55, 0x53, 0x45, 0x52, 0x53, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00};

const std::string example(reinterpret_cast<const char*>(exampleBytes), sizeof exampleBytes);

std::vector<std::string> pathsOf(const SnapshotImpl& snapshot) {
    return std::vector<std::string>(snapshot.getPaths()->begin(), snapshot.getPaths()->end());
}

// The message of the SnapshotException that reading `bytes` throws.
std::string readFailure(const std::string& bytes) {
    try {
        SnapshotImpl snapshot(bytes.data(), bytes.data() + bytes.size());
    } catch (const SnapshotException& e) {
        return e.getMessage();
    }
    return "no exception";
}

TEST(SnapshotDumpFormat, ExampleFileReadsAsTwoEntriesAndWritesBackByteForByte) {
    const auto snapshot = snapshotFromBytes(example);
    EXPECT_EQ(std::vector<std::string>({"C:\\a.txt", "HKEY_USERS"}), pathsOf(*snapshot));
    EXPECT_EQ("0102030405060708 C:\\a.txt\n0000000000000000 HKEY_USERS\n", snapshot->toString());
    EXPECT_EQ(example, serialized(*snapshot));
}

TEST(SnapshotDumpFormat, WriterProducesTheExampleBytes) {
    EXPECT_EQ(example, dumpOf({{"C:\\a.txt", 0x0102030405060708ull}, {"HKEY_USERS", 0}}));
    const auto snapshot = snapshotOf({{"HKEY_USERS", 0}, {"C:\\a.txt", 0x0102030405060708ull}});
    EXPECT_EQ(example, serialized(*snapshot));
}

TEST(SnapshotDumpFormat, SerializeAppendsToWhatIsThere) {
    const auto snapshot = snapshotFromBytes(example);
    std::vector<char> out = {'x', 'y'};
    snapshot->serialize(out);
    EXPECT_EQ("xy" + example, std::string(out.begin(), out.end()));
}

TEST(SnapshotDumpFormat, NoBytesMakeAnEmptySnapshotThatWritesNoBytes) {
    SnapshotImpl fromNull(nullptr, nullptr);
    EXPECT_TRUE(fromNull.getPaths()->empty());
    const auto snapshot = snapshotFromBytes("");
    EXPECT_TRUE(snapshot->getPaths()->empty());
    EXPECT_EQ("", serialized(*snapshot));
    EXPECT_EQ("", snapshot->toString());
    EXPECT_EQ(0u, snapshot->getApproximateSize());
}

TEST(SnapshotDumpFormat, TruncatedDataIsRejected) {
    const std::string record = dumpRecord("C:\\dir", 7);
    for (const std::string& trailing : {std::string(1, '\x01'), std::string(2, '\0'), std::string(3, '\x7f')}) {
        EXPECT_EQ(corruptMessage, readFailure(record + trailing)) << trailing.size() << " trailing bytes";
    }
    EXPECT_EQ(corruptMessage, readFailure(record.substr(0, record.size() - 1))) << "fingerprint one byte short";
    EXPECT_EQ(corruptMessage, readFailure(record.substr(0, 4))) << "no fingerprint";
    EXPECT_EQ(corruptMessage, readFailure(record.substr(0, 6))) << "path cut short";
    EXPECT_EQ(corruptMessage, readFailure(record + record.substr(0, 9))) << "second record cut short";
}

TEST(SnapshotDumpFormat, DeclaredLengthBeyondTheDataIsRejectedWithoutReadingPastIt) {
    // Behind the declared end lie bytes that would complete the record: a
    // reader that looks past the end would accept them.
    const std::string whole = dumpRecord("abcdef", 1);
    const std::string cut = whole.substr(0, 4 + 3);
    EXPECT_EQ(corruptMessage, readFailure(cut));
    try {
        SnapshotImpl snapshot(whole.data(), whole.data() + cut.size());
        ADD_FAILURE() << "accepted";
    } catch (const SnapshotException& e) {
        EXPECT_EQ(corruptMessage, e.getMessage());
    }
}

TEST(SnapshotDumpFormat, LengthNearTheTopOfTheRangeIsRejected) {
    // 4 + 0xFFFFFFFF wraps to 3 in 32 bits.
    const std::string padding(40, 'p');
    for (std::uint64_t length : {0xFFFFFFFFull, 0xFFFFFFFCull, 0xFFFFFFF4ull, 0x80000000ull}) {
        std::string bytes;
        appendLittleEndian(bytes, length, 4);
        EXPECT_EQ(corruptMessage, readFailure(bytes + padding)) << length;
        EXPECT_EQ(corruptMessage, readFailure(dumpRecord("a", 1) + bytes + padding)) << length << " second record";
    }
}

TEST(SnapshotDumpFormat, EmptyPathIsAnEntry) {
    const std::string bytes = dumpRecord("", 5);
    EXPECT_EQ(12u, bytes.size());
    const auto snapshot = snapshotFromBytes(bytes);
    EXPECT_EQ(std::vector<std::string>({""}), pathsOf(*snapshot));
    EXPECT_EQ("0000000000000005 \n", snapshot->toString());
    EXPECT_EQ(bytes, serialized(*snapshot));
}

TEST(SnapshotDumpFormat, RecordsInAnyOrderAreWrittenSorted) {
    const auto snapshot = snapshotOf({{"c", 3}, {"a", 1}, {"d", 4}, {"b", 2}});
    EXPECT_EQ(dumpOf({{"a", 1}, {"b", 2}, {"c", 3}, {"d", 4}}), serialized(*snapshot));
}

TEST(SnapshotDumpFormat, DuplicatePathKeepsTheLaterFingerprint) {
    EXPECT_EQ(dumpOf({{"a", 2}}), serialized(*snapshotOf({{"a", 1}, {"a", 2}})));
    EXPECT_EQ(dumpOf({{"a", 3}, {"b", 2}}), serialized(*snapshotOf({{"a", 1}, {"b", 2}, {"a", 3}})));
    EXPECT_EQ(dumpOf({{"a", 0}, {"b", 2}}), serialized(*snapshotOf({{"b", 2}, {"a", 7}, {"a", 0}})));
}

TEST(SnapshotDumpFormat, PathsAreOrderedByUnsignedBytes) {
    const auto snapshot = snapshotOf(
        {{"aa", 0}, {"\xE4", 0}, {"aB", 0}, {"a", 0}, {"\x80", 0}, {"B", 0}, {"b", 0}, {"z", 0}, {"a\xFF", 0}});
    EXPECT_EQ(std::vector<std::string>({"B", "a", "aB", "aa", "a\xFF", "b", "z", "\x80", "\xE4"}), pathsOf(*snapshot));
}

TEST(SnapshotDumpFormat, PathBytesAreKeptAsTheyAre) {
    const std::string path("C:\\\xC4rger\\\0x\r\n", 13);
    const auto snapshot = snapshotOf({{path, 0xFFFFFFFFFFFFFFFFull}});
    EXPECT_EQ(std::vector<std::string>({path}), pathsOf(*snapshot));
    EXPECT_EQ(dumpRecord(path, 0xFFFFFFFFFFFFFFFFull), serialized(*snapshot));
}

TEST(SnapshotDumpFormat, ApproximateSizeCoversEveryPathAndFingerprintOnce) {
    const std::string longPath(100, 'x');
    const auto one = snapshotOf({{longPath, 1}});
    const auto two = snapshotOf({{longPath, 1}, {"y", 2}});
    EXPECT_GE(one->getApproximateSize(), 100u + 12u);
    EXPECT_GE(two->getApproximateSize(), one->getApproximateSize() + 1u + 12u);
    EXPECT_LT(two->getApproximateSize(), 2 * (100u + 12u));
    // A path read twice is one entry.
    EXPECT_EQ(two->getApproximateSize(), snapshotOf({{"y", 1}, {longPath, 1}, {"y", 2}})->getApproximateSize());
}

}  // namespace
