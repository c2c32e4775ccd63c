#include <gtest/gtest.h>

#include <map>
#include <random>
#include <string>
#include <vector>

#include "app/DumpReader.h"
#include "app/SnapshotException.h"
#include "support/DumpBytes.h"

namespace {

using com::quorvane::products::lumeno::DumpReader;
using com::quorvane::products::lumeno::SnapshotException;

const std::string corruptMessage = "Error deserializing data. The data is corrupt.\n";

// C:\a.txt with fingerprint 0x0102030405060708 and HKEY_USERS with 0.
const unsigned char exampleBytes[] = {
    0x08, 0x00, 0x00, 0x00, 0x43, 0x3A, 0x5C, 0x61, 0x2E, 0x74, 0x78, 0x74, 0x08, 0x07,
    0x06, 0x05, 0x04, 0x03, 0x02, 0x01, 0x0A, 0x00, 0x00, 0x00, 0x48, 0x4B, 0x45, 0x59,
    0x5F, 0x55, 0x53, 0x45, 0x52, 0x53, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00};

const std::string example(reinterpret_cast<const char*>(exampleBytes), sizeof exampleBytes);

std::vector<std::string> pathsOf(const std::string& bytes) {
    ReadDump dump(bytes);
    std::vector<std::string> paths;
    for (const auto& entry : entriesOf(dump.reader)) paths.push_back(entry.first);
    return paths;
}

TEST(DumpFormat, ExampleFileReadsAsTwoEntriesAndWritesBackByteForByte) {
    EXPECT_EQ(std::vector<std::string>({"C:\\a.txt", "HKEY_USERS"}), pathsOf(example));
    EXPECT_EQ(example, rewritten(example));
    EXPECT_EQ(example, dumpOf({{"C:\\a.txt", 0x0102030405060708ull}, {"HKEY_USERS", 0}}));
    EXPECT_EQ(example, rewritten(dumpOf({{"HKEY_USERS", 0}, {"C:\\a.txt", 0x0102030405060708ull}})));
}

// Every block but the last is 2 MiB, at an offset that is a multiple of it,
// however the records fall across the blocks' ends; none is lost or doubled.
TEST(DumpFormat, DumpIsWrittenInWholeBlocksOfTwoMebibytes) {
    Entries entries;
    std::mt19937 random(7);
    for (std::size_t total = 0; total < (7u << 20);) {
        entries.emplace_back(std::to_string(entries.size()) + std::string(random() % 9000, 'p'), random());
        total += 12 + entries.back().first.size();
    }
    std::string written;
    std::vector<std::size_t> sizes;
    com::quorvane::products::lumeno::DumpWriter writer([&](const char* data, std::size_t size) {
        written.append(data, size);
        sizes.push_back(size);
        return true;
    });
    for (const auto& entry : entries) writer.add(entry.first, entry.second);
    writer.finish();
    EXPECT_EQ(dumpOf(entries), written);
    ASSERT_EQ(4u, sizes.size());
    for (std::size_t i = 0; i + 1 < sizes.size(); ++i) EXPECT_EQ(std::size_t(2) << 20, sizes[i]) << i;
}

TEST(DumpFormat, NoBytesReadAsNoEntriesAndWriteNoBytes) {
    DumpReader fromNull(nullptr, nullptr);
    EXPECT_TRUE(fromNull.atEnd());
    EXPECT_TRUE(pathsOf("").empty());
    EXPECT_EQ("", rewritten(""));
}

TEST(DumpFormat, TruncatedDataIsRejected) {
    const std::string record = dumpRecord("C:\\dir", 7);
    for (const std::string& trailing : {std::string(1, '\x01'), std::string(2, '\0'), std::string(3, '\x7f')}) {
        EXPECT_EQ(corruptMessage, readFailure(record + trailing)) << trailing.size() << " trailing bytes";
    }
    EXPECT_EQ(corruptMessage, readFailure(record.substr(0, record.size() - 1))) << "fingerprint one byte short";
    EXPECT_EQ(corruptMessage, readFailure(record.substr(0, 4))) << "no fingerprint";
    EXPECT_EQ(corruptMessage, readFailure(record.substr(0, 6))) << "path cut short";
    EXPECT_EQ(corruptMessage, readFailure(record + record.substr(0, 9))) << "second record cut short";
}

TEST(DumpFormat, DeclaredLengthBeyondTheDataIsRejectedWithoutReadingPastIt) {
    // Behind the declared end lie bytes that would complete the record: a
    // reader that looks past the end would accept them.
    const std::string whole = dumpRecord("abcdef", 1);
    const std::string cut = whole.substr(0, 4 + 3);
    EXPECT_EQ(corruptMessage, readFailure(cut));
    try {
        DumpReader dump(whole.data(), whole.data() + cut.size());
        ADD_FAILURE() << "accepted";
    } catch (const SnapshotException& e) {
        EXPECT_EQ(corruptMessage, e.getMessage());
    }
}

TEST(DumpFormat, LengthNearTheTopOfTheRangeIsRejected) {
    // 4 + 0xFFFFFFFF wraps to 3 in 32 bits.
    const std::string padding(40, 'p');
    for (std::uint64_t length : {0xFFFFFFFFull, 0xFFFFFFFCull, 0xFFFFFFF4ull, 0x80000000ull}) {
        std::string bytes;
        appendLittleEndian(bytes, length, 4);
        EXPECT_EQ(corruptMessage, readFailure(bytes + padding)) << length;
        EXPECT_EQ(corruptMessage, readFailure(dumpRecord("a", 1) + bytes + padding)) << length << " second record";
    }
}

TEST(DumpFormat, EmptyPathIsAnEntry) {
    const std::string bytes = dumpRecord("", 5);
    EXPECT_EQ(12u, bytes.size());
    EXPECT_EQ(std::vector<std::string>({""}), pathsOf(bytes));
    EXPECT_EQ(bytes, rewritten(bytes));
}

TEST(DumpFormat, RecordsInAnyOrderAreWrittenSorted) {
    EXPECT_EQ(dumpOf({{"a", 1}, {"b", 2}, {"c", 3}, {"d", 4}}),
              rewritten(dumpOf({{"c", 3}, {"a", 1}, {"d", 4}, {"b", 2}})));
}

TEST(DumpFormat, DuplicatePathKeepsTheLaterFingerprint) {
    EXPECT_EQ(dumpOf({{"a", 2}}), rewritten(dumpOf({{"a", 1}, {"a", 2}})));
    EXPECT_EQ(dumpOf({{"a", 3}, {"b", 2}}), rewritten(dumpOf({{"a", 1}, {"b", 2}, {"a", 3}})));
    EXPECT_EQ(dumpOf({{"a", 0}, {"b", 2}}), rewritten(dumpOf({{"b", 2}, {"a", 7}, {"a", 0}})));
}

// Dumps out of order as they come: many paths sharing long runs of bytes at
// every depth, a few that leave the run early or end inside it, repeats, and
// bytes at both ends of the range. They read as the map of their paths, in
// which the later record of a path wins.
TEST(DumpFormat, RecordsOutOfOrderReadAsTheSortedMapOfTheirLastRecords) {
    std::mt19937 random(20261210);
    const std::vector<std::string> parts = {"/volume-",      "/project-files/sources/file-", "\\", "a", "", ".bin",
                                            std::string(1, '\0'), "\xFF", "\x7F\x80", "0", "9"};
    for (int round = 0; round < 40; ++round) {
        // The run most paths of this round start with; one in forty leaves
        // it at some byte.
        std::string run;
        for (int piece = 0; piece < round % 5; ++piece) run += parts[random() % parts.size()] + "/common";
        std::vector<std::string> pool;
        const std::size_t records = 1 + random() % 3000;
        std::map<std::string, std::uint64_t> expected;
        Entries entries;
        for (std::size_t i = 0; i < records; ++i) {
            std::string path;
            if (!pool.empty() && random() % 8 == 0) {
                path = pool[random() % pool.size()];
                if (random() % 2 == 0) path.resize(random() % (path.size() + 1));
            } else {
                path = run;
                if (!path.empty() && random() % 40 == 0) path[random() % path.size()] ^= 1 + random() % 255;
                const int pieces = static_cast<int>(random() % 6);
                for (int piece = 0; piece < pieces; ++piece) {
                    path += parts[random() % parts.size()];
                    path += std::to_string(random() % (round % 4 == 0 ? 3 : 100));
                }
            }
            pool.push_back(path);
            const std::uint64_t fingerprint = random();
            entries.emplace_back(path, fingerprint);
            expected[path] = fingerprint;
        }
        ReadDump dump(entries);
        const Entries read = entriesOf(dump.reader);
        ASSERT_EQ(Entries(expected.begin(), expected.end()), read) << "round " << round;
        EXPECT_EQ(expected.size(), dump.reader.entryCount());
    }
}

TEST(DumpFormat, PathsAreOrderedByUnsignedBytes) {
    const std::string bytes = dumpOf(
        {{"aa", 0}, {"\xE4", 0}, {"aB", 0}, {"a", 0}, {"\x80", 0}, {"B", 0}, {"b", 0}, {"z", 0}, {"a\xFF", 0}});
    EXPECT_EQ(std::vector<std::string>({"B", "a", "aB", "aa", "a\xFF", "b", "z", "\x80", "\xE4"}), pathsOf(bytes));
}

TEST(DumpFormat, PathBytesAreKeptAsTheyAre) {
    const std::string path("C:\\\xC4rger\\\0x\r\n", 13);
    const std::string bytes = dumpRecord(path, 0xFFFFFFFFFFFFFFFFull);
    EXPECT_EQ(std::vector<std::string>({path}), pathsOf(bytes));
    EXPECT_EQ(bytes, rewritten(bytes));
}

}  // namespace
