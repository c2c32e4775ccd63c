#include "platform/win32/ListedPathQuery.h"

#include "platform/win32/posix/Win32File.h"

namespace platform {

const unsigned long LISTED_PATH_QUERY_FLAGS = FILE_FLAG_BACKUP_SEMANTICS | FILE_FLAG_OPEN_REPARSE_POINT;

}  // namespace platform
