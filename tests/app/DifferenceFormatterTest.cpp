#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "app/DifferenceFormatter.h"

namespace {

using namespace com::quorvane::products::lumeno;

const std::vector<SnapshotDifference> differences = {
    {"C:\\new.txt", CREATED, 0, 1}, {"C:\\temp\\x", CREATED, 0, 1}, {"C:\\old.txt", DELETED, 1, 0},
    {"HKEY_CURRENT_USER\\Software\\x\\y", MODIFIED, 1, 2}, {"C:\\temp", MODIFIED, 1, 2}};

TEST(DifferenceFormatter, OneLabelledLinePerDifferenceInResultOrder) {
    EXPECT_EQ("CRE C:\\new.txt\n"
              "CRE C:\\temp\\x\n"
              "DEL C:\\old.txt\n"
              "MOD HKEY_CURRENT_USER\\Software\\x\\y\n"
              "MOD C:\\temp\n",
              formatDifferences(differences));
}

TEST(DifferenceFormatter, NoDifferencesGiveAnEmptyText) { EXPECT_EQ("", formatDifferences({})); }

}  // namespace
