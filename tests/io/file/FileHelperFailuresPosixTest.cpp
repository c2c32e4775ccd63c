#include <gtest/gtest.h>

#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/sysmacros.h>
#include <unistd.h>

#include <csignal>
#include <fstream>
#include <future>
#include <iterator>

#include "support/ChildProcess.h"
#include "io/file/FileHelper.h"
#include "support/FileHelperFailures.h"
#include "support/ScratchDirectory.h"

namespace {

using io::file::FileHelper;

const std::string notSupported = "System error message: The request is not supported.\n";
const std::string accessDenied = "System error message: Access is denied.\n";

// The first line of a message, its system text and its last line.
std::string outline(const std::string& message) {
    const std::string::size_type system = message.find("System error message: ");
    if (system == std::string::npos) return message;
    return message.substr(0, message.find('\n')) + " | " +
           message.substr(system, message.find("\nC++ exception: ") - system) + " | " +
           message.substr(message.rfind('\n') + 1);
}

// The message up to the system text without the directory: what failed, on
// which file, and why.
std::string cause(const std::string& message) {
    const std::string::size_type system = message.find("System error message: ");
    if (system == std::string::npos) return message;
    return message.substr(0, message.find("\nCurrent Working Directory: ")) + " | " +
           message.substr(system, message.find("\nC++ exception: ") - system);
}

std::string refusedForReading(const std::string& systemText) {
    return "An error occured when trying to open the file for reading. | " + systemText + " | C++ exception: None.";
}

std::string refusedForWriting(const std::string& fileName, const std::string& systemText) {
    return "An error occured when trying to open the file for writing.\nFilename: '" + fileName + "' | " + systemText;
}

TEST(PosixSaveFailures, FailureWhileWritingLeavesTheOldFileWholeAndNoTemporaryFile) {
    ScratchDirectory scratch;
    const std::string oldContent(1000, 'o');
    const std::string target = scratch.writeFile("dump.dat", oldContent);
    const std::string report = runInChild([&]() -> std::string {
        const struct rlimit limit = {4096, 4096};
        if (setrlimit(RLIMIT_FSIZE, &limit) != 0) return "setrlimit";
        std::signal(SIGXFSZ, SIG_IGN);
        return expectEqual("failure",
                           "An error occured when trying to write the file.\nFilename: '" + target + "' | "
                           "System error message: The file size exceeds the limit allowed and cannot be saved.\n",
                           cause(saveFailure(target, std::string(100000, 'n'))));
    });
    EXPECT_EQ("", report);
    EXPECT_EQ(oldContent, scratch.readFile("dump.dat"));
    EXPECT_EQ(std::vector<std::string>{"dump.dat"}, scratch.namesIn(""));
}

// A directory the user may not write to takes no new file and no
// replacement; a file in it that the user may write is written in place.
TEST(PosixSaveFailures, ReadOnlyDirectoryTakesOnlyWritesInPlace) {
    ScratchDirectory scratch;
    const std::string directory = scratch.makeDirectory("readonly");
    const std::string locked = scratch.writeFile("readonly/locked.dat", "locked");
    const std::string writable = scratch.writeFile("readonly/writable.dat", "a longer old content");
    ASSERT_EQ(0, chmod(writable.c_str(), 0666));
    struct stat before;
    ASSERT_EQ(0, stat(writable.c_str(), &before));
    ASSERT_EQ(0, chmod(scratch.getPath().c_str(), 0755));
    ASSERT_EQ(0, chmod(directory.c_str(), 0755));
    const std::string report = runInChild([&]() -> std::string {
        const std::string dropped = becomeUnprivileged();
        if (!dropped.empty()) return dropped;
        const std::string fresh = directory + "/new.dat";
        return expectEqual("new file", refusedForWriting(fresh, accessDenied), cause(saveFailure(fresh, "data"))) +
               expectEqual("file the user may not write", refusedForWriting(locked, accessDenied),
                           cause(saveFailure(locked, "data"))) +
               expectEqual("file the user may write", "(no exception)", saveFailure(writable, "new"));
    });
    EXPECT_EQ("", report);
    EXPECT_EQ((std::vector<std::string>{"locked.dat", "writable.dat"}), scratch.namesIn("readonly"));
    EXPECT_EQ("locked", scratch.readFile("readonly/locked.dat"));
    EXPECT_EQ("new", scratch.readFile("readonly/writable.dat"));
    struct stat after;
    ASSERT_EQ(0, stat(writable.c_str(), &after));
    EXPECT_EQ(before.st_ino, after.st_ino);
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

// Looking never opens the data, so a FIFO does not wait for a writer; a link
// holds what the file it leads to holds.
TEST(PosixSpecialFiles, DevicesFifosAndLinksHoldDataAsWhatTheyLeadTo) {
    ScratchDirectory scratch;
    const std::string fifo = scratch.pathOf("fifo");
    ASSERT_EQ(0, mkfifo(fifo.c_str(), 0600));
    const std::string dump = scratch.writeFile("dump.dat", "data");
    ASSERT_EQ(0, symlink(dump.c_str(), scratch.pathOf("link.dat").c_str()));
    ASSERT_EQ(0, symlink(scratch.pathOf("gone.dat").c_str(), scratch.pathOf("dangling.dat").c_str()));
    const std::string report = runInChild([&]() -> std::string {
        alarm(60);
        std::string failures;
        for (const std::string& name : {std::string("/dev/zero"), fifo, scratch.pathOf("dangling.dat")}) {
            if (FileHelper::holdsData(name)) failures += name + " holds data\n";
        }
        if (!FileHelper::holdsData(scratch.pathOf("link.dat"))) failures += "the link holds no data\n";
        return failures;
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
                                                "System error message: The device is not ready.\n | "
                                                "C++ exception: None.",
                                                outline(saveFailure(fifo, "data")));
        std::future<std::string> received = std::async(std::launch::async, [&] {
            std::ifstream reader(fifo, std::ios::binary);
            return std::string(std::istreambuf_iterator<char>(reader), std::istreambuf_iterator<char>());
        });
        // The reader's open waits for a writer; the save tries until it is there.
        bool saved = false;
        for (int attempt = 0; attempt < 1000000 && !saved; ++attempt) {
            saved = saveFailure(fifo, std::string(100000, 'd')) == "(no exception)";
            if (!saved) usleep(1000);
        }
        return failure + (saved ? "" : "(no reader came)") +
               expectEqual("received", std::string(100000, 'd'), received.get());
    });
    EXPECT_EQ("", report);
    struct stat status;
    ASSERT_EQ(0, lstat(fifo.c_str(), &status));
    EXPECT_TRUE(S_ISFIFO(status.st_mode));
    EXPECT_EQ(std::vector<std::string>{"fifo"}, scratch.namesIn(""));
}

}  // namespace
