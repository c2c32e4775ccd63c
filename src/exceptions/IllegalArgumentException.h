#ifndef VESTIGA_EXCEPTIONS_ILLEGALARGUMENTEXCEPTION_H
#define VESTIGA_EXCEPTIONS_ILLEGALARGUMENTEXCEPTION_H

#include "exceptions/RuntimeException.h"

namespace exceptions {

class IllegalArgumentException : public WithMessage<RuntimeException> {
public:
    using WithMessage::WithMessage;
};

}  // namespace exceptions

#endif
