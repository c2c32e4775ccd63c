#ifndef VESTIGA_APP_CONSOLEMESSAGEOUTPUT_H
#define VESTIGA_APP_CONSOLEMESSAGEOUTPUT_H

#include "app/MessageOutput.h"

namespace com {
namespace quorvane {
namespace products {
namespace lumeno {

// Writes to standard output. A message ends at its first zero byte. On a
// terminal every message is flushed at once; otherwise (a file, a pipe)
// messages are collected and written in large blocks at each flush.
class ConsoleMessageOutput : public MessageOutput {
public:
    ConsoleMessageOutput();
    ~ConsoleMessageOutput() override;
    void write(const std::string& message) override;
    void flush() override;

private:
    bool _flushEachMessage;
};

}  // namespace lumeno
}  // namespace products
}  // namespace quorvane
}  // namespace com

#endif
