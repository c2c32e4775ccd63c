#ifndef VESTIGA_PLATFORM_WIN32_SCANSESSION_H
#define VESTIGA_PLATFORM_WIN32_SCANSESSION_H

#include <cstdint>
#include <memory>
#include <string>

#include "platform/win32/FileCalls.h"

namespace platform {

class OpenDirectories;
struct FileDetails;

// What a scan learns of one path: its last-write time, or why it has none.
struct PathQuery {
    enum Outcome {
        FOUND,
        // The path could not be opened for queries (createFile).
        NOT_OPENED,
        // It was opened, but gave no file information.
        NO_INFORMATION
    };
    Outcome outcome;
    // The system's error when not found.
    std::uint32_t error;
    // The last-write time as a FILETIME of 100 ns units since 1601.
    std::uint64_t lastWrite;
};

// The file calls of one scan: the listings of its walk and the queries of its
// file-information pass, with the handles, results and last error of
// findFirstFile and createFile.
//
// On POSIX systems a session keeps open, within a limit set by the process's
// limit of open files, the directories the scan is in, so that a directory
// or a path is reached by its name in an open directory rather than by a
// lookup of its whole path. A subdirectory is opened without following a
// symbolic link: one that has become a link since its parent was listed is
// not walked. Ending the session, or `close`, closes them all; a scan does it
// before its dump is saved. On Windows every path is reached by its whole
// name; a session keeps the directories its walks start from, so that only
// they are made full as typed paths are, and the names the walk found below
// them are taken as they stand (see FileCalls.h).
class ScanSession {
public:
    // How a path to be queried came to the scan.
    enum Origin {
        // A listing found it.
        LISTED,
        // A listing found it marked as a reparse point: a symbolic link or
        // a junction.
        LISTED_REPARSE_POINT,
        // The user named it, a directory.
        NAMED
    };

    ScanSession();
    ~ScanSession();
    ScanSession(const ScanSession&) = delete;
    ScanSession& operator=(const ScanSession&) = delete;

    // The next listing starts a walk: its directory is taken for what it
    // points to, whatever it is.
    void beginWalk();
    // findFirstFile on a directory of the walk: the directory the walk starts
    // from, or a subdirectory of the directory listed before it.
    HANDLE findFirstFile(const std::string& pattern, FindEntry& entry);
    // createFile with desired access 0, share mode 0 and OPEN_EXISTING, for
    // the file information of a path; cheapest when the paths come in
    // ascending order.
    HANDLE openForQueries(const std::string& path, std::uint32_t flagsAndAttributes);
    // The file information of `path`, opened for queries: as a listing found
    // it (see ListedPathQuery.h), or for what it points to when the user
    // named it. With `details` not null, what it holds beyond its last-write
    // time goes there too, and a listed reparse point is described itself
    // (readFileDetails) also where its last-write time is that of what it
    // points to. On POSIX systems a path of the directory listed last is
    // looked up by its name in it, in one call.
    PathQuery query(const std::string& path, Origin origin, FileDetails* details);
    // Closes every directory the session holds.
    void close();

    // Whether `error` says that the process has no descriptor left.
    static bool isOutOfDescriptors(std::uint32_t error);

private:
    std::unique_ptr<OpenDirectories> _directories;
};

}  // namespace platform

#endif
