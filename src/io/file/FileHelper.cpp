#include "io/file/FileHelper.h"

#include <fstream>

#include "io/file/FileExceptions.h"
#include "io/file/ReplacementFile.h"
#include "platform/errorresources/Assertion.h"
#include "platform/errorresources/SystemErrors.h"
#include "platform/win32/RuntimeError.h"
#include "platform/win32/Win32.h"
#include "util/Helpers.h"
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
const char* const noStreamFailure = "None.";

// What the system finds when it opens a name's data for reading.
enum class DataSource { FILE_ON_DISK, DEVICE_OR_PIPE, NOT_OPENED };

// Opening never waits. A stream opens a directory on some systems and only
// fails when it reads; Windows refuses. Only a file on disk has a size and an
// end: a device may never end, and a stream's open of a pipe waits for a
// writer. For anything but a file on disk the last error says why it is not
// read.
DataSource probeForReading(const std::string& fileName) {
    HANDLE file = CreateFileA(fileName.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                              OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) return DataSource::NOT_OPENED;
    const DWORD type = GetFileType(file);
    CloseHandle(file);
    if (type == FILE_TYPE_DISK) return DataSource::FILE_ON_DISK;
    SetLastError(ERROR_NOT_SUPPORTED);
    return DataSource::DEVICE_OR_PIPE;
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
        directory = windows::file::getCurrentDirectory();
    } catch (const windows::file::CouldNotGetCurrentDirectoryException& e) {
        directory = "Couldn't get the current directory. Exception: " + e.getMessage();
    }
    return message + "\nFilename: '" + fileName + "'" + "\nCurrent Working Directory: " + directory + "\n" +
           systemErrorText + "\nC++ exception: " + cppException;
}

// Where the probe refused the file, its error is the cause; the stream is
// still asked to open the file, for its own text of the failure.
void FileHelper::openForReading(std::ifstream& stream, const std::string& fileName) {
    const DataSource source = probeForReading(fileName);
    const auto open = [&] {
        stream.exceptions(allStreamFailures);
        stream.open(fileName.c_str(), std::ios::in | std::ios::binary);
    };
    if (source == DataSource::FILE_ON_DISK) {
        runStreamStep<CouldNotLoadFileException>(openForReadingFailed, fileName, open);
        return;
    }
    const DWORD refusal = GetLastError();
    std::string streamFailure = noStreamFailure;
    if (source == DataSource::NOT_OPENED) tryStreamStep(open, streamFailure);
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

std::int64_t FileHelper::getFileSize(std::ifstream& stream, const std::string& fileName) {
    std::int64_t sz = 0;
    runStreamStep<CouldNotLoadFileException>(sizeFailed, fileName, [&] {
        const std::streampos position = stream.tellg();
        stream.seekg(0, std::ios::end);
        sz = static_cast<std::int64_t>(stream.tellg());
        stream.seekg(position);
    });
    ASSERT(sz >= 0);
    return sz;
}

// Closing is part of writing: data the stream still holds goes out then.
void FileHelper::write(std::ofstream& stream, const std::string& fileName, const std::string& data) {
    runStreamStep<CouldNotSaveFileException>(writeFailed, fileName, [&] {
        stream.write(data.data(), static_cast<std::streamsize>(data.size()));
        stream.close();
    });
}

void FileHelper::replace(const std::string& fileName, const std::string& data) {
    ReplacementFile replacement(fileName);
    if (!replacement.create()) {
        throw CouldNotSaveFileException(buildFileErrorMessage(openForWritingFailed, fileName, noStreamFailure));
    }
    std::ofstream stream;
    openForWriting(stream, fileName, replacement.getName(), 0);
    write(stream, fileName, data);
    if (!replacement.flushToDisk() || !replacement.replaceTarget()) {
        throw CouldNotSaveFileException(buildFileErrorMessage(writeFailed, fileName, noStreamFailure));
    }
}

std::string FileHelper::load(const std::string& fileName, unsigned int byteCount) {
    std::ifstream stream;
    openForReading(stream, fileName);
    const std::uint64_t size = static_cast<std::uint64_t>(getFileSize(stream, fileName));
    if (byteCount > size) {
        const std::string message =
            "Tried to read a larger number of bytes from a file that it contained. Tried to read : " +
            formatNumber(byteCount) + " File size: " + std::to_string(size);
        SetLastError(ERROR_HANDLE_EOF);
        throw CouldNotLoadFileException(buildFileErrorMessage(message, fileName, noStreamFailure));
    }
    const std::uint64_t bytesToRead = byteCount == 0 ? size : byteCount;
    if (bytesToRead > static_cast<std::uint64_t>(largestFileSize)) {
        const std::string message = "Could not load the file because the file size was too big. The file size is " +
                                    std::to_string(bytesToRead) + ". The file cannot be bigger than " +
                                    formatNumber(largestFileSize) + " bytes.";
        SetLastError(ERROR_FILE_TOO_LARGE);
        throw CouldNotLoadFileException(buildFileErrorMessage(message, fileName, noStreamFailure));
    }
    // Read straight into the result: a dump can be hundreds of megabytes.
    std::string data(static_cast<std::string::size_type>(bytesToRead), '\0');
    runStreamStep<CouldNotLoadFileException>("An error occured while trying to load the file.", fileName, [&] {
        stream.read(&data[0], static_cast<std::streamsize>(bytesToRead));
    });
    return data;
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
        replace(fileName, data);
        return;
    }
    std::ofstream stream;
    openForWriting(stream, fileName, fileName, extraOpenMode);
    write(stream, fileName, data);
}

}  // namespace file
}  // namespace io
