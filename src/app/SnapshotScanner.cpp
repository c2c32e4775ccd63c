#include "app/SnapshotScanner.h"

#include <algorithm>
#include <iterator>
#include <string_view>
#include <utility>

#include "app/DetailedDumpFormat.h"
#include "app/IgnorePatterns.h"
#include "app/MessageOutput.h"
#include "app/RegistryScanner.h"
#include "app/SnapshotException.h"
#include "platform/errorresources/Assertion.h"
#include "platform/errorresources/SystemErrors.h"
#include "digest/ContentDigestPool.h"
#include "digest/DigestFold.h"
#include "digest/MD5DigestImpl.h"
#include "platform/win32/FileDetails.h"
#include "platform/win32/ListedPathQuery.h"
#include "platform/win32/PathSeparator.h"
#include "platform/win32/ScanSession.h"
#include "platform/win32/Win32.h"
#include "util/NameQuoting.h"
#include "windows/file/WindowsFileExceptions.h"
#include "windows/file/WindowsFileHelper.h"

namespace com {
namespace quorvane {
namespace products {
namespace lumeno {

namespace {

// How much of `path` is a directory as the user named it, with its separator.
std::size_t typedLength(const std::vector<std::string>& dirs, const SnapshotImpl::Path& path) {
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

Fingerprint toFingerprint(const FILETIME& time) {
    return (static_cast<Fingerprint>(time.dwHighDateTime) << 32) | time.dwLowDateTime;
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
    if (!file.extendedAttributes.empty()) {
        details.setBytes(EntryDetails::EXTENDED_ATTRIBUTES, attributeList(file.extendedAttributes));
    }
    std::string encoded;
    DetailedDumpFormat::appendDetails(encoded, details);
    return encoded;
}

}  // namespace

SnapshotScanner::SnapshotScanner(const IgnorePatternList& ignorePatterns, MessageOutput& output)
    : _ignorePatterns(ignorePatterns), _output(output) {}

SnapshotImpl::SnapshotData SnapshotScanner::createSnapshotData(const std::vector<std::string>& dirs,
                                                               const std::vector<std::string>& regdirs,
                                                               std::pmr::memory_resource& memory,
                                                               SnapshotImpl::PathDetails* details,
                                                               bool withContent) {
    const SnapshotImpl::SnapshotData data = SnapshotImpl::makeSnapshotData(memory);
    SnapshotImpl::Paths* const paths = data.first;
    SnapshotImpl::PathInfo* const pathInfo = data.second;

    std::vector<SnapshotImpl::PathDetails::iterator> regularFiles;
    {
        // The directories the file passes keep open are closed before the
        // registry is read, and long before the dump is saved.
        platform::ScanSession session;
        for (const std::string& dir : dirs) scanDirectory(dir, session, *paths);
        readFileInformation(dirs, session, *paths, *pathInfo, details,
                            withContent && details != nullptr ? &regularFiles : nullptr);
    }
    if (!regularFiles.empty()) readContents(dirs, regularFiles);

    RegistryScanner registry(_ignorePatterns, _output, _progress, details != nullptr);
    for (RegistryScanner::Record& item : registry.scan(regdirs, paths->size())) {
        // A registry path that a listed path gives as well adds its
        // fingerprint to it, and keeps the file's details.
        const SnapshotImpl::Path* element = &*paths->emplace(std::move(item.path)).first;
        (*pathInfo)[element] ^= item.fingerprint;
        if (details != nullptr) details->emplace(element, item.details);
    }

    ASSERT(paths->size() == pathInfo->size());
    return data;
}

// Depth-first, all files of a directory before its first subdirectory. The
// pending directories are kept on a stack of their own, so that no tree is
// too deep to walk. A junction or symbolic link to a directory is recorded
// but never walked: one that points back up the tree would make the walk
// endless. The directory named by the caller is walked whatever it is.
void SnapshotScanner::scanDirectory(const std::string& dir, platform::ScanSession& session,
                                    SnapshotImpl::Paths& paths) {
    session.beginWalk();
    std::vector<PendingDirectory> pending(1, PendingDirectory{windows::file::DirectoryEntry{dir, 0}, paths.end()});
    std::vector<PendingDirectory> subdirs;
    while (!pending.empty()) {
        const PendingDirectory current = std::move(pending.back());
        pending.pop_back();
        if (current.entry.path.empty()) continue;
        _progress.show(ScanProgress::LISTING, paths.size(), 0, current.entry.path);
        SnapshotImpl::Paths::iterator position = paths.end();
        const bool ignored = isIgnored(current.entry.path, _ignorePatterns);
        if (!ignored) position = paths.emplace_hint(current.hint, current.entry.path);
        if (current.entry.isReparsePoint()) continue;
        // Nothing below an ignored directory whose every path is certainly
        // ignored could be recorded: it is not listed, and warns of nothing.
        if (ignored && isEverythingBelowIgnored(current.entry.path, platform::PATH_SEPARATOR, _ignorePatterns)) {
            continue;
        }

        listDirectory(current.entry.path, session, position, paths, subdirs);
        pending.insert(pending.end(), std::make_move_iterator(subdirs.rbegin()),
                       std::make_move_iterator(subdirs.rend()));
    }
}

// One read of the directory gives its files and its subdirectories. The
// paths of its entries share its path as their beginning and sort right
// behind it. Inserted in order, each one goes right behind the one before,
// which the set checks in two comparisons, where a search would take one per
// level of its tree. `position` is the directory's own element, or the end of
// `paths` if it is not recorded.
void SnapshotScanner::listDirectory(const std::string& dir, platform::ScanSession& session,
                                    SnapshotImpl::Paths::iterator position, SnapshotImpl::Paths& paths,
                                    std::vector<PendingDirectory>& subdirs) {
    subdirs.clear();
    std::vector<windows::file::DirectoryEntry> entries;
    try {
        entries = windows::file::getFirstLevelEntries(dir, session);
    } catch (const windows::file::WindowsFileException& e) {
        endIfOutOfDescriptors(dir);
        warn("Warning: Error getting files.\n" + e.getMessage());
        warn("Warning: Error getting  directories.\n" + e.getMessage());
        return;
    }
    std::vector<std::string> files;
    for (windows::file::DirectoryEntry& entry : entries) {
        if (entry.isFile() && !isIgnored(entry.path, _ignorePatterns)) files.push_back(std::move(entry.path));
    }
    std::sort(files.begin(), files.end());
    SnapshotImpl::Paths::iterator hint = position == paths.end() ? paths.end() : std::next(position);
    std::vector<SnapshotImpl::Paths::iterator> inserted;
    inserted.reserve(files.size());
    for (std::string& file : files) {
        inserted.push_back(paths.emplace_hint(hint, std::move(file)));
        hint = std::next(inserted.back());
    }

    for (windows::file::DirectoryEntry& entry : entries) {
        if (!entry.isDirectory()) continue;
        // A subdirectory belongs before the first file that sorts after it.
        const auto after = std::upper_bound(
            inserted.begin(), inserted.end(), entry.path,
            [](const std::string& path, SnapshotImpl::Paths::iterator element) {
                return std::string_view(path) < std::string_view(*element);
            });
        subdirs.push_back(PendingDirectory{std::move(entry), after == inserted.end() ? hint : *after});
    }
}

// A named directory is taken for what it points to, as it was walked; a path
// found below it is taken as the platform lists it.
void SnapshotScanner::readFileInformation(const std::vector<std::string>& dirs, platform::ScanSession& session,
                                          SnapshotImpl::Paths& paths, SnapshotImpl::PathInfo& pathInfo,
                                          SnapshotImpl::PathDetails* details,
                                          std::vector<SnapshotImpl::PathDetails::iterator>* regularFiles) {
    std::vector<std::string> delme;
    std::size_t done = 0;
    SnapshotImpl::PathInfo::iterator made = pathInfo.end();
    SnapshotImpl::PathDetails::iterator madeDetails;
    if (details != nullptr) madeDetails = details->end();
    std::string path;
    for (const SnapshotImpl::Path& element : paths) {
        path.assign(element.data(), element.size());
        _progress.show(ScanProgress::READING_TIMES, done++, paths.size(), path);
        const bool named = std::find(dirs.begin(), dirs.end(), path) != dirs.end();
        HANDLE handle =
            session.openForQueries(path, named ? FILE_FLAG_BACKUP_SEMANTICS : platform::LISTED_PATH_QUERY_FLAGS);
        if (handle == INVALID_HANDLE_VALUE) {
            endIfOutOfDescriptors(path);
            warn("Warning. File ignored: Error opening file or directory: '" + shownName(path) +
                         "'\nUsing 'CreateFile' system call.\n" + SystemErrors::map(static_cast<int>(GetLastError())));
            delme.push_back(path);
            continue;
        }
        BY_HANDLE_FILE_INFORMATION information;
        if (!GetFileInformationByHandle(handle, &information)) {
            warn("Warning: Error getting file information for file: '" + shownName(path) + "'\n" +
                         SystemErrors::map(static_cast<int>(GetLastError())));
            delme.push_back(path);
            CloseHandle(handle);
            continue;
        }
        if (details != nullptr) {
            platform::FileDetails file;
            platform::readFileDetails(handle, path, information, file);
            const SnapshotImpl::PathDetails::iterator entry =
                details->emplace_hint(madeDetails, &element, encodedDetails(file));
            if (regularFiles != nullptr && file.kind == platform::FileDetails::FILE) regularFiles->push_back(entry);
            madeDetails = std::next(entry);
        }
        const BOOL closeRet = CloseHandle(handle);
        ASSERT(closeRet);
        // Elements made in a row have rising addresses; the entry of each one
        // then goes right behind the entry made before it.
        made = std::next(pathInfo.emplace_hint(made, &element, toFingerprint(information.ftLastWriteTime)));
    }
    for (const std::string& gone : delme) {
        SnapshotImpl::Paths::iterator found = paths.find(SnapshotImpl::Path(gone));
        ASSERT(found != paths.end());
        if (found != paths.end()) paths.erase(found);
    }
}

// The content of the regular files, in path order, read on a pool of
// threads; every warning comes from this thread, in the same order.
void SnapshotScanner::readContents(const std::vector<std::string>& dirs,
                                   const std::vector<SnapshotImpl::PathDetails::iterator>& regularFiles) {
    std::vector<FileToDigest> files;
    files.reserve(regularFiles.size());
    for (const SnapshotImpl::PathDetails::iterator& entry : regularFiles) {
        const SnapshotImpl::Path& path = *entry->first;
        files.push_back(FileToDigest{std::string(path.data(), path.size()), typedLength(dirs, path)});
    }
    ContentDigestPool(ContentDigestPool::threadsPerCore())
        .digest(files, [&](std::size_t index, const platform::FileContent& content) {
            _progress.show(ScanProgress::READING_CONTENT, index, files.size(), files[index].path);
            const std::string& path = files[index].path;
            std::string value;
            switch (content.outcome) {
            case platform::FileContent::READ:
                value.assign(content.digest.begin(), content.digest.end());
                break;
            case platform::FileContent::CHANGED_WHILE_READ:
                warn("Warning: File changed while its content was read: '" + shownName(path) + "'\n");
                value.assign(content.digest.begin(), content.digest.end());
                value += EntryDetails::CONTENT_CHANGED;
                break;
            case platform::FileContent::UNREADABLE:
                warn("Warning: Error reading the content of file: '" + shownName(path) + "'\n" +
                     SystemErrors::map(static_cast<int>(content.error)));
                break;
            case platform::FileContent::NOT_A_FILE:
                warn("Warning: Content not read, no longer a regular file: '" + shownName(path) + "'\n");
                return;
            }
            DetailedDumpFormat::addContent(regularFiles[index]->second, value);
        });
    _progress.clear();
}

// A path that could not be opened for want of a descriptor is not missing: a
// dump without it would be a dump with entries lost. The scan ends instead.
void SnapshotScanner::endIfOutOfDescriptors(const std::string& path) {
    const DWORD error = GetLastError();
    if (error != ERROR_TOO_MANY_OPEN_FILES) return;
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
