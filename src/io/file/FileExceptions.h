#ifndef VESTIGA_IO_FILE_FILEEXCEPTIONS_H
#define VESTIGA_IO_FILE_FILEEXCEPTIONS_H

#include "io/IOException.h"

namespace io {
namespace file {

class CouldNotLoadFileException : public exceptions::WithMessage<IOException> {
public:
    using WithMessage::WithMessage;
};

class CouldNotSaveFileException : public exceptions::WithMessage<IOException> {
public:
    using WithMessage::WithMessage;
};

}  // namespace file
}  // namespace io

#endif
