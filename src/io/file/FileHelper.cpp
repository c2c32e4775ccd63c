#include "io/file/FileHelper.h"

#include <algorithm>
#include <cstddef>
#include <fstream>
#include <memory>
#include <utility>

#include "io/file/FileExceptions.h"
#include "io/file/ReplacementFile.h"
#include "platform/errorresources/Assertion.h"
#include "platform/errorresources/SystemErrors.h"
#include "platform/win32/FileCalls.h"
#include "platform/win32/FileView.h"
#include "platform/win32/RuntimeError.h"
#include "platform/win32/Win32.h"
#include "util/Helpers.h"
#include "util/NameQuoting.h"
#include "windows/file/WindowsFileExceptions.h"
#include "windows/file/WindowsFileHelper.h"

namespace io {
namespace file {

namespace {

const int largestFileSize = 2147483647;
const std::ios::iostate allStreamFailures = std::ios::badbit | std::ios::failbit | std::ios::eofbit;

const char* const openForReadingFailed = "An error occured when trying to open the file for reading.";
const char* const openForWritingFailed = "An error occured when trying to open the file for writing.";
const char* const sizeFailed = "An error occured while trying to get the size of the file.";
const char* const writeFailed = "An error occured when trying to write the file.";
const char* const loadFailed = "An error occured while trying to load the file.";
const char* const noStreamFailure = "None.";

// The largest read asked of the system at once.
const std::uint64_t largestRead = 1u << 30;

// Bytes that are all there already.
class StringSource : public DataSource {
public:
    explicit StringSource(const std::string& data) : _data(data) {}
    bool writeTo(const Writer& write) override { return write(_data.data(), _data.size()); }

private:
    const std::string& _data;
};

// A handle closed when it goes out of scope.
class OpenFile {
public:
    explicit OpenFile(HANDLE handle) : _handle(handle) {}
    ~OpenFile() {
        if (_handle != INVALID_HANDLE_VALUE) CloseHandle(_handle);
    }
    OpenFile(const OpenFile&) = delete;
    OpenFile& operator=(const OpenFile&) = delete;

