#include "io/file/ScratchFile.h"

#include <memory>
#include <utility>

#include "platform/win32/FileCalls.h"
#include "platform/win32/FileView.h"
#include "platform/win32/Win32.h"

namespace io {
namespace file {

ScratchFile::ScratchFile() : _file(INVALID_HANDLE_VALUE), _size(0) {}

ScratchFile::~ScratchFile() {
    if (_file != INVALID_HANDLE_VALUE) CloseHandle(_file);
}

bool ScratchFile::create(const std::string& path) {
    _file = platform::createScratchFile(path);
    return _file != INVALID_HANDLE_VALUE;
}

bool ScratchFile::write(const char* data, std::size_t size) {
    if (!platform::writeAll(_file, data, size)) return false;
    _size += size;
    return true;
}

bool ScratchFile::read(FileContents& contents) {
    std::unique_ptr<platform::FileView> view(new platform::FileView(_file, _size));
    if (!view->isMapped()) return false;
    contents = FileContents(std::move(view));
    HANDLE file = _file;
    _file = INVALID_HANDLE_VALUE;
    return CloseHandle(file) != 0;
}

}  // namespace file
}  // namespace io
