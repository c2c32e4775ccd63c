#ifndef VESTIGA_APP_REGISTRYSCANNER_H
#define VESTIGA_APP_REGISTRYSCANNER_H

#include <cstddef>
#include <cstdint>
#include <map>
#include <memory>
#include <set>
#include <string>
#include <utility>
#include <vector>

#include "app/Fingerprint.h"
#include "app/ScanRecord.h"

namespace windows {
namespace registry {
class RegistryKey;
class RegistryReaderImpl;
}  // namespace registry
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
//
// The records come out one at a time, in byte order of their paths. Keys
// named none of which begins with another, as the root keys, are walked as
// the file system is: depth first, the values and sub-keys of each key
// sorted as whole paths sort (a sub-key's record by its name, what lies
// below it by its name and a backslash), with the keys open from the one
// named down to the one listed. A value whose name holds a backslash gives a
// path below a sub-key, or beside one: it waits, sorted, until the walk
// passes its path. Keys named inside one another are read whole, sorted and
// handed out, as the items of one path may then come from two of them.
//
// The warnings keep the order of a walk in the order the registry lists
// keys, the keys named one after the other: they are written once the last
// record has been handed out.
class RegistryScanner {
public:
    // One record of the pass: a path, its fingerprint and, when the pass
    // takes them, the details part of its record in a detailed dump.
    typedef ScanRecord Record;

    RegistryScanner(const IgnorePatternList& ignorePatterns, MessageOutput& output, ScanProgress& progress,
                    bool withDetails = false);
    ~RegistryScanner();

    // Begins the pass over the keys `regdirs` ("HKEY_ROOT" for every root
    // key).
    void begin(const std::vector<std::string>& regdirs);
    // The next record of the pass; false at the end, once the pass's
    // warnings are written.
    bool next(Record& record);

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
        Kind kind = KEY;
        std::string keyPath;
        std::string name;
        std::vector<unsigned char> digest;
        std::string details;
    };
    struct Step;
    struct Frame;
    // Where a key stands in the walk in the registry's own order: the
    // position of the key named, then of each sub-key in its parent's list.
    typedef std::vector<std::uint32_t> ListOrder;

    // The items of the values of the key open in `reader`, whose path is
    // `name`, that the ignore patterns let through.
    std::vector<Item> valueItems(windows::registry::RegistryReaderImpl& reader, const std::string& name) const;
    // The record of the items that give one path.
    static Record recordOf(std::vector<Item>& items);
    // The fingerprint of the items that give one path.
    static Fingerprint fingerprintOf(std::vector<Item>::const_iterator begin,
                                     std::vector<Item>::const_iterator end);
    // Reads the key at `keyPath` and all below it into `items`: a key named
    // on the command line when `parent` is 0, else the sub-key of the open
    // `parent` named by the last part of the path.
    void scanKey(const std::string& keyPath, const windows::registry::RegistryKey* parent, const ListOrder& order,
                 std::vector<Item>& items);
    // The walk's next item in path order, or false at its end.
    bool nextWalked(Item& item);
    // Orders the steps of a key as their paths sort.
    static void sortSteps(std::vector<Step>& steps);
    // Lists the key of a sub-key step (or a key named) into a frame.
    void listKey(Step& step);
    void warn(const ListOrder& order, const std::string& message);

    const IgnorePatternList& _ignorePatterns;
    MessageOutput& _output;
    ScanProgress& _progress;
    const bool _withDetails;
    // The names of the keys the pass starts from, and those of them read so
    // far. A key named twice, or named below another one named, is read
    // once.
    std::set<std::string> _startKeyNames;
    std::set<std::string> _readStartKeys;
    // The records of keys named inside one another, read whole, and the
    // next of them.
    std::vector<Record> _collected;
    std::size_t _nextCollected;
    // The walk: its stack, the item it gave last and not yet handed out, and
    // the values named with a backslash that wait for their place.
    std::vector<Frame> _stack;
    std::unique_ptr<Item> _walked;
    std::multimap<std::string, Item> _waiting;
    std::size_t _handedOut;
    std::vector<std::pair<ListOrder, std::string>> _warnings;
    bool _warned;
};

}  // namespace lumeno
}  // namespace products
}  // namespace quorvane
}  // namespace com

#endif
