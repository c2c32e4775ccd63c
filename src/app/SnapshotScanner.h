#ifndef VESTIGA_APP_SNAPSHOTSCANNER_H
#define VESTIGA_APP_SNAPSHOTSCANNER_H

#include <memory_resource>
#include <string>
#include <vector>

#include "app/ScanProgress.h"
#include "app/SnapshotImpl.h"
#include "windows/file/WindowsFileHelper.h"

namespace platform {
class ScanSession;
}

namespace com {
namespace quorvane {
namespace products {
namespace lumeno {

class IgnorePatternList;
class MessageOutput;

// Builds the containers of a snapshot from the live system: directories and
// files with their last-write times, then registry keys and values. Every
// problem with a single path becomes a warning on the output; the scan goes on.
// Only a process out of descriptors ends it, as a SnapshotException: a path
// it cannot open then says nothing of the path.
class SnapshotScanner {
public:
    SnapshotScanner(const IgnorePatternList& ignorePatterns, MessageOutput& output);

    // The caller owns both containers of the result; they take their nodes
    // from `memory`, which must outlive them. When `details` is not null, the
    // details of every entry go into it, and with `withContent` those of
    // every regular file hold the digest of its content.
    SnapshotImpl::SnapshotData createSnapshotData(const std::vector<std::string>& dirs,
                                                  const std::vector<std::string>& regdirs,
                                                  std::pmr::memory_resource& memory,
                                                  SnapshotImpl::PathDetails* details = nullptr,
                                                  bool withContent = false);

private:
    // A directory the walk has yet to enter, with the element of `paths`
    // before which its path belongs, as far as the listing of its parent
    // could tell.
    struct PendingDirectory {
        windows::file::DirectoryEntry entry;
        SnapshotImpl::Paths::iterator hint;
    };

    void scanDirectory(const std::string& dir, platform::ScanSession& session, SnapshotImpl::Paths& paths);
    void listDirectory(const std::string& dir, platform::ScanSession& session, SnapshotImpl::Paths::iterator position,
                       SnapshotImpl::Paths& paths, std::vector<PendingDirectory>& subdirs);
    void readFileInformation(const std::vector<std::string>& dirs, platform::ScanSession& session,
                             SnapshotImpl::Paths& paths, SnapshotImpl::PathInfo& pathInfo,
                             SnapshotImpl::PathDetails* details,
                             std::vector<SnapshotImpl::PathDetails::iterator>* regularFiles);
    void readContents(const std::vector<std::string>& dirs,
                      const std::vector<SnapshotImpl::PathDetails::iterator>& regularFiles);
    void endIfOutOfDescriptors(const std::string& path);
    void warn(const std::string& message);

    const IgnorePatternList& _ignorePatterns;
    MessageOutput& _output;
    ScanProgress _progress;
};

}  // namespace lumeno
}  // namespace products
}  // namespace quorvane
}  // namespace com

#endif
