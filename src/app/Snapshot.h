#ifndef VESTIGA_APP_SNAPSHOT_H
#define VESTIGA_APP_SNAPSHOT_H

#include <memory_resource>
#include <set>
#include <string>
#include <vector>

namespace com {
namespace quorvane {
namespace products {
namespace lumeno {

// The record of one scan: a sorted set of entry paths with one fingerprint
// each. Complete when constructed, read-only afterwards.
class Snapshot {
public:
    virtual ~Snapshot() {}
    // All entry paths, ordered byte by byte.
    virtual const std::pmr::set<std::pmr::string>* getPaths() const = 0;
    // Appends the dump file bytes of this snapshot to `out`.
    virtual void serialize(std::vector<char>& out) const = 0;
    // The listing: one line per path.
    virtual std::string toString() const = 0;
};

}  // namespace lumeno
}  // namespace products
}  // namespace quorvane
}  // namespace com

#endif
