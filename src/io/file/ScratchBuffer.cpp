#include "io/file/ScratchBuffer.h"

#include <utility>

#include "io/file/ScratchFile.h"

namespace io {
namespace file {

ScratchBuffer::ScratchBuffer(const std::string& beside) : _beside(beside) {}

ScratchBuffer::~ScratchBuffer() = default;

bool ScratchBuffer::write(const char* data, std::size_t size) {
    if (_file && !_file->write(data, size) && !bringBack()) return false;
    if (!_file) _held.append(data, size);
    return true;
}

bool ScratchBuffer::spill() {
    if (_file || _beside.empty()) return false;
    std::unique_ptr<ScratchFile> file(new ScratchFile);
    if (!file->create(_beside) || !file->write(_held.data(), _held.size())) return false;
    std::string().swap(_held);
    _file = std::move(file);
    return true;
}

// What the file took, whole writes only, goes back to memory; nothing is
// spilled again.
bool ScratchBuffer::bringBack() {
    FileContents taken{std::string()};
    if (!_file->read(taken)) return false;
    _held.assign(taken.begin(), taken.end());
    _file.reset();
    _beside.clear();
    return true;
}

bool ScratchBuffer::read(FileContents& contents) {
    if (_file) {
        if (!_file->read(contents)) return false;
        _file.reset();
        return true;
    }
    contents = FileContents(std::move(_held));
    return true;
}

}  // namespace file
}  // namespace io
