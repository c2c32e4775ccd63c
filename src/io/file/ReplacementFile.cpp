#include "io/file/ReplacementFile.h"

#include "platform/win32/FileCalls.h"
#include "platform/win32/FilePaths.h"
#include "platform/win32/Win32.h"

namespace io {
namespace file {

namespace {

// The pieces in which a refused replacement is copied into its target.
const DWORD copyBlockSize = 1u << 20;

const DWORD shareWithReadersAndWriters = FILE_SHARE_READ | FILE_SHARE_WRITE;

// What a directory answers when it takes no new file although the file in
// it may be written: it may not be written to (ERROR_ACCESS_DENIED), or it is
// on a file system mounted read-only over which the file itself is mounted
// writable (ERROR_WRITE_PROTECT).
bool refusesNewFiles(DWORD error) { return error == ERROR_ACCESS_DENIED || error == ERROR_WRITE_PROTECT; }

std::uint64_t fileIndex(const BY_HANDLE_FILE_INFORMATION& information) {
    return (static_cast<std::uint64_t>(information.nFileIndexHigh) << 32) | information.nFileIndexLow;
}

}  // namespace

ReplacementFile::ReplacementFile(const std::string& target, bool ownerOnly)
    : _target(target),
      _ownerOnly(ownerOnly),
      _mode(Mode::CLOSED),
      _file(INVALID_HANDLE_VALUE),
      _writtenVolume(0),
      _writtenIndex(0) {}

ReplacementFile::~ReplacementFile() {
    if (_file != INVALID_HANDLE_VALUE) CloseHandle(_file);
    if (!_name.empty()) platform::deleteFile(_name);
}

bool ReplacementFile::create() {
    _target = platform::finalPathName(_target);
    HANDLE target =
        platform::createFile(_target, GENERIC_WRITE, shareWithReadersAndWriters, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL);
    if (target == INVALID_HANDLE_VALUE) {
        if (GetLastError() != ERROR_FILE_NOT_FOUND) return false;
        if (platform::getFileAttributes(_target) == INVALID_FILE_ATTRIBUTES) {
            return createReplacement(Mode::NEW_FILE, INVALID_HANDLE_VALUE);
        }
        // The name is there, the file it leads to is not: a link that leads
        // nowhere. The system creates the file through it, as far as its
        // rules allow.
        target = platform::createFile(_target, GENERIC_WRITE, shareWithReadersAndWriters, OPEN_ALWAYS,
                                      FILE_ATTRIBUTE_NORMAL);
        return target != INVALID_HANDLE_VALUE && writeInPlace(target);
    }
    if (platform::isPlantedInSharedDirectory(target, _target)) {
        CloseHandle(target);
        SetLastError(ERROR_ACCESS_DENIED);
        return false;
    }
    const DWORD type = GetFileType(target);
    if (type != FILE_TYPE_DISK && type != FILE_TYPE_UNKNOWN) {
        _file = target;
        _mode = Mode::DEVICE;
        return true;
    }
    BY_HANDLE_FILE_INFORMATION information;
    if (!GetFileInformationByHandle(target, &information)) return platform::closeKeepingError(target);
    if (information.nNumberOfLinks > 1) return writeInPlace(target);
    return createReplacement(Mode::REPLACEMENT, target);
}

// `target` is the open target, or INVALID_HANDLE_VALUE where there is none;
// it is written in place where its directory takes no new file.
bool ReplacementFile::createReplacement(Mode mode, HANDLE target) {
    _file = platform::createReplacementFile(_target, _name);
    if (_file == INVALID_HANDLE_VALUE) {
        if (target != INVALID_HANDLE_VALUE && refusesNewFiles(GetLastError())) return writeInPlace(target);
        return target == INVALID_HANDLE_VALUE ? false : platform::closeKeepingError(target);
    }
    _mode = mode;
    return target == INVALID_HANDLE_VALUE || CloseHandle(target);
}

bool ReplacementFile::writeInPlace(HANDLE target) {
    _file = target;
    _mode = Mode::IN_PLACE;
    return true;
}

bool ReplacementFile::write(const std::string& data) { return write(data.data(), data.size()); }

bool ReplacementFile::write(const char* data, std::size_t size) {
    if (_mode == Mode::IN_PLACE) {
        _held.append(data, size);
        return true;
    }
    return writeOut(data, size);
}

bool ReplacementFile::writeOut(const char* data, std::size_t size) { return platform::writeAll(_file, data, size); }

bool ReplacementFile::close() {
    HANDLE file = _file;
    _file = INVALID_HANDLE_VALUE;
    _mode = Mode::CLOSED;
    return CloseHandle(file) != 0;
}

// A device or a pipe keeps nothing to write through, and has no end to set.
bool ReplacementFile::replaceTarget() {
    switch (_mode) {
        case Mode::DEVICE:
            return close();
        case Mode::IN_PLACE: {
            const bool written = writeOut(_held.data(), _held.size());
            std::string().swap(_held);
            if (!written || !SetEndOfFile(_file) || !FlushFileBuffers(_file)) return false;
            return close();
        }
        case Mode::NEW_FILE:
        case Mode::REPLACEMENT: {
            if (!FlushFileBuffers(_file)) return false;
            BY_HANDLE_FILE_INFORMATION written;
            if (!GetFileInformationByHandle(_file, &written)) return false;
            _writtenVolume = written.dwVolumeSerialNumber;
            _writtenIndex = fileIndex(written);
            HANDLE file = _file;
            _file = INVALID_HANDLE_VALUE;
            const bool targetExists = _mode == Mode::REPLACEMENT;
            _mode = Mode::CLOSED;
            if (platform::replaceFile(_target, targetExists, file, _name, _ownerOnly)) return true;
            const DWORD error = GetLastError();
            if (error == ERROR_UNABLE_TO_MOVE_REPLACEMENT_2) _name.clear();
            if (targetExists && error == ERROR_ACCESS_DENIED) _mode = Mode::REFUSED;
            return false;
        }
        default:
            SetLastError(ERROR_INVALID_HANDLE);
            return false;
    }
}

// The read-only attribute says the file is not to be written, even where the
// system lets the process write it all the same (an administrator under Wine).
bool ReplacementFile::writeInPlaceInstead() {
    if (_mode != Mode::REFUSED) return false;
    const DWORD refusal = GetLastError();
    const DWORD attributes = platform::getFileAttributes(_target);
    if (attributes == INVALID_FILE_ATTRIBUTES || (attributes & FILE_ATTRIBUTE_READONLY) != 0) {
        SetLastError(refusal);
        return false;
    }
    HANDLE target =
        platform::createFile(_target, GENERIC_WRITE, shareWithReadersAndWriters, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL);
    if (target == INVALID_HANDLE_VALUE) {
        SetLastError(refusal);
        return false;
    }
    writeInPlace(target);
    return copyReplacement();
}

// The replacement is opened again by its name, and taken only if it is the
// file that was written: another user may have put something else there.
bool ReplacementFile::copyReplacement() {
    if (_name.empty()) {
        SetLastError(ERROR_FILE_NOT_FOUND);
        return false;
    }
    HANDLE source = platform::createFile(_name, GENERIC_READ, FILE_SHARE_READ, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL);
    if (source == INVALID_HANDLE_VALUE) return false;
    BY_HANDLE_FILE_INFORMATION opened;
    if (!GetFileInformationByHandle(source, &opened)) return platform::closeKeepingError(source);
    if (opened.dwVolumeSerialNumber != _writtenVolume || fileIndex(opened) != _writtenIndex) {
        CloseHandle(source);
        SetLastError(ERROR_ACCESS_DENIED);
        return false;
    }
    std::string block(copyBlockSize, '\0');
    for (;;) {
        DWORD count = 0;
        if (!ReadFile(source, &block[0], static_cast<DWORD>(block.size()), &count, nullptr)) {
            return platform::closeKeepingError(source);
        }
        if (count == 0) break;
        if (!writeOut(block.data(), count)) return platform::closeKeepingError(source);
    }
    return CloseHandle(source) != 0;
}

}  // namespace file
}  // namespace io
