#include "app/SnapshotImpl.h"

#include <iterator>
#include <limits>
#include <memory>
#include <new>
#include <string_view>

#include "app/DetailedDumpFormat.h"
#include "app/DumpRecordFormat.h"
#include "app/Listing.h"
#include "app/SnapshotException.h"
#include "app/SnapshotScanner.h"
#include "platform/errorresources/Assertion.h"

namespace com {
namespace quorvane {
namespace products {
namespace lumeno {

using namespace dumprecord;

namespace {

// Like std::set::insert, but cheap when the path sorts after every element
// (dump files are written in path order), and without a copy of the bytes
// before the element is made.
std::pair<SnapshotImpl::Paths::iterator, bool> insertPath(SnapshotImpl::Paths& paths, std::string_view path) {
    const SnapshotImpl::Paths::size_type sizeBefore = paths.size();
    const SnapshotImpl::Paths::iterator element = paths.emplace_hint(paths.end(), path);
    return std::make_pair(element, paths.size() != sizeBefore);
}

// Looks up what a map keyed by element address holds for elements visited in
// path order. A snapshot read from a dump file allocated its elements and
// their entries in path order, so the entry after the one found last is
// nearly always the next one asked for; any other element costs an ordinary
// search.
template <typename Map>
class ElementCursor {
public:
    explicit ElementCursor(const Map& map) : _map(map), _next(map.begin()) {}

