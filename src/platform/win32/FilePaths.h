#ifndef VESTIGA_PLATFORM_WIN32_FILEPATHS_H
#define VESTIGA_PLATFORM_WIN32_FILEPATHS_H

#include <string>

namespace platform {

// The name of the file that `path` finally names. A symbolic link, through
// any number of links, gives the file its last link names, which need not
// exist. Any other path, and a path whose links cannot be followed (a loop),
// comes back as it is: opening it tells what is wrong with it.
//
// On Windows the name is that of the open file, a full path; where a link
// leads to no file, the system has no name for it and the path comes back
// as it is.
std::string finalPathName(const std::string& path);

// The path of a file called `name` in the directory that holds `path`.
std::string pathBeside(const std::string& path, const std::string& name);

}  // namespace platform

#endif
