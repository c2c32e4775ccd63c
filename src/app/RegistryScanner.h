#ifndef VESTIGA_APP_REGISTRYSCANNER_H
#define VESTIGA_APP_REGISTRYSCANNER_H

#include <cstddef>
#include <set>
#include <string>
#include <utility>
#include <vector>

#include "app/Fingerprint.h"
#include "app/ScanRecord.h"

namespace windows {
namespace registry {
class RegistryKey;
}
}  // namespace windows

namespace com {
namespace quorvane {
namespace products {
namespace lumeno {

class IgnorePatternList;
class MessageOutput;
class ScanProgress;

// The registry pass of a scan: every key below the keys named, with
// fingerprint 0, and every value, with the folded MD5 of its data. A path
// that several items give (a value beside a key of the same name, or two
// values, one of them named with a backslash) has the folded MD5 of all of
// them together, so that no change of one can be cancelled by another.
// Problems with a key become warnings on the output; the pass goes on.
class RegistryScanner {
public:
    // One record of the pass: a path, its fingerprint and, when the pass
    // takes them, the details part of its record in a detailed dump.
    typedef ScanRecord Record;

    RegistryScanner(const IgnorePatternList& ignorePatterns, MessageOutput& output, ScanProgress& progress,
                    bool withDetails = false);

    // The records of the keys `regdirs` ("HKEY_ROOT" for every root key), in
    // byte order of their paths, each path once.
    std::vector<Record> scan(const std::vector<std::string>& regdirs);

private:
    // One item the pass found: a key or a value, the path of the key it
    // belongs to (a key's parent; empty for a root key), its own name, and
    // the MD5 of its data (empty for a key); `path` is the path it gives.
    // `details` is its details part, when the pass takes them; of several
    // items that give one path, the first in their order (a key before a
    // value) gives the path's details.
    struct Item {
        enum Kind { KEY = 'K', VALUE = 'V' };
        std::string path;
        Kind kind;
        std::string keyPath;
        std::string name;
        std::vector<unsigned char> digest;
        std::string details;
    };

    // The fingerprint of the items that give one path.
    static Fingerprint fingerprintOf(std::vector<Item>::const_iterator begin,
                                     std::vector<Item>::const_iterator end);
    // Reads the key at `keyPath` and all below it: a key named on the
    // command line when `parent` is 0, else the sub-key of the open `parent`
    // named by the last part of the path.
    void scanKey(const std::string& keyPath, const windows::registry::RegistryKey* parent, std::vector<Item>& items);
    void warn(const std::string& message);

    const IgnorePatternList& _ignorePatterns;
    MessageOutput& _output;
    ScanProgress& _progress;
    const bool _withDetails;
    // The names of the keys the pass starts from, and those of them read so
    // far. A key named twice, or named below another one named, is read
    // once.
    std::set<std::string> _startKeyNames;
    std::set<std::string> _readStartKeys;
};

}  // namespace lumeno
}  // namespace products
}  // namespace quorvane
}  // namespace com

#endif
