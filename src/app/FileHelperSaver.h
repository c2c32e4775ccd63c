#ifndef VESTIGA_APP_FILEHELPERSAVER_H
#define VESTIGA_APP_FILEHELPERSAVER_H

#include "app/FileSaver.h"

namespace com {
namespace quorvane {
namespace products {
namespace lumeno {

// Saves real files through io::file::FileHelper.
class FileHelperSaver : public FileSaver {
public:
    void save(const std::string& fileName, const std::string& data, int extraOpenMode) override;
    void save(const std::string& fileName, io::file::DataSource& data) override;
    bool holdsData(const std::string& fileName) override;
};

}  // namespace lumeno
}  // namespace products
}  // namespace quorvane
}  // namespace com

#endif
