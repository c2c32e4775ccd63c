#include "app/DumpCompare.h"

#include <algorithm>
#include <iterator>
#include <string>
#include <utility>

#include "app/DetailText.h"
#include "app/DumpReader.h"
#include "app/IsIgnored.h"

namespace com {
namespace quorvane {
namespace products {
namespace lumeno {

std::vector<SnapshotDifference> compare(DumpReader& oldDump, DumpReader& newDump) {
    std::vector<SnapshotDifference> created, deleted, modified;
    // Details count only where both dumps record them.
    const bool withDetails = oldDump.isDetailed() && newDump.isDetailed();
    // Most entries keep their details byte for byte: those need no reading.
    const bool sameLayout = withDetails && oldDump.layoutBytes() == newDump.layoutBytes();
    // So does content.
    const bool withContent = oldDump.holdsContent() && newDump.holdsContent();
    oldDump.rewind();
    newDump.rewind();
    while (!oldDump.atEnd() && !newDump.atEnd()) {
        const int order = oldDump.path().compare(newDump.path());
        if (order < 0) {
            deleted.push_back(SnapshotDifference{oldDump.path(), DELETED, oldDump.fingerprint(), 0, {}});
            oldDump.advance();
        } else if (order > 0) {
            created.push_back(SnapshotDifference{newDump.path(), CREATED, 0, newDump.fingerprint(), {}});
            newDump.advance();
        } else {
            std::vector<DetailChange> changes;
            std::string beforeContent, afterContent;
            if (withDetails && !(sameLayout && oldDump.detailBytes() == newDump.detailBytes())) {
                EntryDetails before = oldDump.details();
                EntryDetails after = newDump.details();
                if (!withContent) {
                    before.clear(EntryDetails::CONTENT);
                    after.clear(EntryDetails::CONTENT);
                }
                changes = detailChanges(before, after);
                if (withContent) {
                    beforeContent = wholeContentText(before);
                    afterContent = wholeContentText(after);
                    if (beforeContent == afterContent) {
                        beforeContent.clear();
                        afterContent.clear();
                    }
                }
            }
            if (oldDump.fingerprint() != newDump.fingerprint() || !changes.empty()) {
                modified.push_back(SnapshotDifference{oldDump.path(), MODIFIED, oldDump.fingerprint(),
                                                      newDump.fingerprint(), std::move(changes),
                                                      std::move(beforeContent), std::move(afterContent)});
            }
            oldDump.advance();
            newDump.advance();
        }
    }
    for (; !oldDump.atEnd(); oldDump.advance()) {
        deleted.push_back(SnapshotDifference{oldDump.path(), DELETED, oldDump.fingerprint(), 0, {}});
    }
    for (; !newDump.atEnd(); newDump.advance()) {
        created.push_back(SnapshotDifference{newDump.path(), CREATED, 0, newDump.fingerprint(), {}});
    }
    created.reserve(created.size() + deleted.size() + modified.size());
    created.insert(created.end(), std::make_move_iterator(deleted.begin()), std::make_move_iterator(deleted.end()));
    created.insert(created.end(), std::make_move_iterator(modified.begin()),
                   std::make_move_iterator(modified.end()));
    return created;
}

void removeIgnored(std::vector<SnapshotDifference>& differences, const IgnorePatternList& ignorePatterns) {
    std::string path;
    differences.erase(std::remove_if(differences.begin(), differences.end(),
                                     [&](const SnapshotDifference& difference) {
                                         path.assign(difference.path.data(), difference.path.size());
                                         return isIgnored(path, ignorePatterns);
                                     }),
                      differences.end());
}

}  // namespace lumeno
}  // namespace products
}  // namespace quorvane
}  // namespace com
