#ifndef VESTIGA_APP_SCANPROGRESS_H
#define VESTIGA_APP_SCANPROGRESS_H

#include <chrono>
#include <cstddef>
#include <string>

namespace com {
namespace quorvane {
namespace products {
namespace lumeno {

// One status line on standard error while a long scan runs: the stage of
// the scan with its count, the elapsed time, and what is being read. Shown
// only when standard error is a terminal, refreshed a few times a second,
// erased at the end. Standard output is never touched.
class ScanProgress {
public:
    // Each stage counts on its own, so the line names it.
    enum Stage {
        // Walking directories: the entries recorded.
        LISTING,
        // Reading the content of regular files: the files read.
        READING_CONTENT,
        // Reading registry keys: the keys and values read.
        READING_REGISTRY
    };

    ScanProgress();
    ~ScanProgress();

    // Cheap to call for every path or key: redraws only when due.
    void show(Stage stage, std::size_t count, const std::string& where);
    // Erases the line, so that a message can be written in its place.
    void clear();

private:
    void draw(const std::string& line);

    typedef std::chrono::steady_clock Clock;
    bool _enabled;
    Clock::time_point _started;
    Clock::time_point _nextDraw;
    std::size_t _shownWidth;
};

}  // namespace lumeno
}  // namespace products
}  // namespace quorvane
}  // namespace com

#endif
