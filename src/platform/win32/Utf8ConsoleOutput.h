#ifndef VESTIGA_PLATFORM_WIN32_UTF8CONSOLEOUTPUT_H
#define VESTIGA_PLATFORM_WIN32_UTF8CONSOLEOUTPUT_H

namespace platform {

// While it lives, a Windows console on standard output shows the program's
// UTF-8 text as such: the console's output code page is UTF-8, and the one it
// had before comes back at the end. Output that goes to a file or a pipe
// keeps its bytes as they are; so does every output on POSIX systems, where
// this does nothing.
class Utf8ConsoleOutput {
public:
    Utf8ConsoleOutput();
    ~Utf8ConsoleOutput();
    Utf8ConsoleOutput(const Utf8ConsoleOutput&) = delete;
    Utf8ConsoleOutput& operator=(const Utf8ConsoleOutput&) = delete;

private:
    // The code page to restore; 0 when none was changed.
    unsigned int _previousCodePage;
};

}  // namespace platform

#endif
