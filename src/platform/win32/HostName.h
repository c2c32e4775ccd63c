#ifndef VESTIGA_PLATFORM_WIN32_HOSTNAME_H
#define VESTIGA_PLATFORM_WIN32_HOSTNAME_H

#include <string>

namespace platform {

// The name of this machine as the system gives it (UTF-8 on Windows), or an
// empty text when the system cannot tell it.
std::string hostName();

}  // namespace platform

#endif
