#include "app/RegistryScanner.h"

#include <algorithm>
#include <cstdint>
#include <memory>
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

RegistryScanner::RegistryScanner(const IgnorePatternList& ignorePatterns, MessageOutput& output,
                                 ScanProgress& progress, bool withDetails)
    : _ignorePatterns(ignorePatterns), _output(output), _progress(progress), _withDetails(withDetails) {}

std::vector<RegistryScanner::Record> RegistryScanner::scan(const std::vector<std::string>& regdirs) {
    std::vector<std::string> keys(regdirs);
    if (std::find(keys.begin(), keys.end(), "HKEY_ROOT") != keys.end()) {
        keys.clear();
        for (const platform::RootKey& root : platform::ROOT_KEYS) keys.push_back(root.name);
    }
    for (const std::string& key : keys) _startKeyNames.insert(keyName(key));
    std::vector<Item> items;
    for (const std::string& key : keys) scanKey(key, nullptr, items);

    // The items of one path in one fixed order, whatever the order the
    // registry listed them in.
    std::sort(items.begin(), items.end(), [](const Item& a, const Item& b) {
        return std::tie(a.path, a.kind, a.keyPath, a.name, a.digest) <
               std::tie(b.path, b.kind, b.keyPath, b.name, b.digest);
    });
    std::vector<Record> records;
    records.reserve(items.size());
    for (auto first = items.begin(); first != items.end();) {
        auto last = first + 1;
        while (last != items.end() && last->path == first->path) ++last;
        Record record;
        record.path = first->path;
        record.fingerprint = fingerprintOf(first, last);
        record.details = first->details;
        records.push_back(std::move(record));
        first = last;
    }
    return records;
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

void RegistryScanner::warn(const std::string& message) {
    _progress.clear();
    _output.write(message);
}

void RegistryScanner::scanKey(const std::string& keyPath, const windows::registry::RegistryKey* parent,
                              std::vector<Item>& items) {
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

        std::vector<unsigned long> types;
        const std::vector<std::pair<std::string, std::string>> values = reader.getValues(types);
        for (std::size_t i = 0; i < values.size(); ++i) {
            const auto& value = values[i];
            const std::string valuePath = name + "\\" + value.first;
            // An ignored value is left out alone; the values after it still count.
            if (isIgnored(valuePath, _ignorePatterns)) continue;
            items.push_back(Item{valuePath, Item::VALUE, name, value.first, md5Of(value.second), {}});
            if (_withDetails) items.back().details = valueDetails(types[i], value.second, items.back().digest);
        }
        for (const std::string& subKeyName : reader.getSubKeys()) {
            const std::string subKeyPath = name + "\\" + subKeyName;
            // A key that is ignored with all below it is not opened.
            if (isIgnored(subKeyPath, _ignorePatterns) &&
                isEverythingBelowIgnored(subKeyPath, '\\', _ignorePatterns)) {
                continue;
            }
            scanKey(subKeyPath, key.get(), items);
        }
    } catch (const windows::registry::RegistryException& e) {
        warn("Warning: Error gettings information from the registry. " + e.getMessage());
    }
}

}  // namespace lumeno
}  // namespace products
}  // namespace quorvane
}  // namespace com
