#ifndef VESTIGA_IO_FILE_REPLACEMENTFILE_H
#define VESTIGA_IO_FILE_REPLACEMENTFILE_H

#include <string>

namespace io {
namespace file {

// A new file beside a target that takes the target's place in one step once
// it is complete and on disk, so that the target never holds a partial
// content. Removed again unless it replaced the target.
//
// Each operation returns false on failure, with the calling thread's last
// error saying why.
class ReplacementFile {
public:
    explicit ReplacementFile(const std::string& target);
    ~ReplacementFile();
    ReplacementFile(const ReplacementFile&) = delete;
    ReplacementFile& operator=(const ReplacementFile&) = delete;

    // Checks that an existing target is a file that may be written, then
    // creates the replacement, empty, under a name no other file has.
    bool create();
    const std::string& getName() const;
    // Writes what was written to the replacement through to the disk.
    bool flushToDisk() const;
    bool replaceTarget();

private:
    std::string _target;
    std::string _name;
    bool _exists;
};

}  // namespace file
}  // namespace io

#endif
