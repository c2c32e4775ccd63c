#ifndef VESTIGA_PLATFORM_WIN32_FILEPATHS_H
#define VESTIGA_PLATFORM_WIN32_FILEPATHS_H

#include <string>

namespace platform {

// The full name of the file that `path` names, as the system finds it when
// it opens the path: through any number of symbolic links, each followed by
// the system under its own rules, never by the program. A path that opens no
// file (a link that leads nowhere, a loop, a link the system refuses to
// follow) comes back as it is: opening it tells what is wrong with it.
std::string finalPathName(const std::string& path);

// The path of a file called `name` in the directory that holds `path`.
std::string pathBeside(const std::string& path, const std::string& name);

}  // namespace platform

#endif
