#include "support/WorkingDirectory.h"

WorkingDirectory::WorkingDirectory(const std::string& directory) : _previous(std::filesystem::current_path()) {
    std::filesystem::current_path(directory);
}

WorkingDirectory::~WorkingDirectory() {
    std::error_code ignored;
    std::filesystem::current_path(_previous, ignored);
}
