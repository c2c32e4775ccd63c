#ifndef VESTIGA_IO_FILE_SCRATCHBUFFER_H
#define VESTIGA_IO_FILE_SCRATCHBUFFER_H

#include <cstddef>
#include <memory>
#include <string>

#include "io/file/FileContents.h"

namespace io {
namespace file {

class ScratchFile;

// Bytes written once, then read whole, that may be too many for memory. They
// are held in memory until spill moves them to a scratch file beside a path
// (see ScratchFile), where the later ones go as well. Where no scratch file
// can be made, they stay in memory; where the file refuses a write (a full
// disk), what it took comes back to memory with the rest: the data is worth
// more than the memory.
class ScratchBuffer {
public:
    // Scratch files go in the directory of `beside`; none where it is "".
    explicit ScratchBuffer(const std::string& beside);
    ~ScratchBuffer();
    ScratchBuffer(const ScratchBuffer&) = delete;
    ScratchBuffer& operator=(const ScratchBuffer&) = delete;

    // Appends `data`. False, with the last error saying why, only when the
    // bytes the file took can no longer be read back.
    bool write(const char* data, std::size_t size);
    // The bytes held in memory.
    std::size_t heldBytes() const { return _held.size(); }
    // Moves what is held to a scratch file; false, holding on to it, where
    // none can be made or it takes not all.
    bool spill();
    bool isSpilled() const { return _file != nullptr; }
    // Ends the writing and gives every byte written, where it lies. False,
    // with the last error, when the file cannot be read back.
    bool read(FileContents& contents);

private:
    bool bringBack();

    std::string _beside;
    std::string _held;
    std::unique_ptr<ScratchFile> _file;
};

}  // namespace file
}  // namespace io

#endif
