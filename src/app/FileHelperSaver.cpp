#include "app/FileHelperSaver.h"

#include "io/file/FileHelper.h"

namespace com {
namespace quorvane {
namespace products {
namespace lumeno {

void FileHelperSaver::save(const std::string& fileName, const std::string& data, int extraOpenMode) {
    io::file::FileHelper::save(fileName, data, extraOpenMode);
}

void FileHelperSaver::save(const std::string& fileName, io::file::DataSource& data) {
    io::file::FileHelper::save(fileName, data);
}

bool FileHelperSaver::holdsData(const std::string& fileName) { return io::file::FileHelper::holdsData(fileName); }

}  // namespace lumeno
}  // namespace products
}  // namespace quorvane
}  // namespace com