    HANDLE get() const { return _handle; }

private:
    HANDLE _handle;
};

// Opening never waits. Only a file on disk has a size and an end: a device
// may never end, and a pipe may wait for a writer. A directory is refused
// (ERROR_ACCESS_DENIED), and for anything but a file on disk the last error
// says why it is not read.
HANDLE openFileOnDisk(const std::string& fileName) {
    HANDLE file = platform::createFile(fileName, GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                                       OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL);
    if (file == INVALID_HANDLE_VALUE || GetFileType(file) == FILE_TYPE_DISK) return file;
    CloseHandle(file);
    SetLastError(ERROR_NOT_SUPPORTED);
    return INVALID_HANDLE_VALUE;
}

// Runs one stream operation. A stream failure gives false, with the stream
// library's text for it in `failure` and the last error saying why; any other
// exception goes on after a failed check.
template <class Operation>
bool tryStreamStep(Operation operation, std::string& failure) {
    try {
        platform::clearRuntimeError();
        operation();
        return true;
    } catch (const std::ios_base::failure& e) {
        platform::setLastErrorFromRuntime();
        failure = e.what();
        return false;
    } catch (...) {
        ASSERT(false);
        throw;
    }
}

}  // namespace

template <class Failure, class Operation>
void FileHelper::runStreamStep(const char* message, const std::string& fileName, Operation operation) {
    std::string failure;
    if (!tryStreamStep(operation, failure)) throw Failure(buildFileErrorMessage(message, fileName, failure));
}

std::string FileHelper::buildFileErrorMessage(const std::string& message, const std::string& fileName,
                                              const std::string& cppException) {
    const std::string systemErrorText = SystemErrors::map(static_cast<int>(GetLastError()));
    std::string directory;
    try {
        directory = shownName(windows::file::getCurrentDirectory());
    } catch (const windows::file::CouldNotGetCurrentDirectoryException& e) {
        directory = "Couldn't get the current directory. Exception: " + e.getMessage();
    }
    return message + "\nFilename: '" + shownName(fileName) + "'" + "\nCurrent Working Directory: " + directory + "\n" +
           systemErrorText + "\nC++ exception: " + cppException;
}

// Where the file is refused, the system's error is the cause; a stream is
// still asked to open the file, for its own text of the failure.
HANDLE FileHelper::openForReading(const std::string& fileName) {
    HANDLE file = openFileOnDisk(fileName);
    if (file != INVALID_HANDLE_VALUE) return file;
    const DWORD refusal = GetLastError();
    std::string streamFailure = noStreamFailure;
    if (refusal != ERROR_NOT_SUPPORTED) {
        std::ifstream stream;
        tryStreamStep(
            [&] {
                stream.exceptions(allStreamFailures);
                stream.open(fileName.c_str(), std::ios::in | std::ios::binary);
            },
            streamFailure);
    }
    SetLastError(refusal);
    throw CouldNotLoadFileException(buildFileErrorMessage(openForReadingFailed, fileName, streamFailure));
}

void FileHelper::openForWriting(std::ofstream& stream, const std::string& fileName, const std::string& openedName,
                                int extraOpenMode) {
    runStreamStep<CouldNotSaveFileException>(openForWritingFailed, fileName, [&] {
        stream.exceptions(allStreamFailures);
        stream.open(openedName.c_str(),
                    std::ios::out | std::ios::binary | static_cast<std::ios::openmode>(extraOpenMode));
    });
}

std::uint64_t FileHelper::getFileSize(HANDLE file, const std::string& fileName) {
    BY_HANDLE_FILE_INFORMATION information;
    if (!GetFileInformationByHandle(file, &information)) {
        throw CouldNotLoadFileException(buildFileErrorMessage(sizeFailed, fileName, noStreamFailure));
    }
    return (static_cast<std::uint64_t>(information.nFileSizeHigh) << 32) | information.nFileSizeLow;
}

// A file that ends before the size it had ends the read with ERROR_HANDLE_EOF.
void FileHelper::read(HANDLE file, const std::string& fileName, char* buffer, std::uint64_t size) {
    for (std::uint64_t done = 0; done < size;) {
        DWORD count = 0;
        const bool read =
            ReadFile(file, buffer + done, static_cast<DWORD>(std::min(size - done, largestRead)), &count, nullptr) != 0;
        if (read && count == 0) SetLastError(ERROR_HANDLE_EOF);
        if (!read || count == 0) {
            throw CouldNotLoadFileException(buildFileErrorMessage(loadFailed, fileName, noStreamFailure));
        }
        done += count;
    }
}

// Closing is part of writing: data the stream still holds goes out then.
void FileHelper::write(std::ofstream& stream, const std::string& fileName, const std::string& data) {
    runStreamStep<CouldNotSaveFileException>(writeFailed, fileName, [&] {
        stream.write(data.data(), static_cast<std::streamsize>(data.size()));
        stream.close();
    });
}

// A directory that refuses the new file the target's name after all (a
// sticky directory) gets the data written in place, as one that refuses new
// files does: copied from the replacement, as the data is asked for once.
void FileHelper::replace(const std::string& fileName, DataSource& data) {
    ReplacementFile replacement(fileName, data.isPrivate());
    if (!replacement.create()) {
        throw CouldNotSaveFileException(buildFileErrorMessage(openForWritingFailed, fileName, noStreamFailure));
    }
    const DataSource::Writer write = [&replacement](const char* bytes, std::size_t size) {
        return replacement.write(bytes, size);
    };
    if (!data.writeTo(write)) {
        if (data.withdrew()) return;
        throw CouldNotSaveFileException(buildFileErrorMessage(writeFailed, fileName, noStreamFailure));
    }
    if (replacement.replaceTarget()) return;
    if (!replacement.writeInPlaceInstead() || !replacement.replaceTarget()) {
        throw CouldNotSaveFileException(buildFileErrorMessage(writeFailed, fileName, noStreamFailure));
    }
}

std::string FileHelper::load(const std::string& fileName, unsigned int byteCount) {
    OpenFile file(openForReading(fileName));
    const std::uint64_t size = getFileSize(file.get(), fileName);
    if (byteCount > size) {
        const std::string message =
            "Tried to read a larger number of bytes from a file that it contained. Tried to read : " +
            formatNumber(byteCount) + " File size: " + std::to_string(size);
        SetLastError(ERROR_HANDLE_EOF);
        throw CouldNotLoadFileException(buildFileErrorMessage(message, fileName, noStreamFailure));
    }
    return readWhole(file.get(), fileName, byteCount == 0 ? size : byteCount);
}

FileContents FileHelper::map(const std::string& fileName) {
    OpenFile file(openForReading(fileName));
    const std::uint64_t size = getFileSize(file.get(), fileName);
    std::unique_ptr<platform::FileView> view(new platform::FileView(file.get(), size));
    if (view->isMapped()) return FileContents(std::move(view));
    return FileContents(readWhole(file.get(), fileName, size));
}

std::string FileHelper::readWhole(HANDLE file, const std::string& fileName, std::uint64_t bytesToRead) {
    if (bytesToRead > static_cast<std::uint64_t>(largestFileSize)) {
        const std::string message = "Could not load the file because the file size was too big. The file size is " +
                                    std::to_string(bytesToRead) + ". The file cannot be bigger than " +
                                    formatNumber(largestFileSize) + " bytes.";
        SetLastError(ERROR_FILE_TOO_LARGE);
        throw CouldNotLoadFileException(buildFileErrorMessage(message, fileName, noStreamFailure));
    }
    // Read straight into the result: a dump can be hundreds of megabytes.
    std::string data(static_cast<std::string::size_type>(bytesToRead), '\0');
    read(file, fileName, &data[0], bytesToRead);
    return data;
}

void FileHelper::save(const std::string& fileName, DataSource& data) { replace(fileName, data); }

// Directories are opened too, to be told apart by their attributes.
bool FileHelper::holdsData(const std::string& fileName) {
    OpenFile file(platform::createFile(fileName, 0, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                                       OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS));
    if (file.get() == INVALID_HANDLE_VALUE) {
        const DWORD error = GetLastError();
        if (error == ERROR_FILE_NOT_FOUND || error == ERROR_PATH_NOT_FOUND) return false;
        return platform::getFileAttributes(fileName) != INVALID_FILE_ATTRIBUTES;
    }
    if (GetFileType(file.get()) != FILE_TYPE_DISK) return false;
    BY_HANDLE_FILE_INFORMATION information;
    if (!GetFileInformationByHandle(file.get(), &information)) return true;
    if ((information.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0) return false;
    return information.nFileSizeHigh != 0 || information.nFileSizeLow != 0;
}

void FileHelper::save(const std::string& fileName, const std::string& data, int extraOpenMode) {
    if (data.size() > static_cast<std::string::size_type>(largestFileSize)) {
        const std::string message = "Could not save the file because the data size was too big. The data size is " +
                                    std::to_string(data.size()) + ". The data cannot be bigger than " +
                                    formatNumber(largestFileSize) + " bytes.";
        SetLastError(ERROR_FILE_TOO_LARGE);
        throw CouldNotSaveFileException(buildFileErrorMessage(message, fileName, noStreamFailure));
    }
    if (extraOpenMode == 0) {
        StringSource source(data);
        replace(fileName, source);
        return;
    }
    std::ofstream stream;
    openForWriting(stream, fileName, fileName, extraOpenMode);
    write(stream, fileName, data);
}

}  // namespace file
}  // namespace io
