#ifndef VESTIGA_IO_IOEXCEPTION_H
#define VESTIGA_IO_IOEXCEPTION_H

#include "exceptions/Exception.h"

namespace io {

class IOException : public exceptions::Exception {};

}  // namespace io

#endif
