#include "platform/win32/emulation/DirectoryListing.h"

#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdint>
#include <cstring>
#include <memory>

#ifdef __linux__
#include <sys/syscall.h>
#endif

#include "platform/win32/emulation/FileInformation.h"

namespace platform {

namespace {

// The entry's type as the directory gives it; only a file system that does
// not tell costs a look at the entry itself. An entry that is gone by then
// is reported as a file: whoever opens it next finds it missing.
DWORD attributesOf(int directory, const char* name, unsigned char type) {
    switch (type) {
        case DT_DIR: return FILE_ATTRIBUTE_DIRECTORY;
        case DT_LNK: return FILE_ATTRIBUTE_REPARSE_POINT;
        case DT_UNKNOWN: {
            struct stat status;
            if (fstatat(directory, name, &status, AT_SYMLINK_NOFOLLOW) == 0) return attributesFromMode(status.st_mode);
            return FILE_ATTRIBUTE_ARCHIVE;
        }
        default: return FILE_ATTRIBUTE_ARCHIVE;
    }
}

}  // namespace

DirectoryListing::DirectoryListing(int descriptor) : _endError(ERROR_NO_MORE_FILES) { read(descriptor); }

void DirectoryListing::add(int descriptor, const char* name, unsigned char type) {
    _entries.push_back(Entry{_names.size(), attributesOf(descriptor, name, type)});
    _names.append(name);
    _names.push_back('\0');
}

#ifdef __linux__

namespace {

// The records of getdents64, as the kernel lays them out.
struct LinuxDirectoryEntry {
    std::uint64_t inode;
    std::int64_t offset;
    unsigned short length;
    unsigned char type;
    char name[1];
};

}  // namespace

void DirectoryListing::read(int descriptor) {
    const std::size_t blockSize = 64 * 1024;
    std::unique_ptr<char[]> block(new char[blockSize]);
    for (;;) {
        const long got = syscall(SYS_getdents64, descriptor, block.get(), blockSize);
        if (got == 0) return;
        if (got < 0) {
            if (errno == EINTR) continue;
            _endError = errorFromErrno(errno);
            return;
        }
        for (long offset = 0; offset < got;) {
            const LinuxDirectoryEntry* entry = reinterpret_cast<const LinuxDirectoryEntry*>(block.get() + offset);
            add(descriptor, entry->name, entry->type);
            offset += entry->length;
        }
    }
}

#else

// The stream reads through a descriptor of its own, so that closing it
// leaves `descriptor` open.
void DirectoryListing::read(int descriptor) {
    const int own = fcntl(descriptor, F_DUPFD_CLOEXEC, 0);
    DIR* directory = own >= 0 ? fdopendir(own) : nullptr;
    if (directory == nullptr) {
        _endError = errorFromErrno(errno);
        if (own >= 0) close(own);
        return;
    }
    for (;;) {
        errno = 0;
        const struct dirent* entry = readdir(directory);
        if (entry == nullptr) {
            if (errno != 0) _endError = errorFromErrno(errno);
            break;
        }
        add(descriptor, entry->d_name, entry->d_type);
    }
    closedir(directory);
}

#endif

}  // namespace platform
