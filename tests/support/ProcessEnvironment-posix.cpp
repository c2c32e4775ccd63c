#include "support/ProcessEnvironment.h"

#include <cstdlib>

namespace testsupport {

void setEnvironmentVariable(const std::string& name, const std::string& value) {
    setenv(name.c_str(), value.c_str(), 1);
}

void unsetEnvironmentVariable(const std::string& name) { unsetenv(name.c_str()); }

}  // namespace testsupport
