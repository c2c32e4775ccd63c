#include "app/SnapshotScanner.h"

#include <algorithm>
#include <functional>
#include <string_view>
#include <utility>

#include "app/DetailedDumpFormat.h"
#include "app/EntryDetails.h"
#include "app/IgnorePatterns.h"
#include "app/MessageOutput.h"
#include "app/RegistryScanner.h"
#include "app/SnapshotException.h"
#include "app/SortedRuns.h"
#include "digest/ContentDigestPool.h"
#include "digest/DigestFold.h"
#include "digest/MD5DigestImpl.h"
#include "platform/errorresources/SystemErrors.h"
#include "platform/win32/FileDetails.h"
#include "platform/win32/LastError.h"
#include "platform/win32/PathSeparator.h"
#include "platform/win32/ScanSession.h"
#include "util/NameQuoting.h"
#include "windows/file/WindowsFileExceptions.h"
#include "windows/file/WindowsFileHelper.h"

namespace com {
namespace quorvane {
namespace products {
namespace lumeno {

namespace {

// The records that wait for the digests of their files: the first window
// is small, so that the reading begins soon after the walk, and each next
// one twice the last, up to the most.
const std::size_t firstContentWindowSize = 1 << 9;
const std::size_t contentWindowSize = 1 << 14;

// The bytes of the records that walks in no order of their own hold in
// memory together, beyond which they go to scratch files.
const std::size_t runMemoryBound = 16 << 20;

// How much of `path` is a directory as the user named it, with its separator.
std::size_t typedLength(const std::vector<std::string>& dirs, const std::string& path) {
    std::size_t longest = std::string::npos;
    for (const std::string& dir : dirs) {
        const std::size_t root =
            !dir.empty() && dir.back() == platform::PATH_SEPARATOR ? dir.size() : dir.size() + 1;
        if (path.size() <= root || path.compare(0, dir.size(), dir) != 0) continue;
        if (root > dir.size() && path[dir.size()] != platform::PATH_SEPARATOR) continue;
        if (longest == std::string::npos || root > longest) longest = root;
    }
    return longest;
}

std::uint64_t foldedMd5(const std::string& data) {
    MD5DigestImpl digest;
    digest.update(data.data(), data.data() + data.size());
    std::vector<unsigned char> bytes;
    digest.getDigest(bytes);
    return foldDigest(bytes);
}

// The extended attributes as a detailed dump holds them: sorted by name,
// each name with the folded MD5 of its value.
std::string attributeList(std::vector<std::pair<std::string, std::string>> attributes) {
    std::sort(attributes.begin(), attributes.end());
    std::string list;
    for (const auto& attribute : attributes) {
        DetailedDumpFormat::appendAttribute(list, attribute.first, foldedMd5(attribute.second));
    }
    return list;
}

std::string encodedDetails(const platform::FileDetails& file) {
    EntryDetails details;
    details.setNumber(EntryDetails::KIND, static_cast<std::uint64_t>(file.kind));
    details.setNumber(EntryDetails::SIZE, file.size);
    details.setNumber(EntryDetails::LAST_WRITE, static_cast<std::uint64_t>(file.lastWrite));
    details.setNumber(EntryDetails::DEVICE, file.device);
    details.setNumber(EntryDetails::INDEX, file.index);
    details.setNumber(EntryDetails::LINKS, file.links);
    if (file.hasOwnership) {
        details.setNumber(EntryDetails::MODE, file.mode);
        details.setNumber(EntryDetails::OWNER, file.owner);
        details.setNumber(EntryDetails::GROUP, file.group);
        details.setNumber(EntryDetails::STATUS_CHANGE, static_cast<std::uint64_t>(file.statusChange));
    }
    if (file.hasAttributes) details.setNumber(EntryDetails::ATTRIBUTES, file.attributes);
    if (file.kind == platform::FileDetails::LINK && !file.linkTarget.empty()) {
        details.setBytes(EntryDetails::LINK_TARGET, file.linkTarget);
    }
    std::string encoded;
    DetailedDumpFormat::appendDetails(encoded, details);
    return encoded;
}

// Messages kept to be written later, in the order they came.
class HeldMessages : public MessageOutput {
public:
    void write(const std::string& message) override { _messages.push_back(message); }
    void writeTo(MessageOutput& output) const {
        for (const std::string& message : _messages) output.write(message);
    }

private:
    std::vector<std::string> _messages;
};

// Collects records a window at a time: a full window goes to `complete`,
// which hands its records on; so does the last when `finish` is called.
class RecordWindow : public ScanRecordSink {
public:
    RecordWindow(std::size_t first, std::size_t most, const std::function<void(std::vector<ScanRecord>&)>& complete)
        : _size(first), _most(most), _complete(complete) {}

