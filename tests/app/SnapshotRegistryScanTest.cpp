#include <gtest/gtest.h>

#include <cstdint>
#include <map>
#include <random>
#include <sstream>
#include <string>
#include <vector>

#include "app/DumpOrigin.h"
#include "app/DumpWriter.h"
#include "app/IgnorePatterns.h"
#include "app/SnapshotImpl.h"
#include "support/DumpBytes.h"
#include "digest/DigestFold.h"
#include "digest/MD5DigestImpl.h"
#include "platform/win32/Win32.h"
#include "support/CollectingMessageOutput.h"
#include "support/ScratchRegistryKey.h"

namespace {

using namespace com::quorvane::products::lumeno;
using RegistryEntries = std::map<std::string, std::uint64_t>;

std::uint64_t foldedMd5(const std::string& data) {
    MD5DigestImpl digest;
    digest.update(data.data(), data.data() + data.size());
    std::vector<unsigned char> bytes;
    digest.getDigest(bytes);
    return foldDigest(bytes);
}

// The entries of a scan of `regdirs`, read back from its listing.
RegistryEntries scan(const std::vector<std::string>& regdirs) {
    CollectingMessageOutput output;
    ReadDump dump(scannedDump({}, regdirs, output));
    EXPECT_EQ("", output.text());
    RegistryEntries entries;
    for (const auto& entry : entriesOf(dump.reader)) entries[entry.first] = entry.second;
    return entries;
}

// K has a value Sub beside its subkey Sub, and a value a\b beside its subkey
// a with a value b: two paths, each given by two items.
class SnapshotRegistryScan : public testing::Test {
protected:
    void fill(const std::string& data) {
        scratch.setValue("", "Sub", REG_SZ, data + '\0');
        scratch.createKey("Sub");
        scratch.setValue("", "a\\b", REG_SZ, data + '\0');
        scratch.createKey("a");
        scratch.setValue("a", "b", REG_SZ, std::string("x\0", 2));
        scratch.setValue("", "Hidden", REG_SZ, "ab" + std::string(1, '\0') + data + std::string(2, '\0'));
    }

    testsupport::ScratchRegistryKey scratch;
};

TEST_F(SnapshotRegistryScan, EveryItemOfAPathAndTheTextAfterANulCount) {
    const std::string key = scratch.fullPath();
    fill("one");
    const RegistryEntries before = scan({key});
    EXPECT_EQ((RegistryEntries{{key, 0},
                       {key + "\\Hidden", foldedMd5(std::string("ab\0one", 6))},
                       {key + "\\Sub", before.at(key + "\\Sub")},
                       {key + "\\a", 0},
                       {key + "\\a\\b", before.at(key + "\\a\\b")}}),
              before);
    // Each item of a shared path enters with its kind, key and name: the
    // value a\b and the value b of a give neither the fingerprint of one of
    // them nor their exclusive-or, and a key's 0 does not make a value's
    // fingerprint its own.
    EXPECT_NE(foldedMd5("one"), before.at(key + "\\Sub"));
    EXPECT_NE(foldedMd5("one") ^ foldedMd5("x"), before.at(key + "\\a\\b"));
    EXPECT_NE(foldedMd5("x"), before.at(key + "\\a\\b"));

    // A key named twice, or below another one named, is read once.
    EXPECT_EQ(before, scan({key + "\\a", key, key}));

    fill("two");
    const RegistryEntries after = scan({key});
    EXPECT_EQ(foldedMd5(std::string("ab\0two", 6)), after.at(key + "\\Hidden"));
    EXPECT_NE(before.at(key + "\\Sub"), after.at(key + "\\Sub"));
    EXPECT_NE(before.at(key + "\\a\\b"), after.at(key + "\\a\\b"));
    EXPECT_EQ(after, scan({key}));
}

TEST_F(SnapshotRegistryScan, DecoysCannotCancelAChange) {
    const std::string key = scratch.fullPath();
    const std::string app = key + "\\CurrentVersion\\Run\\App";
    scratch.createKey("CurrentVersion\\Run");
    scratch.setValue("CurrentVersion\\Run", "App", REG_SZ, std::string("C:\\app.exe\0", 11));
    scratch.createKey("Same\\v");
    const RegistryEntries before = scan({key});
    EXPECT_EQ(foldedMd5("C:\\app.exe"), before.at(app));
    EXPECT_EQ(0u, before.at(key + "\\Same\\v"));

    // The changed value, one decoy with the new data and one with the old.
    scratch.setValue("CurrentVersion\\Run", "App", REG_SZ, std::string("C:\\evil.exe\0", 12));
    scratch.setValue("CurrentVersion", "Run\\App", REG_SZ, std::string("C:\\evil.exe\0", 12));
    scratch.setValue("", "CurrentVersion\\Run\\App", REG_SZ, std::string("C:\\app.exe\0", 11));
    // Two values with equal data at the path of a key.
    scratch.setValue("Same", "v", REG_SZ, std::string("d\0", 2));
    scratch.setValue("", "Same\\v", REG_SZ, std::string("d\0", 2));
    const RegistryEntries after = scan({key});
    EXPECT_NE(before.at(app), after.at(app));
    EXPECT_NE(before.at(key + "\\Same\\v"), after.at(key + "\\Same\\v"));
}

// The bytes of a dump of `regdirs`, detailed or not; no warning.
std::string dumpOf(const std::vector<std::string>& regdirs, bool details) {
    const IgnorePatternList noPatterns;
    const std::vector<std::string> noDirs;
    CollectingMessageOutput output;
    const SnapshotImpl snapshot(noDirs, regdirs, noPatterns, output, details);
    std::string bytes;
    const auto write = [&bytes](const char* data, std::size_t size) {
        bytes.append(data, size);
        return true;
    };
    DumpWriter plain(write);
    DumpWriter detailed(write, DumpOrigin(), false);
    DumpWriter& writer = details ? detailed : plain;
    snapshot.serialize(writer, std::string());
    writer.finish();
    EXPECT_EQ("", output.text());
    return bytes;
}

// A key named alone is walked key by key; named with a key below it, it is
// read whole and sorted. Trees of names that sort around the backslash, in
// both cases, and of values named with backslashes that land below, beside
// or on sub-keys, give the same dump either way.
TEST(SnapshotRegistryWalk, KeysWalkedOneByOneGiveTheDumpOfKeysReadWhole) {
    const char* keyNames[] = {"a", "A", "b", "a ", "a!", "_", "[", "Z", "a0", "sub"};
    const char* valueNames[] = {"a", "A", "a\\b", "a\\", "", "b", "a ", "sub", "sub\\a", "_", "x\\y\\z", "a!"};
    for (unsigned seed = 0; seed < 40; ++seed) {
        SCOPED_TRACE(seed);
        std::mt19937 random(seed);
        testsupport::ScratchRegistryKey scratch;
        std::vector<std::string> keys = {""};
        for (int i = 0; i < 12; ++i) {
            const std::string parent = keys[random() % keys.size()];
            const std::string key = (parent.empty() ? "" : parent + "\\") + keyNames[random() % 10];
            scratch.createKey(key);
            keys.push_back(key);
        }
        for (int i = 0; i < 16; ++i) {
            scratch.setValue(keys[random() % keys.size()], valueNames[random() % 12],
                             random() % 2 ? REG_SZ : REG_BINARY, std::string(random() % 4, 'a'));
        }
        const std::string key = scratch.fullPath();
        for (const bool details : {false, true}) {
            EXPECT_EQ(dumpOf({key, key + "\\" + keys[1]}, details), dumpOf({key}, details)) << details;
        }
    }
}

}  // namespace
