#include "platform/win32/FileDetails.h"

#include <sys/stat.h>
#include <unistd.h>

#include "platform/win32/emulation/FileHandle.h"

namespace platform {

namespace {

std::int64_t nanoseconds(const struct timespec& time) {
    return static_cast<std::int64_t>(time.tv_sec) * 1000000000LL + time.tv_nsec;
}

FileDetails::Kind kindOf(mode_t mode) {
    if (S_ISDIR(mode)) return FileDetails::DIRECTORY;
    if (S_ISLNK(mode)) return FileDetails::LINK;
    if (S_ISFIFO(mode)) return FileDetails::FIFO;
    if (S_ISSOCK(mode)) return FileDetails::SOCKET;
    if (S_ISCHR(mode) || S_ISBLK(mode)) return FileDetails::DEVICE;
    return FileDetails::FILE;
}

// The text of the link at `path`, of any length; empty if it cannot be read.
std::string linkTarget(const std::string& path, std::size_t expected) {
    std::string target(expected + 1, '\0');
    for (;;) {
        const ssize_t length = readlink(path.c_str(), &target[0], target.size());
        if (length < 0) return std::string();
        if (static_cast<std::size_t>(length) < target.size()) {
            target.resize(static_cast<std::size_t>(length));
            return target;
        }
        target.resize(target.size() * 2);
    }
}

}  // namespace

// A handle for queries holds the status its path had, the link's own for a
// link, taken when it was opened.
void readFileDetails(HANDLE handle, const std::string& path, const BY_HANDLE_FILE_INFORMATION& /*information*/,
                     FileDetails& details) {
    const FileHandle* file = handleObject<FileHandle>(handle);
    if (file == nullptr) return;
    struct stat status = file->getStatus();
    if (file->getDescriptor() >= 0 && fstat(file->getDescriptor(), &status) != 0) return;
    details.kind = kindOf(status.st_mode);
    details.size = static_cast<std::uint64_t>(status.st_size);
    details.lastWrite = nanoseconds(status.st_mtim);
    details.device = static_cast<std::uint64_t>(status.st_dev);
    details.index = static_cast<std::uint64_t>(status.st_ino);
    details.links = static_cast<std::uint64_t>(status.st_nlink);
    details.hasOwnership = true;
    details.mode = static_cast<std::uint32_t>(status.st_mode & 07777);
    details.owner = static_cast<std::uint32_t>(status.st_uid);
    details.group = static_cast<std::uint32_t>(status.st_gid);
    details.statusChange = nanoseconds(status.st_ctim);
    if (details.kind == FileDetails::LINK) {
        details.linkTarget = linkTarget(path, static_cast<std::size_t>(status.st_size));
    }
}

}  // namespace platform
