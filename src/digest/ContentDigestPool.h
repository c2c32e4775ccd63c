#ifndef VESTIGA_DIGEST_CONTENTDIGESTPOOL_H
#define VESTIGA_DIGEST_CONTENTDIGESTPOOL_H

#include <cstddef>
#include <functional>
#include <memory>
#include <string>
#include <thread>
#include <vector>

#include "platform/win32/ContentReader.h"

// One path to read: how much of it is a path as the user typed it (see
// platform::createFile), whether its content is to be digested (a regular
// file's), and whether its extended attributes are to be read. A path whose
// content is not read has a result of no meaning but its attributes.
struct FileToDigest {
    std::string path;
    std::size_t typedLength;
    bool content = true;
    bool extendedAttributes = false;
};

// The results of the runs of files a reading holds; defined with the pool.
class ResultWindow;

// Reads and digests files, and reads the extended attributes of paths, on up
// to `threads` threads at once, each with one block of its own, and hands
// the results to the calling thread in the order the files were given,
// whatever the number of threads. A thread takes a run of files at a time
// and hands its results over together. With one thread the calling thread
// reads the files itself.
class ContentDigestPool {
public:
    // The number of threads for a pool of one per core, at least one.
    static unsigned threadsPerCore();

    explicit ContentDigestPool(unsigned threads);
    // Stops a reading begun and not finished, once each thread is done with
    // the file it reads.
    ~ContentDigestPool();
    ContentDigestPool(const ContentDigestPool&) = delete;
    ContentDigestPool& operator=(const ContentDigestPool&) = delete;

    // Begins reading `files` on the pool's threads, which go on while the
    // caller does other work, as far ahead as the last of them; one reading
    // at a time. With one thread nothing is read before `finish`.
    void begin(std::vector<FileToDigest> files);
    // Calls `take(index, content)` on the calling thread for each file of the
    // reading begun, in their order, and waits for the threads. An exception
    // of a reader or of `take` ends the work, and reaches the caller once
    // every thread has stopped.
    void finish(const std::function<void(std::size_t, const platform::FileContent&)>& take);
    // Reads `files` as begin and finish do, the threads running at most a
    // few runs of files ahead of the result handed out last.
    void digest(const std::vector<FileToDigest>& files,
                const std::function<void(std::size_t, const platform::FileContent&)>& take);

private:
    void start(std::vector<FileToDigest> files, std::size_t runsAhead);
    void stopReaders();

    unsigned _threads;
    std::vector<FileToDigest> _files;
    std::unique_ptr<ResultWindow> _window;
    std::vector<std::thread> _readers;
};

#endif
