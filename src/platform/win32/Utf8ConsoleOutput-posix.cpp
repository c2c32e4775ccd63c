#include "platform/win32/Utf8ConsoleOutput.h"

namespace platform {

// A terminal shows the bytes it is given in its own character set.
Utf8ConsoleOutput::Utf8ConsoleOutput() : _previousCodePage(0) {}

Utf8ConsoleOutput::~Utf8ConsoleOutput() {}

}  // namespace platform
