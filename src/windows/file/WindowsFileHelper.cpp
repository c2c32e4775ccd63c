#include "windows/file/WindowsFileHelper.h"

#include <memory>
#include <utility>

#include "util/NameQuoting.h"
#include "platform/errorresources/Assertion.h"
#include "platform/errorresources/SystemErrors.h"
#include "platform/win32/PathSeparator.h"
#include "platform/win32/FileCalls.h"
#include "platform/win32/ScanSession.h"
#include "platform/win32/Win32.h"
#include "windows/file/WindowsFileExceptions.h"

namespace windows {
namespace file {

namespace {

std::string errorText(DWORD errorCode) { return SystemErrors::map(static_cast<int>(errorCode)); }

bool isDotEntry(const std::string& name) { return name == "." || name == ".."; }

bool isDirectory(DWORD attributes) { return (attributes & FILE_ATTRIBUTE_DIRECTORY) != 0; }

// An entry without a single attribute bit is not taken for a file.
bool isFile(DWORD attributes) { return attributes != 0 && !isDirectory(attributes); }

// The shared listing routine: calls `collect(path, name, attributes)` for
// every entry of `initialDirectory` that matches `fileMask`, with `path`
// the full path of the entry, searching with `findFirst`, a findFirstFile.
// Paths of any length are listed.
template <typename FindFirst, typename Collect>
void findFiles(const std::string& initialDirectory, const std::string& fileMask, FindFirst findFirst,
               Collect collect) {
    ASSERT(initialDirectory != "");
    std::string directory = initialDirectory;
    if (!directory.empty() && directory[directory.size() - 1] != platform::PATH_SEPARATOR) {
        directory += platform::PATH_SEPARATOR;
    }

    platform::FindEntry entry;
    HANDLE handle = findFirst(directory + fileMask, entry);
    if (handle == INVALID_HANDLE_VALUE) {
        const DWORD errorCode = GetLastError();
        if (errorCode == ERROR_FILE_NOT_FOUND) return;
        const std::string text = errorText(errorCode);
        // The catcher may ask the error, as of any failed call.
        SetLastError(errorCode);
        throw CouldNotFindFilesException(
            "Error when trying to get first level directories. \nThe error occured when opening a find file "
            "handle. Initial directory: " +
            shownName(initialDirectory) + "\n\n" + text);
    }
    std::unique_ptr<void, decltype(&FindClose)> closeWhenDone(handle, &FindClose);

    std::string path;
    for (;;) {
        path.reserve(directory.size() + entry.name.size());
        path.assign(directory).append(entry.name);
        collect(path, entry.name, entry.attributes);
        if (!platform::findNextFile(handle, entry)) {
            const DWORD errorCode = GetLastError();
            if (errorCode == ERROR_NO_MORE_FILES) return;
            const std::string text = errorText(errorCode);
            SetLastError(errorCode);
            throw CouldNotFindFilesException(
                "Error when trying to get first level directories. \nThe error occured when getting the next "
                "file. Initial directory: " +
                shownName(initialDirectory) + "\n\n" + text);
        }
    }
}

HANDLE findFirstFile(const std::string& pattern, platform::FindEntry& entry) {
    return platform::findFirstFile(pattern, entry);
}

// The entries of a listing, without "." and "..".
template <typename FindFirst>
std::vector<DirectoryEntry> findEntries(const std::string& initialDirectory, FindFirst findFirst) {
    std::vector<DirectoryEntry> result;
    try {
        findFiles(initialDirectory, "*", findFirst,
                  [&result](std::string& path, const std::string& name, DWORD attributes) {
                      if (!isDotEntry(name)) result.push_back(DirectoryEntry{std::move(path), attributes});
                  });
    } catch (const CouldNotFindFilesException& e) {
        throw CouldNotGetFirstLevelEntriesException(e.getMessage());
    }
    return result;
}

}  // namespace

// Asks with a MAX_PATH buffer first, as almost every directory fits; a
// longer one is asked for again with the size the system says it needs.
std::string getCurrentDirectory() {
    std::vector<char> buffer(MAX_PATH);
    DWORD length = GetCurrentDirectoryA(MAX_PATH, buffer.data());
    while (length >= buffer.size()) {
        buffer.resize(length);
        length = GetCurrentDirectoryA(static_cast<DWORD>(buffer.size()), buffer.data());
    }
    if (length == 0) {
        const DWORD errorCode = GetLastError();
        throw CouldNotGetCurrentDirectoryException("Couldn't get the current directory.\n " + errorText(errorCode));
    }
    return std::string(buffer.data(), length) + platform::PATH_SEPARATOR;
}

bool DirectoryEntry::isFile() const { return file::isFile(attributes); }

bool DirectoryEntry::isDirectory() const { return file::isDirectory(attributes); }

bool DirectoryEntry::isReparsePoint() const { return (attributes & FILE_ATTRIBUTE_REPARSE_POINT) != 0; }

std::vector<DirectoryEntry> getFirstLevelEntries(const std::string& initialDirectory) {
    return findEntries(initialDirectory, findFirstFile);
}

std::vector<DirectoryEntry> getFirstLevelEntries(const std::string& initialDirectory, platform::ScanSession& session) {
    return findEntries(initialDirectory, [&session](const std::string& pattern, platform::FindEntry& entry) {
        return session.findFirstFile(pattern, entry);
    });
}

std::vector<std::string> getFirstLevelDirectories(const std::string& initialDirectory) {
    std::vector<std::string> result;
    try {
        for (DirectoryEntry& entry : getFirstLevelEntries(initialDirectory)) {
            if (entry.isDirectory()) result.push_back(std::move(entry.path));
        }
    } catch (const CouldNotGetFirstLevelEntriesException& e) {
        throw CouldNotGetFirstLevelDirectoriesException(e.getMessage());
    }
    return result;
}

std::vector<std::string> getFirstLevelFiles(const std::string& initialDirectory, const std::string& mask) {
    std::vector<std::string> result;
    try {
        findFiles(initialDirectory, mask, findFirstFile,
                  [&result](std::string& path, const std::string&, DWORD attributes) {
                      if (isFile(attributes)) result.push_back(std::move(path));
                  });
    } catch (const CouldNotFindFilesException& e) {
        throw CouldNotGetFirstLevelFilesException(e.getMessage());
    }
    return result;
}

}  // namespace file
}  // namespace windows
