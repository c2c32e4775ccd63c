#ifndef VESTIGA_APP_MESSAGEOUTPUT_H
#define VESTIGA_APP_MESSAGEOUTPUT_H

#include <string>

namespace com {
namespace quorvane {
namespace products {
namespace lumeno {

// Every progress message, warning, error report and listing line goes
// through one object of this type. `write` adds no line break.
class MessageOutput {
public:
    virtual ~MessageOutput() {}
    virtual void write(const std::string& message) = 0;
    // Makes sure every message written so far is out. An output may collect
    // messages between flushes; the driver flushes before every step that
    // can take long, and at the end of the run.
    virtual void flush() {}
};

}  // namespace lumeno
}  // namespace products
}  // namespace quorvane
}  // namespace com

#endif
