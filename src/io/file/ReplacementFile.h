#ifndef VESTIGA_IO_FILE_REPLACEMENTFILE_H
#define VESTIGA_IO_FILE_REPLACEMENTFILE_H

#include <string>

namespace io {
namespace file {

// A new file beside a target that takes the target's place in one step once
// it is complete and on disk, so that the target never holds a partial
// content. Removed again unless it replaced the target.
//
// A target that is a device or a pipe is no file to replace: it is written
// in place, held open meanwhile so that a reader at its other end does not
// see the end of the data before it comes.
//
// Each operation returns false on failure, with the calling thread's last
// error saying why.
class ReplacementFile {
public:
    explicit ReplacementFile(const std::string& target);
    ~ReplacementFile();
    ReplacementFile(const ReplacementFile&) = delete;
    ReplacementFile& operator=(const ReplacementFile&) = delete;

    // Checks that an existing target may be written, then, unless it is a
    // device or a pipe, creates the replacement, empty, under a name no other
    // file has.
    bool create();
    // The file to write: the replacement, or the target written in place.
    const std::string& getName() const;
    // Writes what was written to the replacement through to the disk.
    bool flushToDisk() const;
    bool replaceTarget();

private:
    bool writesInPlace() const;

    std::string _target;
    std::string _name;
    bool _exists;
    // The target's HANDLE while it is written in place, else INVALID_HANDLE_VALUE.
    void* _device;
};

}  // namespace file
}  // namespace io

#endif
