#include <gtest/gtest.h>

#include <stdio.h>
#include <unistd.h>

#include <string>

#include "platform/errorresources/SystemErrors.h"
#include "platform/win32/ScanSession.h"
#include "platform/win32/Win32.h"
#include "support/ScratchDirectory.h"
#include "windows/file/WindowsFileExceptions.h"
#include "windows/file/WindowsFileHelper.h"

namespace {

using windows::file::getFirstLevelEntries;

// The file information of a path as the file-information pass of a scan
// takes it through `session`.
BY_HANDLE_FILE_INFORMATION queried(platform::ScanSession& session, const std::string& path) {
    BY_HANDLE_FILE_INFORMATION information = {};
    HANDLE handle = session.openForQueries(path, FILE_FLAG_BACKUP_SEMANTICS | FILE_FLAG_OPEN_REPARSE_POINT);
    EXPECT_NE(INVALID_HANDLE_VALUE, handle) << path;
    EXPECT_TRUE(GetFileInformationByHandle(handle, &information)) << path;
    EXPECT_TRUE(CloseHandle(handle)) << path;
    return information;
}

std::string listingFailure(platform::ScanSession& session, const std::string& directory) {
    try {
        getFirstLevelEntries(directory, session);
    } catch (const windows::file::CouldNotGetFirstLevelEntriesException& e) {
        return e.getMessage();
    }
    return "(no exception)";
}

class PosixScanSession : public ::testing::Test {
protected:
    ScratchDirectory scratch;
    platform::ScanSession session;
};

// A walk opens each subdirectory by its name in the parent it listed, and
// never through a symbolic link: a directory replaced by one after its parent
// was listed fails to list, as a file put in its place would.
TEST_F(PosixScanSession, DirectoryReplacedByALinkBetweenTwoListingsIsNotWalked) {
    const std::string top = scratch.makeDirectory("top");
    scratch.makeDirectory("top/d");
    scratch.makeDirectory("elsewhere");
    scratch.writeFile("elsewhere/secret.txt", "");
    session.beginWalk();
    ASSERT_EQ(1u, getFirstLevelEntries(top, session).size());

    ASSERT_EQ(0, rename(scratch.pathOf("top/d").c_str(), scratch.pathOf("d.old").c_str()));
    ASSERT_EQ(0, symlink(scratch.pathOf("elsewhere").c_str(), scratch.pathOf("top/d").c_str()));

    EXPECT_EQ("Error when trying to get first level directories. \nThe error occured when opening a find file "
              "handle. Initial directory: " +
                  top + "/d\n\n" + SystemErrors::map(ERROR_DIRECTORY),
              listingFailure(session, top + "/d"));
    // The directory a walk starts from is taken for what it points to.
    session.beginWalk();
    EXPECT_EQ(1u, getFirstLevelEntries(top + "/d", session).size());
}

// The queries of a directory reach it through the directories they keep open;
// an ancestor renamed and replaced since is noticed before a query below it.
TEST_F(PosixScanSession, AncestorSwappedBetweenTwoQueriesIsAnsweredForTheNewOne) {
    scratch.makeDirectory("t/a/sub");
    scratch.makeDirectory("new");
    scratch.writeFile("t/a/sub/y", "");
    scratch.writeFile("t/a/x", "old");
    scratch.writeFile("new/x", "the new one");
    EXPECT_NE(0u, queried(session, scratch.pathOf("t/a")).dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY);
    EXPECT_EQ(0u, queried(session, scratch.pathOf("t/a/sub/y")).nFileSizeLow);

    ASSERT_EQ(0, rename(scratch.pathOf("t/a").c_str(), scratch.pathOf("old").c_str()));
    ASSERT_EQ(0, rename(scratch.pathOf("new").c_str(), scratch.pathOf("t/a").c_str()));

    EXPECT_EQ(11u, queried(session, scratch.pathOf("t/a/x")).nFileSizeLow);
}

}  // namespace
