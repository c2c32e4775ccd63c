#ifndef VESTIGA_APP_LISTING_H
#define VESTIGA_APP_LISTING_H

#include <string>
#include <string_view>

#include "app/Fingerprint.h"

namespace com {
namespace quorvane {
namespace products {
namespace lumeno {

class DumpReader;
class MessageOutput;

// "0102030405060708": the fingerprint as 16 upper-case hexadecimal digits,
// high half first.
void appendFingerprintDigits(std::string& out, Fingerprint fingerprint);

// "0102030405060708 C:\a.txt\n": the fingerprint's digits, a blank and the
// path as shown.
void appendListingLine(std::string& out, std::string_view path, Fingerprint fingerprint);

// The listing of every path of `dump` from its first, in one pass, written to
// `output` in large blocks; a detailed dump lists each path with its details.
void printListing(DumpReader& dump, MessageOutput& output);

}  // namespace lumeno
}  // namespace products
}  // namespace quorvane
}  // namespace com

#endif
