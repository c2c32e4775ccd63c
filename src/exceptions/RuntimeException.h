#ifndef VESTIGA_EXCEPTIONS_RUNTIMEEXCEPTION_H
#define VESTIGA_EXCEPTIONS_RUNTIMEEXCEPTION_H

#include "exceptions/Exception.h"

namespace exceptions {

class RuntimeException : public Exception {};

}  // namespace exceptions

#endif
