#ifndef VESTIGA_WINDOWS_FILE_WINDOWSFILEHELPER_H
#define VESTIGA_WINDOWS_FILE_WINDOWSFILEHELPER_H

#include <cstdint>
#include <string>
#include <vector>

namespace platform {
class ScanSession;
}

namespace windows {
namespace file {

// The current directory with one separator appended, also when it already
// ends in one (a drive root). Throws CouldNotGetCurrentDirectoryException.
std::string getCurrentDirectory();

// Full paths of the directories directly inside `initialDirectory`, without
// "." and "..", in the order the system lists them.
// Throws CouldNotGetFirstLevelDirectoriesException.
std::vector<std::string> getFirstLevelDirectories(const std::string& initialDirectory);

// An entry found by a listing: its full path and its attribute word.
struct DirectoryEntry {
    std::string path;
    std::uint32_t attributes;

    // A file as getFirstLevelFiles counts one: not a directory, and with at
    // least one attribute bit.
    bool isFile() const;
    // A directory, as getFirstLevelDirectories counts one.
    bool isDirectory() const;
    // Marked as a reparse point: a junction or a symbolic link.
    bool isReparsePoint() const;
};

// The entries directly inside `initialDirectory`, without "." and "..", in
// the order the system lists them: what getFirstLevelFiles with the mask "*"
// and getFirstLevelDirectories give, from one read of the directory. The
// second form lists a directory of the walk of `session`.
// Throws CouldNotGetFirstLevelEntriesException, with the message the other
// two listings give.
std::vector<DirectoryEntry> getFirstLevelEntries(const std::string& initialDirectory);
std::vector<DirectoryEntry> getFirstLevelEntries(const std::string& initialDirectory, platform::ScanSession& session);

// Full paths of the entries directly inside `initialDirectory` that match
// `mask` and are not directories, in the order the system lists them.
// Throws CouldNotGetFirstLevelFilesException.
std::vector<std::string> getFirstLevelFiles(const std::string& initialDirectory, const std::string& mask);

}  // namespace file
}  // namespace windows

#endif
