#include "windows/file/WindowsFileHelper.h"

#include <memory>
#include <utility>

#include "app/NameQuoting.h"
#include "platform/errorresources/Assertion.h"
#include "platform/errorresources/SystemErrors.h"
#include "platform/win32/PathSeparator.h"
#include "platform/win32/FileCalls.h"
#include "platform/win32/Win32.h"
#include "windows/file/WindowsFileExceptions.h"

namespace windows {
namespace file {

namespace {

using com::quorvane::products::lumeno::shownName;

std::string errorText(DWORD errorCode) { return SystemErrors::map(static_cast<int>(errorCode)); }

bool isDotEntry(const std::string& name) { return name == "." || name == ".."; }

bool isDirectory(DWORD attributes) { return (attributes & FILE_ATTRIBUTE_DIRECTORY) != 0; }

// The shared listing routine: calls `collect(path, name, attributes)` for
// every entry of `initialDirectory` that matches `fileMask`, with `path`
// the full path of the entry. Paths of any length are listed.
template <typename Collect>
void findFiles(const std::string& initialDirectory, const std::string& fileMask, Collect collect) {
    ASSERT(initialDirectory != "");
    std::string directory = initialDirectory;
    if (!directory.empty() && directory[directory.size() - 1] != platform::PATH_SEPARATOR) {
        directory += platform::PATH_SEPARATOR;
    }

    platform::FindEntry entry;
    HANDLE handle = platform::findFirstFile(directory + fileMask, entry);
    if (handle == INVALID_HANDLE_VALUE) {
        const DWORD errorCode = GetLastError();
        if (errorCode == ERROR_FILE_NOT_FOUND) return;
        throw CouldNotFindFilesException(
            "Error when trying to get first level directories. \nThe error occured when opening a find file "
            "handle. Initial directory: " +
            shownName(initialDirectory) + "\n\n" + errorText(errorCode));
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
            throw CouldNotFindFilesException(
                "Error when trying to get first level directories. \nThe error occured when getting the next "
                "file. Initial directory: " +
                shownName(initialDirectory) + "\n\n" + errorText(errorCode));
        }
    }
}

// The directories of a listing, without "." and "..".
template <typename Collect>
void findDirectories(const std::string& initialDirectory, Collect collect) {
    try {
        findFiles(initialDirectory, "*", [&collect](std::string& path, const std::string& name, DWORD attributes) {
            if (isDirectory(attributes) && !isDotEntry(name)) collect(path, attributes);
        });
    } catch (const CouldNotFindFilesException& e) {
        throw CouldNotGetFirstLevelDirectoriesException(e.getMessage());
    }
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

std::vector<std::string> getFirstLevelDirectories(const std::string& initialDirectory) {
    std::vector<std::string> result;
    findDirectories(initialDirectory, [&result](std::string& path, DWORD) { result.push_back(std::move(path)); });
    return result;
}

std::vector<DirectoryEntry> getFirstLevelDirectoryEntries(const std::string& initialDirectory) {
    std::vector<DirectoryEntry> result;
    findDirectories(initialDirectory, [&result](std::string& path, DWORD attributes) {
        result.push_back(DirectoryEntry{std::move(path), (attributes & FILE_ATTRIBUTE_REPARSE_POINT) != 0});
    });
    return result;
}

std::vector<std::string> getFirstLevelFiles(const std::string& initialDirectory, const std::string& mask) {
    std::vector<std::string> result;
    try {
        findFiles(initialDirectory, mask, [&result](std::string& path, const std::string&, DWORD attributes) {
            // An entry without a single attribute bit is not taken for a file.
            if (attributes != 0 && !isDirectory(attributes)) result.push_back(std::move(path));
        });
    } catch (const CouldNotFindFilesException& e) {
        throw CouldNotGetFirstLevelFilesException(e.getMessage());
    }
    return result;
}

}  // namespace file
}  // namespace windows
