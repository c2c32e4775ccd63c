#include <gtest/gtest.h>

#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/sysmacros.h>
#include <unistd.h>

#include <csignal>
#include <fstream>
#include <future>
#include <iterator>

#include "ChildProcess.h"
#include "io/file/FileExceptions.h"
#include "io/file/FileHelper.h"
#include "support/FileHelperFailures.h"
#include "support/ScratchDirectory.h"

namespace {

using io::file::CouldNotLoadFileException;
using io::file::CouldNotSaveFileException;
using io::file::FileHelper;

const std::string notSupported = "System error message: The request is not supported.\r\n";


// The first line of a message, its system text and its last line.
std::string outline(const std::string& message) {
    const std::string::size_type system = message.find("System error message: ");
    if (system == std::string::npos) return message;
    return message.substr(0, message.find('\n')) + " | " +
           message.substr(system, message.find("\nC++ exception: ") - system) + " | " +
           message.substr(message.rfind('\n') + 1);
}


std::string refusedForReading(const std::string& systemText) {
    return "An error occured when trying to open the file for reading. | " + systemText + " | C++ exception: None.";
}

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

// Only a file on disk has a size and an end. A device may never end, and a
// FIFO's open would wait for a writer: both are refused before any stream
// opens them, the child giving up if the refusal never came.
TEST(PosixSpecialFiles, DevicesAndFifosAreNotLoaded) {
    ScratchDirectory scratch;
    const std::string fifo = scratch.pathOf("fifo");
    ASSERT_EQ(0, mkfifo(fifo.c_str(), 0600));
    const std::string report = runInChild([&]() -> std::string {
        alarm(60);
        return expectEqual("/dev/zero", refusedForReading(notSupported), outline(loadFailure("/dev/zero"))) +
               expectEqual("/dev/null", refusedForReading(notSupported), outline(loadFailure("/dev/null"))) +
               expectEqual("fifo", refusedForReading(notSupported), outline(loadFailure(fifo)));
    });
    EXPECT_EQ("", report);
}

// A device is written in place; replacing it would put a plain file where
// the device was.
TEST(PosixSpecialFiles, ADeviceIsWrittenInPlaceAndStaysADevice) {
    if (geteuid() != 0) GTEST_SKIP() << "making a device node needs root";
    ScratchDirectory scratch;
    const std::string device = scratch.pathOf("null");
    ASSERT_EQ(0, mknod(device.c_str(), S_IFCHR | 0666, makedev(1, 3)));
    FileHelper::save(device, "data", 0);
    struct stat status;
    ASSERT_EQ(0, lstat(device.c_str(), &status));
    EXPECT_TRUE(S_ISCHR(status.st_mode));
    EXPECT_EQ(std::vector<std::string>{"null"}, scratch.namesIn(""));
}

TEST(PosixSpecialFiles, AFifoGetsTheDataWhenItHasAReaderAndIsKeptWhenNot) {
    ScratchDirectory scratch;
    const std::string fifo = scratch.pathOf("fifo");
    ASSERT_EQ(0, mkfifo(fifo.c_str(), 0600));
    const std::string report = runInChild([&]() -> std::string {
        alarm(60);
        const std::string failure = expectEqual("without a reader",
                                                "An error occured when trying to open the file for writing. | "
                                                "System error message: The device is not ready.\r\n | "
                                                "C++ exception: None.",
                                                outline(saveFailure(fifo, "data")));
        std::future<std::string> received = std::async(std::launch::async, [&] {
            std::ifstream reader(fifo, std::ios::binary);
            return std::string(std::istreambuf_iterator<char>(reader), std::istreambuf_iterator<char>());
        });
        // The reader's open waits for a writer; the save tries until it is there.
        std::string saved = "(no reader came)";
        for (int attempt = 0; attempt < 1000000 && saved != ""; ++attempt) {
            try {
                FileHelper::save(fifo, std::string(100000, 'd'), 0);
                saved = "";
            } catch (const CouldNotSaveFileException&) {
                usleep(1000);
            }
        }
        return failure + saved + expectEqual("received", std::string(100000, 'd'), received.get());
    });
    EXPECT_EQ("", report);
    struct stat status;
    ASSERT_EQ(0, lstat(fifo.c_str(), &status));
    EXPECT_TRUE(S_ISFIFO(status.st_mode));
    EXPECT_EQ(std::vector<std::string>{"fifo"}, scratch.namesIn(""));
}

}  // namespace
