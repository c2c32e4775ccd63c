#include "io/file/ReplacementFile.h"

#include <cstdio>
#include <random>

#include "platform/win32/Win32.h"

namespace io {
namespace file {

namespace {

const int namesToTry = 100;

std::string uniqueSuffix(std::random_device& randomSource) {
    char text[16];
    std::snprintf(text, sizeof text, ".%08x.tmp", static_cast<unsigned int>(randomSource()));
    return text;
}

bool closeHandle(HANDLE handle) { return CloseHandle(handle) != 0; }

}  // namespace

ReplacementFile::ReplacementFile(const std::string& target)
    : _target(target), _exists(false), _device(INVALID_HANDLE_VALUE) {}

ReplacementFile::~ReplacementFile() {
    if (_exists) DeleteFileA(_name.c_str());
    if (writesInPlace()) CloseHandle(_device);
}

bool ReplacementFile::writesInPlace() const { return _device != INVALID_HANDLE_VALUE; }

bool ReplacementFile::create() {
    HANDLE target = CreateFileA(_target.c_str(), GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE, 0, OPEN_EXISTING,
                                FILE_ATTRIBUTE_NORMAL, 0);
    if (target != INVALID_HANDLE_VALUE) {
        const DWORD type = GetFileType(target);
        if (type != FILE_TYPE_DISK && type != FILE_TYPE_UNKNOWN) {
            _device = target;
            _name = _target;
            return true;
        }
        if (!closeHandle(target)) return false;
    } else if (GetLastError() != ERROR_FILE_NOT_FOUND) {
        return false;
    }
    std::random_device randomSource;
    for (int attempt = 0; attempt < namesToTry; ++attempt) {
        const std::string name = _target + uniqueSuffix(randomSource);
        HANDLE file = CreateFileA(name.c_str(), GENERIC_WRITE, 0, 0, CREATE_NEW, FILE_ATTRIBUTE_NORMAL, 0);
        if (file != INVALID_HANDLE_VALUE) {
            _name = name;
            _exists = true;
            return closeHandle(file);
        }
        if (GetLastError() != ERROR_FILE_EXISTS) return false;
    }
    return false;
}

const std::string& ReplacementFile::getName() const { return _name; }

bool ReplacementFile::flushToDisk() const {
    if (writesInPlace()) return true;
    HANDLE file = CreateFileA(_name.c_str(), GENERIC_WRITE, 0, 0, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, 0);
    if (file == INVALID_HANDLE_VALUE) return false;
    const bool flushed = FlushFileBuffers(file) != 0;
    const DWORD flushError = GetLastError();
    const bool closed = closeHandle(file);
    if (!flushed) {
        SetLastError(flushError);
        return false;
    }
    return closed;
}

bool ReplacementFile::replaceTarget() {
    if (writesInPlace()) return true;
    if (!MoveFileExA(_name.c_str(), _target.c_str(), MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH)) {
        return false;
    }
    _exists = false;
    return true;
}

}  // namespace file
}  // namespace io
