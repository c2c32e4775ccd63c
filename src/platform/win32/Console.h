#ifndef VESTIGA_PLATFORM_WIN32_CONSOLE_H
#define VESTIGA_PLATFORM_WIN32_CONSOLE_H

namespace platform {

// Makes standard output pass every byte through unchanged: messages carry
// their own line ends and dump listings must not gain carriage returns.
void useBinaryStandardOutput();

bool standardOutputIsTerminal();
bool standardErrorIsTerminal();

}  // namespace platform

#endif
