#ifndef VESTIGA_IO_FILE_SCRATCHFILE_H
#define VESTIGA_IO_FILE_SCRATCHFILE_H

#include <cstddef>
#include <cstdint>
#include <string>

#include "io/file/FileContents.h"
#include "platform/win32/Win32Handles.h"

namespace io {
namespace file {

// A file that holds data the program writes and later reads back, too much
// to hold in memory, beside the file the data is for (see
// platform::createScratchFile): private to its owner, and gone once the
// object and what was read of it are, however the process ends. It is
// written from its start, then read whole, once.
//
// Each operation returns false on failure, with the calling thread's last
// error saying why.
class ScratchFile {
public:
    ScratchFile();
    ~ScratchFile();
    ScratchFile(const ScratchFile&) = delete;
    ScratchFile& operator=(const ScratchFile&) = delete;

    // Creates the file, empty, in the directory of `path`.
    bool create(const std::string& path);
    // Appends all of `data`.
    bool write(const char* data, std::size_t size);
    // Ends the writing and gives what was written, where the system maps it;
    // the file is closed, and goes once `contents` does.
    bool read(FileContents& contents);

private:
    HANDLE _file;
    std::uint64_t _size;
};

}  // namespace file
}  // namespace io

#endif
