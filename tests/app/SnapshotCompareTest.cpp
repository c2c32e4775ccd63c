#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <string>
#include <utility>
#include <vector>

#include "app/DumpCompare.h"
#include "app/IgnorePatterns.h"
#include "support/DumpBytes.h"

namespace {

using namespace com::quorvane::products::lumeno;

std::string label(DifferenceKind kind) {
    switch (kind) {
        case CREATED: return "CRE";
        case DELETED: return "DEL";
        case MODIFIED: return "MOD";
    }
    return "kind " + std::to_string(static_cast<int>(kind));
}

// "CRE path" etc., one element per difference, in result order.
std::vector<std::string> describe(const std::vector<SnapshotDifference>& differences) {
    std::vector<std::string> lines;
    for (const SnapshotDifference& difference : differences) {
        lines.push_back(label(difference.kind) + " " + std::string(difference.path));
    }
    return lines;
}

typedef std::vector<std::string> Lines;

Lines differencesOf(const Entries& before, const Entries& after) {
    ReadDump oldDump(before), newDump(after);
    return describe(compare(oldDump.reader, newDump.reader));
}

const Entries full = {{"C:\\b", 2}, {"C:\\a", 1}, {"HKEY_USERS", 0}};

TEST(SnapshotCompare, EmptyOldSnapshotMakesEveryNewPathCreated) {
    EXPECT_EQ(Lines({"CRE C:\\a", "CRE C:\\b", "CRE HKEY_USERS"}),
              differencesOf({}, full));
}

TEST(SnapshotCompare, EmptyNewSnapshotMakesEveryOldPathDeleted) {
    EXPECT_EQ(Lines({"DEL C:\\a", "DEL C:\\b", "DEL HKEY_USERS"}),
              differencesOf(full, {}));
}

TEST(SnapshotCompare, IdenticalSnapshotsHaveNoDifferences) {
    EXPECT_TRUE(differencesOf(full, full).empty());
    EXPECT_TRUE(differencesOf(full, {{"C:\\a", 1}, {"C:\\b", 2}, {"HKEY_USERS", 0}}).empty());
    EXPECT_TRUE(differencesOf({}, {}).empty());
}

TEST(SnapshotCompare, PathsDifferingInCaseAreDifferentPaths) {
    const Entries before = {{"C:\\A", 1}};
    const Entries after = {{"C:\\a", 1}};
    EXPECT_EQ(Lines({"CRE C:\\a", "DEL C:\\A"}), differencesOf(before, after));
}

TEST(SnapshotCompare, OnlyAChangedFingerprintMakesACommonPathModified) {
    const Entries before = {{"same", 5}, {"changed", 0x0000000100000000ull}, {"low", 1}};
    const Entries after = {{"same", 5}, {"changed", 0}, {"low", 2}};
    EXPECT_EQ(Lines({"MOD changed", "MOD low"}), differencesOf(before, after));
}

TEST(SnapshotCompare, ResultIsGroupedByKindAndSortedWithinEachGroup) {
    const Entries before = {{"a", 1}, {"c", 1}, {"e", 1}, {"g", 1}, {"h", 1}, {"k", 1}};
    const Entries after = {{"b", 1}, {"c", 2}, {"d", 1}, {"g", 2}, {"h", 1}, {"i", 1}, {"z", 1}};
    EXPECT_EQ(Lines({"CRE b", "CRE d", "CRE i", "CRE z", "DEL a", "DEL e", "DEL k", "MOD c", "MOD g"}),
              differencesOf(before, after));
}

TEST(SnapshotCompare, MergeFollowsTheUnsignedByteOrder) {
    const Entries before = {{"\x80", 1}, {"a", 1}, {"B", 1}};
    const Entries after = {{"\x80", 2}, {"b", 1}, {"B", 1}, {"\xFF", 1}};
    EXPECT_EQ(Lines({"CRE b", "CRE \xFF", "DEL a", "MOD \x80"}), differencesOf(before, after));
}

// Records out of path order are read through a sorted index of them.
TEST(SnapshotCompare, DumpsReadFromRecordsInAnyOrderCompareByPathAndFingerprint) {
    Entries sorted, scattered;
    for (int i = 0; i < 40; ++i) {
        const std::string path = "p" + std::to_string(100 + i);
        sorted.push_back({path, static_cast<std::uint64_t>(i)});
        scattered.push_back({path, static_cast<std::uint64_t>(i == 7 ? 99 : i)});
    }
    std::reverse(scattered.begin(), scattered.end());
    std::swap(scattered[3], scattered[30]);
    // The later of two records of a path wins.
    scattered.insert(scattered.begin(), {"p120", 77});
    scattered.push_back({"p150", 1});
    scattered.erase(scattered.begin() + 10);  // p130

    EXPECT_EQ(Lines({"CRE p150", "DEL p130", "MOD p107"}), differencesOf(sorted, scattered));
    EXPECT_EQ(Lines({"CRE p130", "DEL p150", "MOD p107"}), differencesOf(scattered, sorted));
    EXPECT_TRUE(differencesOf(scattered, scattered).empty());
}

// Of equal paths the last record wins, whether the repeats stand next to each
// other in an ascending dump or apart in one that goes backwards; the
// differences carry both sides' fingerprints.
TEST(SnapshotCompare, TheLastOfEqualPathsWinsAndDifferencesCarryBothFingerprints) {
    const Entries before = {{"a", 1}, {"a", 2}, {"a b", 1}, {"a-b", 1}, {"a.b", 1}, {"a/x", 1}, {"a/x", 3}};
    const Entries backwards = {{"a/x", 9}, {"a.b", 1}, {"a-b", 1}, {"a", 5}, {"a/x", 3}, {"a b", 1}, {"a", 2}};
    EXPECT_TRUE(differencesOf(before, backwards).empty());
    ReadDump oldDump(before);
    ReadDump newDump(Entries{{"", 0}, {"", 0}, {"a", 2}, {"a/x", 4}, {"a/x", 7}});
    EXPECT_EQ(5u, oldDump.reader.entryCount());
    EXPECT_EQ(3u, newDump.reader.entryCount());
    const std::vector<SnapshotDifference> differences = compare(oldDump.reader, newDump.reader);
    EXPECT_EQ(Lines({"CRE ", "DEL a b", "DEL a-b", "DEL a.b", "MOD a/x"}), describe(differences));
    EXPECT_EQ(3u, differences.back().before);
    EXPECT_EQ(7u, differences.back().after);
    EXPECT_EQ(1u, differences[1].before);
}

TEST(SnapshotCompare, IgnoredDifferencesAreRemovedInOrder) {
    ReadDump oldDump(Entries{{"C:\\temp", 1}, {"C:\\x", 1}});
    ReadDump newDump(Entries{{"C:\\temp\\y", 1}, {"C:\\x", 2}, {"D:\\y", 1}});
    std::vector<SnapshotDifference> differences = compare(oldDump.reader, newDump.reader);
    IgnorePatternList patterns;
    patterns.append("C:\\\\temp.*");
    removeIgnored(differences, patterns);
    EXPECT_EQ(Lines({"CRE D:\\y", "MOD C:\\x"}), describe(differences));
}

}  // namespace
