#include "windows/file/WindowsFileHelper.h"

#include <cstring>
#include <memory>

#include "platform/errorresources/Assertion.h"
#include "platform/errorresources/SystemErrors.h"
#include "platform/win32/PathSeparator.h"
#include "platform/win32/Win32.h"
#include "windows/file/WindowsFileExceptions.h"

namespace windows {
namespace file {

namespace {

const DWORD anyAttribute = 0xFFFFFFFF;

std::string errorText(DWORD errorCode) { return SystemErrors::map(static_cast<int>(errorCode)); }

bool isAccepted(DWORD attributes, const std::string& name, DWORD attributeMask,
                const std::vector<std::string>& excludedNames, bool skipDirectories) {
    if ((attributes & attributeMask) == 0) return false;
    for (const std::string& excluded : excludedNames) {
        if (name == excluded) return false;
    }
    return !(skipDirectories && (attributes & FILE_ATTRIBUTE_DIRECTORY));
}

// The shared listing routine: the full path of every entry of
// `initialDirectory` that matches `fileMask` and is accepted.
std::vector<std::string> findFiles(const std::string& initialDirectory, const std::string& fileMask,
                                   DWORD attributeMask, std::vector<std::string> excludedNames, bool skipDirectories) {
    ASSERT(initialDirectory != "");
    std::string directory = initialDirectory;
    if (!directory.empty() && directory[directory.size() - 1] != platform::PATH_SEPARATOR) {
        directory += platform::PATH_SEPARATOR;
    }
    // The whole search pattern, directory and mask together.
    const std::string mask = directory + fileMask;
    ASSERT(mask.size() <= MAX_PATH);

    WIN32_FIND_DATAA record;
    HANDLE handle = FindFirstFileA(mask.c_str(), &record);
    if (handle == INVALID_HANDLE_VALUE) {
        const DWORD errorCode = GetLastError();
        if (errorCode == ERROR_FILE_NOT_FOUND) return std::vector<std::string>();
        throw CouldNotFindFilesException(
            "Error when trying to get first level directories. \nThe error occured when opening a find file "
            "handle. Initial directory: " +
            initialDirectory + "\n\n" + errorText(errorCode));
    }
    std::unique_ptr<void, decltype(&FindClose)> closeWhenDone(handle, &FindClose);

    std::vector<std::string> result;
    for (;;) {
        const std::string name(record.cFileName, strnlen(record.cFileName, sizeof record.cFileName));
        if (isAccepted(record.dwFileAttributes, name, attributeMask, excludedNames, skipDirectories)) {
            result.push_back(directory + name);
        }
        if (!FindNextFileA(handle, &record)) {
            const DWORD errorCode = GetLastError();
            if (errorCode == ERROR_NO_MORE_FILES) return result;
            throw CouldNotFindFilesException(
                "Error when trying to get first level directories. \nThe error occured when getting the next "
                "file. Initial directory: " +
                initialDirectory + "\n\n" + errorText(errorCode));
        }
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
    try {
        return findFiles(initialDirectory, "*", FILE_ATTRIBUTE_DIRECTORY, {".", ".."}, false);
    } catch (const CouldNotFindFilesException& e) {
        throw CouldNotGetFirstLevelDirectoriesException(e.getMessage());
    }
}

std::vector<std::string> getFirstLevelFiles(const std::string& initialDirectory, const std::string& mask) {
    try {
        return findFiles(initialDirectory, mask, anyAttribute, {}, true);
    } catch (const CouldNotFindFilesException& e) {
        throw CouldNotGetFirstLevelFilesException(e.getMessage());
    }
}

}  // namespace file
}  // namespace windows
