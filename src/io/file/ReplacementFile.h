#ifndef VESTIGA_IO_FILE_REPLACEMENTFILE_H
#define VESTIGA_IO_FILE_REPLACEMENTFILE_H

#include <cstddef>
#include <cstdint>
#include <string>

#include "platform/win32/Win32Handles.h"

namespace io {
namespace file {

// A new file beside a target that takes the target's place in one step once
// it is complete and on disk, so that the target never holds a partial
// content. It takes over what belongs to an existing target (see
// platform::replaceFile). The new file is written through the handle that
// created it and is never opened again by name. It is removed again unless
// it replaced the target, or unless Windows removed the target and left the
// replacement as the only copy of the data.
//
// A target named through symbolic links is the file the system reaches
// through them: it is replaced in its own directory, and the links stay. A
// link the system refuses to follow is refused, and so is a target that
// another user planted in a directory everyone may write to (see
// platform::isPlantedInSharedDirectory), judged in the directory of the file
// the links reach.
//
// Some targets are written in place instead, with no replacement:
// - a device or a pipe, which is no file to replace, held open meanwhile so
//   that a reader at its other end does not see the end of the data before
//   it comes;
// - a file with more than one name (hard links), so that every name shows
//   the new content;
// - an existing target in a directory that refuses new files or refuses the
//   replacement the target's name (a sticky directory): it may be written,
//   though not replaced in one step;
// - a link that leads to no file: the file it names is created through it.
//
// A target written in place is written only once all of its data has come:
// what is written is held until replaceTarget, so that data whose making
// fails halfway (a scan that ends in an error) leaves the target as it was.
//
// Each operation returns false on failure, with the calling thread's last
// error saying why.
class ReplacementFile {
public:
    // With `ownerOnly` a target that did not exist is made readable by its
    // owner alone (see platform::replaceFile); an existing one keeps its own.
    explicit ReplacementFile(const std::string& target, bool ownerOnly = false);
    ~ReplacementFile();
    ReplacementFile(const ReplacementFile&) = delete;
    ReplacementFile& operator=(const ReplacementFile&) = delete;

    // Finds the file the target names, checks that it may be written if it
    // exists, then, unless it is written in place, creates the replacement,
    // empty.
    bool create();
    // Writes all of `data` to the replacement, or holds it for the target
    // written in place.
    bool write(const std::string& data);
    bool write(const char* data, std::size_t size);
    // Puts what was written on disk and in the target's place.
    bool replaceTarget();
    // After replaceTarget failed because the target's directory refused the
    // replacement the target's name: writes what the replacement holds to
    // the target in place instead, if it may be written; replaceTarget then
    // puts it on disk. False, keeping the last error, in any other case.
    bool writeInPlaceInstead();

private:
    // How the data reaches the target.
    enum class Mode {
        // Nothing is open.
        CLOSED,
        // A replacement that takes the name of a target that does not exist.
        NEW_FILE,
        // A replacement of an existing target.
        REPLACEMENT,
        // The target itself, a file on disk, from its start.
        IN_PLACE,
        // The target itself, a device or a pipe.
        DEVICE,
        // The target's directory refused the replacement the target's name.
        REFUSED
    };

    bool createReplacement(Mode mode, HANDLE target);
    bool writeInPlace(HANDLE target);
    // Writes to the open file at once.
    bool writeOut(const char* data, std::size_t size);
    // Writes the bytes of the refused replacement to the target.
    bool copyReplacement();
    bool close();

    std::string _target;
    bool _ownerOnly;
    Mode _mode;
    HANDLE _file;
    // The replacement's name on disk while it is to be removed, else "".
    std::string _name;
    // The replacement as it was written, to be told apart from any other
    // file that may take its name.
    // What is to be written to a target in place.
    std::string _held;
    std::uint32_t _writtenVolume;
    std::uint64_t _writtenIndex;
};

}  // namespace file
}  // namespace io

#endif
