#include "app/JsonLines.h"

#include "app/DumpReader.h"
#include "app/JsonText.h"
#include "app/Listing.h"
#include "platform/errorresources/Assertion.h"

namespace com {
namespace quorvane {
namespace products {
namespace lumeno {

namespace {

const char* changeName(DifferenceKind kind) {
    switch (kind) {
    case CREATED:
        return "created";
    case DELETED:
        return "deleted";
    case MODIFIED:
        return "modified";
    }
    ASSERT(false);
    return "";
}

void appendFingerprintMember(std::string& json, Fingerprint fingerprint) {
    json += "\"fingerprint\":\"";
    appendFingerprintDigits(json, fingerprint);
    json += '"';
}

void appendSide(std::string& json, const char* name, Fingerprint fingerprint, const std::string& content) {
    json += ",\"";
    json += name;
    json += "\":{";
    appendFingerprintMember(json, fingerprint);
    if (!content.empty()) {
        json += ",\"content\":";
        appendJsonString(json, content);
    }
    json += '}';
}

}  // namespace

std::string differenceLines(const std::vector<SnapshotDifference>& differences) {
    std::string json;
    for (const SnapshotDifference& difference : differences) {
        json += "{\"change\":\"";
        json += changeName(difference.kind);
        json += "\",\"path\":";
        appendJsonString(json, difference.path);
        if (difference.kind != CREATED) appendSide(json, "old", difference.before, difference.beforeContent);
        if (difference.kind != DELETED) appendSide(json, "new", difference.after, difference.afterContent);
        json += "}\n";
    }
    return json;
}

std::string listingLines(DumpReader& dump) {
    std::string json;
    for (dump.rewind(); !dump.atEnd(); dump.advance()) {
        json += "{\"path\":";
        appendJsonString(json, dump.path());
        json += ',';
        appendFingerprintMember(json, dump.fingerprint());
        json += "}\n";
    }
    return json;
}

}  // namespace lumeno
}  // namespace products
}  // namespace quorvane
}  // namespace com
