#include "support/ScratchDirectory.h"

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <random>
#include <stdexcept>

#include "platform/win32/PathSeparator.h"

namespace fs = std::filesystem;

ScratchDirectory::ScratchDirectory() {
    std::random_device randomSource;
    for (int attempt = 0; attempt < 100 && _path.empty(); ++attempt) {
        const fs::path candidate = fs::temp_directory_path() / ("vestiga-test-" + std::to_string(randomSource()));
        if (fs::create_directory(candidate)) _path = candidate.string();
    }
    if (_path.empty()) throw std::runtime_error("no scratch directory could be made");
}

ScratchDirectory::~ScratchDirectory() {
    std::error_code ignored;
    fs::remove_all(_path, ignored);
}

const std::string& ScratchDirectory::getPath() const { return _path; }

std::string ScratchDirectory::pathOf(const std::string& relativeName) const {
    return _path + platform::PATH_SEPARATOR + relativeName;
}

std::string ScratchDirectory::makeDirectory(const std::string& relativeName) const {
    const std::string path = pathOf(relativeName);
    fs::create_directories(path);
    return path;
}

std::string ScratchDirectory::writeFile(const std::string& relativeName, const std::string& content) const {
    const std::string path = pathOf(relativeName);
    std::ofstream file(path, std::ios::out | std::ios::binary | std::ios::trunc);
    file.write(content.data(), static_cast<std::streamsize>(content.size()));
    file.close();
    if (!file) throw std::runtime_error("could not write " + path);
    return path;
}

std::string ScratchDirectory::readFile(const std::string& relativeName) const {
    std::ifstream file(pathOf(relativeName), std::ios::in | std::ios::binary);
    if (!file) throw std::runtime_error("could not read " + pathOf(relativeName));
    return std::string(std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>());
}

std::vector<std::string> ScratchDirectory::namesIn(const std::string& relativeName) const {
    std::vector<std::string> names;
    for (const fs::directory_entry& entry :
         fs::directory_iterator(relativeName.empty() ? _path : pathOf(relativeName))) {
        names.push_back(entry.path().filename().string());
    }
    std::sort(names.begin(), names.end());
    return names;
}
