#include "app/EntryDetails.h"

namespace com {
namespace quorvane {
namespace products {
namespace lumeno {

bool EntryDetails::operator==(const EntryDetails& other) const {
    if (present != other.present) return false;
    for (int field = 0; field < FIELD_COUNT; ++field) {
        const Field f = static_cast<Field>(field);
        if (!has(f)) continue;
        if (field <= LAST_NUMBER ? number(f) != other.number(f) : bytes(f) != other.bytes(f)) return false;
    }
    return true;
}

}  // namespace lumeno
}  // namespace products
}  // namespace quorvane
}  // namespace com
