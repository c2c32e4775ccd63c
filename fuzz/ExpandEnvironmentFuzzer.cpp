// Any text: the size asked for first is the size the expansion then needs,
// no buffer size makes the call write past its buffer, and a buffer too small
// receives the start of the expansion.
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "platform/win32/Win32.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    static bool environmentSet = false;
    if (!environmentSet) {
        setenv("VESTIGA_FUZZ_SHORT", "x", 1);
        setenv("VESTIGA_FUZZ_LONG", std::string(300, 'y').c_str(), 1);
        setenv("VESTIGA_FUZZ_EMPTY", "", 1);
        environmentSet = true;
    }
    const std::string text(reinterpret_cast<const char*>(data), strnlen(reinterpret_cast<const char*>(data), size));

    const DWORD needed = ExpandEnvironmentStringsA(text.c_str(), nullptr, 0);
    if (needed == 0) std::abort();
    std::vector<char> buffer(needed + 8, '#');
    const DWORD written = ExpandEnvironmentStringsA(text.c_str(), buffer.data(), needed);
    if (written != needed || buffer[needed - 1] != '\0' || buffer[needed] != '#') std::abort();
    const std::string expanded(buffer.data(), needed - 1);
    if (expanded.find('\0') != std::string::npos) std::abort();

    for (DWORD small = 1; small < needed && small < 64; small += 7) {
        std::vector<char> tight(small + 1, '#');
        if (ExpandEnvironmentStringsA(text.c_str(), tight.data(), small) != needed) std::abort();
        if (tight[small] != '#' || tight[small - 1] != '\0') std::abort();
        if (expanded.compare(0, small - 1, tight.data(), small - 1) != 0) std::abort();
    }
    return 0;
}
