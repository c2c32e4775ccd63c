#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>

#include "platform/errorresources/SystemErrors.h"
#include "platform/win32/PathSeparator.h"
#include "platform/win32/ScanSession.h"
#include "support/ScratchDirectory.h"
#include "support/WorkingDirectory.h"
#include "windows/file/WindowsFileExceptions.h"
#include "windows/file/WindowsFileHelper.h"

namespace {

using windows::file::getCurrentDirectory;
using windows::file::DirectoryEntry;
using windows::file::getFirstLevelDirectories;
using windows::file::getFirstLevelEntries;
using windows::file::getFirstLevelFiles;

const char separator = platform::PATH_SEPARATOR;
const std::string openFailure =
    "Error when trying to get first level directories. \nThe error occured when opening a find file handle. "
    "Initial directory: ";
const int errorPathNotFound = 3;

std::vector<std::string> sorted(std::vector<std::string> paths) {
    std::sort(paths.begin(), paths.end());
    return paths;
}

class WindowsFileHelperListing : public ::testing::Test {
protected:
    ScratchDirectory scratch;
};

TEST_F(WindowsFileHelperListing, FullPathsHaveOneSeparatorWhetherOrNotTheDirectoryEndsInOne) {
    scratch.writeFile("a.txt", "a");
    scratch.writeFile("b.dat", "b");
    scratch.makeDirectory("sub");
    scratch.makeDirectory("other");
    const std::string dir = scratch.getPath();
    const std::vector<std::string> files = {dir + separator + "a.txt", dir + separator + "b.dat"};
    const std::vector<std::string> directories = {dir + separator + "other", dir + separator + "sub"};

    EXPECT_EQ(files, sorted(getFirstLevelFiles(dir, "*")));
    EXPECT_EQ(files, sorted(getFirstLevelFiles(dir + separator, "*")));
    EXPECT_EQ(directories, sorted(getFirstLevelDirectories(dir)));
    EXPECT_EQ(directories, sorted(getFirstLevelDirectories(dir + separator)));
}

TEST_F(WindowsFileHelperListing, EmptyDirectoryListsNothingNotEvenDotEntries) {
    const std::string dir = scratch.makeDirectory("empty");
    EXPECT_TRUE(getFirstLevelDirectories(dir).empty());
    EXPECT_TRUE(getFirstLevelFiles(dir, "*").empty());
}

TEST_F(WindowsFileHelperListing, NamesThatMerelyBeginWithADotAreListed) {
    scratch.makeDirectory(".config");
    scratch.makeDirectory("..more");
    scratch.writeFile(".profile", "");
    const std::string dir = scratch.getPath();
    EXPECT_EQ(sorted({dir + separator + "..more", dir + separator + ".config"}), sorted(getFirstLevelDirectories(dir)));
    EXPECT_EQ(std::vector<std::string>{dir + separator + ".profile"}, getFirstLevelFiles(dir, "*"));
}

TEST_F(WindowsFileHelperListing, MaskSelectsFilesButNeverADirectoryWithTheSameExtension) {
    scratch.writeFile("a.txt", "");
    scratch.writeFile("b.dat", "");
    scratch.makeDirectory("sub.txt");
    const std::string dir = scratch.getPath();
    EXPECT_EQ(std::vector<std::string>{dir + separator + "a.txt"}, getFirstLevelFiles(dir, "*.txt"));
    EXPECT_EQ(std::vector<std::string>{dir + separator + "a.txt"}, getFirstLevelFiles(dir, "*.TXT"));
    EXPECT_EQ(std::vector<std::string>{dir + separator + "b.dat"}, getFirstLevelFiles(dir, "?.dat"));
}

// One read gives what the two listings give, in listing order, whether or
// not a scan's session reads it.
TEST_F(WindowsFileHelperListing, EntriesAreTheFilesAndTheDirectoriesOfOneRead) {
    scratch.makeDirectory("sub");
    scratch.makeDirectory(".config");
    scratch.writeFile("a.txt", "");
    scratch.writeFile(".profile", "");
    const std::string dir = scratch.getPath();
    platform::ScanSession session;

    for (const std::vector<DirectoryEntry>& entries : {getFirstLevelEntries(dir), getFirstLevelEntries(dir, session)}) {
        std::vector<std::string> files;
        std::vector<std::string> directories;
        for (const DirectoryEntry& entry : entries) {
            EXPECT_NE(entry.isFile(), entry.isDirectory()) << entry.path;
            EXPECT_FALSE(entry.isReparsePoint()) << entry.path;
            (entry.isFile() ? files : directories).push_back(entry.path);
        }
        EXPECT_EQ(getFirstLevelFiles(dir, "*"), files);
        EXPECT_EQ(getFirstLevelDirectories(dir), directories);
        EXPECT_EQ(4u, entries.size());
    }
}

TEST_F(WindowsFileHelperListing, EntriesOfAMissingDirectoryFailLikeTheOtherListings) {
    const std::string missing = scratch.pathOf("missing");
    try {
        getFirstLevelEntries(missing);
        ADD_FAILURE() << "no exception";
    } catch (const windows::file::CouldNotGetFirstLevelEntriesException& e) {
        EXPECT_EQ(openFailure + missing + "\n\n" + SystemErrors::map(errorPathNotFound), e.getMessage());
    }
}

TEST_F(WindowsFileHelperListing, ExistingDirectoryWithoutAMatchGivesAnEmptyList) {
    scratch.writeFile("a.txt", "");
    EXPECT_TRUE(getFirstLevelFiles(scratch.getPath(), "*.zzz").empty());
}

TEST_F(WindowsFileHelperListing, MissingDirectoryFailsNamingItAsTheCallerWroteIt) {
    const std::string missing = scratch.pathOf("missing") + separator;
    const std::string expected = openFailure + missing + "\n\n" + SystemErrors::map(errorPathNotFound);
    try {
        getFirstLevelDirectories(missing);
        ADD_FAILURE() << "no exception";
    } catch (const windows::file::CouldNotGetFirstLevelDirectoriesException& e) {
        EXPECT_EQ(expected, e.getMessage());
    }
    try {
        getFirstLevelFiles(missing, "*");
        ADD_FAILURE() << "no exception";
    } catch (const windows::file::CouldNotGetFirstLevelFilesException& e) {
        EXPECT_EQ(expected, e.getMessage());
    }
}

TEST_F(WindowsFileHelperListing, ListingFailuresAreWindowsFileAndIOExceptions) {
    const std::string missing = scratch.pathOf("missing");
    EXPECT_THROW(getFirstLevelDirectories(missing), windows::file::WindowsFileException);
    EXPECT_THROW(getFirstLevelFiles(missing, "*"), io::IOException);
}

TEST_F(WindowsFileHelperListing, FileUsedAsDirectoryIsAFailureNotAnEmptyList) {
    const std::string file = scratch.writeFile("plain.txt", "x");
    try {
        getFirstLevelFiles(file, "*");
        ADD_FAILURE() << "no exception";
    } catch (const windows::file::CouldNotGetFirstLevelFilesException& e) {
        EXPECT_EQ(0u, e.getMessage().find(openFailure + file + "\n\n")) << e.getMessage();
    }
}

TEST_F(WindowsFileHelperListing, EmptyDirectoryIsAFailedCheckAndListsTheCurrentDirectoryWithBareNames) {
    scratch.makeDirectory("work");
    scratch.writeFile("work" + std::string(1, separator) + "bare.txt", "");
    WorkingDirectory inWork(scratch.pathOf("work"));

    const std::vector<std::string> files = getFirstLevelFiles("", "*");

    EXPECT_NE(files.end(), std::find(files.begin(), files.end(), "bare.txt"));
    const std::string report = scratch.readFile("work" + std::string(1, separator) + "assertion.txt");
    EXPECT_NE(std::string::npos, report.find("Assertion failed. Message: initialDirectory != \"\"")) << report;
}

TEST_F(WindowsFileHelperListing, SearchPatternLongerThanMaxPathIsNoFailedCheck) {
    WorkingDirectory inScratch(scratch.getPath());
    const std::string longMask(300, 'x');
    try {
        getFirstLevelFiles(scratch.getPath(), longMask);
    } catch (const windows::file::WindowsFileException&) {
        // Whether the system refuses a name that long or finds no match is its own affair.
    }
    EXPECT_EQ(std::vector<std::string>(), scratch.namesIn(""));
}

TEST(WindowsFileHelperCurrentDirectory, IsTheProcessDirectoryWithASeparatorAppended) {
    const std::string directory = getCurrentDirectory();
    EXPECT_EQ(std::filesystem::current_path().string() + separator, directory);
    EXPECT_EQ(separator, directory.back());
}

}  // namespace
