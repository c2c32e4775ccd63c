#ifndef VESTIGA_APP_FINGERPRINT_H
#define VESTIGA_APP_FINGERPRINT_H

#include <cstdint>

namespace com {
namespace quorvane {
namespace products {
namespace lumeno {

// What a snapshot records of a path: the last-write FILETIME of a file or
// directory, 0 for a registry key, the folded MD5 of a registry value's data.
typedef std::uint64_t Fingerprint;

}  // namespace lumeno
}  // namespace products
}  // namespace quorvane
}  // namespace com

#endif
