#include "app/ConsoleMessageOutput.h"

#include <cstdio>
#include <cstring>

namespace com {
namespace quorvane {
namespace products {
namespace lumeno {

void ConsoleMessageOutput::write(const std::string& message) {
    const char* text = message.c_str();
    std::fwrite(text, 1, std::strlen(text), stdout);
    std::fflush(stdout);
}

}  // namespace lumeno
}  // namespace products
}  // namespace quorvane
}  // namespace com
