#ifndef VESTIGA_APP_SNAPSHOTSCANNER_H
#define VESTIGA_APP_SNAPSHOTSCANNER_H

#include <string>
#include <utility>
#include <vector>

#include "app/ScanProgress.h"
#include "app/ScanRecord.h"
#include "platform/win32/ScanSession.h"

class ContentDigestPool;

namespace com {
namespace quorvane {
namespace products {
namespace lumeno {

class IgnorePatternList;
class MessageOutput;

// Scans the live system, directories and files with their last-write times,
// registry keys and values, and hands out the records in byte order of their
// paths as they are made: nothing holds the whole scan.
//
// The walk goes depth first. The entries of each directory are sorted so
// that the walk yields byte order of whole paths: an entry's record sorts by
// its name, the entries below a subdirectory by the subdirectory's name with
// the separator after it (on POSIX systems "a b", "a-b" and "a.b" come
// before "a/x"). Each entry is queried right after its directory is listed,
// by its name in the directory it was read from where the platform allows.
// A directory's steps wait on a stack, so that no tree is too deep to walk.
//
// One directory named streams straight out, and so do several given in byte
// order, none of which begins with the one before it; the walks of others,
// which may lie inside each other or interleave in byte order, are held as
// sorted runs (see SortedRuns), in memory or beside the dump, and merged,
// each path once, the first walk's record kept. The registry's records
// (see RegistryScanner) are merged in as the walk passes their places: a
// path that a listed path gives as well adds its fingerprint to the file's,
// and keeps the file's details.
//
// Every problem with a single path becomes a warning on the output, in the
// order of today's reports: listing warnings as the walk meets them, then
// those of the file information in path order, then those of the content,
// then those of the registry. With the content, the files of each window of
// records are read on a pool of threads while the walk makes the next. Only a process out of descriptors ends the
// scan, as a SnapshotException: a path it cannot open then says nothing of
// the path.
class SnapshotScanner {
public:
    SnapshotScanner(const IgnorePatternList& ignorePatterns, MessageOutput& output);

    // Hands every record of the scan to `sink`. With `withDetails` every
    // record holds the details of its entry, and with `withContent` those of
    // every regular file the digest of its content. Sorted runs too large
    // for memory go to scratch files in the directory of `spillBeside`, the
    // dump's; none where it is "".
    void scan(const std::vector<std::string>& dirs, const std::vector<std::string>& regdirs, ScanRecordSink& sink,
              bool withDetails, bool withContent, const std::string& spillBeside);

private:
    struct Step;
    struct Frame;

    // Walks the directory named `dir`, handing its records to `sink` in path
    // order and keeping the warnings of their file information in
    // `informationWarnings`, as (path, warning).
    void walk(const std::string& dir, const std::vector<std::string>& dirs, platform::ScanSession& session,
              ScanRecordSink& sink, std::vector<std::pair<std::string, std::string>>& informationWarnings);
    // Lists `dir` and queries its entries into the steps of `frame`;
    // false, with the warnings written, when it cannot be listed.
    bool listDirectory(const std::string& dir, const std::vector<std::string>& dirs, platform::ScanSession& session,
                       Frame& frame);
    // Queries the path of `step`, which came to the scan as `origin`, into
    // its record, or its warning.
    void query(platform::ScanSession::Origin origin, platform::ScanSession& session, Step& step);
    // Whether `record` has anything to be read apart from the walk: the
    // content of a regular file in a content scan, the extended attributes
    // of any path in a detailed scan where paths have them.
    bool readsApart(const ScanRecord& record) const;
    // Begins reading what `records` have to be read apart, and adds it to
    // their details, the warnings to `warnings`.
    void beginContents(const std::vector<std::string>& dirs, ContentDigestPool& pool,
                       const std::vector<ScanRecord>& records);
    void finishContents(ContentDigestPool& pool, std::vector<ScanRecord>& records, MessageOutput& warnings);
    void endIfOutOfDescriptors(const std::string& path, unsigned long error);
    void warn(const std::string& message);

    const IgnorePatternList& _ignorePatterns;
    MessageOutput& _output;
    ScanProgress _progress;
    bool _withDetails;
    bool _withContent;
    std::size_t _recorded;
    // The files whose content was read so far.
    std::size_t _contentRead;
};

}  // namespace lumeno
}  // namespace products
}  // namespace quorvane
}  // namespace com

#endif
