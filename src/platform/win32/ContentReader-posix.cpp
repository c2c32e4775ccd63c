#include "platform/win32/ContentReader.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>

#include "platform/win32/ExtendedAttributes-posix.h"
#include "platform/win32/FileDetails.h"
#include "platform/win32/Win32.h"

namespace platform {

namespace {

FileContent unreadable(int errnoValue) { return FileContent{FileContent::UNREADABLE, {}, errorFromErrno(errnoValue)}; }

FileContent notAFile() { return FileContent{FileContent::NOT_A_FILE, {}, ERROR_SUCCESS}; }

// O_NOATIME is for the file's owner only: others get EPERM and open
// without it.
int openForReading(const std::string& path) {
    const int flags = O_RDONLY | O_NOFOLLOW | O_NONBLOCK | O_NOCTTY | O_CLOEXEC;
    const int descriptor = open(path.c_str(), flags | O_NOATIME);
    if (descriptor >= 0 || errno != EPERM) return descriptor;
    return open(path.c_str(), flags);
}

bool sameState(const struct stat& before, const struct stat& after) {
    return before.st_size == after.st_size && before.st_mtim.tv_sec == after.st_mtim.tv_sec &&
           before.st_mtim.tv_nsec == after.st_mtim.tv_nsec;
}

class Descriptor {
public:
    explicit Descriptor(int descriptor) : _descriptor(descriptor) {}
    ~Descriptor() { close(_descriptor); }
    Descriptor(const Descriptor&) = delete;
    Descriptor& operator=(const Descriptor&) = delete;

    int get() const { return _descriptor; }

private:
    int _descriptor;
};

// Reads and hashes the regular file open as `descriptor` with `block` and
// `sha`; anything else is refused before a byte is read.
FileContent digestOf(int descriptor, char* block, Sha256& sha) {
    struct stat before;
    if (fstat(descriptor, &before) != 0) return unreadable(errno);
    if (!S_ISREG(before.st_mode)) return notAFile();
    const off_t size = before.st_size;
    const std::size_t blockSize = ContentReader::blockSize;
    if (size > static_cast<off_t>(blockSize)) posix_fadvise(descriptor, 0, 0, POSIX_FADV_SEQUENTIAL);

    off_t total = 0;
    for (;;) {
        // Room for a byte more than the file should have left: a read that
        // comes back short of it at the file's size has met the end, and no
        // further read is needed to see it. A file of size 0 (those of /proc
        // among them) is read in blocks to the end.
        const off_t left = size - total;
        const std::size_t wanted =
            left > 0 && left < static_cast<off_t>(blockSize) ? static_cast<std::size_t>(left) + 1 : blockSize;
        const ssize_t got = ::read(descriptor, block, wanted);
        if (got == 0) break;
        if (got < 0) {
            if (errno == EINTR) continue;
            const int error = errno;
            sha.finish();
            return unreadable(error);
        }
        sha.update(block, static_cast<std::size_t>(got));
        total += got;
        if (static_cast<std::size_t>(got) < wanted && total == size) break;
        // A file read past the size it had has changed, and one that keeps
        // growing would keep the read going.
        if (size != 0 && total > size) break;
    }
    const Sha256Digest digest = sha.finish();
    struct stat after;
    if (fstat(descriptor, &after) != 0) return unreadable(errno);
    const bool changed = total != before.st_size || !sameState(before, after);
    return FileContent{changed ? FileContent::CHANGED_WHILE_READ : FileContent::READ, digest, ERROR_SUCCESS};
}

}  // namespace

// The reader is given only paths that the scan has just seen as regular
// files. O_NOFOLLOW refuses a link put in the file's place since, O_NONBLOCK
// a FIFO, O_NOCTTY a terminal; the descriptor then tells what was opened,
// and anything but a regular file is refused before a byte is read. Only a
// process that may make device nodes can put one there in between, and a
// look at the path first would narrow that window, not close it. The
// attributes of what was opened are read on its descriptor, which spares
// the system a second look-up of the path.
FileContent ContentReader::read(const std::string& path, std::size_t, bool withExtendedAttributes) {
    const int opened = openForReading(path);
    if (opened < 0) {
        // ELOOP is a link, ENXIO a socket or a device with nothing behind
        // it: never a regular file.
        FileContent result = errno == ELOOP || errno == ENXIO ? notAFile() : unreadable(errno);
        if (withExtendedAttributes) readExtendedAttributes(path, result.extendedAttributes);
        return result;
    }
    const Descriptor file(opened);
    FileContent result = digestOf(file.get(), _block.get(), _sha);
    if (withExtendedAttributes) readExtendedAttributes(file.get(), result.extendedAttributes);
    return result;
}

}  // namespace platform
