#ifndef VESTIGA_PLATFORM_WIN32_EXTENDEDATTRIBUTES_POSIX_H
#define VESTIGA_PLATFORM_WIN32_EXTENDEDATTRIBUTES_POSIX_H

#include <string>
#include <utility>
#include <vector>

namespace platform {

// readExtendedAttributes (FileDetails.h) of the file open as `descriptor`.
void readExtendedAttributes(int descriptor, std::vector<std::pair<std::string, std::string>>& attributes);

// Gives the file open as `target` the extended attributes of the file open
// as `source`, its access control list among them, except those the
// system's attribute configuration (/etc/xattr.conf) says to skip. An
// attribute the process may not set, or the target's file system does not
// take, is left out. False, with errno, on any other failure. Where the
// system has no extended attributes there is nothing to copy.
bool copyExtendedAttributes(int source, int target);

}  // namespace platform

#endif
