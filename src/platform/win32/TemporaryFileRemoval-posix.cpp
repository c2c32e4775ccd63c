#include "platform/win32/TemporaryFileRemoval-posix.h"

#include <unistd.h>

#include <cstdlib>
#include <cstring>

namespace platform {

namespace {

const int endingSignals[] = {SIGINT, SIGTERM, SIGHUP};
const int signalCount = sizeof endingSignals / sizeof endingSignals[0];

// Read by the handler: set and cleared only while the signals wait.
char* pathToRemove = nullptr;
bool handled[signalCount];
struct sigaction previousActions[signalCount];

sigset_t endingSignalSet() {
    sigset_t set;
    sigemptyset(&set);
    for (const int signal : endingSignals) sigaddset(&set, signal);
    return set;
}

extern "C" void removeAndEnd(int signal) {
    if (pathToRemove != nullptr) unlink(pathToRemove);
    struct sigaction defaultAction;
    std::memset(&defaultAction, 0, sizeof defaultAction);
    defaultAction.sa_handler = SIG_DFL;
    sigemptyset(&defaultAction.sa_mask);
    sigaction(signal, &defaultAction, nullptr);
    sigset_t set;
    sigemptyset(&set);
    sigaddset(&set, signal);
    sigprocmask(SIG_UNBLOCK, &set, nullptr);
    raise(signal);
}

}  // namespace

TemporaryFileRemoval::TemporaryFileRemoval() {
    const sigset_t set = endingSignalSet();
    sigprocmask(SIG_BLOCK, &set, &_previouslyBlocked);
}

TemporaryFileRemoval::~TemporaryFileRemoval() { sigprocmask(SIG_SETMASK, &_previouslyBlocked, nullptr); }

void TemporaryFileRemoval::removeOnSignal(const std::string& path) {
    keepOnSignal();
    pathToRemove = strdup(path.c_str());
    if (pathToRemove == nullptr) return;
    struct sigaction action;
    std::memset(&action, 0, sizeof action);
    action.sa_handler = removeAndEnd;
    action.sa_mask = endingSignalSet();
    for (int i = 0; i < signalCount; ++i) {
        handled[i] = sigaction(endingSignals[i], nullptr, &previousActions[i]) == 0 &&
                     previousActions[i].sa_handler != SIG_IGN &&
                     sigaction(endingSignals[i], &action, nullptr) == 0;
    }
}

void TemporaryFileRemoval::keepOnSignal() {
    if (pathToRemove == nullptr) return;
    for (int i = 0; i < signalCount; ++i) {
        if (handled[i]) sigaction(endingSignals[i], &previousActions[i], nullptr);
        handled[i] = false;
    }
    std::free(pathToRemove);
    pathToRemove = nullptr;
}

}  // namespace platform
