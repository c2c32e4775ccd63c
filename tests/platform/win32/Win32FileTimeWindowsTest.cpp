#include <gtest/gtest.h>

#include "platform/win32/Win32.h"
#include "support/ScratchDirectory.h"

namespace {

FILETIME listedWriteTime(const std::string& path) {
    WIN32_FIND_DATAA record;
    HANDLE find = FindFirstFileA(path.c_str(), &record);
    EXPECT_NE(INVALID_HANDLE_VALUE, find);
    FindClose(find);
    return record.ftLastWriteTime;
}

FILETIME queriedWriteTime(const std::string& path) {
    BY_HANDLE_FILE_INFORMATION information = {};
    HANDLE file = CreateFileA(path.c_str(), 0, 0, nullptr, OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr);
    EXPECT_NE(INVALID_HANDLE_VALUE, file);
    EXPECT_TRUE(GetFileInformationByHandle(file, &information));
    EXPECT_TRUE(CloseHandle(file));
    return information.ftLastWriteTime;
}

TEST(WindowsFileTime, QueryGivesTheWriteTimeTheListingShows) {
    ScratchDirectory scratch;
    for (const std::string& path : {scratch.writeFile("file.txt", "x"), scratch.makeDirectory("sub")}) {
        const FILETIME listed = listedWriteTime(path);
        const FILETIME queried = queriedWriteTime(path);
        EXPECT_EQ(listed.dwHighDateTime, queried.dwHighDateTime) << path;
        EXPECT_EQ(listed.dwLowDateTime, queried.dwLowDateTime) << path;
        EXPECT_NE(0u, queried.dwHighDateTime) << path;
    }
}

}  // namespace
