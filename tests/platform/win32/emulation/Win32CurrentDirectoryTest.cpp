#include <gtest/gtest.h>

#include <sys/stat.h>
#include <unistd.h>

#include <climits>
#include <string>

#include "support/ChildProcess.h"
#include "platform/win32/Win32.h"
#include "support/ScratchDirectory.h"
#include "support/WorkingDirectory.h"
#include "windows/file/WindowsFileExceptions.h"
#include "windows/file/WindowsFileHelper.h"

namespace {

TEST(PosixCurrentDirectory, TooSmallBufferGivesTheLengthNeededWithTheNul) {
    ScratchDirectory scratch;
    WorkingDirectory inScratch(scratch.getPath());
    const DWORD length = static_cast<DWORD>(scratch.getPath().size());

    char small[4] = "abc";
    EXPECT_EQ(length + 1, GetCurrentDirectoryA(sizeof small, small));
    EXPECT_EQ(std::string("abc"), small);

    std::string exact(length + 1, 'x');
    EXPECT_EQ(length + 1, GetCurrentDirectoryA(length, &exact[0]));
    EXPECT_EQ(length, GetCurrentDirectoryA(length + 1, &exact[0]));
    EXPECT_EQ(scratch.getPath(), exact.c_str());
}

TEST(PosixCurrentDirectory, DirectoryLongerThanMaxPathIsReturnedWhole) {
    ScratchDirectory scratch;
    const std::string report = runInChild([&]() -> std::string {
        if (chdir(scratch.getPath().c_str()) != 0) return "chdir";
        const std::string component(100, 'd');
        for (int level = 0; level < 5; ++level) {
            if (mkdir(component.c_str(), 0700) != 0 || chdir(component.c_str()) != 0) return "deep directory";
        }
        char expected[PATH_MAX];
        if (getcwd(expected, sizeof expected) == nullptr) return "getcwd";
        if (std::string(expected).size() <= MAX_PATH) return "not long enough";
        return expectEqual("directory", std::string(expected) + "/", windows::file::getCurrentDirectory());
    });
    EXPECT_EQ("", report);
}

TEST(PosixCurrentDirectory, RemovedDirectoryIsAFailureWithTheSystemText) {
    ScratchDirectory scratch;
    const std::string gone = scratch.makeDirectory("gone");
    const std::string report = runInChild([&]() -> std::string {
        if (chdir(gone.c_str()) != 0 || rmdir(gone.c_str()) != 0) return "setup";
        try {
            windows::file::getCurrentDirectory();
            return "no exception";
        } catch (const windows::file::CouldNotGetCurrentDirectoryException& e) {
            return expectEqual("message",
                               "Couldn't get the current directory.\n System error message: The system cannot find "
                               "the file specified.\n",
                               e.getMessage());
        }
    });
    EXPECT_EQ("", report);
}

}  // namespace