    void take(ScanRecord& record) override {
        _records.push_back(std::move(record));
        if (_records.size() < _size) return;
        finish();
        _size = std::min(_size * 2, _most);
    }
    void finish() {
        if (!_records.empty()) _complete(_records);
        _records.clear();
    }

private:
    std::size_t _size;
    std::size_t _most;
    std::function<void(std::vector<ScanRecord>&)> _complete;
    std::vector<ScanRecord> _records;
};

// Hands the records of the file system on, with the registry's records
// merged in at their places.
class RegistryMerge : public ScanRecordSink {
public:
    RegistryMerge(RegistryScanner* registry, ScanRecordSink& sink) : _registry(registry), _sink(sink) { pull(); }

    void take(ScanRecord& record) override {
        while (_pending && _next.path < record.path) handOn();
        if (_pending && _next.path == record.path) {
            record.fingerprint ^= _next.fingerprint;
            pull();
        }
        _sink.take(record);
    }
    void finish() {
        while (_pending) handOn();
    }

private:
    void pull() { _pending = _registry != nullptr && _registry->next(_next); }
    void handOn() {
        _sink.take(_next);
        pull();
    }

    RegistryScanner* _registry;
    ScanRecordSink& _sink;
    ScanRecord _next;
    bool _pending = false;
};

// Whether the walks of `dirs`, one after the other, give their paths in byte
// order: the directories are in that order, and none begins with the one
// before it, so that every path below one sorts before the next.
bool walksFollowEachOther(const std::vector<std::string>& dirs) {
    for (std::size_t i = 1; i < dirs.size(); ++i) {
        if (dirs[i] <= dirs[i - 1] || dirs[i].compare(0, dirs[i - 1].size(), dirs[i - 1]) == 0) return false;
    }
    return true;
}

}  // namespace

// One step of the walk of a listed directory, in the order the dump holds
// them: the record of an entry, the warning of one that gave none, or the
// entries below a subdirectory, whose path then ends with a separator.
struct SnapshotScanner::Step {
    enum Kind { RECORD, WARNING, DESCEND };
    Kind kind = RECORD;
    ScanRecord record;
    std::string warning;
};

// A listed directory on the walk's stack: its steps, sorted, and the next.
struct SnapshotScanner::Frame {
    std::vector<Step> steps;
    std::size_t next = 0;
};

SnapshotScanner::SnapshotScanner(const IgnorePatternList& ignorePatterns, MessageOutput& output)
    : _ignorePatterns(ignorePatterns), _output(output), _withDetails(false), _withContent(false), _recorded(0),
      _contentRead(0) {}

void SnapshotScanner::scan(const std::vector<std::string>& dirs, const std::vector<std::string>& regdirs,
                           ScanRecordSink& sink, bool withDetails, bool withContent,
                           const std::string& spillBeside) {
    _withDetails = withDetails || withContent;
    _withContent = withContent;
    _recorded = 0;
    _contentRead = 0;
    HeldMessages registryWarnings;
    RegistryScanner registryScanner(_ignorePatterns, registryWarnings, _progress, _withDetails);
    if (!regdirs.empty()) registryScanner.begin(regdirs);
    RegistryMerge merged(regdirs.empty() ? nullptr : &registryScanner, sink);
    // What the records of each window have to be read apart (content,
    // extended attributes) is read on the pool's threads while the walk
    // makes the next window, so that what waits for it takes little memory
    // however many files there are; the content warnings wait for those of
    // the file information.
    HeldMessages contentWarnings;
    ContentDigestPool pool(ContentDigestPool::threadsPerCore());
    std::vector<ScanRecord> reading;
    const auto finishReading = [&]() {
        if (reading.empty()) return;
        finishContents(pool, reading, contentWarnings);
        for (ScanRecord& record : reading) merged.take(record);
        reading.clear();
    };
    RecordWindow contents(firstContentWindowSize, contentWindowSize, [&](std::vector<ScanRecord>& records) {
        finishReading();
        reading.swap(records);
        beginContents(dirs, pool, reading);
    });
    const bool readApart = withContent || (_withDetails && platform::HAS_EXTENDED_ATTRIBUTES);
    ScanRecordSink& files = readApart ? static_cast<ScanRecordSink&>(contents) : merged;

    std::vector<std::pair<std::string, std::string>> informationWarnings;
    {
        platform::ScanSession session;
        if (walksFollowEachOther(dirs)) {
            for (const std::string& dir : dirs) walk(dir, dirs, session, files, informationWarnings);
        } else {
            SortedRuns runs(_withDetails, runMemoryBound, spillBeside);
            for (const std::string& dir : dirs) walk(dir, dirs, session, runs.beginRun(), informationWarnings);
            runs.merge(files);
            // A path that several walks met warns once, in path order.
            std::stable_sort(informationWarnings.begin(), informationWarnings.end(),
                             [](const std::pair<std::string, std::string>& a,
                                const std::pair<std::string, std::string>& b) { return a.first < b.first; });
            informationWarnings.erase(
                std::unique(informationWarnings.begin(), informationWarnings.end(),
                            [](const std::pair<std::string, std::string>& a,
                               const std::pair<std::string, std::string>& b) { return a.first == b.first; }),
                informationWarnings.end());
        }
    }
    contents.finish();
    finishReading();
    _progress.clear();
    for (const auto& warning : informationWarnings) warn(warning.second);
    contentWarnings.writeTo(_output);
    merged.finish();
    registryWarnings.writeTo(_output);
}

void SnapshotScanner::walk(const std::string& dir, const std::vector<std::string>& dirs,
                           platform::ScanSession& session, ScanRecordSink& sink,
                           std::vector<std::pair<std::string, std::string>>& informationWarnings) {
    if (dir.empty()) return;
    _progress.show(ScanProgress::LISTING, _recorded, dir);
    // The directory named is taken for what it points to, and walked
    // whatever it is.
    std::vector<Frame> stack(1);
    const bool ignored = isIgnored(dir, _ignorePatterns);
    if (!ignored) {
        Step named;
        named.record.path = dir;
        query(platform::ScanSession::NAMED, session, named);
        stack.back().steps.push_back(std::move(named));
    }
    if (!ignored || !isEverythingBelowIgnored(dir, platform::PATH_SEPARATOR, _ignorePatterns)) {
        Step below;
        below.kind = Step::DESCEND;
        below.record.path = dir;
        stack.back().steps.push_back(std::move(below));
    }
    // Its listing, the next, starts the walk: after its query, which may
    // have opened the directories above it, none of which is to be gone
    // through to reach it.
    session.beginWalk();
    while (!stack.empty()) {
        Frame& frame = stack.back();
        if (frame.next == frame.steps.size()) {
            stack.pop_back();
            continue;
        }
        Step& step = frame.steps[frame.next++];
        switch (step.kind) {
            case Step::RECORD:
                ++_recorded;
                sink.take(step.record);
                break;
            case Step::WARNING:
                informationWarnings.emplace_back(std::move(step.record.path), std::move(step.warning));
                break;
            case Step::DESCEND: {
                std::string directory = std::move(step.record.path);
                if (stack.size() > 1) directory.pop_back();
                _progress.show(ScanProgress::LISTING, _recorded, directory);
                Frame listed;
                if (listDirectory(directory, dirs, session, listed)) stack.push_back(std::move(listed));
                break;
            }
        }
    }
}

// One read of the directory gives its files and its subdirectories. A
// junction or symbolic link to a directory is recorded but never walked: one
// that points back up the tree would make the walk endless. Nothing below an
// ignored directory whose every path is certainly ignored could be recorded:
// it is not listed, and warns of nothing.
bool SnapshotScanner::listDirectory(const std::string& dir, const std::vector<std::string>& dirs,
                                    platform::ScanSession& session, Frame& frame) {
    std::vector<windows::file::DirectoryEntry> entries;
    try {
        entries = windows::file::getFirstLevelEntries(dir, session);
    } catch (const windows::file::WindowsFileException& e) {
        endIfOutOfDescriptors(dir, platform::lastError());
        warn("Warning: Error getting files.\n" + e.getMessage());
        warn("Warning: Error getting  directories.\n" + e.getMessage());
        return false;
    }
    // A directory the user named is queried as such wherever the walk of
    // another one meets it.
    const bool meetsNamed = dirs.size() > 1;
    frame.steps.reserve(entries.size() + entries.size() / 4);
    for (windows::file::DirectoryEntry& entry : entries) {
        const bool isDirectory = entry.isDirectory();
        if (!isDirectory && !entry.isFile()) continue;
        const bool ignored = isIgnored(entry.path, _ignorePatterns);
        const bool descends = isDirectory && !entry.isReparsePoint() &&
                              (!ignored || !isEverythingBelowIgnored(entry.path, platform::PATH_SEPARATOR,
                                                                     _ignorePatterns));
        if (descends) {
            Step below;
            below.kind = Step::DESCEND;
            below.record.path.reserve(entry.path.size() + 1);
            below.record.path.append(entry.path).push_back(platform::PATH_SEPARATOR);
            frame.steps.push_back(std::move(below));
        }
        if (ignored) continue;
        Step step;
        step.record.path = std::move(entry.path);
        platform::ScanSession::Origin origin =
            entry.isReparsePoint() ? platform::ScanSession::LISTED_REPARSE_POINT : platform::ScanSession::LISTED;
        if (meetsNamed && std::find(dirs.begin(), dirs.end(), step.record.path) != dirs.end()) {
            origin = platform::ScanSession::NAMED;
        }
        query(origin, session, step);
        frame.steps.push_back(std::move(step));
    }
    std::sort(frame.steps.begin(), frame.steps.end(),
              [](const Step& a, const Step& b) { return a.record.path < b.record.path; });
    return true;
}

void SnapshotScanner::query(platform::ScanSession::Origin origin, platform::ScanSession& session, Step& step) {
    const std::string& path = step.record.path;
    platform::FileDetails file;
    const platform::PathQuery found = session.query(path, origin, _withDetails ? &file : nullptr);
    switch (found.outcome) {
        case platform::PathQuery::FOUND:
            step.record.fingerprint = found.lastWrite;
            if (_withDetails) {
                step.record.details = encodedDetails(file);
                step.record.regularFile = file.kind == platform::FileDetails::FILE;
            }
            return;
        case platform::PathQuery::NOT_OPENED:
            endIfOutOfDescriptors(path, found.error);
            step.warning = "Warning. File ignored: Error opening file or directory: '" + shownName(path) +
                           "'\nUsing 'CreateFile' system call.\n" + SystemErrors::map(static_cast<int>(found.error));
            break;
        case platform::PathQuery::NO_INFORMATION:
            step.warning = "Warning: Error getting file information for file: '" + shownName(path) + "'\n" +
                           SystemErrors::map(static_cast<int>(found.error));
            break;
    }
    step.kind = Step::WARNING;
}

bool SnapshotScanner::readsApart(const ScanRecord& record) const {
    return (_withContent && record.regularFile) || (_withDetails && platform::HAS_EXTENDED_ATTRIBUTES);
}

// Begins reading on `pool` what `records` have to be read apart.
void SnapshotScanner::beginContents(const std::vector<std::string>& dirs, ContentDigestPool& pool,
                                    const std::vector<ScanRecord>& records) {
    std::vector<FileToDigest> files;
    for (const ScanRecord& record : records) {
        if (!readsApart(record)) continue;
        files.push_back(FileToDigest{record.path, typedLength(dirs, record.path), _withContent && record.regularFile,
                                     _withDetails && platform::HAS_EXTENDED_ATTRIBUTES});
    }
    pool.begin(std::move(files));
}

// Adds what was read apart for `records` to their details, in path order:
// the extended attributes first, as their field comes before the content's;
// every warning goes to `warnings` from this thread, in the same order.
void SnapshotScanner::finishContents(ContentDigestPool& pool, std::vector<ScanRecord>& records,
                                     MessageOutput& warnings) {
    std::vector<ScanRecord*> read;
    for (ScanRecord& record : records) {
        if (readsApart(record)) read.push_back(&record);
    }
    pool.finish([&](std::size_t index, const platform::FileContent& content) {
        ScanRecord& record = *read[index];
        if (!content.extendedAttributes.empty()) {
            DetailedDumpFormat::addBytes(record.details, EntryDetails::EXTENDED_ATTRIBUTES,
                                         attributeList(content.extendedAttributes));
        }
        if (!_withContent || !record.regularFile) return;
        const std::string& path = record.path;
        _progress.show(ScanProgress::READING_CONTENT, _contentRead++, path);
        std::string value;
        switch (content.outcome) {
            case platform::FileContent::READ:
                value.assign(content.digest.begin(), content.digest.end());
                break;
            case platform::FileContent::CHANGED_WHILE_READ:
                warnings.write("Warning: File changed while its content was read: '" + shownName(path) + "'\n");
                value.assign(content.digest.begin(), content.digest.end());
                value += EntryDetails::CONTENT_CHANGED;
                break;
            case platform::FileContent::UNREADABLE:
                warnings.write("Warning: Error reading the content of file: '" + shownName(path) + "'\n" +
                               SystemErrors::map(static_cast<int>(content.error)));
                break;
            case platform::FileContent::NOT_A_FILE:
                warnings.write("Warning: Content not read, no longer a regular file: '" + shownName(path) + "'\n");
                return;
        }
        DetailedDumpFormat::addBytes(record.details, EntryDetails::CONTENT, value);
    });
}

// A path that could not be opened for want of a descriptor is not missing: a
// dump without it would be a dump with entries lost. The scan ends instead.
void SnapshotScanner::endIfOutOfDescriptors(const std::string& path, unsigned long error) {
    if (!platform::ScanSession::isOutOfDescriptors(static_cast<std::uint32_t>(error))) return;
    _progress.clear();
    throw SnapshotException("The scan ran out of open files at '" + shownName(path) +
                            "'; no dump was saved. Allow the program more open files and scan again.\n" +
                            SystemErrors::map(static_cast<int>(error)));
}

void SnapshotScanner::warn(const std::string& message) {
    _progress.clear();
    _output.write(message);
}

}  // namespace lumeno
}  // namespace products
}  // namespace quorvane
}  // namespace com
