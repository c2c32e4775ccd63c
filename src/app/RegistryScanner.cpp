#include "app/RegistryScanner.h"

#include <algorithm>
#include <cstdint>
#include <iterator>
#include <memory>
#include <set>
#include <tuple>

#include "app/DetailedDumpFormat.h"
#include "app/EntryDetails.h"
#include "app/IgnorePatterns.h"
#include "app/MessageOutput.h"
#include "app/ScanProgress.h"
#include "digest/DigestFold.h"
#include "digest/MD5DigestImpl.h"
#include "platform/win32/RootKeys.h"
#include "windows/registry/RegistryExceptions.h"
#include "windows/registry/RegistryHelpers.h"
#include "windows/registry/RegistryKeyImpl.h"
#include "windows/registry/RegistryReaderImpl.h"

namespace com {
namespace quorvane {
namespace products {
namespace lumeno {

namespace {

std::vector<unsigned char> md5Of(const std::string& data) {
    MD5DigestImpl digest;
    digest.update(data.data(), data.data() + data.size());
    std::vector<unsigned char> bytes;
    digest.getDigest(bytes);
    return bytes;
}

// Adds a field to a digest as its length (8 bytes, little-endian) and its
// bytes, so that no two lists of fields give the same bytes.
void addField(MD5DigestImpl& digest, const char* begin, const char* end) {
    char length[8];
    std::uint64_t size = static_cast<std::uint64_t>(end - begin);
    for (char& byte : length) {
        byte = static_cast<char>(size & 0xFF);
        size >>= 8;
    }
    digest.update(length, length + sizeof length);
    digest.update(begin, end);
}

void addField(MD5DigestImpl& digest, const std::string& field) {
    addField(digest, field.data(), field.data() + field.size());
}

// The name a key path is read under: the root's name, then a backslash and
// the sub-key path when there is one.
std::string keyName(const std::string& keyPath) {
    const std::string::size_type separator = keyPath.find('\\');
    return separator + 1 == keyPath.size() ? keyPath.substr(0, separator) : keyPath;
}

// 100-nanosecond steps from 1601-01-01 to 1970-01-01.
const std::int64_t stepsBeforeUnixEpoch = 116444736000000000LL;

std::string keyDetails(std::uint64_t lastWrite) {
    EntryDetails details;
    details.setNumber(EntryDetails::KIND, EntryDetails::REGISTRY_KEY);
    if (lastWrite != 0) {
        details.setNumber(EntryDetails::LAST_WRITE,
                          static_cast<std::uint64_t>((static_cast<std::int64_t>(lastWrite) - stepsBeforeUnixEpoch) * 100));
    }
    std::string encoded;
    DetailedDumpFormat::appendDetails(encoded, details);
    return encoded;
}

// Data up to the limit is kept whole; beyond it, its size and digest.
std::string valueDetails(unsigned long type, const std::string& data, const std::vector<unsigned char>& digest) {
    EntryDetails details;
    details.setNumber(EntryDetails::KIND, EntryDetails::REGISTRY_VALUE);
    details.setNumber(EntryDetails::REGISTRY_TYPE, type);
    details.setNumber(EntryDetails::DATA_SIZE, data.size());
    if (data.size() <= EntryDetails::DATA_LIMIT) {
        details.setBytes(EntryDetails::DATA, data);
    } else {
        details.setNumber(EntryDetails::DATA_DIGEST, foldDigest(digest));
    }
    std::string encoded;
    DetailedDumpFormat::appendDetails(encoded, details);
    return encoded;
}

}  // namespace

// One step of the walk of a listed key, in path order: an item, or the keys
// below a sub-key, which sort by the sub-key's path and a backslash.
struct RegistryScanner::Step {
    enum Kind { ITEM, DESCEND };
    Kind kind = ITEM;
    std::string sortKey;
    Item item;
    // For a descent: the sub-key's path and its own name, where it stands in
    // the registry's order, whether its own record is taken, and whether it
    // is a key named, which opens by its path.
    std::string keyPath;
    std::string name;
    ListOrder order;
    bool recorded = false;
    bool named = false;
};

// A listed key on the walk's stack, open (none for the keys named), with its
// steps, sorted, and the next.
struct RegistryScanner::Frame {
    std::unique_ptr<windows::registry::RegistryKeyImpl> key;
    std::vector<Step> steps;
    std::size_t next = 0;
};

RegistryScanner::RegistryScanner(const IgnorePatternList& ignorePatterns, MessageOutput& output,
                                 ScanProgress& progress, bool withDetails)
    : _ignorePatterns(ignorePatterns),
      _output(output),
      _progress(progress),
      _withDetails(withDetails),
      _nextCollected(0),
      _handedOut(0),
      _warned(false) {}

RegistryScanner::~RegistryScanner() = default;

void RegistryScanner::begin(const std::vector<std::string>& regdirs) {
    std::vector<std::string> keys(regdirs);
    if (std::find(keys.begin(), keys.end(), "HKEY_ROOT") != keys.end()) {
        keys.clear();
        for (const platform::RootKey& root : platform::ROOT_KEYS) keys.push_back(root.name);
    }
    for (const std::string& key : keys) _startKeyNames.insert(keyName(key));
    // The keys named, each once, in the order of their names: walked one
    // after the other when none begins with the one before it.
    std::vector<std::pair<std::string, std::size_t>> named;
    std::set<std::string> seen;
    for (std::size_t i = 0; i < keys.size(); ++i) {
        if (!keys[i].empty() && seen.insert(keyName(keys[i])).second) named.emplace_back(keys[i], i);
    }
    std::sort(named.begin(), named.end(), [](const std::pair<std::string, std::size_t>& a,
                                              const std::pair<std::string, std::size_t>& b) {
        return keyName(a.first) < keyName(b.first);
    });
    bool followEachOther = true;
    for (std::size_t i = 1; i < named.size(); ++i) {
        const std::string before = keyName(named[i - 1].first);
        if (keyName(named[i].first).compare(0, before.size(), before) == 0) followEachOther = false;
    }
    if (!followEachOther) {
        std::vector<Item> items;
        for (std::size_t i = 0; i < keys.size(); ++i) {
            scanKey(keys[i], nullptr, ListOrder{static_cast<std::uint32_t>(i)}, items);
        }
        // The items of one path in one fixed order, whatever the order the
        // registry listed them in.
        std::sort(items.begin(), items.end(), [](const Item& a, const Item& b) {
            return std::tie(a.path, a.kind, a.keyPath, a.name, a.digest) <
                   std::tie(b.path, b.kind, b.keyPath, b.name, b.digest);
        });
        for (auto first = items.begin(); first != items.end();) {
            auto last = first + 1;
            while (last != items.end() && last->path == first->path) ++last;
            std::vector<Item> group(std::make_move_iterator(first), std::make_move_iterator(last));
            _collected.push_back(recordOf(group));
            first = last;
        }
        return;
    }
    Frame root;
    for (const auto& key : named) {
        const std::string name = keyName(key.first);
        const std::string::size_type separator = name.rfind('\\');
        const std::string::size_type nameStart = separator == std::string::npos ? 0 : separator + 1;
        Step descend;
        descend.kind = Step::DESCEND;
        descend.sortKey = name + "\\";
        descend.keyPath = key.first;
        descend.name = name.substr(nameStart);
        descend.order = ListOrder{static_cast<std::uint32_t>(key.second)};
        descend.recorded = !isIgnored(key.first, _ignorePatterns);
        descend.named = true;
        if (descend.recorded) {
            Step record;
            record.sortKey = key.first;
            record.item = Item{key.first, Item::KEY, name.substr(0, nameStart == 0 ? 0 : separator),
                               name.substr(nameStart), {}, _withDetails ? keyDetails(0) : std::string()};
            root.steps.push_back(std::move(record));
        }
        root.steps.push_back(std::move(descend));
    }
    sortSteps(root.steps);
    _stack.push_back(std::move(root));
}

// A key's own record before the keys below it where the two sort alike.
void RegistryScanner::sortSteps(std::vector<Step>& steps) {
    std::stable_sort(steps.begin(), steps.end(), [](const Step& a, const Step& b) {
        return std::tie(a.sortKey, a.kind) < std::tie(b.sortKey, b.kind);
    });
}

bool RegistryScanner::next(Record& record) {
    if (_stack.empty() && !_walked && _waiting.empty() && _nextCollected < _collected.size()) {
        record = std::move(_collected[_nextCollected++]);
        return true;
    }
    if (!_walked) {
        Item item;
        if (nextWalked(item)) _walked.reset(new Item(std::move(item)));
    }
    if (!_walked && _waiting.empty()) {
        if (!_warned) {
            _warned = true;
            std::stable_sort(_warnings.begin(), _warnings.end(),
                             [](const std::pair<ListOrder, std::string>& a,
                                const std::pair<ListOrder, std::string>& b) { return a.first < b.first; });
            if (!_warnings.empty()) _progress.clear();
            for (const auto& warning : _warnings) _output.write(warning.second);
        }
        return false;
    }
    const std::string path =
        _walked && (_waiting.empty() || _walked->path <= _waiting.begin()->first) ? _walked->path
                                                                                  : _waiting.begin()->first;
    std::vector<Item> items;
    const auto waiting = _waiting.equal_range(path);
    for (auto item = waiting.first; item != waiting.second; ++item) items.push_back(std::move(item->second));
    _waiting.erase(waiting.first, waiting.second);
    while (_walked && _walked->path == path) {
        items.push_back(std::move(*_walked));
        _walked.reset();
        Item item;
        if (nextWalked(item)) _walked.reset(new Item(std::move(item)));
    }
    record = recordOf(items);
    ++_handedOut;
    return true;
}

bool RegistryScanner::nextWalked(Item& item) {
    while (!_stack.empty()) {
        Frame& frame = _stack.back();
        if (frame.next == frame.steps.size()) {
            _stack.pop_back();
            continue;
        }
        Step& step = frame.steps[frame.next++];
        if (step.kind == Step::ITEM) {
            // A key's record holds its last-write time: the key is opened
            // for it here, and again when the walk goes below it.
            if (step.item.kind == Item::KEY && _withDetails) {
                try {
                    const std::unique_ptr<windows::registry::RegistryKeyImpl> key =
                        frame.key ? windows::registry::openSubKeyToRead(*frame.key, step.item.name)
                                  : windows::registry::openKeyToRead(step.item.path);
                    windows::registry::RegistryReaderImpl reader(key.get());
                    step.item.details = keyDetails(reader.getLastWriteTime());
                } catch (const windows::registry::RegistryException&) {
                }
            }
            item = std::move(step.item);
            return true;
        }
        listKey(step);
    }
    return false;
}

void RegistryScanner::listKey(Step& step) {
    const windows::registry::RegistryKey* parent = _stack.back().key.get();
    _progress.show(ScanProgress::READING_REGISTRY, _handedOut, step.keyPath);
    const std::string name = keyName(step.keyPath);
    Frame frame;
    try {
        frame.key = step.named ? windows::registry::openKeyToRead(step.keyPath)
                               : windows::registry::openSubKeyToRead(*parent, step.name);
        windows::registry::RegistryReaderImpl reader(frame.key.get());
        // As the record's time was read: a key whose time cannot be read
        // gives nothing below it.
        if (step.recorded && _withDetails) reader.getLastWriteTime();

        for (Item& item : valueItems(reader, name)) {
            if (item.name.find('\\') != std::string::npos) {
                const std::string path = item.path;
                _waiting.emplace(path, std::move(item));
                continue;
            }
            Step record;
            record.sortKey = item.path;
            record.item = std::move(item);
            frame.steps.push_back(std::move(record));
        }
        const std::vector<std::string> subKeys = reader.getSubKeys();
        for (std::size_t i = 0; i < subKeys.size(); ++i) {
            const std::string subKeyPath = name + "\\" + subKeys[i];
            // A key that is ignored with all below it is not opened.
            const bool ignored = isIgnored(subKeyPath, _ignorePatterns);
            if (ignored && isEverythingBelowIgnored(subKeyPath, '\\', _ignorePatterns)) continue;
            Step descend;
            descend.kind = Step::DESCEND;
            descend.sortKey = subKeyPath + "\\";
            descend.keyPath = subKeyPath;
            descend.name = subKeys[i];
            descend.order = step.order;
            descend.order.push_back(static_cast<std::uint32_t>(i));
            descend.recorded = !ignored;
            if (descend.recorded) {
                Step record;
                record.sortKey = subKeyPath;
                record.item = Item{subKeyPath, Item::KEY, name, subKeys[i], {},
                                   _withDetails ? keyDetails(0) : std::string()};
                frame.steps.push_back(std::move(record));
            }
            frame.steps.push_back(std::move(descend));
        }
    } catch (const windows::registry::RegistryException& e) {
        warn(step.order, "Warning: Error gettings information from the registry. " + e.getMessage());
        if (!frame.key) return;
    }
    sortSteps(frame.steps);
    _stack.push_back(std::move(frame));
}

// An ignored value is left out alone; the values after it still count.
std::vector<RegistryScanner::Item> RegistryScanner::valueItems(windows::registry::RegistryReaderImpl& reader,
                                                               const std::string& name) const {
    std::vector<unsigned long> types;
    const std::vector<std::pair<std::string, std::string>> values = reader.getValues(types);
    std::vector<Item> items;
    for (std::size_t i = 0; i < values.size(); ++i) {
        const auto& value = values[i];
        const std::string valuePath = name + "\\" + value.first;
        if (isIgnored(valuePath, _ignorePatterns)) continue;
        items.push_back(Item{valuePath, Item::VALUE, name, value.first, md5Of(value.second), {}});
        if (_withDetails) items.back().details = valueDetails(types[i], value.second, items.back().digest);
    }
    return items;
}

RegistryScanner::Record RegistryScanner::recordOf(std::vector<Item>& items) {
    std::sort(items.begin(), items.end(), [](const Item& a, const Item& b) {
        return std::tie(a.kind, a.keyPath, a.name, a.digest) < std::tie(b.kind, b.keyPath, b.name, b.digest);
    });
    Record record;
    record.path = items.front().path;
    record.fingerprint = fingerprintOf(items.begin(), items.end());
    record.details = items.front().details;
    return record;
}

Fingerprint RegistryScanner::fingerprintOf(std::vector<Item>::const_iterator begin,
                                           std::vector<Item>::const_iterator end) {
    if (end - begin == 1) return begin->kind == Item::KEY ? 0 : foldDigest(begin->digest);
    MD5DigestImpl digest;
    for (auto item = begin; item != end; ++item) {
        const char kind = static_cast<char>(item->kind);
        digest.update(&kind, &kind + 1);
        addField(digest, item->keyPath);
        addField(digest, item->name);
        const char* data = reinterpret_cast<const char*>(item->digest.data());
        addField(digest, data, data + item->digest.size());
    }
    std::vector<unsigned char> bytes;
    digest.getDigest(bytes);
    return foldDigest(bytes);
}

void RegistryScanner::warn(const ListOrder& order, const std::string& message) {
    _warnings.emplace_back(order, message);
}

void RegistryScanner::scanKey(const std::string& keyPath, const windows::registry::RegistryKey* parent,
                              const ListOrder& order, std::vector<Item>& items) {
    if (keyPath.empty()) return;
    const std::string name = keyName(keyPath);
    if (_startKeyNames.count(name) != 0 && !_readStartKeys.insert(name).second) return;
    _progress.show(ScanProgress::READING_REGISTRY, items.size(), keyPath);
    const std::string::size_type separator = name.rfind('\\');
    const std::string::size_type nameStart = separator == std::string::npos ? 0 : separator + 1;
    const bool recorded = !isIgnored(keyPath, _ignorePatterns);
    const std::size_t keyItem = items.size();
    if (recorded) {
        items.push_back(Item{keyPath, Item::KEY, name.substr(0, nameStart == 0 ? 0 : separator),
                             name.substr(nameStart), {}, _withDetails ? keyDetails(0) : std::string()});
    }

    try {
        // A key named on the command line opens by its path below its
        // root; every key below it by its own name, relative to its parent.
        const std::unique_ptr<windows::registry::RegistryKeyImpl> key =
            parent == nullptr ? windows::registry::openKeyToRead(keyPath)
                              : windows::registry::openSubKeyToRead(*parent, name.substr(nameStart));
        windows::registry::RegistryReaderImpl reader(key.get());
        if (recorded && _withDetails) items[keyItem].details = keyDetails(reader.getLastWriteTime());

        for (Item& item : valueItems(reader, name)) items.push_back(std::move(item));
        const std::vector<std::string> subKeys = reader.getSubKeys();
        for (std::size_t i = 0; i < subKeys.size(); ++i) {
            const std::string subKeyPath = name + "\\" + subKeys[i];
            // A key that is ignored with all below it is not opened.
            if (isIgnored(subKeyPath, _ignorePatterns) &&
                isEverythingBelowIgnored(subKeyPath, '\\', _ignorePatterns)) {
                continue;
            }
            ListOrder below = order;
            below.push_back(static_cast<std::uint32_t>(i));
            scanKey(subKeyPath, key.get(), below, items);
        }
    } catch (const windows::registry::RegistryException& e) {
        warn(order, "Warning: Error gettings information from the registry. " + e.getMessage());
    }
}

}  // namespace lumeno
}  // namespace products
}  // namespace quorvane
}  // namespace com
