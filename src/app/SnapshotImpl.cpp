#include "app/SnapshotImpl.h"

#include "app/DumpWriter.h"
#include "app/SnapshotScanner.h"

namespace com {
namespace quorvane {
namespace products {
namespace lumeno {

SnapshotImpl::SnapshotImpl(const std::vector<std::string>& dirs, const std::vector<std::string>& regdirs,
                           const IgnorePatternList& ignorePatterns, MessageOutput& output, bool withDetails,
                           bool withContent)
    : _dirs(dirs),
      _regdirs(regdirs),
      _ignorePatterns(ignorePatterns),
      _output(output),
      _withDetails(withDetails),
      _withContent(withContent) {}

void SnapshotImpl::serialize(DumpWriter& writer, const std::string& dumpFile) const {
    SnapshotScanner(_ignorePatterns, _output).scan(_dirs, _regdirs, writer, _withDetails, _withContent, dumpFile);
}

}  // namespace lumeno
}  // namespace products
}  // namespace quorvane
}  // namespace com
