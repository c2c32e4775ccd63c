#ifndef VESTIGA_UTIL_UTCTIME_H
#define VESTIGA_UTIL_UTCTIME_H

#include <cstdint>
#include <string>

// "YYYY-MM-DDTHH:MM:SS": the UTC date and time `seconds` after 1970-01-01
// 00:00:00 UTC, in the proleptic Gregorian calendar; earlier for a negative
// count. Every time the program shows goes through it; the caller adds the
// fraction of the second and the "Z".
std::string utcDateTime(std::int64_t seconds);

#endif
