#ifndef VESTIGA_PLATFORM_WIN32_EXTENDEDATTRIBUTES_POSIX_H
#define VESTIGA_PLATFORM_WIN32_EXTENDEDATTRIBUTES_POSIX_H

#include <string>
#include <utility>
#include <vector>

namespace platform {

// Every extended attribute of the entry at `path` itself (not what a link
// points to) as (name, value), in the order the system lists them: one
// listing, and the values only when it names any. None where the file
// system has none or they cannot be read.
void readExtendedAttributes(const std::string& path, std::vector<std::pair<std::string, std::string>>& attributes);

// Gives the file open as `target` the extended attributes of the file open
// as `source`, its access control list among them, except those the
// system's attribute configuration (/etc/xattr.conf) says to skip. An
// attribute the process may not set, or the target's file system does not
// take, is left out. False, with errno, on any other failure. Where the
// system has no extended attributes there is nothing to copy.
bool copyExtendedAttributes(int source, int target);

}  // namespace platform

#endif
