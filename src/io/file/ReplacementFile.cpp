#include "io/file/ReplacementFile.h"

#include <random>

#include "platform/win32/FilePaths.h"
#include "platform/win32/Win32.h"

namespace io {
namespace file {

namespace {

const int namesToTry = 100;

// A dot, the program's name and six random letters or digits: short and of
// one length, so that the replacement fits wherever the target's name does.
std::string temporaryName(std::random_device& randomSource) {
    static const char characters[] = "abcdefghijklmnopqrstuvwxyz0123456789";
    std::uniform_int_distribution<int> pick(0, static_cast<int>(sizeof characters) - 2);
    std::string name = ".vestiga";
    for (int i = 0; i < 6; ++i) name += characters[pick(randomSource)];
    return name;
}

bool closeHandle(HANDLE handle) { return CloseHandle(handle) != 0; }

// What a directory answers when it takes no new file although the file in
// it may be written: it may not be written to (ERROR_ACCESS_DENIED), or it is
// on a file system mounted read-only over which the file itself is mounted
// writable (ERROR_WRITE_PROTECT).
bool refusesNewFiles(DWORD error) { return error == ERROR_ACCESS_DENIED || error == ERROR_WRITE_PROTECT; }

}  // namespace

ReplacementFile::ReplacementFile(const std::string& target)
    : _target(target), _targetExists(false), _inPlace(false), _replacementPending(false),
      _device(INVALID_HANDLE_VALUE) {}

ReplacementFile::~ReplacementFile() {
    if (_replacementPending) DeleteFileA(_name.c_str());
    if (_device != INVALID_HANDLE_VALUE) CloseHandle(_device);
}

bool ReplacementFile::create() {
    _target = platform::finalPathName(_target);
    HANDLE target = CreateFileA(_target.c_str(), GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING,
                                FILE_ATTRIBUTE_NORMAL, nullptr);
    if (target != INVALID_HANDLE_VALUE) {
        const DWORD type = GetFileType(target);
        if (type != FILE_TYPE_DISK && type != FILE_TYPE_UNKNOWN) {
            _device = target;
            return writeInPlace();
        }
        if (!closeHandle(target)) return false;
        _targetExists = true;
    } else if (GetLastError() != ERROR_FILE_NOT_FOUND) {
        return false;
    } else if (GetFileAttributesA(_target.c_str()) != INVALID_FILE_ATTRIBUTES) {
        // The name is there, the file it leads to is not: a link whose file
        // the system cannot name (Windows).
        return writeInPlace();
    }
    if (createReplacement()) return true;
    if (_targetExists && refusesNewFiles(GetLastError())) return writeInPlace();
    return false;
}

bool ReplacementFile::createReplacement() {
    std::random_device randomSource;
    for (int attempt = 0; attempt < namesToTry; ++attempt) {
        const std::string name = platform::pathBeside(_target, temporaryName(randomSource));
        HANDLE file = CreateFileA(name.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW, FILE_ATTRIBUTE_NORMAL, nullptr);
        if (file != INVALID_HANDLE_VALUE) {
            _name = name;
            _replacementPending = true;
            return closeHandle(file);
        }
        if (GetLastError() != ERROR_FILE_EXISTS) return false;
    }
    return false;
}

bool ReplacementFile::writeInPlace() {
    _name = _target;
    _inPlace = true;
    return true;
}

const std::string& ReplacementFile::getName() const { return _name; }

// A device or a pipe keeps nothing to write through.
bool ReplacementFile::flushToDisk() const {
    if (_device != INVALID_HANDLE_VALUE) return true;
    HANDLE file = CreateFileA(_name.c_str(), GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING,
                              FILE_ATTRIBUTE_NORMAL, nullptr);
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
    if (_inPlace) return true;
    const DWORD moveFlags = MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH;
    const bool replaced = _targetExists
                              ? ReplaceFileA(_target.c_str(), _name.c_str(), nullptr, 0, nullptr, nullptr) != 0
                              : MoveFileExA(_name.c_str(), _target.c_str(), moveFlags) != 0;
    if (replaced) {
        _replacementPending = false;
        return true;
    }
    if (GetLastError() != ERROR_UNABLE_TO_MOVE_REPLACEMENT) return false;
    // Windows has removed the target and left the replacement under its own
    // name. It is the only copy of the data now, and stays, whether or not it
    // can still be given the target's name.
    _replacementPending = false;
    if (MoveFileExA(_name.c_str(), _target.c_str(), moveFlags)) return true;
    SetLastError(ERROR_UNABLE_TO_MOVE_REPLACEMENT);
    return false;
}

}  // namespace file
}  // namespace io
