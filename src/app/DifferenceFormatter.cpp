#include "app/DifferenceFormatter.h"

#include "util/NameQuoting.h"
#include "platform/errorresources/Assertion.h"

namespace com {
namespace quorvane {
namespace products {
namespace lumeno {

namespace {

const std::string::size_type blockSize = 1 << 16;

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

void writeDifferences(const std::vector<SnapshotDifference>& differences, MessageOutput& output) {
    std::string text;
    text.reserve(blockSize + 4096);
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
        if (text.size() >= blockSize) {
            output.write(text);
            text.clear();
        }
    }
    if (!text.empty()) output.write(text);
}

}  // namespace lumeno
}  // namespace products
}  // namespace quorvane
}  // namespace com
