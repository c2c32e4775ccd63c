#include "digest/ContentDigestPool.h"

#include <algorithm>
#include <condition_variable>
#include <exception>
#include <mutex>
#include <thread>

#include "platform/win32/FileDetails.h"

namespace {

// A thread claims the files in runs of this many, one after the other, and
// hands each run over whole: the threads meet once per run, not per file,
// which matters where most files take microseconds to read.
const std::size_t filesPerRun = 16;
// How many runs each thread may be ahead of the one handed out next.
const std::size_t runsAheadPerThread = 8;

}  // namespace

// The results of the runs between the one handed out next and the last one
// claimed, in a ring indexed by run number. A claimed run's results belong
// to the thread that claimed it until it is put, and to the taker from then
// until it is released.
class ResultWindow {
public:
    ResultWindow(std::size_t files, std::size_t width)
        : _runs((files + filesPerRun - 1) / filesPerRun), _slots(width * filesPerRun), _ready(width, false),
          _claimed(0), _handedOut(0), _stopped(false) {}

    std::size_t runs() const { return _runs; }

    // The number of the next run to read, once it fits in the window;
    // `runs()` when there is none left or the work stopped.
    std::size_t claim() {
        std::unique_lock<std::mutex> lock(_mutex);
        _roomMade.wait(lock,
                       [this]() { return _stopped || _claimed == _runs || _claimed < _handedOut + _ready.size(); });
        return _stopped || _claimed == _runs ? _runs : _claimed++;
    }

    platform::FileContent* resultsOf(std::size_t run) { return &_slots[(run % _ready.size()) * filesPerRun]; }

    void put(std::size_t run) {
        {
            const std::lock_guard<std::mutex> lock(_mutex);
            _ready[run % _ready.size()] = true;
        }
        _resultsPut.notify_one();
    }

    // Waits for the next run's results; nullptr when the work stopped instead.
    const platform::FileContent* takeNext() {
        std::unique_lock<std::mutex> lock(_mutex);
        _resultsPut.wait(lock, [this]() { return _stopped || _ready[_handedOut % _ready.size()]; });
        return _stopped ? nullptr : resultsOf(_handedOut);
    }

    // The run taken last is handed out: its place serves another.
    void release() {
        {
            const std::lock_guard<std::mutex> lock(_mutex);
            _ready[_handedOut % _ready.size()] = false;
            ++_handedOut;
        }
        _roomMade.notify_one();
    }

    // Ends the work; the first failure given is kept.
    void stop(std::exception_ptr failure) {
        {
            const std::lock_guard<std::mutex> lock(_mutex);
            if (!_failure) _failure = failure;
            _stopped = true;
        }
        _roomMade.notify_all();
        _resultsPut.notify_all();
    }

    std::exception_ptr failure() const {
        const std::lock_guard<std::mutex> lock(_mutex);
        return _failure;
    }

private:
    const std::size_t _runs;
    std::vector<platform::FileContent> _slots;
    std::vector<bool> _ready;
    std::size_t _claimed;
    std::size_t _handedOut;
    bool _stopped;
    std::exception_ptr _failure;
    mutable std::mutex _mutex;
    std::condition_variable _roomMade;
    std::condition_variable _resultsPut;
};

namespace {

platform::FileContent readOne(platform::ContentReader& reader, const FileToDigest& file) {
    if (file.content) return reader.read(file.path, file.typedLength, file.extendedAttributes);
    platform::FileContent result{};
    if (file.extendedAttributes) platform::readExtendedAttributes(file.path, result.extendedAttributes);
    return result;
}

void readClaimedRuns(const std::vector<FileToDigest>& files, ResultWindow& window) {
    try {
        platform::ContentReader reader;
        for (std::size_t run; (run = window.claim()) != window.runs();) {
            platform::FileContent* results = window.resultsOf(run);
            const std::size_t end = std::min(files.size(), (run + 1) * filesPerRun);
            for (std::size_t index = run * filesPerRun; index < end; ++index) {
                *results++ = readOne(reader, files[index]);
            }
            window.put(run);
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

ContentDigestPool::~ContentDigestPool() {
    if (_window) _window->stop(nullptr);
    stopReaders();
}

void ContentDigestPool::begin(std::vector<FileToDigest> files) {
    const std::size_t runs = (files.size() + filesPerRun - 1) / filesPerRun;
    start(std::move(files), std::max<std::size_t>(runs, 1));
}

void ContentDigestPool::digest(const std::vector<FileToDigest>& files,
                               const std::function<void(std::size_t, const platform::FileContent&)>& take) {
    start(files, _threads * runsAheadPerThread);
    finish(take);
}

void ContentDigestPool::start(std::vector<FileToDigest> files, std::size_t runsAhead) {
    _files = std::move(files);
    if (_threads == 1) return;
    _window.reset(new ResultWindow(_files.size(), runsAhead));
    try {
        for (unsigned thread = 0; thread < _threads; ++thread) {
            _readers.emplace_back(readClaimedRuns, std::cref(_files), std::ref(*_window));
        }
    } catch (...) {
        _window->stop(std::current_exception());
    }
}

void ContentDigestPool::finish(const std::function<void(std::size_t, const platform::FileContent&)>& take) {
    if (_threads == 1) {
        platform::ContentReader reader;
        const std::vector<FileToDigest> files = std::move(_files);
        _files.clear();
        for (std::size_t index = 0; index < files.size(); ++index) {
            take(index, readOne(reader, files[index]));
        }
        return;
    }
    ResultWindow& window = *_window;
    try {
        for (std::size_t run = 0; run < window.runs(); ++run) {
            const platform::FileContent* results = window.takeNext();
            if (results == nullptr) break;
            const std::size_t end = std::min(_files.size(), (run + 1) * filesPerRun);
            for (std::size_t index = run * filesPerRun; index < end; ++index) take(index, *results++);
            window.release();
        }
        window.stop(nullptr);
    } catch (...) {
        window.stop(std::current_exception());
    }
    stopReaders();
    const std::exception_ptr failure = window.failure();
    _window.reset();
    _files.clear();
    if (failure) std::rethrow_exception(failure);
}

void ContentDigestPool::stopReaders() {
    for (std::thread& reader : _readers) reader.join();
    _readers.clear();
}
