#ifndef VESTIGA_APP_FILELOADER_H
#define VESTIGA_APP_FILELOADER_H

#include <string>

#include "io/file/FileContents.h"

namespace com {
namespace quorvane {
namespace products {
namespace lumeno {

class FileLoader {
public:
    virtual ~FileLoader() {}
    // The first `byteCount` bytes of the file; 0 means the whole file.
    virtual std::string load(const std::string& fileName, unsigned int byteCount) = 0;
    // The whole file, for reading where it lies; by default, loaded.
    virtual io::file::FileContents map(const std::string& fileName) { return io::file::FileContents(load(fileName, 0)); }
};

}  // namespace lumeno
}  // namespace products
}  // namespace quorvane
}  // namespace com

#endif
