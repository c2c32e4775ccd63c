#include <gtest/gtest.h>

#include <thread>

#include "platform/errorresources/SystemErrors.h"
#include "platform/win32/Win32.h"

namespace {

TEST(PosixWin32Base, WindowsEnglishTextsForTheCodesTheLayerProduces) {
    EXPECT_EQ("System error message: The operation completed successfully.\r\n", SystemErrors::map(0));
    EXPECT_EQ("System error message: The system cannot find the file specified.\r\n", SystemErrors::map(2));
    EXPECT_EQ("System error message: The system cannot find the path specified.\r\n", SystemErrors::map(3));
    EXPECT_EQ("System error message: Access is denied.\r\n", SystemErrors::map(5));
    EXPECT_EQ("System error message: There are no more files.\r\n", SystemErrors::map(18));
    EXPECT_EQ("System error message: There is not enough space on the disk.\r\n", SystemErrors::map(112));
    EXPECT_EQ("System error message: No more data is available.\r\n", SystemErrors::map(259));
    EXPECT_EQ("System error message: The directory name is invalid.\r\n", SystemErrors::map(267));
    for (int code : {6, 8, 32, 87, 122, 145, 161, 206, 234, 1018}) {
        EXPECT_EQ(std::string::npos, SystemErrors::map(code).find("was not found")) << code;
    }
}

TEST(PosixWin32Base, EveryCodeTheErrnoMappingGivesHasAText) {
    for (int e = 0; e < 200; ++e) {
        DWORD code = platform::errorFromErrno(e);
        EXPECT_EQ(std::string::npos, SystemErrors::map(static_cast<int>(code)).find("was not found"))
            << "errno " << e << " -> " << code;
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
