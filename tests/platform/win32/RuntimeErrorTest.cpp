#include <gtest/gtest.h>

#include <fstream>
#include <functional>

#include "platform/win32/RuntimeError.h"
#include "platform/win32/Win32.h"
#include "support/ScratchDirectory.h"

namespace {

// The last error a failed stream operation leaves, taken as the program
// takes it: the runtime's record cleared before, read once the failure is
// caught.
DWORD lastErrorOfFailed(const std::function<void(std::ifstream&)>& operation) {
    std::ifstream stream;
    stream.exceptions(std::ios::badbit | std::ios::failbit | std::ios::eofbit);
    platform::clearRuntimeError();
    try {
        operation(stream);
    } catch (const std::ios_base::failure&) {
        platform::setLastErrorFromRuntime();
        return GetLastError();
    }
    ADD_FAILURE() << "the operation did not fail";
    return ERROR_SUCCESS;
}

// A failed open leaves its system error behind; the read after it fails
// without one, which makes it an early end of the file, not the open's error.
TEST(RuntimeError, AStreamFailureLeavesItsOwnCause) {
    ScratchDirectory scratch;
    const std::string missing = scratch.pathOf("missing.dat");
    const std::string threeBytes = scratch.writeFile("three.dat", "abc");
    EXPECT_EQ(static_cast<DWORD>(ERROR_FILE_NOT_FOUND), lastErrorOfFailed([&](std::ifstream& stream) {
                  stream.open(missing.c_str(), std::ios::in | std::ios::binary);
              }));
    EXPECT_EQ(static_cast<DWORD>(ERROR_HANDLE_EOF), lastErrorOfFailed([&](std::ifstream& stream) {
                  stream.open(threeBytes.c_str(), std::ios::in | std::ios::binary);
                  char buffer[4];
                  stream.read(buffer, sizeof buffer);
              }));
}

}  // namespace
