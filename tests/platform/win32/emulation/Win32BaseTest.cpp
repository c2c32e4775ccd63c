#include <gtest/gtest.h>

#include <thread>

#include "platform/errorresources/SystemErrors.h"
#include "platform/win32/Win32.h"

namespace {

TEST(PosixWin32Base, WindowsEnglishTextsForTheCodesTheLayerProduces) {
    EXPECT_EQ("System error message: The operation completed successfully.\n", SystemErrors::map(0));
    EXPECT_EQ("System error message: The system cannot find the file specified.\n", SystemErrors::map(2));
    EXPECT_EQ("System error message: The system cannot find the path specified.\n", SystemErrors::map(3));
    EXPECT_EQ("System error message: Access is denied.\n", SystemErrors::map(5));
    EXPECT_EQ("System error message: There are no more files.\n", SystemErrors::map(18));
    EXPECT_EQ("System error message: There is not enough space on the disk.\n", SystemErrors::map(112));
    EXPECT_EQ("System error message: No more data is available.\n", SystemErrors::map(259));
    EXPECT_EQ("System error message: The directory name is invalid.\n", SystemErrors::map(267));
    for (int code : {6, 8, 32, 87, 122, 145, 161, 206, 234, 1018}) {
        EXPECT_EQ(std::string::npos, SystemErrors::map(code).find("was not found")) << code;
    }
}

// A POSIX line ends in a line feed alone: `grep 'denied.$'` finds the text.
TEST(PosixWin32Base, EveryCodeTheErrnoMappingGivesHasATextEndedByALineFeed) {
    for (int e = 0; e < 200; ++e) {
        DWORD code = platform::errorFromErrno(e);
        const std::string text = SystemErrors::map(static_cast<int>(code));
        EXPECT_EQ(std::string::npos, text.find("was not found")) << "errno " << e << " -> " << code;
        EXPECT_EQ(std::string::npos, text.find('\r')) << "errno " << e << " -> " << code;
        EXPECT_EQ('\n', text.back()) << "errno " << e << " -> " << code;
    }
}

TEST(PosixWin32Base, LastErrorIsPerThread) {
    SetLastError(ERROR_ACCESS_DENIED);
    DWORD seenByOtherThread = 99;
    std::thread([&] { seenByOtherThread = GetLastError(); }).join();
    EXPECT_EQ(ERROR_SUCCESS, seenByOtherThread);
    EXPECT_EQ(ERROR_ACCESS_DENIED, GetLastError());
}

TEST(PosixWin32Base, FormatMessageOfAnUnknownCodeFails) {
    char* buffer = nullptr;
    EXPECT_EQ(0u, FormatMessageA(FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM, nullptr, 4711, 0,
                                 reinterpret_cast<LPSTR>(&buffer), 0, nullptr));
    EXPECT_EQ(nullptr, buffer);
    EXPECT_EQ(ERROR_MR_MID_NOT_FOUND, GetLastError());
}

}  // namespace
