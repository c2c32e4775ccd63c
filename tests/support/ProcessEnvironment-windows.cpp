#include "support/ProcessEnvironment.h"

#include "platform/win32/Win32.h"

namespace testsupport {

void setEnvironmentVariable(const std::string& name, const std::string& value) {
    SetEnvironmentVariableA(name.c_str(), value.c_str());
}

void unsetEnvironmentVariable(const std::string& name) { SetEnvironmentVariableA(name.c_str(), nullptr); }

}  // namespace testsupport
