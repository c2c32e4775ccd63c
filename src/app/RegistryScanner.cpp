#include "app/RegistryScanner.h"

#include <algorithm>

#include "app/IgnorePatterns.h"
#include "app/MessageOutput.h"
#include "app/ScanProgress.h"
#include "digest/DigestFold.h"
#include "digest/MD5DigestImpl.h"
#include "platform/win32/RootKeys.h"
#include "platform/win32/Win32.h"
#include "windows/registry/RegistryExceptions.h"
#include "windows/registry/RegistryHelpers.h"
#include "windows/registry/RegistryKeyImpl.h"
#include "windows/registry/RegistryReaderImpl.h"

namespace com {
namespace quorvane {
namespace products {
namespace lumeno {

namespace {

Fingerprint fingerprintOf(const std::string& data) {
    MD5DigestImpl digest;
    digest.update(data.data(), data.data() + data.size());
    std::vector<unsigned char> bytes;
    digest.getDigest(bytes);
    return foldDigest(bytes);
}

// The name a key path is read under: the root's name, then a backslash and
// the sub-key path when there is one.
std::string keyName(const std::string& keyPath) {
    const std::string::size_type separator = keyPath.find('\\');
    return separator + 1 == keyPath.size() ? keyPath.substr(0, separator) : keyPath;
}

}  // namespace

RegistryScanner::RegistryScanner(const IgnorePatternList& ignorePatterns, MessageOutput& output,
                                 ScanProgress& progress)
    : _ignorePatterns(ignorePatterns), _output(output), _progress(progress), _entriesBefore(0) {}

std::vector<RegistryScanner::Record> RegistryScanner::scan(const std::vector<std::string>& regdirs,
                                                           std::size_t entriesBefore) {
    _entriesBefore = entriesBefore;
    std::vector<std::string> keys(regdirs);
    if (std::find(keys.begin(), keys.end(), "HKEY_ROOT") != keys.end()) {
        keys.clear();
        for (const platform::RootKey& root : platform::ROOT_KEYS) keys.push_back(root.name);
    }
    for (const std::string& key : keys) _startKeyNames.insert(keyName(key));
    std::vector<Record> records;
    for (const std::string& key : keys) scanKey(key, records);

    // Every item that gives a path counts: a value beside a key of the same
    // name, or two values, one of them named with a backslash. A key adds 0.
    std::stable_sort(records.begin(), records.end(),
                     [](const Record& a, const Record& b) { return a.first < b.first; });
    std::vector<Record> combined;
    combined.reserve(records.size());
    for (Record& item : records) {
        if (!combined.empty() && combined.back().first == item.first) {
            combined.back().second ^= item.second;
        } else {
            combined.push_back(std::move(item));
        }
    }
    return combined;
}

void RegistryScanner::warn(const std::string& message) {
    _progress.clear();
    _output.write(message);
}

void RegistryScanner::record(const std::string& path, Fingerprint fingerprint, std::vector<Record>& records) {
    records.emplace_back(path, fingerprint);
}

void RegistryScanner::scanKey(const std::string& keyPath, std::vector<Record>& records) {
    if (keyPath.empty()) return;
    _progress.show(ScanProgress::READING_REGISTRY, _entriesBefore + records.size(), 0, keyPath);
    if (!isIgnored(keyPath, _ignorePatterns)) record(keyPath, 0, records);

    try {
        HKEY root = nullptr;
        std::string subKey;
        windows::registry::splitKeyPath(keyPath, root, subKey);
        windows::registry::RegistryKeyImpl key(root, subKey);
        const std::string name = key.getName();
        if (_startKeyNames.count(name) != 0 && !_readStartKeys.insert(name).second) return;
        key.open(root, KEY_READ);
        windows::registry::RegistryReaderImpl reader(&key);

        for (const auto& value : reader.getValues()) {
            const std::string valuePath = name + "\\" + value.first;
            // An ignored value is left out alone; the values after it still count.
            if (isIgnored(valuePath, _ignorePatterns)) continue;
            record(valuePath, fingerprintOf(value.second), records);
        }
        for (const std::string& subKeyName : reader.getSubKeys()) {
            const std::string subKeyPath = name + "\\" + subKeyName;
            // A key that is ignored with all below it is not opened.
            if (isIgnored(subKeyPath, _ignorePatterns) &&
                isEverythingBelowIgnored(subKeyPath, '\\', _ignorePatterns)) {
                continue;
            }
            scanKey(subKeyPath, records);
        }
    } catch (const windows::registry::RegistryException& e) {
        warn("Warning: Error gettings information from the registry. " + e.getMessage());
    }
}

}  // namespace lumeno
}  // namespace products
}  // namespace quorvane
}  // namespace com
