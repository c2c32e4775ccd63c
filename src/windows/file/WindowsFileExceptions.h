#ifndef VESTIGA_WINDOWS_FILE_WINDOWSFILEEXCEPTIONS_H
#define VESTIGA_WINDOWS_FILE_WINDOWSFILEEXCEPTIONS_H

#include "io/IOException.h"

namespace windows {
namespace file {

class WindowsFileException : public exceptions::WithMessage<io::IOException> {
public:
    using WithMessage::WithMessage;
};

class CouldNotGetCurrentDirectoryException : public WindowsFileException {
public:
    using WindowsFileException::WindowsFileException;
};

class CouldNotGetFirstLevelDirectoriesException : public WindowsFileException {
public:
    using WindowsFileException::WindowsFileException;
};

class CouldNotGetFirstLevelFilesException : public WindowsFileException {
public:
    using WindowsFileException::WindowsFileException;
};

class CouldNotGetFirstLevelEntriesException : public WindowsFileException {
public:
    using WindowsFileException::WindowsFileException;
};

// Raised by the shared listing routine only; the two listing operations turn
// it into their own types, so it never leaves WindowsFileHelper.
class CouldNotFindFilesException : public exceptions::WithMessage<exceptions::Exception> {
public:
    using WithMessage::WithMessage;
};

}  // namespace file
}  // namespace windows

#endif
