#ifndef VESTIGA_PLATFORM_WIN32_FILEVIEW_H
#define VESTIGA_PLATFORM_WIN32_FILEVIEW_H

#include <cstdint>

#include "platform/win32/Win32.h"

namespace platform {

// The bytes of an open file, mapped read-only into memory where they lie:
// pages the system already holds in its cache cost nothing to read, and a
// file of any size needs no memory of its own. The file may be closed once
// the view is made; the view stays valid until it is destroyed.
//
// A view of a file that changes while it is mapped may show the change, as
// a read would have; the program reads its own dumps, which are replaced, not
// rewritten in place.
class FileView {
public:
    // Maps the first `size` bytes of `file`, opened for reading. `isMapped`
    // tells whether it worked; if not, the last error says why. An empty
    // file needs no mapping and maps to an empty view.
    FileView(HANDLE file, std::uint64_t size);
    ~FileView();
    FileView(const FileView&) = delete;
    FileView& operator=(const FileView&) = delete;

    bool isMapped() const { return _mapped; }
    const char* begin() const { return _data; }
    const char* end() const { return _data + _size; }

private:
    const char* _data;
    std::uint64_t _size;
    bool _mapped;
};

}  // namespace platform

#endif
