#ifndef VESTIGA_PLATFORM_ERRORRESOURCES_ERRORMAPPER_H
#define VESTIGA_PLATFORM_ERRORRESOURCES_ERRORMAPPER_H

#include <string>
#include <utility>

// Supplies texts for error codes the operating system has no text for.
class ErrorMapper {
public:
    virtual ~ErrorMapper() {}
    // (found, text)
    virtual std::pair<bool, std::string> lookup(int errorCode) const = 0;
};

#endif
