#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

#include "io/file/FileExceptions.h"
#include "io/file/FileHelper.h"
#include "platform/errorresources/SystemErrors.h"
#include "platform/win32/PathSeparator.h"
#include "support/FileHelperFailures.h"
#include "support/ScratchDirectory.h"

namespace {

using io::file::CouldNotLoadFileException;
using io::file::CouldNotSaveFileException;
using io::file::FileHelper;

const int errorFileNotFound = 2;
const int errorPathNotFound = 3;
const int errorAccessDenied = 5;
const int errorHandleEof = 38;
const int errorFileTooLarge = 223;

const std::string openForReading = "An error occured when trying to open the file for reading.";
const std::string openForWriting = "An error occured when trying to open the file for writing.";

std::string currentDirectory() { return std::filesystem::current_path().string() + platform::PATH_SEPARATOR; }

// What follows the message: the file, the directory, then the system text.
std::string details(const std::string& fileName, int errorCode) {
    return "\nFilename: '" + fileName + "'" + "\nCurrent Working Directory: " + currentDirectory() + "\n" +
           SystemErrors::map(errorCode) + "\nC++ exception: ";
}

// The stream library's own text for a file stream that cannot open.
std::string streamOpenFailureText(const std::string& fileName) {
    std::ifstream stream;
    stream.exceptions(std::ios::badbit | std::ios::failbit | std::ios::eofbit);
    try {
        stream.open(fileName, std::ios::in | std::ios::binary);
    } catch (const std::ios_base::failure& e) {
        return e.what();
    }
    return "(the stream opened)";
}



bool startsWith(const std::string& text, const std::string& start) { return text.compare(0, start.size(), start) == 0; }

// A file of the given size whose content was never written.
std::string makeSparseFile(const ScratchDirectory& scratch, const std::string& name, std::uint64_t size) {
    const std::string path = scratch.writeFile(name, "");
    std::filesystem::resize_file(path, size);
    return path;
}

class FileHelperLoad : public ::testing::Test {
protected:
    ScratchDirectory scratch;
};

TEST_F(FileHelperLoad, MissingFileMessageNamesFileDirectorySystemTextAndStreamFailure) {
    const std::string missing = scratch.pathOf("missing.dat");
    EXPECT_EQ(openForReading + details(missing, errorFileNotFound) + streamOpenFailureText(missing),
              loadFailure(missing));
}

TEST_F(FileHelperLoad, DirectoryIsRefusedWhenOpened) {
    const std::string directory = scratch.makeDirectory("folder");
    const std::string message = loadFailure(directory);
    EXPECT_TRUE(startsWith(message, openForReading + details(directory, errorAccessDenied))) << message;
}

TEST_F(FileHelperLoad, FileUsedAsDirectoryIsAPathNotFound) {
    const std::string name = scratch.writeFile("plain.txt", "x") + platform::PATH_SEPARATOR + "inner.txt";
    const std::string message = loadFailure(name);
    EXPECT_TRUE(startsWith(message, openForReading + details(name, errorPathNotFound))) << message;
}

// No system call failed; the system text says what happened all the same.
TEST_F(FileHelperLoad, AskingForMoreBytesThanTheFileHoldsFails) {
    const std::string name = scratch.writeFile("ten.dat", "0123456789");
    EXPECT_EQ("Tried to read a larger number of bytes from a file that it contained. Tried to read : 11 File size: 10" +
                  details(name, errorHandleEof) + "None.",
              loadFailure(name, 11));
}

TEST_F(FileHelperLoad, ByteCountTakesTheFirstBytesAndZeroTakesAll) {
    const std::string name = scratch.writeFile("ten.dat", "0123456789");
    EXPECT_EQ("0123", FileHelper::load(name, 4));
    EXPECT_EQ("0123456789", FileHelper::load(name, 10));
    EXPECT_EQ("0123456789", FileHelper::load(name, 0));
}

TEST_F(FileHelperLoad, EmptyFileLoadsAsEmptyString) {
    EXPECT_EQ("", FileHelper::load(scratch.writeFile("empty.dat", ""), 0));
}

TEST_F(FileHelperLoad, FilesAboveTheLimitAreRefusedWithTheirTrueSize) {
    const std::uint64_t threeGiB = 3221225472ULL;
    const std::uint64_t fiveGiBAndTen = 5368709130ULL;
    const std::string start = "Could not load the file because the file size was too big. The file size is ";
    const std::string limit = ". The file cannot be bigger than 2147483647 bytes.";
    const std::string big = makeSparseFile(scratch, "big.dat", threeGiB);
    EXPECT_EQ(start + "3221225472" + limit + details(big, errorFileTooLarge) + "None.", loadFailure(big));
    // Beyond 4 GiB a 32-bit size would wrap around to 10 and load 10 bytes.
    const std::string huge = makeSparseFile(scratch, "huge.dat", fiveGiBAndTen);
    EXPECT_EQ(start + "5368709130" + limit + details(huge, errorFileTooLarge) + "None.", loadFailure(huge));
}

class FileHelperSave : public ::testing::Test {
protected:
    ScratchDirectory scratch;
};

TEST_F(FileHelperSave, EveryByteRoundTrips) {
    const std::string data("line\r\nnext\nzero\0byte\r\0\xff end", 28);
    const std::string name = scratch.pathOf("bytes.dat");
    FileHelper::save(name, data, 0);
    EXPECT_EQ(data, scratch.readFile("bytes.dat"));
    EXPECT_EQ(data, FileHelper::load(name, 0));
}

TEST_F(FileHelperSave, EmptyDataMakesAnEmptyFile) {
    FileHelper::save(scratch.pathOf("empty.dat"), "", 0);
    EXPECT_EQ(0u, std::filesystem::file_size(scratch.pathOf("empty.dat")));
}

TEST_F(FileHelperSave, SavingOverAFileReplacesItsWholeContentAndLeavesNoOtherFile) {
    scratch.writeFile("dump.dat", "a longer old content");
    FileHelper::save(scratch.pathOf("dump.dat"), "new", 0);
    EXPECT_EQ("new", scratch.readFile("dump.dat"));
    EXPECT_EQ(std::vector<std::string>{"dump.dat"}, scratch.namesIn(""));
}

// Data made as it is written, that fails after a few megabytes, or withdraws.
class FailingSource : public io::file::DataSource {
public:
    explicit FailingSource(bool withdraws) : _withdraws(withdraws) {}
    bool writeTo(const Writer& write) override {
        const std::string block(1 << 20, 'n');
        for (int i = 0; i < 3; ++i) {
            if (!write(block.data(), block.size())) return false;
        }
        return false;
    }
    bool withdrew() const override { return _withdraws; }

private:
    bool _withdraws;
};

// A target with a second name is written in place, never replaced: it too
// must not be touched before the data is whole.
TEST_F(FileHelperSave, DataThatFailsOrWithdrawsHalfwayLeavesTheTargetAsItWas) {
    scratch.writeFile("dump.dat", "old");
    scratch.writeFile("linked.dat", "old too");
    std::filesystem::create_hard_link(scratch.pathOf("linked.dat"), scratch.pathOf("other.dat"));
    for (const char* name : {"dump.dat", "linked.dat"}) {
        FailingSource failing(false);
        EXPECT_THROW(FileHelper::save(scratch.pathOf(name), failing), CouldNotSaveFileException) << name;
        FailingSource withdrawing(true);
        FileHelper::save(scratch.pathOf(name), withdrawing);
    }
    // Compared whole, without showing megabytes of the data that failed.
    EXPECT_TRUE(scratch.readFile("dump.dat") == "old");
    EXPECT_TRUE(scratch.readFile("other.dat") == "old too");
    EXPECT_EQ((std::vector<std::string>{"dump.dat", "linked.dat", "other.dat"}), scratch.namesIn(""));
}

TEST_F(FileHelperSave, AppendModeAddsToTheFile) {
    scratch.writeFile("log.txt", "one,");
    FileHelper::save(scratch.pathOf("log.txt"), "two", std::ios::app);
    EXPECT_EQ("one,two", scratch.readFile("log.txt"));
}

TEST_F(FileHelperSave, DirectoryAsTargetFailsAtOpeningAndIsLeftAlone) {
    const std::string directory = scratch.makeDirectory("folder");
    scratch.writeFile("folder" + std::string(1, platform::PATH_SEPARATOR) + "inside.txt", "kept");

    const std::string message = saveFailure(directory, "data");

    EXPECT_TRUE(startsWith(message, openForWriting + details(directory, errorAccessDenied))) << message;
    EXPECT_TRUE(std::filesystem::is_directory(directory));
    EXPECT_EQ(std::vector<std::string>{"inside.txt"}, scratch.namesIn("folder"));
    EXPECT_EQ(std::vector<std::string>{"folder"}, scratch.namesIn(""));
}

// What an empty scan must not be saved over.
TEST_F(FileHelperSave, OnlyAFileWithContentHoldsData) {
    scratch.writeFile("dump.dat", std::string(1, '\0'));
    scratch.writeFile("empty.dat", "");
    scratch.makeDirectory("folder");
    EXPECT_TRUE(FileHelper::holdsData(scratch.pathOf("dump.dat")));
    EXPECT_FALSE(FileHelper::holdsData(scratch.pathOf("empty.dat")));
    EXPECT_FALSE(FileHelper::holdsData(scratch.pathOf("folder")));
    EXPECT_FALSE(FileHelper::holdsData(scratch.pathOf("new.dat")));
    EXPECT_FALSE(FileHelper::holdsData(scratch.pathOf("missing") + platform::PATH_SEPARATOR + "new.dat"));
    EXPECT_EQ("", scratch.readFile("empty.dat"));
}

TEST_F(FileHelperSave, MissingDirectoryFailsAtOpeningNamingTheTarget) {
    const std::string name = scratch.pathOf("missing") + platform::PATH_SEPARATOR + "dump.dat";
    const std::string message = saveFailure(name, "data");
    EXPECT_TRUE(startsWith(message, openForWriting + details(name, errorPathNotFound))) << message;
    EXPECT_TRUE(scratch.namesIn("").empty());
}

}  // namespace
