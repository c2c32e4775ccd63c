#ifndef VESTIGA_APP_FILESAVER_H
#define VESTIGA_APP_FILESAVER_H

#include <string>

#include "io/file/DataSource.h"

namespace com {
namespace quorvane {
namespace products {
namespace lumeno {

class FileSaver {
public:
    virtual ~FileSaver() {}
    // Writes all bytes of `data`; with `extraOpenMode` 0 the file is created or replaced.
    virtual void save(const std::string& fileName, const std::string& data, int extraOpenMode) = 0;
    // Creates or replaces the file with the bytes of `data`, written as they are made.
    virtual void save(const std::string& fileName, io::file::DataSource& data) = 0;
    // Whether the file holds data that a save would replace.
    virtual bool holdsData(const std::string& fileName) = 0;
};

}  // namespace lumeno
}  // namespace products
}  // namespace quorvane
}  // namespace com

#endif
