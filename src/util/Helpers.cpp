#include "util/Helpers.h"

#include <cstdio>

#include "platform/errorresources/Assertion.h"

const char* const CRLF = "\r\n";

namespace {

template <typename T>
std::string formatWith(const char* format, T value) {
    ASSERT(format);
    char buffer[100];
    std::snprintf(buffer, sizeof buffer, format, value);
    return buffer;
}

}  // namespace

std::string formatNumber(int value) { return formatWith("%d", value); }

std::string formatNumber(unsigned int value) { return formatWith("%u", value); }