    // What the map holds for the element at `element`; null if nothing.
    const typename Map::mapped_type* find(const SnapshotImpl::Path* element) {
        typename Map::const_iterator found = _next;
        if (found == _map.end() || found->first != element) found = _map.find(element);
        if (found == _map.end()) return nullptr;
        _next = std::next(found);
        return &found->second;
    }

private:
    const Map& _map;
    typename Map::const_iterator _next;
};

const std::string::size_type listingLineOverhead = 16 + 1 + 1;

}  // namespace

SnapshotImpl::SnapshotImpl(const char* begin, const char* end)
    : _snapshotData(makeSnapshotData(_memory)), _details(nullptr), _withContent(false) {
    deserialize(begin, end, *_snapshotData.first, *_snapshotData.second);
}

SnapshotImpl::SnapshotImpl(const std::vector<std::string>& dirs, const std::vector<std::string>& regdirs,
                           const IgnorePatternList& ignorePatterns, MessageOutput& output, bool withDetails,
                           bool withContent)
    : _details(withDetails || withContent ? makePathDetails(_memory) : nullptr), _withContent(withContent) {
    _snapshotData =
        SnapshotScanner(ignorePatterns, output).createSnapshotData(dirs, regdirs, _memory, _details, withContent);
}

// Everything the containers hold lies in the arena and owns nothing else, so
// they are not destroyed: the arena gives back its blocks, and with them both
// containers, when it goes.
SnapshotImpl::~SnapshotImpl() {}

SnapshotImpl::SnapshotData SnapshotImpl::makeSnapshotData(std::pmr::memory_resource& memory) {
    Paths* const paths = new (memory.allocate(sizeof(Paths), alignof(Paths))) Paths(&memory);
    PathInfo* const pathInfo = new (memory.allocate(sizeof(PathInfo), alignof(PathInfo))) PathInfo(&memory);
    return SnapshotData(paths, pathInfo);
}

SnapshotImpl::PathDetails* SnapshotImpl::makePathDetails(std::pmr::memory_resource& memory) {
    return new (memory.allocate(sizeof(PathDetails), alignof(PathDetails))) PathDetails(&memory);
}

void SnapshotImpl::ensureAvailable(std::uint32_t offset, std::uint32_t size, std::uint32_t needed) {
    if (offset > size || needed > size - offset) throw SnapshotException(corruptDataMessage);
}

void SnapshotImpl::deserialize(const char* begin, const char* end, Paths& paths, PathInfo& pathInfo) {
    // Offsets are 32-bit; no loaded file comes near that size.
    if (static_cast<std::size_t>(end - begin) > std::numeric_limits<std::uint32_t>::max()) {
        throw SnapshotException(corruptDataMessage);
    }
    const std::uint32_t size = static_cast<std::uint32_t>(end - begin);
    PathInfo::iterator made = pathInfo.end();
    for (std::uint32_t offset = 0; offset < size;) {
        ensureAvailable(offset, size, lengthSize);
        const std::uint32_t length = readUint32(begin + offset);
        ensureAvailable(offset + lengthSize, size, length);
        ensureAvailable(offset + lengthSize + length, size, fingerprintSize);
        const std::string_view s(begin + offset + lengthSize, length);
        const Fingerprint fingerprint = readUint64(begin + offset + lengthSize + length);
        offset += lengthSize + length + fingerprintSize;

        const std::pair<Paths::iterator, bool> ret = insertPath(paths, s);
        ASSERT(*(ret.first) == s);
        // Elements made one after the other lie one after the other in
        // memory, so the entry of each nearly always belongs right behind
        // the entry made before it.
        const PathInfo::iterator entry = pathInfo.emplace_hint(made, &*ret.first, fingerprint);
        entry->second = fingerprint;
        made = std::next(entry);
    }
}

const SnapshotImpl::Paths* SnapshotImpl::getPaths() const { return _snapshotData.first; }

const Fingerprint* SnapshotImpl::findFingerprint(const Path& path) const {
    const PathInfo::const_iterator entry = _snapshotData.second->find(&path);
    if (entry != _snapshotData.second->end()) return &entry->second;
    return fingerprintOf(_snapshotData.first->find(path));
}

const Fingerprint* SnapshotImpl::findFingerprint(const std::string& path) const {
    return fingerprintOf(_snapshotData.first->find(Path(path)));
}

const Fingerprint* SnapshotImpl::fingerprintOf(Paths::const_iterator element) const {
    if (element == _snapshotData.first->end()) return nullptr;
    const PathInfo::const_iterator entry = _snapshotData.second->find(&*element);
    return entry == _snapshotData.second->end() ? nullptr : &entry->second;
}

template <typename Visitor>
void SnapshotImpl::forEachEntry(Visitor visit) const {
    ElementCursor<PathInfo> fingerprints(*_snapshotData.second);
    for (Paths::const_iterator i = _snapshotData.first->begin(); i != _snapshotData.first->end(); ++i) {
        const Fingerprint* fingerprint = fingerprints.find(&*i);
        if (fingerprint == nullptr) {
            reportAssertionFailure("_snapshotData.second->find(&(*i)) != _snapshotData.second->end()", __FILE__,
                                   __LINE__);
            continue;
        }
        visit(*i, *fingerprint);
    }
}

void SnapshotImpl::serialize(std::vector<char>& out) const {
    writeRecords([&out](const char* data, std::size_t size) {
        out.insert(out.end(), data, data + size);
        return true;
    });
}

bool SnapshotImpl::writeRecords(const io::file::DataSource::Writer& write, const DumpOrigin& origin) const {
    // Large enough that the calls to write cost nothing beside the copying,
    // small enough to stay in the processor's cache.
    const std::string::size_type blockSize = 1 << 20;
    std::string block;
    block.reserve(blockSize + lengthSize + fingerprintSize);
    if (_details != nullptr) DetailedDumpFormat::appendHeader(block, origin, _withContent);
    std::unique_ptr<ElementCursor<PathDetails>> details;
    if (_details != nullptr) details.reset(new ElementCursor<PathDetails>(*_details));
    bool written = true;
    forEachEntry([&](const Path& path, Fingerprint fingerprint) {
        if (!written) return;
        char numbers[fingerprintSize];
        writeUint32(numbers, static_cast<std::uint32_t>(path.size()));
        block.append(numbers, lengthSize).append(path.data(), path.size());
        writeUint64(numbers, fingerprint);
        block.append(numbers, fingerprintSize);
        if (details) {
            const std::pmr::string* found = details->find(&path);
            if (found != nullptr) {
                block.append(found->data(), found->size());
            } else {
                DetailedDumpFormat::appendDetails(block, EntryDetails());
            }
        }
        if (block.size() >= blockSize) {
            written = write(block.data(), block.size());
            block.clear();
        }
    });
    return written && (block.empty() || write(block.data(), block.size()));
}

std::string SnapshotImpl::toString() const {
    std::string::size_type length = 0;
    for (const Path& path : *_snapshotData.first) length += path.size() + listingLineOverhead;
    std::string text;
    text.reserve(length);
    forEachEntry([&text](const Path& path, Fingerprint fingerprint) {
        appendListingLine(text, path, fingerprint);
    });
    return text;
}

std::uint32_t SnapshotImpl::getApproximateSize() const {
    std::uint32_t size = 0;
    for (const Path& path : *_snapshotData.first) size += static_cast<std::uint32_t>(path.capacity());
    return size + 12 * static_cast<std::uint32_t>(_snapshotData.second->size());
}

}  // namespace lumeno
}  // namespace products
}  // namespace quorvane
}  // namespace com
