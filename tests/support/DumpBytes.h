#ifndef VESTIGA_TESTS_SUPPORT_DUMPBYTES_H
#define VESTIGA_TESTS_SUPPORT_DUMPBYTES_H

#include <cstdint>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "app/DumpReader.h"
#include "app/DumpWriter.h"
#include "app/IgnorePatterns.h"
#include "app/MessageOutput.h"
#include "app/SnapshotException.h"
#include "app/SnapshotImpl.h"

// Dump file bytes written out by hand, independent of the code under test.
inline void appendLittleEndian(std::string& out, std::uint64_t value, int byteCount) {
    for (int i = 0; i < byteCount; ++i) out += static_cast<char>((value >> (8 * i)) & 0xFF);
}

// One record: 4-byte length, the path, 8-byte fingerprint, all little-endian.
inline std::string dumpRecord(const std::string& path, std::uint64_t fingerprint) {
    std::string record;
    appendLittleEndian(record, path.size(), 4);
    record += path;
    appendLittleEndian(record, fingerprint, 8);
    return record;
}

typedef std::vector<std::pair<std::string, std::uint64_t>> Entries;

inline std::string dumpOf(const Entries& entries) {
    std::string bytes;
    for (const auto& entry : entries) bytes += dumpRecord(entry.first, entry.second);
    return bytes;
}

// The bytes of a dump and a reader of its records over them.
struct ReadDump {
    explicit ReadDump(const std::string& dumpBytes)
        : bytes(dumpBytes), reader(bytes.data(), bytes.data() + bytes.size()) {}
    explicit ReadDump(const Entries& entries) : ReadDump(dumpOf(entries)) {}

    const std::string bytes;
    com::quorvane::products::lumeno::DumpReader reader;
};

// The message of the SnapshotException that reading `bytes` throws.
inline std::string readFailure(const std::string& bytes) {
    try {
        com::quorvane::products::lumeno::DumpReader dump(bytes.data(), bytes.data() + bytes.size());
    } catch (const com::quorvane::products::lumeno::SnapshotException& e) {
        return e.getMessage();
    }
    return "no exception";
}

// Every path of `dump` in order, each with its fingerprint.
inline Entries entriesOf(com::quorvane::products::lumeno::DumpReader& dump) {
    Entries entries;
    for (dump.rewind(); !dump.atEnd(); dump.advance()) {
        entries.emplace_back(std::string(dump.path()), dump.fingerprint());
    }
    return entries;
}

// The plain dump the writer makes of what the reader reads in `bytes`.
inline std::string rewritten(const std::string& bytes) {
    ReadDump dump(bytes);
    std::string out;
    com::quorvane::products::lumeno::DumpWriter writer([&out](const char* data, std::size_t size) {
        out.append(data, size);
        return true;
    });
    for (const auto& entry : entriesOf(dump.reader)) writer.add(entry.first, entry.second);
    writer.finish();
    return out;
}

// The plain dump of a scan of `dirs` and `regdirs`; warnings go to `output`.
inline std::string scannedDump(const std::vector<std::string>& dirs, const std::vector<std::string>& regdirs,
                               com::quorvane::products::lumeno::MessageOutput& output) {
    const com::quorvane::products::lumeno::IgnorePatternList noPatterns;
    const com::quorvane::products::lumeno::SnapshotImpl snapshot(dirs, regdirs, noPatterns, output);
    std::string out;
    com::quorvane::products::lumeno::DumpWriter writer([&out](const char* data, std::size_t size) {
        out.append(data, size);
        return true;
    });
    snapshot.serialize(writer, std::string());
    writer.finish();
    return out;
}

#endif
