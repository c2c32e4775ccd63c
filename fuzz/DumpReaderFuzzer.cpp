// Any bytes: either rejected as corrupt, or a snapshot that serialises to a
// dump which reads back to the same entries and the same bytes, and is no
// longer than what was read (duplicates go, nothing is added).
#include <cstdint>
#include <cstdlib>
#include <string>
#include <vector>

#include "app/SnapshotException.h"
#include "app/SnapshotImpl.h"

using namespace com::quorvane::products::lumeno;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const char* begin = reinterpret_cast<const char*>(data);
    std::vector<char> first;
    std::string listing;
    try {
        SnapshotImpl snapshot(begin, begin + size);
        snapshot.serialize(first);
        listing = snapshot.toString();
    } catch (const SnapshotException&) {
        return 0;
    }
    SnapshotImpl again(first.data(), first.data() + first.size());
    std::vector<char> second;
    again.serialize(second);
    if (first.size() > size || first != second || listing != again.toString()) std::abort();
    return 0;
}
