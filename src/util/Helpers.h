#ifndef VESTIGA_UTIL_HELPERS_H
#define VESTIGA_UTIL_HELPERS_H

#include <string>

// Carriage return and line feed.
extern const char* const CRLF;

// Decimal text of a number, "%d".
std::string formatNumber(int value);
// Decimal text of a number, "%u".
std::string formatNumber(unsigned int value);

#endif
