#include <gtest/gtest.h>

#include <sys/resource.h>
#include <sys/stat.h>

#include <csignal>

#include "ChildProcess.h"
#include "io/file/FileExceptions.h"
#include "io/file/FileHelper.h"
#include "support/ScratchDirectory.h"

namespace {

using io::file::CouldNotSaveFileException;
using io::file::FileHelper;

// The message up to the system text: the message and the file name.
std::string saveFailureStart(const std::string& fileName, const std::string& data) {
    try {
        FileHelper::save(fileName, data, 0);
    } catch (const CouldNotSaveFileException& e) {
        const std::string& message = e.getMessage();
        return message.substr(0, message.find("\nCurrent Working Directory: "));
    }
    return "(no exception)";
}

std::string systemTextOf(const std::string& fileName, const std::string& data) {
    try {
        FileHelper::save(fileName, data, 0);
    } catch (const CouldNotSaveFileException& e) {
        const std::string& message = e.getMessage();
        const std::string::size_type start = message.find("System error message: ");
        return message.substr(start, message.find("\nC++ exception: ") - start);
    }
    return "(no exception)";
}

TEST(PosixSaveFailures, FailureWhileWritingLeavesTheOldFileWholeAndNoTemporaryFile) {
    ScratchDirectory scratch;
    const std::string oldContent(1000, 'o');
    const std::string target = scratch.writeFile("dump.dat", oldContent);
    const std::string report = runInChild([&]() -> std::string {
        const struct rlimit limit = {4096, 4096};
        if (setrlimit(RLIMIT_FSIZE, &limit) != 0) return "setrlimit";
        std::signal(SIGXFSZ, SIG_IGN);
        const std::string data(100000, 'n');
        return expectEqual("message", "An error occured when trying to write the file.\nFilename: '" + target + "'",
                           saveFailureStart(target, data)) +
               expectEqual("system text",
                           "System error message: The file size exceeds the limit allowed and cannot be saved.\r\n",
                           systemTextOf(target, data));
    });
    EXPECT_EQ("", report);
    EXPECT_EQ(oldContent, scratch.readFile("dump.dat"));
    EXPECT_EQ(std::vector<std::string>{"dump.dat"}, scratch.namesIn(""));
}

TEST(PosixSaveFailures, ReadOnlyDirectoryRefusesTheOpenAndKeepsItsFiles) {
    ScratchDirectory scratch;
    const std::string directory = scratch.makeDirectory("readonly");
    const std::string existing = scratch.writeFile("readonly/old.dat", "old");
    ASSERT_EQ(0, chmod(scratch.getPath().c_str(), 0755));
    ASSERT_EQ(0, chmod(directory.c_str(), 0755));
    const std::string report = runInChild([&]() -> std::string {
        const std::string dropped = becomeUnprivileged();
        if (!dropped.empty()) return dropped;
        const std::string fresh = directory + "/new.dat";
        const std::string accessDenied = "System error message: Access is denied.\r\n";
        return expectEqual("new file",
                           "An error occured when trying to open the file for writing.\nFilename: '" + fresh + "'",
                           saveFailureStart(fresh, "data")) +
               expectEqual("new file system text", accessDenied, systemTextOf(fresh, "data")) +
               expectEqual("existing file",
                           "An error occured when trying to open the file for writing.\nFilename: '" + existing + "'",
                           saveFailureStart(existing, "data")) +
               expectEqual("existing file system text", accessDenied, systemTextOf(existing, "data"));
    });
    EXPECT_EQ("", report);
    EXPECT_EQ(std::vector<std::string>{"old.dat"}, scratch.namesIn("readonly"));
    EXPECT_EQ("old", scratch.readFile("readonly/old.dat"));
}

}  // namespace
