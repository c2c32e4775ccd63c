#include <gtest/gtest.h>

#include "platform/win32/Win32.h"
#include "support/ScratchDirectory.h"

namespace {

// The scan opens every path it recorded this way, files and directories alike.
HANDLE openForQuery(const std::string& path) {
    return CreateFileA(path.c_str(), 0, 0, nullptr, OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr);
}

DWORD attributesOf(const std::string& path) {
    BY_HANDLE_FILE_INFORMATION information = {};
    HANDLE handle = openForQuery(path);
    EXPECT_NE(INVALID_HANDLE_VALUE, handle) << path;
    EXPECT_TRUE(GetFileInformationByHandle(handle, &information)) << path;
    EXPECT_TRUE(CloseHandle(handle)) << path;
    return information.dwFileAttributes;
}

TEST(Win32FileQuery, FilesAndDirectoriesOpenAndTellTheirKind) {
    ScratchDirectory scratch;
    EXPECT_EQ(0u, attributesOf(scratch.writeFile("file.txt", "x")) & FILE_ATTRIBUTE_DIRECTORY);
    EXPECT_NE(0u, attributesOf(scratch.makeDirectory("sub")) & FILE_ATTRIBUTE_DIRECTORY);
}

TEST(Win32FileQuery, MissingPathIsFileNotFound) {
    ScratchDirectory scratch;
    EXPECT_EQ(INVALID_HANDLE_VALUE, openForQuery(scratch.pathOf("missing")));
    EXPECT_EQ(static_cast<DWORD>(ERROR_FILE_NOT_FOUND), GetLastError());
}

}  // namespace
