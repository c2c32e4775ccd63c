#ifndef VESTIGA_PLATFORM_ERRORRESOURCES_SYSTEMERRORS_H
#define VESTIGA_PLATFORM_ERRORRESOURCES_SYSTEMERRORS_H

#include <string>

class ErrorMapper;

class SystemErrors {
public:
    // "System error message: " followed by the operating system's text for
    // the Win32 error code. Never throws.
    static std::string map(int errorCode, const ErrorMapper* fallbackErrors = nullptr);
};

#endif
