#ifndef VESTIGA_APP_SNAPSHOTDIFFERENCE_H
#define VESTIGA_APP_SNAPSHOTDIFFERENCE_H

#include <cstdint>
#include <string>

namespace com {
namespace quorvane {
namespace products {
namespace lumeno {

enum DifferenceKind : std::int32_t {
    CREATED = 0,   // in the new snapshot only
    DELETED = 1,   // in the old snapshot only
    MODIFIED = 2,  // in both, with different fingerprints
};

struct SnapshotDifference {
    std::string path;
    DifferenceKind kind;
};

}  // namespace lumeno
}  // namespace products
}  // namespace quorvane
}  // namespace com

#endif
