#include <gtest/gtest.h>

#include <cstdlib>
#include <new>
#include <vector>

#include "exceptions/OutOfMemoryException.h"
#include "platform/errorresources/OutOfMemoryHandler.h"

namespace {

// AddressSanitizer's allocator ends the process on a failed allocation and
// never calls the new-handler.
TEST(OutOfMemory, AnImpossibleAllocationRaisesOutOfMemoryException) {
    if (std::getenv("VESTIGA_SANITIZED") != nullptr) GTEST_SKIP() << "the sanitizer's allocator has no new-handler";
    ThrowingOutOfMemoryHandler handler;
    OutOfMemoryHandler::install(&handler);
    try {
        std::vector<char> huge;
        huge.reserve(static_cast<size_t>(1) << 62);
        FAIL() << "allocation succeeded";
    } catch (const exceptions::OutOfMemoryException& e) {
        EXPECT_EQ("Out of memory!!", e.getMessage());
    }
    std::set_new_handler(nullptr);
}

}  // namespace
