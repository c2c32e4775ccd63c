#ifndef VESTIGA_PLATFORM_WIN32_TEMPORARYNAME_H
#define VESTIGA_PLATFORM_WIN32_TEMPORARYNAME_H

#include <string>

namespace platform {

// A name for a file that is written before it takes another file's place: a
// dot, the program's name and six random letters or digits. Short and of one
// length, so that it fits wherever the name it replaces does.
std::string temporaryName();

// How many random names to try before giving up on finding a free one.
const int temporaryNamesToTry = 100;

}  // namespace platform

#endif
