#ifndef VESTIGA_PLATFORM_WIN32_CONTENTREADER_H
#define VESTIGA_PLATFORM_WIN32_CONTENTREADER_H

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "platform/win32/Sha256.h"

namespace platform {

// What reading one file's content found.
struct FileContent {
    enum Outcome {
        // `digest` is that of every byte of the file.
        READ,
        // The file's size or last-write time changed while it was read:
        // `digest` is that of the bytes read, which need not be any content
        // the file ever had.
        CHANGED_WHILE_READ,
        // The file could not be opened or read (permission, lock, I/O
        // error, or it is gone): `error` is the Win32 error code.
        UNREADABLE,
        // The path no longer names a regular file: a link, directory, FIFO,
        // socket or device has taken its place, and nothing was read.
        NOT_A_FILE
    };
    Outcome outcome;
    Sha256Digest digest;
    std::uint32_t error;
    // The file's extended attributes, where the reading asked for them:
    // see readExtendedAttributes (FileDetails.h).
    std::vector<std::pair<std::string, std::string>> extendedAttributes = {};
};

// Reads regular files in blocks of `blockSize` and hashes their content with
// SHA-256. A link is never followed, and a FIFO, socket or device is never
// read, so a read never blocks on one; they are to be given only paths that
// were regular files when the scan saw them. Reading changes no access time that
// can be spared (POSIX: O_NOATIME where the process owns the file) and locks
// no other program out (Windows: every share mode). On Windows `typedLength`
// is that of createFile (FileCalls.h). With `withExtendedAttributes` the
// result also holds the extended attributes of what the path names, read on
// the open file where it could be opened, whatever the outcome.
//
// A reader holds one block and one digest: one reader serves one thread, and
// readers are independent.
class ContentReader {
public:
    static const std::size_t blockSize = 1 << 20;

    ContentReader() : _block(new char[blockSize]) {}
    ContentReader(const ContentReader&) = delete;
    ContentReader& operator=(const ContentReader&) = delete;

    FileContent read(const std::string& path, std::size_t typedLength = std::string::npos,
                     bool withExtendedAttributes = false);

private:
    std::unique_ptr<char[]> _block;
    Sha256 _sha;
};

}  // namespace platform

#endif
