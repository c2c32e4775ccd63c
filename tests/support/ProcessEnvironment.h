#ifndef VESTIGA_TESTS_SUPPORT_PROCESSENVIRONMENT_H
#define VESTIGA_TESTS_SUPPORT_PROCESSENVIRONMENT_H

#include <string>

namespace testsupport {

// Sets a variable of the process environment, as the platform's expansion of
// %NAME% references sees it.
void setEnvironmentVariable(const std::string& name, const std::string& value);
void unsetEnvironmentVariable(const std::string& name);

}  // namespace testsupport

#endif
