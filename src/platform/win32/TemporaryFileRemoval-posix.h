#ifndef VESTIGA_PLATFORM_WIN32_TEMPORARYFILEREMOVAL_POSIX_H
#define VESTIGA_PLATFORM_WIN32_TEMPORARYFILEREMOVAL_POSIX_H

#include <csignal>
#include <string>

namespace platform {

// Removes the one temporary file a save has on disk under a name of its own
// when SIGINT, SIGTERM or SIGHUP ends the process meanwhile; the process
// then ends as the signal would have ended it. A signal the process ignores
// stays ignored.
//
// While an object lives the three signals wait: a file created, renamed or
// removed meanwhile is taken into account before one of them can act.
class TemporaryFileRemoval {
public:
    TemporaryFileRemoval();
    ~TemporaryFileRemoval();
    TemporaryFileRemoval(const TemporaryFileRemoval&) = delete;
    TemporaryFileRemoval& operator=(const TemporaryFileRemoval&) = delete;

    // The file to remove from now on.
    void removeOnSignal(const std::string& path);
    // Nothing to remove any more: the file has another name, or is gone.
    void keepOnSignal();

private:
    sigset_t _previouslyBlocked;
};

}  // namespace platform

#endif
