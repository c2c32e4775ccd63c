#include <gtest/gtest.h>

#include <sys/stat.h>

#include "support/ChildProcess.h"
#include "support/ScratchDirectory.h"
#include "windows/file/WindowsFileExceptions.h"
#include "windows/file/WindowsFileHelper.h"

namespace {

const std::string openFailure =
    "Error when trying to get first level directories. \nThe error occured when opening a find file handle. "
    "Initial directory: ";

TEST(PosixListingFailures, UnreadableDirectoryIsAccessDenied) {
    ScratchDirectory scratch;
    const std::string locked = scratch.makeDirectory("locked");
    scratch.makeDirectory("locked/sub");
    ASSERT_EQ(0, chmod(locked.c_str(), 0311));
    const std::string report = runInChild([&]() -> std::string {
        const std::string dropped = becomeUnprivileged();
        if (!dropped.empty()) return dropped;
        try {
            windows::file::getFirstLevelDirectories(locked);
            return "no exception";
        } catch (const windows::file::CouldNotGetFirstLevelDirectoriesException& e) {
            return expectEqual("message", openFailure + locked + "\n\nSystem error message: Access is denied.\n",
                               e.getMessage());
        }
    });
    EXPECT_EQ("", report);
}

TEST(PosixListingFailures, FileUsedAsDirectoryIsAnInvalidDirectoryName) {
    ScratchDirectory scratch;
    const std::string file = scratch.writeFile("plain.txt", "x");
    try {
        windows::file::getFirstLevelFiles(file, "*");
        ADD_FAILURE() << "no exception";
    } catch (const windows::file::CouldNotGetFirstLevelFilesException& e) {
        EXPECT_EQ(openFailure + file + "\n\nSystem error message: The directory name is invalid.\n", e.getMessage());
    }
}

}  // namespace
