#include "platform/win32/FileView.h"

#include <sys/mman.h>

#include <cstddef>
#include <limits>

#include "platform/win32/emulation/FileHandle.h"

namespace platform {

FileView::FileView(HANDLE file, std::uint64_t size) : _data(""), _size(0), _mapped(size == 0) {
    if (size == 0) return;
    const FileHandle* handle = handleObject<FileHandle>(file);
    if (handle == nullptr) return;
    if (size > std::numeric_limits<std::size_t>::max()) {
        SetLastError(ERROR_NOT_ENOUGH_MEMORY);
        return;
    }
    void* data = mmap(nullptr, static_cast<std::size_t>(size), PROT_READ, MAP_PRIVATE, handle->getDescriptor(), 0);
    if (data == MAP_FAILED) {
        setLastErrorFromErrno();
        return;
    }
    // The records are read from the front to the back.
    madvise(data, static_cast<std::size_t>(size), MADV_SEQUENTIAL);
    _data = static_cast<const char*>(data);
    _size = size;
    _mapped = true;
}

FileView::~FileView() {
    if (_size != 0) munmap(const_cast<char*>(_data), static_cast<std::size_t>(_size));
}

}  // namespace platform
