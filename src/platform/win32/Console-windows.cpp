#include "platform/win32/Console.h"

#include <fcntl.h>
#include <io.h>
#include <stdio.h>

namespace platform {

void useBinaryStandardOutput() { _setmode(_fileno(stdout), _O_BINARY); }

bool standardOutputIsTerminal() { return _isatty(_fileno(stdout)) != 0; }

bool standardErrorIsTerminal() { return _isatty(_fileno(stderr)) != 0; }

}  // namespace platform
