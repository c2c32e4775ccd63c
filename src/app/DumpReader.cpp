#include "app/DumpReader.h"

#include <algorithm>

#include "app/DetailedDumpFormat.h"
#include "app/DumpRecordFormat.h"
#include "app/RecordIndexSort.h"
#include "app/SnapshotException.h"

namespace com {
namespace quorvane {
namespace products {
namespace lumeno {

using namespace dumprecord;

namespace {

// How many records ahead of the one read a sorted index asks for the next.
const std::size_t prefetchDistance = 16;

}  // namespace

DumpReader::DumpReader(const char* begin, const char* end)
    : _begin(begin), _size(static_cast<std::uint64_t>(end - begin)), _recordsStart(0), _entryCount(0),
      _repeats(false), _position(0), _current(0), _following(0) {
    if (DetailedDumpFormat::startsDetailed(begin, end)) {
        _format.reset(new DetailedDumpFormat(begin, end));
        _recordsStart = _format->headerSize();
    }
    bool ascending = true;
    std::uint64_t records = 0;
    std::string_view previous;
    for (std::uint64_t offset = _recordsStart; offset < _size; ++records) {
        if (_size - offset < lengthSize) throw SnapshotException(corruptDataMessage);
        const std::uint64_t length = readUint32(_begin + offset);
        if (_size - offset - lengthSize < length + fingerprintSize) throw SnapshotException(corruptDataMessage);
        std::uint64_t detailsSize = 0;
        if (_format) {
            const std::uint64_t detailsAt = offset + lengthSize + length + fingerprintSize;
            detailsSize = _format->checkDetails(_begin + detailsAt, _size - detailsAt);
        }
        if (ascending) {
            const std::string_view path(_begin + offset + lengthSize, length);
            const int order = records == 0 ? 1 : path.compare(previous);
            if (order < 0) ascending = false;
            if (order > 0) ++_entryCount;
            if (order == 0) _repeats = true;
            previous = path;
        }
        offset += lengthSize + length + fingerprintSize + detailsSize;
    }
    if (!ascending) {
        // Not in the order this program writes: an offset per record, sorted
        // by path; of equal paths the later record wins.
        _index.reserve(records);
        for (std::uint64_t offset = _recordsStart; offset < _size; offset = recordEnd(offset)) {
            _index.push_back(offset);
        }
        sortIndex();
        _entryCount = _index.size();
    }
    rewind();
}

DumpReader::~DumpReader() {}

std::string_view DumpReader::pathAt(std::uint64_t offset) const {
    return std::string_view(_begin + offset + lengthSize, readUint32(_begin + offset));
}

std::uint64_t DumpReader::recordEnd(std::uint64_t offset) const {
    const std::uint64_t plainEnd = offset + lengthSize + readUint32(_begin + offset) + fingerprintSize;
    return _format ? plainEnd + _format->detailsSize(_begin + plainEnd) : plainEnd;
}

std::uint64_t DumpReader::currentRecord() const { return _index.empty() ? _current : _index[_position]; }

void DumpReader::sortIndex() {
    sortByPath(_index, _begin);
    _index.shrink_to_fit();
}

void DumpReader::settle() {
    if (!_index.empty() || _position >= _size) return;
    _current = _position;
    _following = recordEnd(_current);
    const std::string_view path = pathAt(_current);
    while (_repeats && _following < _size && pathAt(_following) == path) {
        _current = _following;
        _following = recordEnd(_current);
    }
}

std::uint64_t DumpReader::entryCount() const { return _entryCount; }

bool DumpReader::atEnd() const { return _index.empty() ? _position >= _size : _position >= _index.size(); }

std::string_view DumpReader::path() const { return pathAt(currentRecord()); }

Fingerprint DumpReader::fingerprint() const {
    const std::uint64_t record = currentRecord();
    return readUint64(_begin + record + lengthSize + readUint32(_begin + record));
}

bool DumpReader::isDetailed() const { return _format != nullptr; }

bool DumpReader::holdsContent() const { return _format != nullptr && _format->holds(EntryDetails::CONTENT); }

std::uint64_t DumpReader::detailsOffset() const {
    const std::uint64_t record = currentRecord();
    return record + lengthSize + readUint32(_begin + record) + fingerprintSize;
}

EntryDetails DumpReader::details() const { return _format->readDetails(_begin + detailsOffset()); }

const DumpOrigin* DumpReader::origin() const { return _format ? &_format->origin() : nullptr; }

std::string_view DumpReader::layoutBytes() const {
    return std::string_view(_begin, _format ? _format->layoutSize() : 0);
}

std::string_view DumpReader::detailBytes() const {
    const std::uint64_t offset = detailsOffset();
    return std::string_view(_begin + offset, _format->detailsSize(_begin + offset));
}

void DumpReader::advance() {
    if (!_index.empty()) {
        // The records come from anywhere in the file: the one a few places
        // ahead is asked for now, so that its bytes are there when it is read.
        ++_position;
        if (_position + prefetchDistance < _index.size()) {
            const char* ahead = _begin + _index[_position + prefetchDistance];
            __builtin_prefetch(ahead);
            __builtin_prefetch(ahead + 64);
        }
        return;
    }
    _position = _following;
    settle();
}

void DumpReader::rewind() {
    _position = _index.empty() ? _recordsStart : 0;
    settle();
}

}  // namespace lumeno
}  // namespace products
}  // namespace quorvane
}  // namespace com
