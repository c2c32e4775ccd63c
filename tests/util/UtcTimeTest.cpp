#include <gtest/gtest.h>

#include <cstdint>
#include <string>

#include "util/UtcTime.h"

namespace {

// Leap days, the ends of days and years, and the years past four digits or
// before year 0, which take another way to their text.
TEST(UtcTime, DateAndTimeAreTheCivilOnesOnBothSidesOfTheFourDigitYears) {
    const struct {
        std::int64_t seconds;
        const char* text;
    } cases[] = {
        {0, "1970-01-01T00:00:00"},
        {-1, "1969-12-31T23:59:59"},
        {951782400, "2000-02-29T00:00:00"},
        {4107542399, "2100-02-28T23:59:59"},
        {-11644473600, "1601-01-01T00:00:00"},
        {253402300799, "9999-12-31T23:59:59"},
        {253402300800, "10000-01-01T00:00:00"},
        {-62167219200, "0000-01-01T00:00:00"},
        {-62167219201, "-001-12-31T23:59:59"},
    };
    for (const auto& c : cases) EXPECT_EQ(c.text, utcDateTime(c.seconds)) << c.seconds;
}

}  // namespace
