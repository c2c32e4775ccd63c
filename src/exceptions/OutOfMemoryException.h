#ifndef VESTIGA_EXCEPTIONS_OUTOFMEMORYEXCEPTION_H
#define VESTIGA_EXCEPTIONS_OUTOFMEMORYEXCEPTION_H

#include "exceptions/Exception.h"

namespace exceptions {

class OutOfMemoryException : public WithMessage<Exception> {
public:
    using WithMessage::WithMessage;
};

}  // namespace exceptions

#endif
