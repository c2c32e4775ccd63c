#include "app/ConsoleMessageOutput.h"

#include <cstdio>
#include <cstring>

#include "platform/win32/Console.h"

namespace com {
namespace quorvane {
namespace products {
namespace lumeno {

namespace {

const size_t blockSize = 1 << 16;

// The C library of Linux keeps its own buffer, of the size of a disk block,
// when setvbuf is given none: the block size is only honoured with a buffer.
char outputBlock[blockSize];

}  // namespace

ConsoleMessageOutput::ConsoleMessageOutput() : _flushEachMessage(platform::standardOutputIsTerminal()) {
    if (!_flushEachMessage) std::setvbuf(stdout, outputBlock, _IOFBF, blockSize);
}

ConsoleMessageOutput::~ConsoleMessageOutput() { flush(); }

void ConsoleMessageOutput::write(const std::string& message) {
    const char* text = message.c_str();
    std::fwrite(text, 1, std::strlen(text), stdout);
    if (_flushEachMessage) flush();
}

void ConsoleMessageOutput::flush() { std::fflush(stdout); }

}  // namespace lumeno
}  // namespace products
}  // namespace quorvane
}  // namespace com
