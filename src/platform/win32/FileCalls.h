#ifndef VESTIGA_PLATFORM_WIN32_FILECALLS_H
#define VESTIGA_PLATFORM_WIN32_FILECALLS_H

// The calls that reach files by name: the find-file and open calls of the
// scan, and the open, create, replace and delete calls of loading and saving
// dump and ignore files, for paths of any length and in any script. Paths
// and names are UTF-8 (on POSIX systems: bytes, as the system holds them).
// Handles, results and the last error are those of the Win32 calls named;
// FindClose and CloseHandle release the handles, and ReadFile, WriteFile,
// SetEndOfFile, FlushFileBuffers and the other calls on handles work on them.
//
// On Windows these are the wide calls: a name outside the ANSI code page, or
// longer than the record of the narrow calls holds, comes back whole, and
// every path is passed in its full "\\?\" form. A path is made full as the
// plain calls would make it: relative to the current directory, with "."
// and "..", and CON or NUL as the device. Where the first `typedLength`
// bytes are given, only they are: the names after them are names the system
// listed, and are taken as they stand, trailing dots and blanks and device
// names included. POSIX systems take every name as it stands.

#include <cstddef>
#include <cstdint>
#include <string>

#include "platform/win32/Win32Handles.h"

namespace platform {

// One entry of a listing: its Win32 attribute word and its name.
struct FindEntry {
    std::uint32_t attributes;
    std::string name;
};

HANDLE findFirstFile(const std::string& pattern, FindEntry& entry, std::size_t typedLength = std::string::npos);
bool findNextFile(HANDLE find, FindEntry& entry);
HANDLE createFile(const std::string& path, std::uint32_t desiredAccess, std::uint32_t shareMode,
                  std::uint32_t creationDisposition, std::uint32_t flagsAndAttributes,
                  std::size_t typedLength = std::string::npos);
// GetFileAttributes: the attributes of the entry itself.
std::uint32_t getFileAttributes(const std::string& path);
bool deleteFile(const std::string& path);
// WriteFile until all of `data` is written, in pieces the call takes.
bool writeAll(HANDLE file, const char* data, std::size_t size);
// Closes `file` after a failure and returns false, keeping the failure's
// last error.
bool closeKeepingError(HANDLE file);

// True where `file`, the existing target `path` open for writing, lies in a
// directory that everyone may write to and in which only a file's owner may
// remove it (a sticky directory such as /tmp), and belongs neither to the
// process's user nor to the directory's owner: another user put it there,
// and would own what is saved into it. Such a target is never written,
// whatever the system's own rules (fs.protected_regular) allow. Always false
// on Windows, which has no such directories.
bool isPlantedInSharedDirectory(HANDLE file, const std::string& path);

// A new, empty file in the directory of `target`, open for writing, that is
// to take the target's place once written: see replaceFile. `name` receives
// the name it has on disk, under which it is deleted should it not take the
// target's place; "" while it has none.
//
// On Windows it is a file of a short, random name, beside the target. On
// Linux it has no name at all until it takes the target's place, where the
// file system allows that (O_TMPFILE); elsewhere it has a random name. On
// POSIX systems only its owner may read or write it meanwhile, and it stays
// writable through its handle whatever the umask.
HANDLE createReplacementFile(const std::string& target, std::string& name);

// A new, empty file in the directory of `path`, open for reading and
// writing, that holds data for a while: only its owner may reach it, and it
// is gone once its handle is closed and nothing maps it, or once the process
// ends, however it ends. On Linux it never has a name (O_TMPFILE); on other
// POSIX systems its random name is removed as soon as it is made, with the
// signals held meanwhile; on Windows it has a random name, is shared with no
// other opener, and is removed when it is closed (FILE_FLAG_DELETE_ON_CLOSE).
HANDLE createScratchFile(const std::string& path);

// Puts the file that createReplacementFile made, written and flushed, in the
// place of `target` in one step, and closes its handle. Where the target
// exists the file first takes over what belongs to it: on Windows (ReplaceFile)
// its security descriptor, attributes, streams and creation time; on POSIX
// systems its mode, its owner and group as far as the process may set them,
// its access control list and its other extended attributes (those the
// process may not set are left out). A target that did not exist gets the
// permissions a new file gets; with `ownerOnly` those less every right of
// the group and of others (on POSIX systems; on Windows a new file always
// takes what its directory gives). `name` is updated to what is left on disk
// under a name of its own: "" once the file has the target's place, or when
// a failure removed it.
//
// Fails with ERROR_UNABLE_TO_MOVE_REPLACEMENT_2 where Windows moved the target
// to a backup name but could not give the replacement its name: both stay,
// and `name` is then the only copy of the new data. A refusal of the target's directory (a sticky directory, an ACL)
// fails with ERROR_ACCESS_DENIED, and leaves the file under `name`.
bool replaceFile(const std::string& target, bool targetExists, HANDLE replacement, std::string& name,
                 bool ownerOnly);

}  // namespace platform

#endif
