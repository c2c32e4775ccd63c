#ifndef VESTIGA_WINDOWS_REGISTRY_REGISTRYEXCEPTIONS_H
#define VESTIGA_WINDOWS_REGISTRY_REGISTRYEXCEPTIONS_H

#include "exceptions/Exception.h"

namespace windows {
namespace registry {

class RegistryException : public exceptions::WithMessage<exceptions::Exception> {
public:
    using WithMessage::WithMessage;
};

class RegistryKeyNotFoundException : public RegistryException {
public:
    using RegistryException::RegistryException;
};

class RegistryAccessDeniedException : public RegistryException {
public:
    using RegistryException::RegistryException;
};

class RegistryValueNotFoundException : public RegistryException {
public:
    using RegistryException::RegistryException;
};

}  // namespace registry
}  // namespace windows

#endif
