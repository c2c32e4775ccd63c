#ifndef VESTIGA_APP_SNAPSHOTDIFFERENCE_H
#define VESTIGA_APP_SNAPSHOTDIFFERENCE_H

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "app/Fingerprint.h"

namespace com {
namespace quorvane {
namespace products {
namespace lumeno {

enum DifferenceKind : std::int32_t {
    CREATED = 0,   // in the new snapshot only
    DELETED = 1,   // in the old snapshot only
    MODIFIED = 2,  // in both, with different fingerprints
};

// A detail of an entry that two detailed dumps record differently: its
// name and both values, as the report shows them.
struct DetailChange {
    const char* name;
    std::string before;
    std::string after;
};

// Both sides' records of a path that differs. The path lies in the bytes of
// the dump it was read from.
struct SnapshotDifference {
    std::string_view path;
    DifferenceKind kind;
    Fingerprint before;  // 0 for a creation
    Fingerprint after;   // 0 for a deletion
    // For a modification between two detailed dumps, in the order of the fields.
    std::vector<DetailChange> changes = {};
    // For a modification between two content dumps whose content differs,
    // each side's content with the whole digest; empty otherwise.
    std::string beforeContent = {};
    std::string afterContent = {};
};

}  // namespace lumeno
}  // namespace products
}  // namespace quorvane
}  // namespace com

#endif
