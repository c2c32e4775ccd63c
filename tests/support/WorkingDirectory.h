#ifndef VESTIGA_TESTS_SUPPORT_WORKINGDIRECTORY_H
#define VESTIGA_TESTS_SUPPORT_WORKINGDIRECTORY_H

#include <filesystem>
#include <string>

// Makes a directory the current one for as long as the object lives.
class WorkingDirectory {
public:
    explicit WorkingDirectory(const std::string& directory);
    ~WorkingDirectory();
    WorkingDirectory(const WorkingDirectory&) = delete;
    WorkingDirectory& operator=(const WorkingDirectory&) = delete;

private:
    std::filesystem::path _previous;
};

#endif
