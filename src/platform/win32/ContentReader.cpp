#include "platform/win32/ContentReader.h"

namespace platform {

ContentReader::ContentReader() : _block(new char[blockSize]) {}

ContentReader::~ContentReader() {}

}  // namespace platform
