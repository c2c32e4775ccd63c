#include <gtest/gtest.h>

#include "io/file/FileHelper.h"
#include "platform/errorresources/SystemErrors.h"
#include "platform/win32/Win32.h"
#include "support/FileHelperFailures.h"
#include "support/ScratchDirectory.h"

namespace {

using io::file::FileHelper;

bool runsUnderWine() { return GetProcAddress(GetModuleHandleA("ntdll.dll"), "wine_get_version") != nullptr; }

class WindowsSaveAttributes : public ::testing::Test {
protected:
    // A dump with the given attributes.
    std::string makeDump(DWORD attributes) {
        const std::string name = scratch.writeFile("dump.dat", "old");
        EXPECT_TRUE(SetFileAttributesA(name.c_str(), attributes));
        return name;
    }

    // The scratch directory cannot remove a read-only file.
    void TearDown() override { SetFileAttributesA(scratch.pathOf("dump.dat").c_str(), FILE_ATTRIBUTE_NORMAL); }

    ScratchDirectory scratch;
};

TEST_F(WindowsSaveAttributes, AHiddenDumpStaysHidden) {
    if (runsUnderWine()) GTEST_SKIP() << "Wine's ReplaceFile drops the attributes of the file it replaces";
    const std::string name = makeDump(FILE_ATTRIBUTE_HIDDEN);
    FileHelper::save(name, "new", 0);
    EXPECT_EQ("new", scratch.readFile("dump.dat"));
    EXPECT_NE(0u, GetFileAttributesA(name.c_str()) & FILE_ATTRIBUTE_HIDDEN);
}

// Read-only means the dump is not to be written: the save is refused and
// the dump stays as it was, attribute and all.
TEST_F(WindowsSaveAttributes, AReadOnlyDumpIsRefusedAndStaysAsItWas) {
    const std::string name = makeDump(FILE_ATTRIBUTE_READONLY);
    const std::string message = saveFailure(name, "new");
    EXPECT_NE(std::string::npos, message.find("\n" + SystemErrors::map(ERROR_ACCESS_DENIED) + "\nC++ exception: "))
        << message;
    EXPECT_EQ("old", scratch.readFile("dump.dat"));
    EXPECT_NE(0u, GetFileAttributesA(name.c_str()) & FILE_ATTRIBUTE_READONLY);
    EXPECT_EQ(std::vector<std::string>{"dump.dat"}, scratch.namesIn(""));
}

}  // namespace
