#ifndef VESTIGA_APP_REGISTRYSCANNER_H
#define VESTIGA_APP_REGISTRYSCANNER_H

#include <cstddef>
#include <set>
#include <string>
#include <utility>
#include <vector>

#include "app/Fingerprint.h"

namespace com {
namespace quorvane {
namespace products {
namespace lumeno {

class IgnorePatternList;
class MessageOutput;
class ScanProgress;

// The registry pass of a scan: every key below the keys named, with
// fingerprint 0, and every value, with the folded MD5 of its data. Problems
// with a key become warnings on the output; the pass goes on.
class RegistryScanner {
public:
    // One record of the pass: a path and its fingerprint.
    typedef std::pair<std::string, Fingerprint> Record;

    RegistryScanner(const IgnorePatternList& ignorePatterns, MessageOutput& output, ScanProgress& progress);

    // The records of the keys `regdirs` ("HKEY_ROOT" for every root key), in
    // byte order of their paths, each path once. A path that several items
    // give has the fingerprint of all of them together. `entriesBefore`
    // counts the entries the scan found before this pass, for the progress
    // line.
    std::vector<Record> scan(const std::vector<std::string>& regdirs, std::size_t entriesBefore);

private:
    void scanKey(const std::string& keyPath, std::vector<Record>& records);
    void record(const std::string& path, Fingerprint fingerprint, std::vector<Record>& records);
    void warn(const std::string& message);

    const IgnorePatternList& _ignorePatterns;
    MessageOutput& _output;
    ScanProgress& _progress;
    std::size_t _entriesBefore;
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
