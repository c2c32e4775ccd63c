#ifndef VESTIGA_APP_DUMPWRITER_H
#define VESTIGA_APP_DUMPWRITER_H

#include <cstdint>
#include <string>
#include <string_view>

#include "app/DumpOrigin.h"
#include "app/Fingerprint.h"
#include "app/ScanRecord.h"
#include "io/file/DataSource.h"

namespace com {
namespace quorvane {
namespace products {
namespace lumeno {

// Writes the records of a dump file, in the order they are given, to a
// writer in blocks of 2 MiB, the last alone shorter, whatever the records'
// sizes: each then lies at an offset that is a multiple of 2 MiB, where the
// system can cache it in one page of that size, and a later reading of the
// dump maps it at once rather than 4 KiB at a time, which costs several
// times the reading itself. What it holds is never more than one block and
// one record, whatever the size of the dump.
//
// A plain dump is its records alone. A detailed one starts with the header
// of DetailedDumpFormat, and every record carries its details part; a record
// given none gets an empty one.
class DumpWriter : public ScanRecordSink {
public:
    // Thrown by add and finish when the writer refuses a block; the calling
    // thread's last error says why.
    struct Refused {};

    // A plain dump.
    explicit DumpWriter(const io::file::DataSource::Writer& write);
    // A detailed dump whose header records `origin`, listing the digest of
    // file content when `withContent`.
    DumpWriter(const io::file::DataSource::Writer& write, const DumpOrigin& origin, bool withContent);

    void add(std::string_view path, Fingerprint fingerprint, std::string_view details = std::string_view());
    void take(ScanRecord& record) override { add(record.path, record.fingerprint, record.details); }
    // Writes what is left of the last block.
    void finish();

    bool isDetailed() const { return _detailed; }
    // The records added.
    std::uint64_t recordCount() const { return _recordCount; }

private:
    void writeBlock(std::string::size_type size);

    io::file::DataSource::Writer _write;
    bool _detailed;
    std::string _block;
    std::uint64_t _recordCount;
};

}  // namespace lumeno
}  // namespace products
}  // namespace quorvane
}  // namespace com

#endif
