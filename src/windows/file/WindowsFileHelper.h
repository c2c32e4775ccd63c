#ifndef VESTIGA_WINDOWS_FILE_WINDOWSFILEHELPER_H
#define VESTIGA_WINDOWS_FILE_WINDOWSFILEHELPER_H

#include <string>
#include <vector>

namespace windows {
namespace file {

// The current directory with one separator appended, also when it already
// ends in one (a drive root). Throws CouldNotGetCurrentDirectoryException.
std::string getCurrentDirectory();

// Full paths of the directories directly inside `initialDirectory`, without
// "." and "..", in the order the system lists them.
// Throws CouldNotGetFirstLevelDirectoriesException.
std::vector<std::string> getFirstLevelDirectories(const std::string& initialDirectory);

// A directory found by a listing: its full path, and whether the listing
// marks it as a reparse point (a junction or a symbolic link).
struct DirectoryEntry {
    std::string path;
    bool isReparsePoint;
};

// getFirstLevelDirectories with the reparse mark of each directory.
// Throws CouldNotGetFirstLevelDirectoriesException.
std::vector<DirectoryEntry> getFirstLevelDirectoryEntries(const std::string& initialDirectory);

// Full paths of the entries directly inside `initialDirectory` that match
// `mask` and are not directories, in the order the system lists them.
// Throws CouldNotGetFirstLevelFilesException.
std::vector<std::string> getFirstLevelFiles(const std::string& initialDirectory, const std::string& mask);

}  // namespace file
}  // namespace windows

#endif
