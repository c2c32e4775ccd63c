#ifndef VESTIGA_TESTS_SUPPORT_INMEMORYFILELOADER_H
#define VESTIGA_TESTS_SUPPORT_INMEMORYFILELOADER_H

#include <map>
#include <string>
#include <utility>
#include <vector>

#include "app/FileLoader.h"
#include "io/file/FileExceptions.h"

// Files held as strings. A missing file, or a request for more bytes than a
// file holds, throws io::file::CouldNotLoadFileException.
class InMemoryFileLoader : public com::quorvane::products::lumeno::FileLoader {
public:
    void add(const std::string& fileName, const std::string& content) { _files[fileName] = content; }

    std::string load(const std::string& fileName, unsigned int byteCount) override {
        requests.push_back(std::make_pair(fileName, byteCount));
        const auto file = _files.find(fileName);
        if (file == _files.end() || byteCount > file->second.size()) {
            throw io::file::CouldNotLoadFileException("Could not load '" + fileName + "'");
        }
        return byteCount == 0 ? file->second : file->second.substr(0, byteCount);
    }

    // File name and byte count of every load call, in order.
    std::vector<std::pair<std::string, unsigned int>> requests;

private:
    std::map<std::string, std::string> _files;
};

#endif
