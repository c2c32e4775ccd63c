#include "app/DumpWriter.h"

#include "app/DetailedDumpFormat.h"
#include "app/DumpRecordFormat.h"
#include "app/EntryDetails.h"

namespace com {
namespace quorvane {
namespace products {
namespace lumeno {

using namespace dumprecord;

namespace {

const std::string::size_type blockSize = 2 << 20;

}  // namespace

DumpWriter::DumpWriter(const io::file::DataSource::Writer& write)
    : _write(write), _detailed(false), _recordCount(0) {
    _block.reserve(blockSize + blockSize / 8);
}

DumpWriter::DumpWriter(const io::file::DataSource::Writer& write, const DumpOrigin& origin, bool withContent)
    : DumpWriter(write) {
    _detailed = true;
    DetailedDumpFormat::appendHeader(_block, origin, withContent);
}

void DumpWriter::add(std::string_view path, Fingerprint fingerprint, std::string_view details) {
    char numbers[fingerprintSize];
    writeUint32(numbers, static_cast<std::uint32_t>(path.size()));
    _block.append(numbers, lengthSize).append(path.data(), path.size());
    writeUint64(numbers, fingerprint);
    _block.append(numbers, fingerprintSize);
    if (_detailed) {
        if (details.empty()) {
            DetailedDumpFormat::appendDetails(_block, EntryDetails());
        } else {
            _block.append(details.data(), details.size());
        }
    }
    ++_recordCount;
    if (_block.size() >= blockSize) writeBlock(blockSize);
}

void DumpWriter::finish() {
    if (!_block.empty()) writeBlock(_block.size());
}

// What is past the block, the start of a record that is not whole in it,
// waits at the front for the next.
void DumpWriter::writeBlock(std::string::size_type size) {
    if (!_write(_block.data(), size)) throw Refused();
    _block.erase(0, size);
}

}  // namespace lumeno
}  // namespace products
}  // namespace quorvane
}  // namespace com
