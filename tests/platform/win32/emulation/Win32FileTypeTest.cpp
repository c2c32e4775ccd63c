#include <gtest/gtest.h>

#include <sys/stat.h>
#include <unistd.h>

#include "support/ChildProcess.h"
#include "platform/win32/Win32.h"
#include "support/ScratchDirectory.h"

namespace {

// The type of what `path` opens to, or the error code of the open, as text.
std::string typeOf(const std::string& path, DWORD access, DWORD flags = FILE_ATTRIBUTE_NORMAL) {
    HANDLE handle = CreateFileA(path.c_str(), access, 0, nullptr, OPEN_EXISTING, flags, nullptr);
    if (handle == INVALID_HANDLE_VALUE) return "error " + std::to_string(GetLastError());
    const DWORD type = GetFileType(handle);
    const DWORD error = GetLastError();
    CloseHandle(handle);
    return "type " + std::to_string(type) + ", error " + std::to_string(error);
}

std::string typeText(DWORD type) { return "type " + std::to_string(type) + ", error 0"; }

class PosixFileType : public ::testing::Test {
protected:
    ScratchDirectory scratch;
};

TEST_F(PosixFileType, FilesAndDirectoriesAreOnDiskDevicesAreCharacterDevices) {
    EXPECT_EQ(typeText(FILE_TYPE_DISK), typeOf(scratch.writeFile("file.txt", "x"), GENERIC_READ));
    EXPECT_EQ(typeText(FILE_TYPE_DISK), typeOf(scratch.makeDirectory("sub"), 0, FILE_FLAG_BACKUP_SEMANTICS));
    EXPECT_EQ(typeText(FILE_TYPE_CHAR), typeOf("/dev/null", GENERIC_READ | GENERIC_WRITE));
    EXPECT_EQ(typeText(FILE_TYPE_CHAR), typeOf("/dev/zero", GENERIC_READ));
}

TEST_F(PosixFileType, HandlesOfOtherKindsAreRefused) {
    EXPECT_EQ(static_cast<DWORD>(FILE_TYPE_UNKNOWN), GetFileType(INVALID_HANDLE_VALUE));
    EXPECT_EQ(static_cast<DWORD>(ERROR_INVALID_HANDLE), GetLastError());
}

// A FIFO without a process at its other end: an open that waited would
// never return, so the child gives up after a while and the test fails.
TEST_F(PosixFileType, AFifoOpensWithoutWaitingAndIsAPipe) {
    const std::string fifo = scratch.pathOf("fifo");
    ASSERT_EQ(0, mkfifo(fifo.c_str(), 0600));
    const std::string report = runInChild([&]() -> std::string {
        alarm(60);
        return expectEqual("reading", typeText(FILE_TYPE_PIPE), typeOf(fifo, GENERIC_READ)) +
               expectEqual("writing without a reader", "error " + std::to_string(ERROR_NOT_READY),
                           typeOf(fifo, GENERIC_WRITE));
    });
    EXPECT_EQ("", report);
}

}  // namespace
