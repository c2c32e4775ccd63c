#ifndef VESTIGA_TESTS_SUPPORT_SCRATCHDIRECTORY_H
#define VESTIGA_TESTS_SUPPORT_SCRATCHDIRECTORY_H

#include <string>
#include <vector>

// A fresh, empty directory in the system's temporary directory, removed with
// everything in it when the object goes. Names below it are joined with the
// platform's separator.
class ScratchDirectory {
public:
    ScratchDirectory();
    ~ScratchDirectory();
    ScratchDirectory(const ScratchDirectory&) = delete;
    ScratchDirectory& operator=(const ScratchDirectory&) = delete;

    // Without a trailing separator.
    const std::string& getPath() const;
    std::string pathOf(const std::string& relativeName) const;

    std::string makeDirectory(const std::string& relativeName) const;
    std::string writeFile(const std::string& relativeName, const std::string& content) const;
    std::string readFile(const std::string& relativeName) const;
    // The names directly inside a directory below this one ("" for this one itself), sorted.
    std::vector<std::string> namesIn(const std::string& relativeName) const;

private:
    std::string _path;
};

#endif
