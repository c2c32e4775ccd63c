#include <gtest/gtest.h>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <string>

#include "support/ChildProcess.h"
#include "platform/win32/Win32.h"
#include "platform/win32/emulation/FileInformation.h"
#include "support/ScratchDirectory.h"

namespace {

std::uint64_t value(const FILETIME& time) {
    return (static_cast<std::uint64_t>(time.dwHighDateTime) << 32) | time.dwLowDateTime;
}

void setModificationTime(const std::string& path, std::int64_t seconds, long nanoseconds) {
    const struct timespec times[2] = {{0, UTIME_OMIT}, {static_cast<time_t>(seconds), nanoseconds}};
    ASSERT_EQ(0, utimensat(AT_FDCWD, path.c_str(), times, AT_SYMLINK_NOFOLLOW));
}

// The information the scan's query of a path gives, or the error code.
struct Query {
    DWORD error = ERROR_SUCCESS;
    BY_HANDLE_FILE_INFORMATION information = {};
};

Query query(const std::string& path, DWORD flags = FILE_FLAG_BACKUP_SEMANTICS) {
    Query result;
    HANDLE handle = CreateFileA(path.c_str(), 0, 0, nullptr, OPEN_EXISTING, flags, nullptr);
    if (handle == INVALID_HANDLE_VALUE) {
        result.error = GetLastError();
        return result;
    }
    EXPECT_TRUE(GetFileInformationByHandle(handle, &result.information));
    EXPECT_TRUE(CloseHandle(handle));
    return result;
}

TEST(PosixFileTime, CountsHundredNanosecondIntervalsSince1601) {
    EXPECT_EQ(116444736000000000ULL, value(platform::fileTimeFromTimespec({0, 0})));
    EXPECT_EQ(133444736001234567ULL, value(platform::fileTimeFromTimespec({1700000000, 123456789})));
    EXPECT_EQ(0ULL, value(platform::fileTimeFromTimespec({-11644473600LL, 0})));
    EXPECT_EQ(0ULL, value(platform::fileTimeFromTimespec({-11644473601LL, 999999999})));
}

class PosixFileQuery : public ::testing::Test {
protected:
    ScratchDirectory scratch;
};

TEST_F(PosixFileQuery, FileGivesItsModificationTimeSizeAndIdentity) {
    const std::string path = scratch.writeFile("file.txt", "12345");
    setModificationTime(path, 1700000000, 123456789);
    struct stat status;
    ASSERT_EQ(0, lstat(path.c_str(), &status));

    const Query result = query(path);

    ASSERT_EQ(ERROR_SUCCESS, result.error);
    EXPECT_EQ(133444736001234567ULL, value(result.information.ftLastWriteTime));
    EXPECT_EQ(static_cast<DWORD>(FILE_ATTRIBUTE_ARCHIVE), result.information.dwFileAttributes);
    EXPECT_EQ(0u, result.information.nFileSizeHigh);
    EXPECT_EQ(5u, result.information.nFileSizeLow);
    EXPECT_EQ(1u, result.information.nNumberOfLinks);
    EXPECT_EQ(static_cast<std::uint64_t>(status.st_ino),
              (static_cast<std::uint64_t>(result.information.nFileIndexHigh) << 32) | result.information.nFileIndexLow);
}

TEST_F(PosixFileQuery, DirectoryOpensOnlyWithBackupSemantics) {
    const std::string path = scratch.makeDirectory("sub");
    setModificationTime(path, 0, 0);

    const Query result = query(path);
    ASSERT_EQ(ERROR_SUCCESS, result.error);
    EXPECT_EQ(static_cast<DWORD>(FILE_ATTRIBUTE_DIRECTORY), result.information.dwFileAttributes);
    EXPECT_EQ(116444736000000000ULL, value(result.information.ftLastWriteTime));
    EXPECT_EQ(0u, result.information.nFileSizeLow);

    EXPECT_EQ(ERROR_ACCESS_DENIED, query(path, 0).error);
}

TEST_F(PosixFileQuery, SymbolicLinkIsFollowedUnlessTheLinkItselfIsAskedFor) {
    const std::string target = scratch.makeDirectory("target");
    setModificationTime(target, 1600000000, 0);
    const std::string link = scratch.pathOf("link");
    ASSERT_EQ(0, symlink("target", link.c_str()));
    setModificationTime(link, 1700000000, 0);
    const std::string dangling = scratch.pathOf("dangling");
    ASSERT_EQ(0, symlink("missing", dangling.c_str()));
    const DWORD linkItself = FILE_FLAG_BACKUP_SEMANTICS | FILE_FLAG_OPEN_REPARSE_POINT;

    const Query followed = query(link);
    ASSERT_EQ(ERROR_SUCCESS, followed.error);
    EXPECT_EQ(static_cast<DWORD>(FILE_ATTRIBUTE_DIRECTORY), followed.information.dwFileAttributes);
    EXPECT_EQ(value(platform::fileTimeFromTimespec({1600000000, 0})), value(followed.information.ftLastWriteTime));
    EXPECT_EQ(ERROR_FILE_NOT_FOUND, query(dangling).error);

    const Query itself = query(link, linkItself);
    ASSERT_EQ(ERROR_SUCCESS, itself.error);
    EXPECT_EQ(static_cast<DWORD>(FILE_ATTRIBUTE_REPARSE_POINT), itself.information.dwFileAttributes);
    EXPECT_EQ(value(platform::fileTimeFromTimespec({1700000000, 0})), value(itself.information.ftLastWriteTime));
    EXPECT_EQ(ERROR_SUCCESS, query(dangling, linkItself).error);
}

TEST_F(PosixFileQuery, FailuresGiveTheCodesWindowsGives) {
    scratch.writeFile("file.txt", "x");
    ASSERT_EQ(0, symlink("loop", scratch.pathOf("loop").c_str()));
    EXPECT_EQ(ERROR_FILE_NOT_FOUND, query(scratch.pathOf("missing")).error);
    EXPECT_EQ(ERROR_PATH_NOT_FOUND, query(scratch.pathOf("file.txt/inner")).error);
    EXPECT_EQ(ERROR_FILENAME_EXCED_RANGE, query(scratch.pathOf(std::string(300, 'n'))).error);
    EXPECT_EQ(ERROR_CANT_RESOLVE_FILENAME, query(scratch.pathOf("loop/inner")).error);
}

// What the query of a path told before queries went through open
// directories: lstat of the whole path.
Query byWholePath(const std::string& path) {
    Query result;
    struct stat status;
    if (lstat(path.c_str(), &status) != 0) {
        result.error = platform::errorFromErrno(errno);
    } else {
        result.information = platform::fileInformationFromStatus(status);
    }
    return result;
}

// "" when the query of `path` answers as lstat of the whole path does, with
// `error` as the code.
std::string answersAsBefore(const std::string& path, DWORD error) {
    const Query expected = byWholePath(path);
    const Query actual = query(path);
    std::string report;
    if (expected.error != error) report += path + ": the case is not what the test meant\n";
    if (actual.error != expected.error) {
        report += path + ": error " + std::to_string(actual.error) + " instead of " + std::to_string(expected.error) + "\n";
    } else if (value(actual.information.ftLastWriteTime) != value(expected.information.ftLastWriteTime) ||
               actual.information.dwFileAttributes != expected.information.dwFileAttributes ||
               actual.information.nFileIndexLow != expected.information.nFileIndexLow) {
        report += path + ": other information\n";
    }
    return report;
}

// Paths queried in ascending order, as the scan queries them, are looked up
// relative to their open directory; every answer is still the one the whole
// path gives, also for entries and directories that vanish or change kind
// between two queries, and for a directory that may be read but not searched.
TEST_F(PosixFileQuery, QueriesInOrderAnswerAsTheWholePathDoes) {
    scratch.makeDirectory("a/sub");
    scratch.makeDirectory("c");
    scratch.makeDirectory("locked");
    scratch.makeDirectory("replaced");
    for (const char* name : {"a/f1", "a/sub-x", "a/sub/f2", "a/sub/gone", "a/z", "c/x1", "c/x2", "locked/inner",
                             "replaced/entry"}) {
        setModificationTime(scratch.writeFile(name, name), 1600000000, 0);
    }
    for (const char* name : {"", "a", "a/sub", "c", "replaced"}) {
        ASSERT_EQ(0, chmod(scratch.pathOf(name).c_str(), 0777));
    }
    ASSERT_EQ(0, chmod(scratch.pathOf("locked").c_str(), 0744));
    const std::string top = scratch.getPath() + "/";

    const std::string report = runInChild([&]() -> std::string {
        const std::string dropped = becomeUnprivileged();
        if (!dropped.empty()) return dropped;
        std::string answers;
        for (const char* name : {"a", "a/f1", "a/sub", "a/sub-x", "a/sub/f2"}) {
            answers += answersAsBefore(top + name, ERROR_SUCCESS);
        }
        if (unlink((top + "a/sub/gone").c_str()) != 0) return "setup: unlink";
        answers += answersAsBefore(top + "a/sub/gone", ERROR_FILE_NOT_FOUND);
        answers += answersAsBefore(top + "a/z", ERROR_SUCCESS);
        answers += answersAsBefore(top + "c/x1", ERROR_SUCCESS);
        std::error_code removed;
        std::filesystem::remove_all(top + "c", removed);
        if (removed) return "setup: remove c";
        answers += answersAsBefore(top + "c/x2", ERROR_FILE_NOT_FOUND);
        answers += answersAsBefore(top + "locked", ERROR_SUCCESS);
        answers += answersAsBefore(top + "locked/inner", ERROR_ACCESS_DENIED);
        answers += answersAsBefore(top + "replaced", ERROR_SUCCESS);
        std::filesystem::remove_all(top + "replaced", removed);
        std::FILE* file = std::fopen((top + "replaced").c_str(), "w");
        if (removed || file == nullptr) return "setup: replace";
        std::fclose(file);
        answers += answersAsBefore(top + "replaced/entry", ERROR_PATH_NOT_FOUND);
        // A path that does not sort after the one before starts a new run,
        // which looks every directory up afresh.
        answers += answersAsBefore(top + "a/sub/f2", ERROR_SUCCESS);
        answers += answersAsBefore(top + "a/f1", ERROR_SUCCESS);
        if (rename((top + "a").c_str(), (top + "a-old").c_str()) != 0 || mkdir((top + "a").c_str(), 0777) != 0) {
            return "setup: new a";
        }
        setModificationTime(scratch.writeFile("a/f1", "new"), 1700000000, 0);
        answers += answersAsBefore(top + "a/f1", ERROR_SUCCESS);
        if (value(query(top + "a/f1").information.ftLastWriteTime) !=
            value(platform::fileTimeFromTimespec({1700000000, 0}))) {
            answers += "the new a/f1 was not seen\n";
        }
        return answers;
    });
    EXPECT_EQ("", report);
}

TEST_F(PosixFileQuery, QueryHandleHasNoDataToFlush) {
    HANDLE handle = CreateFileA(scratch.writeFile("file.txt", "x").c_str(), 0, 0, nullptr, OPEN_EXISTING,
                                FILE_FLAG_BACKUP_SEMANTICS, nullptr);
    ASSERT_NE(INVALID_HANDLE_VALUE, handle);
    EXPECT_FALSE(FlushFileBuffers(handle));
    EXPECT_EQ(ERROR_ACCESS_DENIED, GetLastError());
    EXPECT_TRUE(CloseHandle(handle));
}

class PosixFileData : public ::testing::Test {
protected:
    ScratchDirectory scratch;
};

TEST_F(PosixFileData, CreateNewRefusesAnExistingFileAndAMissingDirectory) {
    const std::string existing = scratch.writeFile("file.txt", "kept");
    EXPECT_EQ(INVALID_HANDLE_VALUE,
              CreateFileA(existing.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW, FILE_ATTRIBUTE_NORMAL, nullptr));
    EXPECT_EQ(ERROR_FILE_EXISTS, GetLastError());
    EXPECT_EQ("kept", scratch.readFile("file.txt"));

    EXPECT_EQ(INVALID_HANDLE_VALUE, CreateFileA(scratch.pathOf("missing/new.txt").c_str(), GENERIC_WRITE, 0, nullptr,
                                                CREATE_NEW, FILE_ATTRIBUTE_NORMAL, nullptr));
    EXPECT_EQ(ERROR_PATH_NOT_FOUND, GetLastError());
}

TEST_F(PosixFileData, DirectoryDataCannotBeOpened) {
    const std::string directory = scratch.makeDirectory("sub");
    for (DWORD access : std::initializer_list<DWORD>{GENERIC_READ, GENERIC_WRITE}) {
        EXPECT_EQ(INVALID_HANDLE_VALUE,
                  CreateFileA(directory.c_str(), access, 0, nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
        EXPECT_EQ(ERROR_ACCESS_DENIED, GetLastError());
    }
}

TEST_F(PosixFileData, WrittenFileIsEndedFlushedMovedOverTheTargetReadAndDeleted) {
    const std::string source = scratch.writeFile("new.txt", "a longer old content");
    const std::string target = scratch.writeFile("old.txt", "old");
    HANDLE handle =
        CreateFileA(source.c_str(), GENERIC_WRITE, 0, nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    ASSERT_NE(INVALID_HANDLE_VALUE, handle);
    DWORD count = 0;
    EXPECT_TRUE(WriteFile(handle, "new", 3, &count, nullptr));
    EXPECT_EQ(3u, count);
    EXPECT_TRUE(SetEndOfFile(handle));
    EXPECT_TRUE(FlushFileBuffers(handle));
    char buffer[8];
    EXPECT_FALSE(ReadFile(handle, buffer, sizeof buffer, &count, nullptr));
    EXPECT_EQ(ERROR_ACCESS_DENIED, GetLastError());
    EXPECT_TRUE(CloseHandle(handle));

    EXPECT_TRUE(MoveFileExA(source.c_str(), target.c_str(), MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH));
    EXPECT_EQ(std::vector<std::string>{"old.txt"}, scratch.namesIn(""));
    handle = CreateFileA(target.c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    ASSERT_NE(INVALID_HANDLE_VALUE, handle);
    EXPECT_TRUE(ReadFile(handle, buffer, sizeof buffer, &count, nullptr));
    EXPECT_EQ("new", std::string(buffer, count));
    EXPECT_TRUE(ReadFile(handle, buffer, sizeof buffer, &count, nullptr));
    EXPECT_EQ(0u, count);
    EXPECT_TRUE(CloseHandle(handle));

    EXPECT_TRUE(DeleteFileA(target.c_str()));
    EXPECT_FALSE(DeleteFileA(target.c_str()));
    EXPECT_EQ(ERROR_FILE_NOT_FOUND, GetLastError());
    EXPECT_TRUE(scratch.namesIn("").empty());
}

TEST_F(PosixFileData, MoveOntoADirectoryIsRefused) {
    const std::string source = scratch.writeFile("new.txt", "new");
    const std::string directory = scratch.makeDirectory("sub");
    EXPECT_FALSE(MoveFileExA(source.c_str(), directory.c_str(), MOVEFILE_REPLACE_EXISTING));
    EXPECT_EQ(ERROR_ACCESS_DENIED, GetLastError());
    EXPECT_EQ("new", scratch.readFile("new.txt"));
}

}  // namespace
