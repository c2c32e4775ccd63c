#ifndef VESTIGA_IO_FILE_REPLACEMENTFILE_H
#define VESTIGA_IO_FILE_REPLACEMENTFILE_H

#include <string>

namespace io {
namespace file {

// A new file beside a target that takes the target's place in one step once
// it is complete and on disk, so that the target never holds a partial
// content. It takes over what belongs to an existing target: its
// permissions and, where the process may set them, its owner and group; on
// Windows its security descriptor, attributes and creation time. Removed
// again unless it replaced the target, or unless Windows removed the target
// and left the replacement as the only copy of the data.
//
// A target named through symbolic links is the file the last link names: it
// is replaced in its own directory, and the links stay.
//
// Some targets are written in place instead, with no replacement:
// - a device or a pipe, which is no file to replace, held open meanwhile so
//   that a reader at its other end does not see the end of the data before
//   it comes;
// - an existing target in a directory that refuses new files: it may be
//   written, though not replaced in one step;
// - a link that leads to no file where the system cannot tell the name of
//   the file it would create (Windows): the write goes through the link.
//
// Each operation returns false on failure, with the calling thread's last
// error saying why.
class ReplacementFile {
public:
    explicit ReplacementFile(const std::string& target);
    ~ReplacementFile();
    ReplacementFile(const ReplacementFile&) = delete;
    ReplacementFile& operator=(const ReplacementFile&) = delete;

    // Finds the file the target names, checks that it may be written if it
    // exists, then, unless it is written in place, creates the replacement,
    // empty, under a short name no other file has.
    bool create();
    // The file to write: the replacement, or the target written in place.
    const std::string& getName() const;
    // Writes what was written to the file through to the disk.
    bool flushToDisk() const;
    bool replaceTarget();

private:
    bool createReplacement();
    bool writeInPlace();

    std::string _target;
    std::string _name;
    bool _targetExists;
    bool _inPlace;
    // The replacement is on disk and has not taken the target's place: it
    // goes when this object does.
    bool _replacementPending;
    // The target's HANDLE while a device or a pipe is written, else
    // INVALID_HANDLE_VALUE.
    void* _device;
};

}  // namespace file
}  // namespace io

#endif
