#include "platform/win32/FileView.h"

#include <cstddef>
#include <limits>

namespace platform {

FileView::FileView(HANDLE file, std::uint64_t size) : _data(""), _size(0), _mapped(size == 0) {
    if (size == 0) return;
    if (size > std::numeric_limits<std::size_t>::max()) {
        SetLastError(ERROR_NOT_ENOUGH_MEMORY);
        return;
    }
    HANDLE mapping = CreateFileMappingW(file, nullptr, PAGE_READONLY, 0, 0, nullptr);
    if (mapping == nullptr) return;
    // The view holds the mapping open; its handle is not needed once the view is made.
    void* data = MapViewOfFile(mapping, FILE_MAP_READ, 0, 0, static_cast<SIZE_T>(size));
    const DWORD error = GetLastError();
    CloseHandle(mapping);
    if (data == nullptr) {
        SetLastError(error);
        return;
    }
    _data = static_cast<const char*>(data);
    _size = size;
    _mapped = true;
}

FileView::~FileView() {
    if (_size != 0) UnmapViewOfFile(_data);
}

}  // namespace platform
