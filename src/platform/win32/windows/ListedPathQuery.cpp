#include "platform/win32/ListedPathQuery.h"

#include "platform/win32/Win32.h"

namespace platform {

const unsigned long LISTED_PATH_QUERY_FLAGS = FILE_FLAG_BACKUP_SEMANTICS;

}  // namespace platform
