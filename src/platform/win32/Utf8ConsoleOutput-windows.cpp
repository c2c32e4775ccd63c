#include "platform/win32/Utf8ConsoleOutput.h"

#include "platform/win32/Win32.h"

namespace platform {

Utf8ConsoleOutput::Utf8ConsoleOutput() : _previousCodePage(0) {
    DWORD mode = 0;
    if (!GetConsoleMode(GetStdHandle(STD_OUTPUT_HANDLE), &mode)) return;
    const UINT current = GetConsoleOutputCP();
    if (current != CP_UTF8 && SetConsoleOutputCP(CP_UTF8)) _previousCodePage = current;
}

Utf8ConsoleOutput::~Utf8ConsoleOutput() {
    if (_previousCodePage != 0) SetConsoleOutputCP(_previousCodePage);
}

}  // namespace platform
