#include <gtest/gtest.h>

#include <string>

#include "app/DumpCompare.h"
#include "app/IgnorePatterns.h"
#include "app/ReportPage.h"
#include "support/DumpBytes.h"

namespace {

using namespace com::quorvane::products::lumeno;

// The data the page's script draws from.
std::string dataOf(const std::string& page) {
    const std::string start = "<script type=\"application/json\" id=\"data\">";
    const std::string::size_type from = page.find(start);
    if (from == std::string::npos) return "no data element";
    const std::string::size_type to = page.find("</script>", from);
    return page.substr(from + start.size(), to - from - start.size());
}

TEST(ReportPage, ComparisonTreeIsOrderedNameByNameWithCountsAfterTheIgnorePatterns) {
    ReadDump oldDump(Entries{{"C:\\a", 1}, {"C:\\a\\x", 2}, {"/srv/gone", 3}, {"C:\\skip.log", 4},
                                         {"HKEY_USERS\\v", 0x10}});
    ReadDump newDump(Entries{{"C:\\a", 0x1D9B0E2A1234567}, {"C:\\a b", 5}, {"C:\\a\\x", 2},
                                         {"C:\\a\\y\\z", 6}, {"/", 7}, {"/srv/new\nline", 8},
                                         {"HKEY_USERS\\v", 0xFFFFFFFFFFFFFFFF}});
    IgnorePatternList ignorePatterns;
    ignorePatterns.append(".*\\.log");
    std::vector<SnapshotDifference> differences = compare(oldDump.reader, newDump.reader);
    removeIgnored(differences, ignorePatterns);
    const std::string page = comparisonPage("old.dat", oldDump.reader, "new\x01.dat", newDump.reader, differences);
    EXPECT_EQ("{\"report\":\"comparison\",\"dumps\":[{\"file\":\"old.dat\",\"entries\":5},"
              "{\"file\":\"\\\"new\\\\001.dat\\\"\",\"entries\":7}],\"created\":4,\"deleted\":1,\"modified\":2,"
              "\"names\":[\"C:\\\\\",\"a\",\"y\",\"z\",\"a b\",\"HKEY_USERS\",\"v\",\"/\",\"srv\",\"gone\","
              "\"\\\"new\\\\nline\\\"\"],"
              "\"depths\":[0,1,2,3,1,0,1,0,1,2,2],\"marks\":\"03011031021\","
              "\"fingerprints\":[\"1\",\"1D9B0E2A1234567\",\"10\",\"FFFFFFFFFFFFFFFF\"]}",
              dataOf(page));
    EXPECT_EQ(0u, page.rfind("<!DOCTYPE html>", 0));
    EXPECT_NE(std::string::npos, page.find("http-equiv=\"Content-Security-Policy\" content=\"default-src 'none'; "
                                           "script-src 'sha256-"));
}

TEST(ReportPage, ListingHoldsEveryEntryWithItsFingerprint) {
    ReadDump dump(Entries{{"C:\\a.txt", 0x0102030405060708}, {"HKEY_USERS", 0}});
    EXPECT_EQ("{\"report\":\"listing\",\"dumps\":[{\"file\":\"d.dat\",\"entries\":2}],"
              "\"names\":[\"C:\\\\\",\"a.txt\",\"HKEY_USERS\"],\"depths\":[0,1,0],\"marks\":\"044\","
              "\"fingerprints\":[\"102030405060708\",\"0\"]}",
              dataOf(listingPage("d.dat", dump.reader)));
}

}  // namespace
