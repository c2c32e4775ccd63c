#ifndef VESTIGA_PLATFORM_WIN32_EMULATION_WILDCARDMATCH_H
#define VESTIGA_PLATFORM_WIN32_EMULATION_WILDCARDMATCH_H

#include <string_view>

namespace platform {

// Whether `name` matches the find-file mask: '*' stands for any run of
// characters (also none), '?' for exactly one, every other character for
// itself, ASCII letters regardless of case. The mask "*.*" matches every name,
// with or without a dot, as it does on Windows.
bool matchesWildcard(std::string_view mask, std::string_view name);

}  // namespace platform

#endif
