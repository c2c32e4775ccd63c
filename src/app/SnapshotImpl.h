#ifndef VESTIGA_APP_SNAPSHOTIMPL_H
#define VESTIGA_APP_SNAPSHOTIMPL_H

#include <string>
#include <vector>

namespace com {
namespace quorvane {
namespace products {
namespace lumeno {

class DumpWriter;
class IgnorePatternList;
class MessageOutput;

// A scan of the live system, made as its dump is written. The snapshot of
// old, a set of paths with a map of their fingerprints, is gone: the records
// go from the walk to the dump in path order (see SnapshotScanner), and no
// container holds them all. A dump file is read by DumpReader.
class SnapshotImpl {
public:
    // A scan of directories and registry keys, to be made by serialize;
    // problems become warnings on `output`. With `withDetails` it records the
    // details of every entry and makes a detailed dump; with `withContent`
    // as well, the details of every regular file hold the digest of its
    // content.
    SnapshotImpl(const std::vector<std::string>& dirs, const std::vector<std::string>& regdirs,
                 const IgnorePatternList& ignorePatterns, MessageOutput& output, bool withDetails = false,
                 bool withContent = false);

    SnapshotImpl(const SnapshotImpl&) = delete;
    SnapshotImpl& operator=(const SnapshotImpl&) = delete;

    // Scans, and hands every record to `writer` as it is made. The writer
    // must be a detailed one exactly when the snapshot records details.
    // What the scan cannot hold in memory goes beside `dumpFile`, where it
    // is not "".
    void serialize(DumpWriter& writer, const std::string& dumpFile) const;
    // Whether it records details, registry data among them.
    bool hasDetails() const { return _withDetails || _withContent; }
    // Whether the details hold the digests of the files' content.
    bool hasContent() const { return _withContent; }

private:
    const std::vector<std::string>& _dirs;
    const std::vector<std::string>& _regdirs;
    const IgnorePatternList& _ignorePatterns;
    MessageOutput& _output;
    bool _withDetails;
    bool _withContent;
};

}  // namespace lumeno
}  // namespace products
}  // namespace quorvane
}  // namespace com

#endif
