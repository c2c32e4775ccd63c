#ifndef VESTIGA_PLATFORM_ERRORRESOURCES_ASSERTION_H
#define VESTIGA_PLATFORM_ERRORRESOURCES_ASSERTION_H

#include <string>

// The address users are asked to send reports to.
extern const char* const SUPPORT_EMAIL_ADDRESS;

// Writes the report of a failed internal check to standard output and
// appends it to "assertion.txt" in the current directory. Returns normally.
void reportAssertionFailure(const char* message, const char* file, unsigned int line);

// The current local time as asctime lays it out, without the newline.
std::string currentTimeText();

// An internal check: a failure is reported and execution continues.
#define ASSERT(expression) \
    ((expression) ? static_cast<void>(0) : reportAssertionFailure(#expression, __FILE__, __LINE__))

#endif
