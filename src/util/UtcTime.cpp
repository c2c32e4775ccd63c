#include "util/UtcTime.h"

#include <cstdio>

namespace {

// `value`, at least 0, in its last `count` decimal digits.
void putDigits(char* at, std::int64_t value, int count) {
    for (int i = count - 1; i >= 0; --i, value /= 10) at[i] = static_cast<char>('0' + value % 10);
}

}  // namespace

std::string utcDateTime(std::int64_t seconds) {
    std::int64_t days = seconds / 86400;
    std::int64_t second = seconds % 86400;
    if (second < 0) {
        second += 86400;
        --days;
    }
    // The civil date of a day count from 1970-01-01, in eras of 400 years.
    days += 719468;
    const std::int64_t era = (days >= 0 ? days : days - 146096) / 146097;
    const std::int64_t dayOfEra = days - era * 146097;
    const std::int64_t yearOfEra = (dayOfEra - dayOfEra / 1460 + dayOfEra / 36524 - dayOfEra / 146096) / 365;
    const std::int64_t dayOfYear = dayOfEra - (365 * yearOfEra + yearOfEra / 4 - yearOfEra / 100);
    const std::int64_t monthIndex = (5 * dayOfYear + 2) / 153;
    const std::int64_t day = dayOfYear - (153 * monthIndex + 2) / 5 + 1;
    const std::int64_t month = monthIndex < 10 ? monthIndex + 3 : monthIndex - 9;
    const std::int64_t year = yearOfEra + era * 400 + (month <= 2 ? 1 : 0);
    if (year >= 0 && year <= 9999) {
        // Listings show millions of times: no formatting call for each.
        char text[] = "0000-00-00T00:00:00";
        putDigits(text, year, 4);
        putDigits(text + 5, month, 2);
        putDigits(text + 8, day, 2);
        putDigits(text + 11, second / 3600, 2);
        putDigits(text + 14, second / 60 % 60, 2);
        putDigits(text + 17, second % 60, 2);
        return std::string(text, sizeof text - 1);
    }
    char text[64];
    std::snprintf(text, sizeof text, "%04lld-%02lld-%02lldT%02lld:%02lld:%02lld", static_cast<long long>(year),
                  static_cast<long long>(month), static_cast<long long>(day), static_cast<long long>(second / 3600),
                  static_cast<long long>(second / 60 % 60), static_cast<long long>(second % 60));
    return text;
}
