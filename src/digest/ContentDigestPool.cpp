#include "digest/ContentDigestPool.h"

#include <condition_variable>
#include <exception>
#include <mutex>
#include <thread>

namespace {

// How many files each thread may be ahead of the one handed out next.
const std::size_t filesAheadPerThread = 4;

// The results between the one handed out next and the last one claimed, in
// a ring indexed by file number.
class ResultWindow {
public:
    ResultWindow(std::size_t files, std::size_t width)
        : _files(files), _slots(width), _ready(width, false), _claimed(0), _handedOut(0), _stopped(false) {}

    // The number of the next file to read, once it fits in the window;
    // `_files` when there is none left or the work stopped.
    std::size_t claim() {
        std::unique_lock<std::mutex> lock(_mutex);
        _changed.wait(lock, [this]() { return _stopped || _claimed == _files || _claimed < _handedOut + _slots.size(); });
        return _stopped || _claimed == _files ? _files : _claimed++;
    }

    void put(std::size_t index, const platform::FileContent& content) {
        {
            const std::lock_guard<std::mutex> lock(_mutex);
            _slots[index % _slots.size()] = content;
            _ready[index % _slots.size()] = true;
        }
        _changed.notify_all();
    }

    // Waits for the next result; false when the work stopped instead.
    bool takeNext(platform::FileContent& content) {
        std::unique_lock<std::mutex> lock(_mutex);
        const std::size_t slot = _handedOut % _slots.size();
        _changed.wait(lock, [this, slot]() { return _stopped || _ready[slot]; });
        if (_stopped) return false;
        content = _slots[slot];
        _ready[slot] = false;
        ++_handedOut;
        lock.unlock();
        _changed.notify_all();
        return true;
    }

    // Ends the work; the first failure given is kept.
    void stop(std::exception_ptr failure) {
        {
            const std::lock_guard<std::mutex> lock(_mutex);
            if (!_failure) _failure = failure;
            _stopped = true;
        }
        _changed.notify_all();
    }

    std::exception_ptr failure() const {
        const std::lock_guard<std::mutex> lock(_mutex);
        return _failure;
    }

private:
    const std::size_t _files;
    std::vector<platform::FileContent> _slots;
    std::vector<bool> _ready;
    std::size_t _claimed;
    std::size_t _handedOut;
    bool _stopped;
    std::exception_ptr _failure;
    mutable std::mutex _mutex;
    std::condition_variable _changed;
};

void readClaimedFiles(const std::vector<FileToDigest>& files, ResultWindow& window) {
    try {
        platform::ContentReader reader;
        for (std::size_t index; (index = window.claim()) != files.size();) {
            window.put(index, reader.read(files[index].path, files[index].typedLength));
        }
    } catch (...) {
        window.stop(std::current_exception());
    }
}

}  // namespace

unsigned ContentDigestPool::threadsPerCore() {
    const unsigned cores = std::thread::hardware_concurrency();
    return cores == 0 ? 1 : cores;
}

ContentDigestPool::ContentDigestPool(unsigned threads) : _threads(threads == 0 ? 1 : threads) {}

void ContentDigestPool::digest(const std::vector<FileToDigest>& files,
                               const std::function<void(std::size_t, const platform::FileContent&)>& take) const {
    if (_threads == 1) {
        platform::ContentReader reader;
        for (std::size_t index = 0; index < files.size(); ++index) {
            take(index, reader.read(files[index].path, files[index].typedLength));
        }
        return;
    }
    ResultWindow window(files.size(), _threads * filesAheadPerThread);
    std::vector<std::thread> threads;
    try {
        for (unsigned thread = 0; thread < _threads; ++thread) {
            threads.emplace_back(readClaimedFiles, std::cref(files), std::ref(window));
        }
        platform::FileContent content{};
        for (std::size_t index = 0; index < files.size() && window.takeNext(content); ++index) take(index, content);
        window.stop(nullptr);
    } catch (...) {
        window.stop(std::current_exception());
    }
    for (std::thread& thread : threads) thread.join();
    if (window.failure()) std::rethrow_exception(window.failure());
}
