#ifndef VESTIGA_APP_CONSOLEMESSAGEOUTPUT_H
#define VESTIGA_APP_CONSOLEMESSAGEOUTPUT_H

#include "app/MessageOutput.h"

namespace com {
namespace quorvane {
namespace products {
namespace lumeno {

// Writes to standard output. A message ends at its first zero byte.
class ConsoleMessageOutput : public MessageOutput {
public:
    void write(const std::string& message) override;
};

}  // namespace lumeno
}  // namespace products
}  // namespace quorvane
}  // namespace com

#endif
