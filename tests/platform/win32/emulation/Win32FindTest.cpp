#include <gtest/gtest.h>

#include <fcntl.h>
#include <unistd.h>

#include <algorithm>
#include <climits>
#include <cstdio>
#include <map>
#include <string>
#include <vector>

#include "platform/win32/Win32.h"
#include "platform/win32/emulation/OpenDirectories.h"
#include "support/ScratchDirectory.h"
#include "support/WorkingDirectory.h"

namespace {

// Name -> attributes of every entry the find calls deliver, or the error of FindFirstFileA.
struct Listing {
    DWORD error = ERROR_SUCCESS;
    DWORD endError = ERROR_SUCCESS;
    std::map<std::string, DWORD> entries;
};

// With `walk`, the search lists a directory of that walk.
Listing find(const std::string& pattern, platform::OpenDirectories* walk = nullptr) {
    Listing listing;
    WIN32_FIND_DATAA record;
    HANDLE handle = walk != nullptr ? platform::findFirstFile(*walk, pattern.c_str(), &record)
                                    : FindFirstFileA(pattern.c_str(), &record);
    if (handle == INVALID_HANDLE_VALUE) {
        listing.error = GetLastError();
        return listing;
    }
    do {
        listing.entries[record.cFileName] = record.dwFileAttributes;
    } while (FindNextFileA(handle, &record));
    listing.endError = GetLastError();
    EXPECT_TRUE(FindClose(handle));
    return listing;
}

class PosixFindFile : public ::testing::Test {
protected:
    ScratchDirectory scratch;
};

TEST_F(PosixFindFile, EmptyDirectoryHoldsTheDotEntriesAsWindowsDelivers) {
    const Listing listing = find(scratch.makeDirectory("empty") + "/*");
    ASSERT_EQ(ERROR_SUCCESS, listing.error);
    EXPECT_EQ((std::map<std::string, DWORD>{{".", FILE_ATTRIBUTE_DIRECTORY}, {"..", FILE_ATTRIBUTE_DIRECTORY}}),
              listing.entries);
    EXPECT_EQ(ERROR_NO_MORE_FILES, listing.endError);
}

TEST_F(PosixFindFile, EntriesCarryTheirKindAndNeverAZeroAttributeWord) {
    scratch.writeFile("file.txt", "x");
    scratch.makeDirectory("sub");
    ASSERT_EQ(0, symlink("sub", scratch.pathOf("linkToDirectory").c_str()));
    ASSERT_EQ(0, symlink("file.txt", scratch.pathOf("linkToFile").c_str()));
    ASSERT_EQ(0, symlink("nowhere", scratch.pathOf("danglingLink").c_str()));

    const Listing listing = find(scratch.getPath() + "/*");

    EXPECT_EQ(FILE_ATTRIBUTE_ARCHIVE, listing.entries.at("file.txt"));
    EXPECT_EQ(FILE_ATTRIBUTE_DIRECTORY, listing.entries.at("sub"));
    // A link is never a directory: no walk follows it.
    EXPECT_EQ(FILE_ATTRIBUTE_REPARSE_POINT, listing.entries.at("linkToDirectory"));
    EXPECT_EQ(FILE_ATTRIBUTE_REPARSE_POINT, listing.entries.at("linkToFile"));
    EXPECT_EQ(FILE_ATTRIBUTE_REPARSE_POINT, listing.entries.at("danglingLink"));
}

TEST_F(PosixFindFile, ErrorCodesAreThoseWindowsGives) {
    scratch.writeFile("file.txt", "x");
    EXPECT_EQ(ERROR_FILE_NOT_FOUND, find(scratch.getPath() + "/*.zzz").error);
    EXPECT_EQ(ERROR_FILE_NOT_FOUND, find(scratch.getPath() + "/").error);
    EXPECT_EQ(ERROR_PATH_NOT_FOUND, find(scratch.pathOf("missing") + "/*").error);
    EXPECT_EQ(ERROR_PATH_NOT_FOUND, find(scratch.pathOf("missing/deeper") + "/*").error);
    EXPECT_EQ(ERROR_DIRECTORY, find(scratch.pathOf("file.txt") + "/*").error);
    EXPECT_EQ(ERROR_PATH_NOT_FOUND, find(scratch.pathOf("file.txt/deeper") + "/*").error);
    EXPECT_EQ(ERROR_PATH_NOT_FOUND, find("").error);
}

TEST_F(PosixFindFile, PatternWithoutSeparatorSearchesTheCurrentDirectory) {
    scratch.writeFile("here.txt", "");
    WorkingDirectory inScratch(scratch.getPath());
    const Listing listing = find("*.txt");
    EXPECT_EQ((std::map<std::string, DWORD>{{"here.txt", FILE_ATTRIBUTE_ARCHIVE}}), listing.entries);
}

TEST_F(PosixFindFile, RootDirectoryCanBeSearched) {
    const Listing listing = find("/*");
    EXPECT_EQ(ERROR_SUCCESS, listing.error);
    EXPECT_EQ(1u, listing.entries.count("tmp"));
}

// Each search reads the directory as it is then.
TEST_F(PosixFindFile, SearchAfterAChangeSeesTheChange) {
    scratch.makeDirectory("kept/sub");
    scratch.writeFile("kept/a.txt", "");
    scratch.makeDirectory("replaced");
    scratch.writeFile("replaced/old.txt", "");
    scratch.makeDirectory("other");
    scratch.writeFile("other/new.txt", "");
    const std::string kept = scratch.pathOf("kept");
    const std::string replaced = scratch.pathOf("replaced");

    EXPECT_EQ(1u, find(scratch.getPath() + "/*").entries.count("kept"));
    EXPECT_EQ((std::map<std::string, DWORD>{{".", FILE_ATTRIBUTE_DIRECTORY},
                                            {"..", FILE_ATTRIBUTE_DIRECTORY},
                                            {"a.txt", FILE_ATTRIBUTE_ARCHIVE},
                                            {"sub", FILE_ATTRIBUTE_DIRECTORY}}),
              find(kept + "/*").entries);
    EXPECT_EQ((std::map<std::string, DWORD>{{"a.txt", FILE_ATTRIBUTE_ARCHIVE}}), find(kept + "/*.txt").entries);

    scratch.writeFile("kept/b.txt", "");
    EXPECT_EQ((std::map<std::string, DWORD>{{"a.txt", FILE_ATTRIBUTE_ARCHIVE}, {"b.txt", FILE_ATTRIBUTE_ARCHIVE}}),
              find(kept + "/*.txt").entries);
    EXPECT_EQ(2u, find(kept + "/sub/*").entries.size());

    EXPECT_EQ(1u, find(replaced + "/*").entries.count("old.txt"));
    ASSERT_EQ(0, rename(replaced.c_str(), scratch.pathOf("gone").c_str()));
    ASSERT_EQ(0, rename(scratch.pathOf("other").c_str(), replaced.c_str()));
    const Listing afterReplacement = find(replaced + "/*");
    EXPECT_EQ(0u, afterReplacement.entries.count("old.txt"));
    EXPECT_EQ(1u, afterReplacement.entries.count("new.txt"));

    ASSERT_EQ(0, rename(replaced.c_str(), scratch.pathOf("other").c_str()));
    EXPECT_EQ(ERROR_PATH_NOT_FOUND, find(replaced + "/*").error);
    EXPECT_EQ(1u, find(scratch.pathOf("other") + "/*").entries.count("new.txt"));
}

// Directories nested one in the next below `top`, each named `name`, made
// relative to the one above, until the path of the innermost is too long for
// the system. Their paths, from the outermost.
std::vector<std::string> makeChainTooLong(const std::string& top, const std::string& name) {
    std::vector<std::string> paths;
    int descriptor = open(top.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    for (std::string path = top; path.size() < PATH_MAX && descriptor >= 0;) {
        const int inner = mkdirat(descriptor, name.c_str(), 0755) == 0
                              ? openat(descriptor, name.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC)
                              : -1;
        close(descriptor);
        descriptor = inner;
        path += "/" + name;
        paths.push_back(path);
    }
    if (descriptor >= 0) close(descriptor);
    return paths;
}

// Removes what makeChainTooLong made, innermost first, without long paths.
void removeChain(const std::string& top, const std::string& name, std::size_t depth) {
    std::vector<int> descriptors(1, open(top.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
    while (descriptors.size() <= depth) {
        descriptors.push_back(openat(descriptors.back(), name.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
    }
    close(descriptors.back());
    descriptors.pop_back();
    for (; !descriptors.empty(); descriptors.pop_back()) {
        unlinkat(descriptors.back(), name.c_str(), AT_REMOVEDIR);
        close(descriptors.back());
    }
}

// A walk opens each directory by its name in the one above, yet a path too
// long for the system fails as it does when it is opened whole.
TEST_F(PosixFindFile, PathTooLongForTheSystemFailsAlsoBelowAnOpenDirectory) {
    const std::string name(200, 'n');
    const std::vector<std::string> levels = makeChainTooLong(scratch.getPath(), name);
    ASSERT_GT(levels.size(), 2u);
    ASSERT_GE(levels.back().size(), static_cast<std::size_t>(PATH_MAX));

    platform::OpenDirectories walk(64);
    for (std::size_t depth = 0; depth + 1 < levels.size(); ++depth) {
        EXPECT_EQ(1u, find(levels[depth] + "/*", &walk).entries.count(name)) << depth;
    }
    EXPECT_EQ(ERROR_FILENAME_EXCED_RANGE, find(levels.back() + "/*", &walk).error);
    EXPECT_EQ(ERROR_FILENAME_EXCED_RANGE, find(levels.back() + "/*").error);
    const std::string inside = levels.back() + "/x";
    EXPECT_EQ(INVALID_HANDLE_VALUE,
              CreateFileA(inside.c_str(), 0, 0, nullptr, OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr));
    EXPECT_EQ(ERROR_FILENAME_EXCED_RANGE, GetLastError());

    removeChain(scratch.getPath(), name, levels.size());
}

TEST(PosixFindFileHandles, OnlyFindHandlesAreAccepted) {
    WIN32_FIND_DATAA record;
    EXPECT_FALSE(FindNextFileA(INVALID_HANDLE_VALUE, &record));
    EXPECT_EQ(ERROR_INVALID_HANDLE, GetLastError());
    EXPECT_FALSE(FindClose(nullptr));
    EXPECT_EQ(ERROR_INVALID_HANDLE, GetLastError());

    HANDLE find = FindFirstFileA("/*", &record);
    ASSERT_NE(INVALID_HANDLE_VALUE, find);
    EXPECT_FALSE(CloseHandle(find));
    EXPECT_EQ(ERROR_INVALID_HANDLE, GetLastError());
    EXPECT_TRUE(FindClose(find));

    HANDLE file = CreateFileA("/", 0, 0, nullptr, OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr);
    ASSERT_NE(INVALID_HANDLE_VALUE, file);
    EXPECT_FALSE(FindNextFileA(file, &record));
    EXPECT_EQ(ERROR_INVALID_HANDLE, GetLastError());
    EXPECT_TRUE(CloseHandle(file));
}

}  // namespace
