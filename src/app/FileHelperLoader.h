#ifndef VESTIGA_APP_FILEHELPERLOADER_H
#define VESTIGA_APP_FILEHELPERLOADER_H

#include "app/FileLoader.h"

namespace com {
namespace quorvane {
namespace products {
namespace lumeno {

// Loads real files through io::file::FileHelper.
class FileHelperLoader : public FileLoader {
public:
    std::string load(const std::string& fileName, unsigned int byteCount) override;
    io::file::FileContents map(const std::string& fileName) override;
};

}  // namespace lumeno
}  // namespace products
}  // namespace quorvane
}  // namespace com

#endif
