#ifndef VESTIGA_TESTS_SUPPORT_FILEHELPERFAILURES_H
#define VESTIGA_TESTS_SUPPORT_FILEHELPERFAILURES_H

#include <string>

#include "io/file/FileExceptions.h"
#include "io/file/FileHelper.h"

// The message of a failed load or save, or "(no exception)".
inline std::string loadFailure(const std::string& fileName, unsigned int byteCount = 0) {
    try {
        io::file::FileHelper::load(fileName, byteCount);
    } catch (const io::file::CouldNotLoadFileException& e) {
        return e.getMessage();
    }
    return "(no exception)";
}

inline std::string saveFailure(const std::string& fileName, const std::string& data) {
    try {
        io::file::FileHelper::save(fileName, data, 0);
    } catch (const io::file::CouldNotSaveFileException& e) {
        return e.getMessage();
    }
    return "(no exception)";
}

#endif
