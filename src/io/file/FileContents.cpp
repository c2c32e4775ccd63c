#include "io/file/FileContents.h"

#include <utility>

#include "platform/win32/FileView.h"

namespace io {
namespace file {

FileContents::FileContents(std::string bytes) : _bytes(std::move(bytes)) {}

FileContents::FileContents(std::unique_ptr<platform::FileView> view) : _view(std::move(view)) {}

FileContents::FileContents(FileContents&&) noexcept = default;

FileContents& FileContents::operator=(FileContents&&) noexcept = default;

FileContents::~FileContents() = default;

const char* FileContents::begin() const { return _view ? _view->begin() : _bytes.data(); }

const char* FileContents::end() const { return _view ? _view->end() : _bytes.data() + _bytes.size(); }

}  // namespace file
}  // namespace io
