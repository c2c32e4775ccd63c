#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <vector>

#include "app/DetailedDumpFormat.h"
#include "app/EntryDetails.h"
#include "app/SortedRuns.h"
#include "platform/win32/FileDetails.h"
#include "support/ScratchDirectory.h"

namespace {

using com::quorvane::products::lumeno::DetailedDumpFormat;
using com::quorvane::products::lumeno::EntryDetails;
using com::quorvane::products::lumeno::ScanRecord;
using com::quorvane::products::lumeno::ScanRecordSink;
using com::quorvane::products::lumeno::SortedRuns;

struct Collected : public ScanRecordSink {
    void take(ScanRecord& record) override { records.push_back(record); }
    std::vector<ScanRecord> records;
};

ScanRecord record(const char* path, std::uint64_t fingerprint) {
    ScanRecord made;
    made.path = path;
    made.fingerprint = fingerprint;
    return made;
}

std::string describe(const std::vector<ScanRecord>& records) {
    std::string text;
    for (const ScanRecord& record : records) {
        text += record.path + "=" + std::to_string(record.fingerprint) + " ";
    }
    return text;
}

// Walks of overlapping and interleaving roots, one with nothing, merge into
// one stream in byte order, each path once with the first run's record;
// alike whether the runs stay in memory or go to scratch files, which leave
// nothing behind, and where no scratch file can be made.
TEST(SortedRuns, MergesRunsInPathOrderKeepingTheFirstRunsRecordWhereverTheRunsAreHeld) {
    ScratchDirectory scratch;
    const std::string dump = scratch.pathOf("dump.dat");
    const std::vector<std::vector<ScanRecord>> walks = {
        {record("a", 1), record("a/b", 2), record("c", 3)},
        {record("a/b", 20), record("b", 4), record("d", 5)},
        {},
        {record("0", 6)}};
    const std::string expected = "0=6 a=1 a/b=2 b=4 c=3 d=5 ";
    struct Case {
        std::size_t bound;
        std::string beside;
        std::size_t spilled;
    };
    const Case cases[] = {{1 << 20, dump, 0}, {0, dump, 3}, {0, "", 0}, {0, scratch.pathOf("gone/dump.dat"), 0}};
    for (const Case& c : cases) {
        SortedRuns runs(false, c.bound, c.beside);
        for (std::vector<ScanRecord> walk : walks) {
            ScanRecordSink& run = runs.beginRun();
            for (ScanRecord& each : walk) run.take(each);
        }
        Collected merged;
        runs.merge(merged);
        EXPECT_EQ(expected, describe(merged.records)) << c.bound << " " << c.beside;
        EXPECT_EQ(c.spilled, runs.spilledRuns()) << c.bound << " " << c.beside;
        EXPECT_TRUE(scratch.namesIn("").empty());
    }
}

// A detailed run keeps every record's details part, and tells the regular
// files by it.
TEST(SortedRuns, SpilledDetailedRunsKeepTheDetailsAndTellRegularFiles) {
    ScratchDirectory scratch;
    SortedRuns runs(true, 0, scratch.pathOf("dump.dat"));
    std::vector<std::string> details;
    for (const platform::FileDetails::Kind kind : {platform::FileDetails::DIRECTORY, platform::FileDetails::FILE}) {
        EntryDetails entry;
        entry.setNumber(EntryDetails::KIND, kind);
        entry.setNumber(EntryDetails::SIZE, 1000 + kind);
        details.emplace_back();
        DetailedDumpFormat::appendDetails(details.back(), entry);
        ScanRecord entryRecord = record(kind == platform::FileDetails::FILE ? "a" : "b", 0);
        entryRecord.details = details.back();
        runs.beginRun().take(entryRecord);
    }
    Collected merged;
    runs.merge(merged);
    EXPECT_EQ(2u, runs.spilledRuns());
    ASSERT_EQ(2u, merged.records.size());
    EXPECT_EQ("a", merged.records[0].path);
    EXPECT_EQ(details[1], merged.records[0].details);
    EXPECT_TRUE(merged.records[0].regularFile);
    EXPECT_EQ(details[0], merged.records[1].details);
    EXPECT_FALSE(merged.records[1].regularFile);
}

}  // namespace
