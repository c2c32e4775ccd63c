#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "app/DifferenceFormatter.h"

namespace {

using namespace com::quorvane::products::lumeno;

struct CollectedOutput : MessageOutput {
    void write(const std::string& message) override {
        text += message;
        ++writes;
    }
    std::string text;
    int writes = 0;
};

std::string written(const std::vector<SnapshotDifference>& differences, int* writes = nullptr) {
    CollectedOutput output;
    writeDifferences(differences, output);
    if (writes != nullptr) *writes = output.writes;
    return output.text;
}

const std::vector<SnapshotDifference> differences = {
    {"C:\\new.txt", CREATED, 0, 1}, {"C:\\temp\\x", CREATED, 0, 1}, {"C:\\old.txt", DELETED, 1, 0},
    {"HKEY_CURRENT_USER\\Software\\x\\y", MODIFIED, 1, 2}, {"C:\\temp", MODIFIED, 1, 2}};

TEST(DifferenceFormatter, OneLabelledLinePerDifferenceInResultOrder) {
    EXPECT_EQ("CRE C:\\new.txt\n"
              "CRE C:\\temp\\x\n"
              "DEL C:\\old.txt\n"
              "MOD HKEY_CURRENT_USER\\Software\\x\\y\n"
              "MOD C:\\temp\n",
              written(differences));
    int writes = 0;
    EXPECT_EQ("", written({}, &writes));
    EXPECT_EQ(0, writes);
}

// A long report goes out in blocks, each line whole and once.
TEST(DifferenceFormatter, LongReportGoesOutInBlocksWithEveryLineOnce) {
    std::vector<std::string> paths;
    std::vector<SnapshotDifference> many;
    std::string expected;
    for (int i = 0; i < 20000; ++i) paths.push_back("/p/" + std::to_string(i));
    for (const std::string& path : paths) {
        many.push_back(SnapshotDifference{path, MODIFIED, 1, 2, {DetailChange{"mode", "0644", "0600"}}});
        expected += "MOD " + path + "\n    mode: 0644 -> 0600\n";
    }
    int writes = 0;
    EXPECT_EQ(expected, written(many, &writes));
    EXPECT_LT(1, writes);
}

}  // namespace
