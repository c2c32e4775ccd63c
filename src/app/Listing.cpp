#include "app/Listing.h"

#include <cstdint>

#include "app/DetailText.h"
#include "app/DumpReader.h"
#include "app/MessageOutput.h"
#include "util/NameQuoting.h"

namespace com {
namespace quorvane {
namespace products {
namespace lumeno {

namespace {

const std::string::size_type blockSize = 1 << 20;

void appendHex32(std::string& out, std::uint32_t value) {
    static const char digits[] = "0123456789ABCDEF";
    char text[8];
    for (int i = 7; i >= 0; --i, value >>= 4) text[i] = digits[value & 0xF];
    out.append(text, sizeof text);
}

}  // namespace

void appendFingerprintDigits(std::string& out, Fingerprint fingerprint) {
    appendHex32(out, static_cast<std::uint32_t>(fingerprint >> 32));
    appendHex32(out, static_cast<std::uint32_t>(fingerprint));
}

void appendListingLine(std::string& out, std::string_view path, Fingerprint fingerprint) {
    appendFingerprintDigits(out, fingerprint);
    out += ' ';
    appendShownName(out, path);
    out += '\n';
}

void printListing(DumpReader& dump, MessageOutput& output) {
    std::string block;
    block.reserve(blockSize + 4096);
    const bool detailed = dump.isDetailed();
    for (dump.rewind(); !dump.atEnd(); dump.advance()) {
        if (detailed) {
            appendDetailedListingLine(block, dump.path(), dump.details());
        } else {
            appendListingLine(block, dump.path(), dump.fingerprint());
        }
        if (block.size() >= blockSize) {
            output.write(block);
            block.clear();
        }
    }
    if (!block.empty()) output.write(block);
}

}  // namespace lumeno
}  // namespace products
}  // namespace quorvane
}  // namespace com
