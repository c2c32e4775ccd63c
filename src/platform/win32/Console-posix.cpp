#include "platform/win32/Console.h"

#include <unistd.h>

namespace platform {

// POSIX streams never translate line ends.
void useBinaryStandardOutput() {}

bool standardOutputIsTerminal() { return isatty(STDOUT_FILENO) != 0; }

bool standardErrorIsTerminal() { return isatty(STDERR_FILENO) != 0; }

}  // namespace platform
