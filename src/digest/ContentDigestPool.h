#ifndef VESTIGA_DIGEST_CONTENTDIGESTPOOL_H
#define VESTIGA_DIGEST_CONTENTDIGESTPOOL_H

#include <cstddef>
#include <functional>
#include <string>
#include <vector>

#include "platform/win32/ContentReader.h"

// One file whose content is to be digested: its path, and how much of it is
// a path as the user typed it (see platform::createFile).
struct FileToDigest {
    std::string path;
    std::size_t typedLength;
};

// Reads and digests files on up to `threads` threads at once, each with one
// block of its own, and hands the results to the calling thread in the order
// the files were given, whatever the number of threads. A thread takes a run
// of files at a time and hands its results over together; the threads run at
// most 128 files each ahead of the result handed out last, so the results
// waiting take little memory however many files there are. With one thread
// the calling thread reads the files itself.
class ContentDigestPool {
public:
    // The number of threads for a pool of one per core, at least one.
    static unsigned threadsPerCore();

    explicit ContentDigestPool(unsigned threads);

    // Calls `take(index, content)` on the calling thread for each file, in
    // the order of `files`. An exception of a reader or of `take` ends the
    // work, and reaches the caller once every thread has stopped.
    void digest(const std::vector<FileToDigest>& files,
                const std::function<void(std::size_t, const platform::FileContent&)>& take) const;

private:
    unsigned _threads;
};

#endif
