#ifndef VESTIGA_APP_SCANPROGRESS_H
#define VESTIGA_APP_SCANPROGRESS_H

#include <chrono>
#include <cstddef>
#include <string>

namespace com {
namespace quorvane {
namespace products {
namespace lumeno {

// One status line on standard error while a long scan runs: entries found
// so far, elapsed time, and what is being read. Shown only when standard
// error is a terminal, refreshed a few times a second, erased at the end.
// Standard output is never touched.
class ScanProgress {
public:
    ScanProgress();
    ~ScanProgress();

    // Cheap to call for every directory or key: redraws only when due.
    void show(std::size_t entries, const std::string& where);
    // Erases the line, so that a message can be written in its place.
    void clear();

private:
    void draw(const std::string& line);

    typedef std::chrono::steady_clock Clock;
    bool enabled;
    Clock::time_point started;
    Clock::time_point nextDraw;
    std::size_t shownWidth;
};

}  // namespace lumeno
}  // namespace products
}  // namespace quorvane
}  // namespace com

#endif
