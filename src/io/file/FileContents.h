#ifndef VESTIGA_IO_FILE_FILECONTENTS_H
#define VESTIGA_IO_FILE_FILECONTENTS_H

#include <memory>
#include <string>

namespace platform {
class FileView;
}

namespace io {
namespace file {

// The bytes of a whole file as the program reads them: a view of the file
// where the system maps it, so that a dump of any size is read where it lies,
// or the bytes read into memory.
class FileContents {
public:
    explicit FileContents(std::string bytes);
    explicit FileContents(std::unique_ptr<platform::FileView> view);
    FileContents(FileContents&&) noexcept;
    FileContents& operator=(FileContents&&) noexcept;
    ~FileContents();

    const char* begin() const;
    const char* end() const;

private:
    std::string _bytes;
    std::unique_ptr<platform::FileView> _view;
};

}  // namespace file
}  // namespace io

#endif
