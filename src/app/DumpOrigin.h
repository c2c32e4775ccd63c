#ifndef VESTIGA_APP_DUMPORIGIN_H
#define VESTIGA_APP_DUMPORIGIN_H

#include <optional>
#include <string>
#include <vector>

namespace com {
namespace quorvane {
namespace products {
namespace lumeno {

// What a detailed dump records about the scan it was made of. A dump read
// back may lack any of it; the bytes are as they were written, unchecked
// beyond their form.
struct DumpOrigin {
    // The version of the program that made it, as its help text gives it.
    std::optional<std::string> programVersion;
    std::optional<std::string> hostName;
    // When the scan started, UTC, as "YYYY-MM-DDTHH:MM:SS.fffffffZ": two
    // such texts sort as the times do.
    std::optional<std::string> scanStarted;
    // The -dirs and -regdirs arguments as given.
    std::optional<std::vector<std::string>> dirs;
    std::optional<std::vector<std::string>> regdirs;
    // The SHA-256 digest (32 bytes) of the ignore file, when one was used.
    std::optional<std::string> ignoreFileDigest;
};

}  // namespace lumeno
}  // namespace products
}  // namespace quorvane
}  // namespace com

#endif
