#ifndef VESTIGA_TESTS_SUPPORT_DUMPBYTES_H
#define VESTIGA_TESTS_SUPPORT_DUMPBYTES_H

#include <cstdint>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "app/DumpReader.h"
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

inline std::unique_ptr<com::quorvane::products::lumeno::SnapshotImpl> snapshotFromBytes(const std::string& bytes) {
    return std::unique_ptr<com::quorvane::products::lumeno::SnapshotImpl>(
        new com::quorvane::products::lumeno::SnapshotImpl(bytes.data(), bytes.data() + bytes.size()));
}

inline std::unique_ptr<com::quorvane::products::lumeno::SnapshotImpl> snapshotOf(const Entries& entries) {
    return snapshotFromBytes(dumpOf(entries));
}

inline std::string serialized(const com::quorvane::products::lumeno::SnapshotImpl& snapshot) {
    std::vector<char> out;
    snapshot.serialize(out);
    return std::string(out.begin(), out.end());
}

#endif
