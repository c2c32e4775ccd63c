#ifndef VESTIGA_PLATFORM_WIN32_EMULATION_FILEHANDLE_H
#define VESTIGA_PLATFORM_WIN32_EMULATION_FILEHANDLE_H

#include <sys/stat.h>

#include "platform/win32/emulation/HandleObject.h"

namespace platform {

// A file opened by CreateFileA: either for queries only, holding the status
// the path had when it was opened, or on its data, holding a descriptor.
class FileHandle : public HandleObject {
public:
    static constexpr Kind kind = FILE_HANDLE;

    explicit FileHandle(const struct stat& status);
    // Takes ownership of the descriptor.
    explicit FileHandle(int descriptor);
    ~FileHandle() override;

    // Each returns false, with the last error set, on failure.
    bool getInformation(BY_HANDLE_FILE_INFORMATION* information) const;
    // The kind of file as GetFileType tells it; FILE_TYPE_UNKNOWN on failure.
    DWORD getType() const;
    bool read(void* buffer, DWORD size, DWORD* bytesRead);
    bool write(const void* buffer, DWORD size, DWORD* bytesWritten);
    bool setEnd();
    bool flush() const;
    bool close();
    // The descriptor of a handle opened on data, -1 for one opened for queries.
    int getDescriptor() const { return _descriptor; }
    // The status taken when a handle for queries was opened.
    const struct stat& getStatus() const { return _status; }

private:
    int _descriptor;
    struct stat _status;
};

}  // namespace platform

#endif
