#include "app/ReportPage.h"

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <string_view>

#include "app/Fingerprint.h"
#include "app/JsonText.h"
#include "util/NameQuoting.h"
#include "app/ReportPageTemplate.h"
#include "app/DetailText.h"
#include "app/DumpReader.h"

namespace com {
namespace quorvane {
namespace products {
namespace lumeno {

namespace {

// What the page shows of a node of the tree, one digit per node.
const char NO_MARK = '0';
const char CREATED_MARK = '1';
const char DELETED_MARK = '2';
const char MODIFIED_MARK = '3';
const char LISTED_MARK = '4';

struct PageEntry {
    std::string_view path;
    char mark;
    // A listed entry's fingerprint, or a modified entry's old one.
    Fingerprint first;
    // A modified entry's new fingerprint.
    Fingerprint second;
    // From detailed dumps: a listed entry's details, or what changed of a
    // modified one, as shown.
    std::string details;
};

// A path that begins with a slash is a POSIX path: its first name is "/" and
// slashes separate the others. Backslashes separate the names of every other
// path, Windows and registry paths alike. A path that begins at a drive's
// root has that root for its first name: C:\Windows is C:\ and Windows.
bool isPosixPath(std::string_view path) { return !path.empty() && path[0] == '/'; }

bool beginsAtDriveRoot(std::string_view path) {
    if (path.size() < 3 || path[1] != ':' || path[2] != '\\') return false;
    const char letter = static_cast<char>(path[0] | 0x20);
    return letter >= 'a' && letter <= 'z';
}

char separatorOf(std::string_view path) { return isPosixPath(path) ? '/' : '\\'; }

void splitPath(std::string_view path, std::vector<std::string_view>& names) {
    names.clear();
    const char separator = separatorOf(path);
    const std::size_t rootLength = isPosixPath(path) ? 1 : beginsAtDriveRoot(path) ? 3 : 0;
    if (rootLength != 0) {
        names.push_back(path.substr(0, rootLength));
        path.remove_prefix(rootLength);
        if (path.empty()) return;
    }
    for (std::size_t start = 0;;) {
        const std::size_t at = path.find(separator, start);
        if (at == std::string_view::npos) {
            names.push_back(path.substr(start));
            return;
        }
        names.push_back(path.substr(start, at - start));
        start = at + 1;
    }
}

// The index of the first byte in which `x` and `y` differ, or `length`.
// Paths of one tree share long beginnings, so they are compared eight bytes
// at a time.
std::size_t firstDifference(const char* x, const char* y, std::size_t length) {
    std::size_t i = 0;
    for (; i + 8 <= length; i += 8) {
        std::uint64_t a;
        std::uint64_t b;
        std::memcpy(&a, x + i, 8);
        std::memcpy(&b, y + i, 8);
        if (a != b) break;
    }
    while (i < length && x[i] == y[i]) ++i;
    return i;
}

// Depth first order of the tree: paths compared name by name, which is byte
// by byte with the separator below every other byte. POSIX paths follow the
// others.
bool inTreeOrder(const PageEntry& a, const PageEntry& b) {
    const std::string_view x = a.path;
    const std::string_view y = b.path;
    const bool posixX = isPosixPath(x);
    if (posixX != isPosixPath(y)) return !posixX;
    const std::size_t common = std::min(x.size(), y.size());
    const std::size_t i = firstDifference(x.data(), y.data(), common);
    if (i == common) return x.size() < y.size();
    const char separator = posixX ? '/' : '\\';
    const unsigned int rankX = x[i] == separator ? 0 : static_cast<unsigned char>(x[i]) + 1u;
    const unsigned int rankY = y[i] == separator ? 0 : static_cast<unsigned char>(y[i]) + 1u;
    return rankX < rankY;
}

void appendFingerprint(std::string& json, Fingerprint fingerprint) {
    char digits[16];
    std::size_t first = sizeof digits;
    do {
        digits[--first] = "0123456789ABCDEF"[fingerprint & 15];
        fingerprint >>= 4;
    } while (fingerprint != 0);
    json += '"';
    json.append(digits + first, sizeof digits - first);
    json += '"';
}

void appendDump(std::string& json, const std::string& file, const DumpReader& dump) {
    json += "{\"file\":";
    appendJsonString(json, shownName(file));
    json += ",\"entries\":";
    json += std::to_string(dump.entryCount());
    json += '}';
}

// The tree as four arrays in depth first order: each node's name as shown,
// its depth, its mark, and the fingerprints of the listed and modified nodes.
void appendTree(std::string& json, std::vector<PageEntry>& entries) {
    std::sort(entries.begin(), entries.end(), inTreeOrder);
    std::string names = "\"names\":[";
    std::string depths = "\"depths\":[";
    std::string marks = "\"marks\":\"";
    std::string fingerprints = "\"fingerprints\":[";
    // One text for each entry with fingerprints, when any entry has details.
    const bool withDetails =
        std::any_of(entries.begin(), entries.end(), [](const PageEntry& entry) { return !entry.details.empty(); });
    std::string details = "\"details\":[";
    std::vector<std::string_view> open;
    std::vector<std::string_view> current;
    bool firstNode = true;
    bool firstFingerprint = true;
    for (const PageEntry& entry : entries) {
        splitPath(entry.path, current);
        std::size_t common = 0;
        while (common < open.size() && common + 1 < current.size() && open[common] == current[common]) ++common;
        open.resize(common);
        for (std::size_t level = common; level < current.size(); ++level) {
            if (!firstNode) {
                names += ',';
                depths += ',';
            }
            firstNode = false;
            appendJsonString(names, shownName(current[level]));
            depths += std::to_string(level);
            marks += level + 1 == current.size() ? entry.mark : NO_MARK;
            open.push_back(current[level]);
        }
        if (entry.mark != LISTED_MARK && entry.mark != MODIFIED_MARK) continue;
        if (!firstFingerprint) fingerprints += ',';
        firstFingerprint = false;
        appendFingerprint(fingerprints, entry.first);
        if (withDetails) {
            if (details.back() != '[') details += ',';
            appendJsonString(details, entry.details);
        }
        if (entry.mark == MODIFIED_MARK) {
            fingerprints += ',';
            appendFingerprint(fingerprints, entry.second);
        }
    }
    json.reserve(json.size() + names.size() + depths.size() + marks.size() + fingerprints.size() + 8);
    json += names;
    json += "],";
    json += depths;
    json += "],";
    json += marks;
    json += "\",";
    json += fingerprints;
    json += ']';
    if (withDetails) {
        json += ',';
        json += details;
        json += ']';
    }
}

std::string page(const std::string& data) {
    const std::string_view before = reportPageBeforeData();
    const std::string_view after = reportPageAfterData();
    std::string text;
    text.reserve(before.size() + data.size() + after.size());
    text += before;
    text += data;
    text += after;
    return text;
}

}  // namespace

std::string comparisonPage(const std::string& oldFile, const DumpReader& oldDump, const std::string& newFile,
                           const DumpReader& newDump, const std::vector<SnapshotDifference>& differences) {
    std::vector<PageEntry> entries;
    entries.reserve(differences.size());
    std::size_t counts[3] = {0, 0, 0};
    for (const SnapshotDifference& difference : differences) {
        PageEntry entry = {difference.path, NO_MARK, 0, 0, std::string()};
        switch (difference.kind) {
        case CREATED: entry.mark = CREATED_MARK; break;
        case DELETED: entry.mark = DELETED_MARK; break;
        case MODIFIED: {
            entry.mark = MODIFIED_MARK;
            entry.first = difference.before;
            entry.second = difference.after;
            for (const DetailChange& change : difference.changes) {
                if (!entry.details.empty()) entry.details += "; ";
                entry.details += change.name;
                entry.details += ": ";
                entry.details += change.before;
                entry.details += " \u2192 ";
                entry.details += change.after;
            }
            break;
        }
        }
        ++counts[entry.mark - CREATED_MARK];
        entries.push_back(entry);
    }
    std::string json = "{\"report\":\"comparison\",\"dumps\":[";
    appendDump(json, oldFile, oldDump);
    json += ',';
    appendDump(json, newFile, newDump);
    json += "],\"created\":" + std::to_string(counts[0]) + ",\"deleted\":" + std::to_string(counts[1]) +
            ",\"modified\":" + std::to_string(counts[2]) + ',';
    appendTree(json, entries);
    json += '}';
    return page(json);
}

std::string listingPage(const std::string& file, DumpReader& dump) {
    std::vector<PageEntry> entries;
    entries.reserve(dump.entryCount());
    for (dump.rewind(); !dump.atEnd(); dump.advance()) {
        entries.push_back(PageEntry{dump.path(), LISTED_MARK, dump.fingerprint(), 0,
                                    dump.isDetailed() ? detailSummary(dump.details()) : std::string()});
    }
    std::string json = "{\"report\":\"listing\",\"dumps\":[";
    appendDump(json, file, dump);
    json += "],";
    appendTree(json, entries);
    json += '}';
    return page(json);
}

}  // namespace lumeno
}  // namespace products
}  // namespace quorvane
}  // namespace com
