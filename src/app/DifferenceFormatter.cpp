#include "app/DifferenceFormatter.h"

#include "util/NameQuoting.h"
#include "platform/errorresources/Assertion.h"

namespace com {
namespace quorvane {
namespace products {
namespace lumeno {

namespace {

const char* differenceLabel(DifferenceKind kind) {
    switch (kind) {
    case CREATED:
        return "CRE";
    case DELETED:
        return "DEL";
    case MODIFIED:
        return "MOD";
    }
    ASSERT(false);
    return "";
}

}  // namespace

std::string formatDifferences(const std::vector<SnapshotDifference>& differences) {
    std::string text;
    for (const SnapshotDifference& difference : differences) {
        text += differenceLabel(difference.kind);
        text += ' ';
        appendShownName(text, difference.path);
        text += '\n';
        // Each value was quoted when it was made.
        for (const DetailChange& change : difference.changes) {
            text += "    ";
            text += change.name;
            text += ": ";
            text += change.before;
            text += " -> ";
            text += change.after;
            text += '\n';
        }
    }
    return text;
}

}  // namespace lumeno
}  // namespace products
}  // namespace quorvane
}  // namespace com
