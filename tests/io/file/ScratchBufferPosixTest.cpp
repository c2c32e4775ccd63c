#include <gtest/gtest.h>

#include <sys/resource.h>

#include <csignal>
#include <string>

#include "io/file/FileContents.h"
#include "io/file/ScratchBuffer.h"
#include "support/ScratchDirectory.h"

namespace {

// A scratch file that refuses a write halfway (here past the file size the
// process may write, as on a full disk) gives back what it took: every byte
// written is read back once, in order, from memory, and no file is left.
TEST(ScratchBuffer, AFileThatRefusesAWriteGivesItsBytesBackToMemory) {
    ScratchDirectory scratch;
    io::file::ScratchBuffer buffer(scratch.pathOf("dump.dat"));
    ASSERT_TRUE(buffer.write("abc", 3));
    ASSERT_TRUE(buffer.spill());
    EXPECT_EQ(0u, buffer.heldBytes());

    struct rlimit unlimited;
    ASSERT_EQ(0, getrlimit(RLIMIT_FSIZE, &unlimited));
    const auto previous = std::signal(SIGXFSZ, SIG_IGN);
    struct rlimit small = unlimited;
    small.rlim_cur = 4096;
    ASSERT_EQ(0, setrlimit(RLIMIT_FSIZE, &small));
    const std::string large(10000, 'x');
    const bool written = buffer.write(large.data(), large.size());
    setrlimit(RLIMIT_FSIZE, &unlimited);
    std::signal(SIGXFSZ, previous);

    EXPECT_TRUE(written);
    EXPECT_FALSE(buffer.isSpilled());
    EXPECT_FALSE(buffer.spill());
    ASSERT_TRUE(buffer.write("end", 3));
    io::file::FileContents contents{std::string()};
    ASSERT_TRUE(buffer.read(contents));
    EXPECT_EQ("abc" + large + "end", std::string(contents.begin(), contents.end()));
    EXPECT_TRUE(scratch.namesIn("").empty());
}

}  // namespace
