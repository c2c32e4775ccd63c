#include "app/FileHelperLoader.h"

#include "io/file/FileHelper.h"

namespace com {
namespace quorvane {
namespace products {
namespace lumeno {

std::string FileHelperLoader::load(const std::string& fileName, unsigned int byteCount) {
    return io::file::FileHelper::load(fileName, byteCount);
}

io::file::FileContents FileHelperLoader::map(const std::string& fileName) {
    return io::file::FileHelper::map(fileName);
}

}  // namespace lumeno
}  // namespace products
}  // namespace quorvane
}  // namespace com
