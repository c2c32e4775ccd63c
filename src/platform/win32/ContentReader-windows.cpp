#include "platform/win32/ContentReader.h"

#include "platform/win32/FileCalls.h"
#include "platform/win32/Win32.h"

namespace platform {

namespace {

FileContent unreadable(DWORD error) { return FileContent{FileContent::UNREADABLE, {}, error}; }

FileContent notAFile() { return FileContent{FileContent::NOT_A_FILE, {}, ERROR_SUCCESS}; }

bool sameState(const BY_HANDLE_FILE_INFORMATION& before, const BY_HANDLE_FILE_INFORMATION& after) {
    return before.nFileSizeHigh == after.nFileSizeHigh && before.nFileSizeLow == after.nFileSizeLow &&
           before.ftLastWriteTime.dwHighDateTime == after.ftLastWriteTime.dwHighDateTime &&
           before.ftLastWriteTime.dwLowDateTime == after.ftLastWriteTime.dwLowDateTime;
}

class OpenFile {
public:
    explicit OpenFile(HANDLE file) : _file(file) {}
    ~OpenFile() { CloseHandle(_file); }
    OpenFile(const OpenFile&) = delete;
    OpenFile& operator=(const OpenFile&) = delete;

    HANDLE get() const { return _file; }

private:
    HANDLE _file;
};

}  // namespace

// FILE_FLAG_OPEN_REPARSE_POINT opens a link or junction itself, which is then
// refused; a directory, opened without FILE_FLAG_BACKUP_SEMANTICS, is refused
// with ERROR_ACCESS_DENIED, told apart from a denied file by its attributes.
// Windows files have no extended attributes that a scan records.
FileContent ContentReader::read(const std::string& path, std::size_t typedLength, bool /*withExtendedAttributes*/) {
    HANDLE opened = createFile(path, GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                               OPEN_EXISTING, FILE_FLAG_SEQUENTIAL_SCAN | FILE_FLAG_OPEN_REPARSE_POINT, typedLength);
    if (opened == INVALID_HANDLE_VALUE) {
        const DWORD error = GetLastError();
        const DWORD attributes = error == ERROR_ACCESS_DENIED ? getFileAttributes(path) : INVALID_FILE_ATTRIBUTES;
        if (attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY) != 0) return notAFile();
        return unreadable(error);
    }
    const OpenFile file(opened);
    BY_HANDLE_FILE_INFORMATION before;
    if (!GetFileInformationByHandle(file.get(), &before)) return unreadable(GetLastError());
    if (GetFileType(file.get()) != FILE_TYPE_DISK ||
        (before.dwFileAttributes & (FILE_ATTRIBUTE_DIRECTORY | FILE_ATTRIBUTE_REPARSE_POINT)) != 0) {
        return notAFile();
    }

    const std::uint64_t size = (static_cast<std::uint64_t>(before.nFileSizeHigh) << 32) | before.nFileSizeLow;
    std::uint64_t total = 0;
    for (;;) {
        // As on POSIX: room for a byte more than should be left, so that the
        // end shows without another read; a file read past its size has
        // changed, and is not followed as it grows.
        const std::uint64_t left = size > total ? size - total : 0;
        const DWORD wanted =
            left > 0 && left < blockSize ? static_cast<DWORD>(left) + 1 : static_cast<DWORD>(blockSize);
        DWORD got = 0;
        if (!ReadFile(file.get(), _block.get(), wanted, &got, nullptr)) {
            const DWORD error = GetLastError();
            _sha.finish();
            return unreadable(error);
        }
        if (got == 0) break;
        _sha.update(_block.get(), got);
        total += got;
        if (got < wanted && total == size) break;
        if (size != 0 && total > size) break;
    }
    const Sha256Digest digest = _sha.finish();
    BY_HANDLE_FILE_INFORMATION after;
    if (!GetFileInformationByHandle(file.get(), &after)) return unreadable(GetLastError());
    const bool changed = total != size || !sameState(before, after);
    return FileContent{changed ? FileContent::CHANGED_WHILE_READ : FileContent::READ, digest, ERROR_SUCCESS};
}

}  // namespace platform
