#ifndef VESTIGA_APP_DETAILTEXT_H
#define VESTIGA_APP_DETAILTEXT_H

#include <string>
#include <string_view>
#include <vector>

#include "app/DumpOrigin.h"
#include "app/EntryDetails.h"
#include "app/SnapshotDifference.h"

namespace com {
namespace quorvane {
namespace products {
namespace lumeno {

// The details two records of one entry hold differently, each with both
// values as shown: every value that comes from outside passes the name
// quoting. A detail one side lacks shows as "none".
std::vector<DetailChange> detailChanges(const EntryDetails& before, const EntryDetails& after);

// An entry's content as a detail with its whole digest: 64 hexadecimal
// digits, or "unreadable", or "none" if the record holds none.
std::string wholeContentText(const EntryDetails& details);

// One line of the listing of a detailed dump, in the manner of `ls -l`:
// kind, mode (POSIX), attributes (Windows) or type (registry value), owner,
// group, size, last write, the path, and " -> " and the target for a link;
// "-" for what the entry does not have.
void appendDetailedListingLine(std::string& out, std::string_view path, const EntryDetails& details);

// The same line without the path and its line end, and the target of a link
// behind "-> ", for the report page.
std::string detailSummary(const EntryDetails& details);

// The progress lines that show what a dump records about its scan, each
// beginning with `label`: one line a fact, one a directory or key.
std::string originLines(const std::string& label, const DumpOrigin& origin);

}  // namespace lumeno
}  // namespace products
}  // namespace quorvane
}  // namespace com

#endif
