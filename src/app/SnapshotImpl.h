#ifndef VESTIGA_APP_SNAPSHOTIMPL_H
#define VESTIGA_APP_SNAPSHOTIMPL_H

#include <cstdint>
#include <map>
#include <memory_resource>
#include <set>
#include <string>
#include <utility>
#include <vector>

#include "app/DumpOrigin.h"
#include "app/Fingerprint.h"
#include "app/Snapshot.h"
#include "io/file/DataSource.h"

namespace com {
namespace quorvane {
namespace products {
namespace lumeno {

class IgnorePatternList;
class MessageOutput;

class SnapshotImpl : public Snapshot {
public:
    // An entry path; its bytes lie in the snapshot's arena.
    typedef std::pmr::string Path;
    // Entry paths, ordered byte by byte.
    typedef std::pmr::set<Path> Paths;
    // Fingerprint per path, keyed by the address of the path's element in Paths.
    typedef std::pmr::map<const Path*, Fingerprint> PathInfo;
    // Both containers are owned by the snapshot.
    typedef std::pair<Paths*, PathInfo*> SnapshotData;
    // The details part of each path's record in a detailed dump, as it is
    // written, keyed like PathInfo.
    typedef std::pmr::map<const Path*, std::pmr::string> PathDetails;

    // Two empty containers made in `memory`, with everything they will hold.
    // They are never destroyed: they end, all at once, when `memory` gives
    // back its blocks.
    static SnapshotData makeSnapshotData(std::pmr::memory_resource& memory);
    // An empty container of details made in `memory`, like the two above.
    static PathDetails* makePathDetails(std::pmr::memory_resource& memory);

    // Rebuilds a snapshot from the bytes of a dump file, [begin, end).
    // Throws SnapshotException on malformed data.
    SnapshotImpl(const char* begin, const char* end);
    // Builds a snapshot by scanning directories and registry keys; problems
    // become warnings on `output`. With `withDetails` it records the details
    // of every entry and writes a detailed dump; with `withContent` as well,
    // the details of every regular file hold the digest of its content.
    SnapshotImpl(const std::vector<std::string>& dirs, const std::vector<std::string>& regdirs,
                 const IgnorePatternList& ignorePatterns, MessageOutput& output, bool withDetails = false,
                 bool withContent = false);
    ~SnapshotImpl() override;

    SnapshotImpl(const SnapshotImpl&) = delete;
    SnapshotImpl& operator=(const SnapshotImpl&) = delete;

    const Paths* getPaths() const override;
    void serialize(std::vector<char>& out) const override;
    // The same bytes, handed to `write` in blocks as they are made, so that
    // a dump of any size is saved without a copy of it in memory. The header
    // of a detailed dump records `origin`.
    bool writeRecords(const io::file::DataSource::Writer& write, const DumpOrigin& origin = DumpOrigin()) const;
    // Whether it records details, registry data among them.
    bool hasDetails() const { return _details != nullptr; }
    std::string toString() const override;
    // The fingerprint of `path`, or null when the snapshot holds no such
    // entry. Quickest when `path` is an element of getPaths().
    const Fingerprint* findFingerprint(const Path& path) const;
    const Fingerprint* findFingerprint(const std::string& path) const;
    // Allocated string capacity of all paths plus 12 bytes per fingerprint.
    virtual std::uint32_t getApproximateSize() const;

private:
    static void deserialize(const char* begin, const char* end, Paths& paths, PathInfo& pathInfo);
    // The fingerprint of the element at `element`; null at the end of the
    // paths or if it has none.
    const Fingerprint* fingerprintOf(Paths::const_iterator element) const;
    // Throws SnapshotException unless `needed` bytes lie at `offset` within `size`.
    static void ensureAvailable(std::uint32_t offset, std::uint32_t size, std::uint32_t needed);

    // Calls `visit(path, fingerprint)` for every entry, in path order.
    template <typename Visitor>
    void forEachEntry(Visitor visit) const;

    // Both containers, their nodes and the bytes of every path, taken in
    // large blocks as they grow and given back all at once with the snapshot:
    // a snapshot of millions of entries is freed in a few calls, not node by
    // node. The node of a path erased while the scan builds the snapshot
    // stays taken until then.
    std::pmr::monotonic_buffer_resource _memory;
    SnapshotData _snapshotData;
    // Null unless the snapshot records details.
    PathDetails* _details;
    bool _withContent;
};

}  // namespace lumeno
}  // namespace products
}  // namespace quorvane
}  // namespace com

#endif
