#include "app/ScanProgress.h"

#include <cstdio>

#include "util/NameQuoting.h"
#include "platform/win32/Console.h"

namespace com {
namespace quorvane {
namespace products {
namespace lumeno {

namespace {

const std::chrono::milliseconds refreshInterval(200);
// Stays on one line of the narrowest usual terminal.
const std::size_t lineWidth = 79;

}  // namespace

ScanProgress::ScanProgress()
    : _enabled(platform::standardErrorIsTerminal()), _started(Clock::now()), _nextDraw(_started), _shownWidth(0) {}

ScanProgress::~ScanProgress() { clear(); }

void ScanProgress::clear() {
    if (_shownWidth > 0) draw("");
}

void ScanProgress::show(Stage stage, std::size_t count, const std::string& where) {
    if (!_enabled) return;
    const Clock::time_point now = Clock::now();
    if (now < _nextDraw) return;
    _nextDraw = now + refreshInterval;

    const long long seconds = std::chrono::duration_cast<std::chrono::seconds>(now - _started).count();
    char head[96] = "";
    switch (stage) {
        case LISTING:
            std::snprintf(head, sizeof head, "Listing: %zu entries", count);
            break;
        case READING_CONTENT:
            std::snprintf(head, sizeof head, "Reading content: %zu files", count);
            break;
        case READING_REGISTRY:
            std::snprintf(head, sizeof head, "Reading the registry: %zu entries", count);
            break;
    }
    char elapsed[32];
    std::snprintf(elapsed, sizeof elapsed, ", %lld:%02lld, ", seconds / 60, seconds % 60);
    std::string line = std::string(head) + elapsed;
    // A name may hold line feeds or other control characters; it is shown as
    // every report shows it. Long paths keep their end, which names what is
    // being read, cut where a character begins.
    const std::string shown = shownName(where);
    const std::size_t room = lineWidth > line.size() ? lineWidth - line.size() : 0;
    if (shown.size() <= room) {
        line += shown;
    } else if (room > 3) {
        std::size_t start = shown.size() - (room - 3);
        while (start < shown.size() && (static_cast<unsigned char>(shown[start]) & 0xC0) == 0x80) ++start;
        line += "..." + shown.substr(start);
    }
    draw(line);
}

void ScanProgress::draw(const std::string& line) {
    std::string text = "\r" + line;
    if (line.size() < _shownWidth) text.append(_shownWidth - line.size(), ' ').append("\r" + line);
    _shownWidth = line.size();
    std::fputs(text.c_str(), stderr);
    std::fflush(stderr);
}

}  // namespace lumeno
}  // namespace products
}  // namespace quorvane
}  // namespace com
