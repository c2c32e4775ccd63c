#include "platform/win32/PathSeparator.h"

namespace platform {

const char PATH_SEPARATOR = '\\';

}  // namespace platform
