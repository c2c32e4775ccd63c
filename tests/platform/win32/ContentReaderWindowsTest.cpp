#include <gtest/gtest.h>

#include "platform/win32/ContentReader.h"
#include "platform/win32/FileCalls.h"
#include "platform/win32/Win32.h"
#include "support/ScratchDirectory.h"

namespace {

// A file another program holds open without read sharing is refused at
// once, not waited for.
TEST(ContentReaderWindows, FileHeldWithoutReadSharingIsUnreadable) {
    ScratchDirectory scratch;
    const std::string file = scratch.writeFile("held", "content");
    HANDLE held = platform::createFile(file, GENERIC_READ | GENERIC_WRITE, 0, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL);
    ASSERT_NE(INVALID_HANDLE_VALUE, held);
    const platform::FileContent content = platform::ContentReader().read(file);
    CloseHandle(held);
    EXPECT_EQ(platform::FileContent::UNREADABLE, content.outcome);
    EXPECT_EQ(static_cast<std::uint32_t>(ERROR_SHARING_VIOLATION), content.error);
    EXPECT_EQ(platform::FileContent::READ, platform::ContentReader().read(file).outcome);
}

}  // namespace
