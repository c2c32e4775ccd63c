#ifndef VESTIGA_IO_FILE_FILEHELPER_H
#define VESTIGA_IO_FILE_FILEHELPER_H

#include <cstdint>
#include <iosfwd>
#include <string>

#include "io/file/DataSource.h"
#include "io/file/FileContents.h"
#include "platform/win32/Win32Handles.h"

namespace io {
namespace file {

// Reads and writes whole files as byte strings. Every failure is an
// exception whose message says what failed and then names the file, the
// current directory, the system's text for the last error and the stream
// library's text for the failure.
class FileHelper {
public:
    // The first `byteCount` bytes of the file; 0 means the whole file.
    // Throws CouldNotLoadFileException.
    static std::string load(const std::string& fileName, unsigned int byteCount);

    // The whole file, mapped where the system maps it and read otherwise; a
    // mapped file has no limit of size. Throws CouldNotLoadFileException.
    static FileContents map(const std::string& fileName);

    // Writes all bytes of `data` to the file. `extraOpenMode` holds open-mode
    // bits added to output and binary mode. With 0 the data goes to a new
    // file that replaces the old one only once it is complete and on disk
    // (see ReplacementFile): a failed save into a directory that takes new
    // files leaves an existing file as it was. Other modes (appending) write
    // to the file in place through a file stream. Throws
    // CouldNotSaveFileException.
    static void save(const std::string& fileName, const std::string& data, int extraOpenMode);

    // Writes the bytes of `data` to a new file that replaces the old one, as
    // `save` with mode 0 does, as they are made: there is no limit of size.
    // Throws CouldNotSaveFileException.
    static void save(const std::string& fileName, DataSource& data);
    // Whether a save under `fileName` would put data over data: true for a
    // file on disk that is not empty, and for an entry that exists but
    // cannot be looked at, which may be such a file; false where there is
    // nothing (a link that leads nowhere included), and for an empty file, a
    // directory, a device or a pipe. Looks at the file without opening its
    // data.
    static bool holdsData(const std::string& fileName);

private:
    // The open file on disk; anything else is refused.
    static HANDLE openForReading(const std::string& fileName);
    // Opens `openedName`; failures are reported for `fileName`.
    static void openForWriting(std::ofstream& stream, const std::string& fileName, const std::string& openedName,
                               int extraOpenMode);
    static std::uint64_t getFileSize(HANDLE file, const std::string& fileName);
    // The first `bytesToRead` bytes of the file, read into memory.
    static std::string readWhole(HANDLE file, const std::string& fileName, std::uint64_t bytesToRead);
    // Reads exactly `size` bytes into `buffer`.
    static void read(HANDLE file, const std::string& fileName, char* buffer, std::uint64_t size);
    static void write(std::ofstream& stream, const std::string& fileName, const std::string& data);
    static void replace(const std::string& fileName, DataSource& data);

    // Runs one stream operation; a stream failure becomes a `Failure` with
    // `message`, any other exception goes on after a failed check.
    template <class Failure, class Operation>
    static void runStreamStep(const char* message, const std::string& fileName, Operation operation);

    static std::string buildFileErrorMessage(const std::string& message, const std::string& fileName,
                                             const std::string& cppException);
};

}  // namespace file
}  // namespace io

#endif
