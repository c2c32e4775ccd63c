#ifndef VESTIGA_APP_MESSAGEOUTPUT_H
#define VESTIGA_APP_MESSAGEOUTPUT_H

#include <string>

namespace com {
namespace quorvane {
namespace products {
namespace lumeno {

// Every progress message, warning, error report and listing line goes
// through one object of this type. `write` adds no line break and flushes.
class MessageOutput {
public:
    virtual ~MessageOutput() {}
    virtual void write(const std::string& message) = 0;
};

}  // namespace lumeno
}  // namespace products
}  // namespace quorvane
}  // namespace com

#endif
