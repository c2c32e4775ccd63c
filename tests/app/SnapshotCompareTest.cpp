#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <string>
#include <utility>
#include <vector>

#include "app/SnapshotImpl.h"
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
        lines.push_back(label(difference.kind) + " " + difference.path);
    }
    return lines;
}

typedef std::vector<std::string> Lines;

const Entries full = {{"C:\\b", 2}, {"C:\\a", 1}, {"HKEY_USERS", 0}};

TEST(SnapshotCompare, EmptyOldSnapshotMakesEveryNewPathCreated) {
    EXPECT_EQ(Lines({"CRE C:\\a", "CRE C:\\b", "CRE HKEY_USERS"}),
              describe(snapshotOf({})->compare(*snapshotOf(full))));
}

TEST(SnapshotCompare, EmptyNewSnapshotMakesEveryOldPathDeleted) {
    EXPECT_EQ(Lines({"DEL C:\\a", "DEL C:\\b", "DEL HKEY_USERS"}),
              describe(snapshotOf(full)->compare(*snapshotOf({}))));
}

TEST(SnapshotCompare, IdenticalSnapshotsHaveNoDifferences) {
    const auto snapshot = snapshotOf(full);
    EXPECT_TRUE(snapshot->compare(*snapshot).empty());
    EXPECT_TRUE(snapshot->compare(*snapshotFromBytes(serialized(*snapshot))).empty());
    EXPECT_TRUE(snapshotOf({})->compare(*snapshotOf({})).empty());
}

TEST(SnapshotCompare, PathsDifferingInCaseAreDifferentPaths) {
    const auto before = snapshotOf({{"C:\\A", 1}});
    const auto after = snapshotOf({{"C:\\a", 1}});
    EXPECT_EQ(Lines({"CRE C:\\a", "DEL C:\\A"}), describe(before->compare(*after)));
}

TEST(SnapshotCompare, OnlyAChangedFingerprintMakesACommonPathModified) {
    const auto before = snapshotOf({{"same", 5}, {"changed", 0x0000000100000000ull}, {"low", 1}});
    const auto after = snapshotOf({{"same", 5}, {"changed", 0}, {"low", 2}});
    EXPECT_EQ(Lines({"MOD changed", "MOD low"}), describe(before->compare(*after)));
}

TEST(SnapshotCompare, ResultIsGroupedByKindAndSortedWithinEachGroup) {
    const auto before = snapshotOf({{"a", 1}, {"c", 1}, {"e", 1}, {"g", 1}, {"h", 1}, {"k", 1}});
    const auto after = snapshotOf({{"b", 1}, {"c", 2}, {"d", 1}, {"g", 2}, {"h", 1}, {"i", 1}, {"z", 1}});
    EXPECT_EQ(Lines({"CRE b", "CRE d", "CRE i", "CRE z", "DEL a", "DEL e", "DEL k", "MOD c", "MOD g"}),
              describe(before->compare(*after)));
}

TEST(SnapshotCompare, MergeFollowsTheUnsignedByteOrder) {
    const auto before = snapshotOf({{"\x80", 1}, {"a", 1}, {"B", 1}});
    const auto after = snapshotOf({{"\x80", 2}, {"b", 1}, {"B", 1}, {"\xFF", 1}});
    EXPECT_EQ(Lines({"CRE b", "CRE \xFF", "DEL a", "MOD \x80"}), describe(before->compare(*after)));
}

// Records out of path order leave the elements scattered in memory, so the
// fingerprint of each one has to be searched for rather than followed to.
TEST(SnapshotCompare, SnapshotsReadFromRecordsInAnyOrderCompareByPathAndFingerprint) {
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

    const auto before = snapshotOf(sorted);
    const auto after = snapshotOf(scattered);

    EXPECT_EQ(Lines({"CRE p150", "DEL p130", "MOD p107"}), describe(before->compare(*after)));
    EXPECT_EQ(Lines({"CRE p130", "DEL p150", "MOD p107"}), describe(after->compare(*before)));
    EXPECT_TRUE(after->compare(*snapshotFromBytes(serialized(*after))).empty());
}

}  // namespace
