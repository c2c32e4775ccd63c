#include <gtest/gtest.h>

#include <fcntl.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <unistd.h>

#include <string>

#include "platform/win32/ContentReader.h"
#include "platform/win32/Win32.h"
#include "support/ChildProcess.h"
#include "support/ScratchDirectory.h"

namespace {

// None of these is read, and none makes the reader wait: a FIFO without a
// writer would block an open without O_NONBLOCK and a read of /dev/zero
// would not end; a link is not followed to the file it names, and a socket
// cannot be opened at all.
TEST(ContentReaderPosix, RefusesWhatIsNotARegularFileWithoutReadingIt) {
    ScratchDirectory scratch;
    const std::string target = scratch.writeFile("target", "content");
    const std::string fifo = scratch.pathOf("fifo");
    const std::string link = scratch.pathOf("link");
    const std::string socketPath = scratch.pathOf("socket");
    ASSERT_EQ(0, mkfifo(fifo.c_str(), 0600));
    ASSERT_EQ(0, symlink(target.c_str(), link.c_str()));
    const int listener = socket(AF_UNIX, SOCK_STREAM, 0);
    ASSERT_GE(listener, 0);
    struct sockaddr_un address = {};
    address.sun_family = AF_UNIX;
    ASSERT_LT(socketPath.size(), sizeof address.sun_path);
    socketPath.copy(address.sun_path, socketPath.size());
    ASSERT_EQ(0, bind(listener, reinterpret_cast<const struct sockaddr*>(&address), sizeof address));
    platform::ContentReader reader;
    for (const std::string& path : {fifo, link, socketPath, std::string("/dev/zero")}) {
        EXPECT_EQ(platform::FileContent::NOT_A_FILE, reader.read(path).outcome) << path;
    }
    close(listener);
    EXPECT_EQ(platform::FileContent::READ, reader.read(target).outcome);
}

// The owner's read leaves the access time as it was, even where the file
// system would otherwise set it (relatime does, while it is older than the
// last write).
TEST(ContentReaderPosix, LeavesTheAccessTimeOfItsOwnFiles) {
    ScratchDirectory scratch;
    const std::string file = scratch.writeFile("file", "content");
    const struct timespec times[2] = {{1000000000, 0}, {2000000000, 0}};
    ASSERT_EQ(0, utimensat(AT_FDCWD, file.c_str(), times, 0));
    EXPECT_EQ(platform::FileContent::READ, platform::ContentReader().read(file).outcome);
    struct stat status;
    ASSERT_EQ(0, stat(file.c_str(), &status));
    EXPECT_EQ(1000000000, status.st_atim.tv_sec);
}

// Root may read anything: the refusal is seen by an unprivileged user.
TEST(ContentReaderPosix, FileTheUserMayNotReadIsUnreadableWithAccessDenied) {
    ScratchDirectory scratch;
    const std::string file = scratch.writeFile("secret", "content");
    ASSERT_EQ(0, chmod(file.c_str(), 0600));
    EXPECT_EQ("", runInChild([&file]() {
                  std::string report = becomeUnprivileged();
                  if (!report.empty()) return report;
                  const platform::FileContent content = platform::ContentReader().read(file);
                  report += expectEqual("outcome", std::to_string(platform::FileContent::UNREADABLE),
                                        std::to_string(content.outcome));
                  report += expectEqual("error", std::to_string(ERROR_ACCESS_DENIED), std::to_string(content.error));
                  return report;
              }));
}

// A file whose content is made as it is read gives other bytes than its size
// says: /proc/version is a regular file of size 0.
TEST(ContentReaderPosix, FileThatDoesNotHoldItsSizeChangedWhileRead) {
    EXPECT_EQ(platform::FileContent::CHANGED_WHILE_READ, platform::ContentReader().read("/proc/version").outcome);
}

}  // namespace
