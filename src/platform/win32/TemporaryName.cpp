#include "platform/win32/TemporaryName.h"

#include <random>

namespace platform {

std::string temporaryName() {
    static const char characters[] = "abcdefghijklmnopqrstuvwxyz0123456789";
    std::random_device randomSource;
    std::uniform_int_distribution<int> pick(0, static_cast<int>(sizeof characters) - 2);
    std::string name = ".vestiga";
    for (int i = 0; i < 6; ++i) name += characters[pick(randomSource)];
    return name;
}

}  // namespace platform
