#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "app/DifferenceFormatter.h"
#include "app/IgnorePatterns.h"

namespace {

using namespace com::quorvane::products::lumeno;

const std::vector<SnapshotDifference> differences = {
    {"C:\\new.txt", CREATED}, {"C:\\temp\\x", CREATED}, {"C:\\old.txt", DELETED},
    {"HKEY_CURRENT_USER\\Software\\x\\y", MODIFIED}, {"C:\\temp", MODIFIED}};

TEST(DifferenceFormatter, OneLabelledLinePerDifferenceInResultOrder) {
    EXPECT_EQ("CRE C:\\new.txt\n"
              "CRE C:\\temp\\x\n"
              "DEL C:\\old.txt\n"
              "MOD HKEY_CURRENT_USER\\Software\\x\\y\n"
              "MOD C:\\temp\n",
              formatDifferences(differences, IgnorePatternList()));
}

TEST(DifferenceFormatter, IgnoredPathsAreLeftOut) {
    IgnorePatternList patterns;
    patterns.append("C:\\\\temp.*");
    EXPECT_EQ("CRE C:\\new.txt\nDEL C:\\old.txt\nMOD HKEY_CURRENT_USER\\Software\\x\\y\n",
              formatDifferences(differences, patterns));
}

TEST(DifferenceFormatter, NothingLeftGivesAnEmptyText) {
    IgnorePatternList patterns;
    patterns.append("HKEY.*");
    patterns.append("C:.*");
    EXPECT_EQ("", formatDifferences(differences, patterns));
    EXPECT_EQ("", formatDifferences({}, IgnorePatternList()));
}

}  // namespace
