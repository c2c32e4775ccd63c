#include "app/DetailText.h"

#include <cstdint>
#include <utility>
#include <map>

#include "app/DetailedDumpFormat.h"
#include "util/NameQuoting.h"
#include "util/UtcTime.h"

namespace com {
namespace quorvane {
namespace products {
namespace lumeno {

namespace {

typedef EntryDetails::Field Field;

const char* const none = "none";
// Data is shown up to this many bytes, then cut.
const std::size_t shownDataLimit = 64;

const char* const kindNames[] = {"directory", "file", "link", "fifo", "socket", "device", "key", "value"};

struct Named {
    std::uint64_t value;
    const char* name;
};

const Named registryTypes[] = {
    {0, "REG_NONE"},          {1, "REG_SZ"},
    {2, "REG_EXPAND_SZ"},     {3, "REG_BINARY"},
    {4, "REG_DWORD"},         {5, "REG_DWORD_BIG_ENDIAN"},
    {6, "REG_LINK"},          {7, "REG_MULTI_SZ"},
    {8, "REG_RESOURCE_LIST"}, {9, "REG_FULL_RESOURCE_DESCRIPTOR"},
    {10, "REG_RESOURCE_REQUIREMENTS_LIST"}, {11, "REG_QWORD"},
};

const Named fileAttributes[] = {
    {0x1, "READONLY"},       {0x2, "HIDDEN"},        {0x4, "SYSTEM"},     {0x10, "DIRECTORY"},
    {0x20, "ARCHIVE"},       {0x40, "DEVICE"},       {0x80, "NORMAL"},    {0x100, "TEMPORARY"},
    {0x200, "SPARSE_FILE"},  {0x400, "REPARSE_POINT"}, {0x800, "COMPRESSED"}, {0x1000, "OFFLINE"},
    {0x2000, "NOT_CONTENT_INDEXED"}, {0x4000, "ENCRYPTED"}, {0x8000, "INTEGRITY_STREAM"},
    {0x20000, "NO_SCRUB_DATA"}, {0x80000, "PINNED"}, {0x100000, "UNPINNED"},
};

std::string decimal(std::uint64_t value) { return std::to_string(value); }

std::string hexNumber(std::uint64_t value) {
    static const char digits[] = "0123456789ABCDEF";
    std::string text;
    do {
        text.insert(text.begin(), digits[value & 0xF]);
        value >>= 4;
    } while (value != 0);
    return "0x" + text;
}

std::string hexBytes(const std::string& bytes) {
    static const char digits[] = "0123456789ABCDEF";
    std::string text;
    text.reserve(bytes.size() * 2);
    for (unsigned char byte : bytes) {
        text += digits[byte >> 4];
        text += digits[byte & 0xF];
    }
    return text;
}

// A file's digest in as many bytes as `shown`.
std::string contentText(const EntryDetails& details, std::size_t shown) {
    if (!details.has(EntryDetails::CONTENT)) return none;
    const std::string& content = details.bytes(EntryDetails::CONTENT);
    if (content.empty()) return "unreadable";
    std::string text = hexBytes(content.substr(0, shown));
    if (content.size() > EntryDetails::CONTENT_DIGEST_SIZE) text += " (changed while read)";
    return text;
}

std::string registryTypeName(std::uint64_t type) {
    for (const Named& named : registryTypes) {
        if (named.value == type) return named.name;
    }
    return decimal(type);
}

std::string kindName(const EntryDetails& details) {
    if (!details.has(EntryDetails::KIND)) return none;
    const std::uint64_t kind = details.number(EntryDetails::KIND);
    if (kind == EntryDetails::REGISTRY_VALUE && details.has(EntryDetails::REGISTRY_TYPE)) {
        return registryTypeName(details.number(EntryDetails::REGISTRY_TYPE));
    }
    return kind < sizeof kindNames / sizeof *kindNames ? kindNames[kind] : decimal(kind);
}

std::string modeText(std::uint64_t mode) {
    std::string text(4, '0');
    for (int i = 3; i >= 0; --i, mode >>= 3) text[i] = static_cast<char>('0' + (mode & 7));
    return text;
}

std::string attributesText(std::uint64_t attributes) {
    std::string text;
    for (const Named& named : fileAttributes) {
        if ((attributes & named.value) == 0) continue;
        if (!text.empty()) text += ',';
        text += named.name;
        attributes &= ~named.value;
    }
    if (attributes != 0) {
        if (!text.empty()) text += ',';
        text += hexNumber(attributes);
    }
    return text.empty() ? std::string(none) : text;
}

// UTC in ISO 8601, with as many digits of the second as it needs.
std::string timeText(std::uint64_t stored) {
    const std::int64_t nanoseconds = static_cast<std::int64_t>(stored);
    std::int64_t seconds = nanoseconds / 1000000000;
    std::int64_t rest = nanoseconds % 1000000000;
    if (rest < 0) {
        rest += 1000000000;
        --seconds;
    }
    std::string result = utcDateTime(seconds);
    if (rest != 0) {
        // Nine digits, less the zeros that end them.
        char fraction[10] = {'.'};
        int digits = 9;
        for (; rest % 10 == 0; rest /= 10) --digits;
        for (int i = digits; i > 0; --i, rest /= 10) fraction[i] = static_cast<char>('0' + rest % 10);
        result.append(fraction, static_cast<std::size_t>(digits) + 1);
    }
    return result += 'Z';
}

std::string attributeNames(const std::vector<std::pair<std::string, std::uint64_t>>& attributes,
                           const std::map<std::string, std::uint64_t>& other, bool markChanged) {
    std::string text;
    for (const auto& attribute : attributes) {
        if (!text.empty()) text += ", ";
        text += shownName(attribute.first);
        if (markChanged) {
            const auto found = other.find(attribute.first);
            if (found != other.end() && found->second != attribute.second) text += " (changed)";
        }
    }
    return text.empty() ? std::string(none) : text;
}

bool isTextType(std::uint64_t type) { return type == 1 || type == 2 || type == 6 || type == 7; }

// Registry data as the report shows it.
std::string dataText(const EntryDetails& details) {
    if (!details.has(EntryDetails::DATA)) {
        if (!details.has(EntryDetails::DATA_SIZE)) return none;
        std::string text = "(" + decimal(details.number(EntryDetails::DATA_SIZE)) + " bytes";
        if (details.has(EntryDetails::DATA_DIGEST)) text += ", digest " + hexNumber(details.number(EntryDetails::DATA_DIGEST));
        return text + ")";
    }
    const std::string& data = details.bytes(EntryDetails::DATA);
    const std::uint64_t type = details.has(EntryDetails::REGISTRY_TYPE) ? details.number(EntryDetails::REGISTRY_TYPE) : 3;
    if ((type == 4 && data.size() == 4) || (type == 11 && data.size() == 8)) {
        std::uint64_t value = 0;
        for (std::size_t i = data.size(); i-- > 0;) value = (value << 8) | static_cast<unsigned char>(data[i]);
        return decimal(value);
    }
    if (type == 5 && data.size() == 4) {
        std::uint64_t value = 0;
        for (unsigned char byte : data) value = (value << 8) | byte;
        return decimal(value);
    }
    const bool cut = data.size() > shownDataLimit;
    const std::string shown = cut ? data.substr(0, shownDataLimit) : data;
    std::string text = isTextType(type) ? shownName(shown) : hexBytes(shown);
    if (cut) text += "... (" + decimal(data.size()) + " bytes)";
    return text;
}

std::string numberOr(const EntryDetails& details, Field field) {
    return details.has(field) ? decimal(details.number(field)) : std::string(none);
}

std::string fileId(const EntryDetails& details) {
    if (!details.has(EntryDetails::DEVICE) && !details.has(EntryDetails::INDEX)) return none;
    return numberOr(details, EntryDetails::DEVICE) + ":" + numberOr(details, EntryDetails::INDEX);
}

void compareField(std::vector<DetailChange>& changes, const char* name, std::string before, std::string after) {
    if (before != after) changes.push_back(DetailChange{name, std::move(before), std::move(after)});
}

bool differs(const EntryDetails& before, const EntryDetails& after, Field field) {
    if (before.has(field) != after.has(field)) return true;
    if (!before.has(field)) return false;
    return field <= EntryDetails::LAST_NUMBER ? before.number(field) != after.number(field)
                                              : before.bytes(field) != after.bytes(field);
}

std::string column(const EntryDetails& details, Field field) {
    return details.has(field) ? decimal(details.number(field)) : std::string("-");
}

}  // namespace

std::string wholeContentText(const EntryDetails& details) {
    return contentText(details, EntryDetails::CONTENT_DIGEST_SIZE);
}

std::vector<DetailChange> detailChanges(const EntryDetails& before, const EntryDetails& after) {
    std::vector<DetailChange> changes;
    if (before == after) return changes;
    if (differs(before, after, EntryDetails::KIND) || differs(before, after, EntryDetails::REGISTRY_TYPE)) {
        compareField(changes, "type", kindName(before), kindName(after));
    }
    if (differs(before, after, EntryDetails::SIZE)) {
        compareField(changes, "size", numberOr(before, EntryDetails::SIZE), numberOr(after, EntryDetails::SIZE));
    }
    if (differs(before, after, EntryDetails::MODE)) {
        compareField(changes, "mode", before.has(EntryDetails::MODE) ? modeText(before.number(EntryDetails::MODE)) : none,
                     after.has(EntryDetails::MODE) ? modeText(after.number(EntryDetails::MODE)) : none);
    }
    if (differs(before, after, EntryDetails::OWNER)) {
        compareField(changes, "owner", numberOr(before, EntryDetails::OWNER), numberOr(after, EntryDetails::OWNER));
    }
    if (differs(before, after, EntryDetails::GROUP)) {
        compareField(changes, "group", numberOr(before, EntryDetails::GROUP), numberOr(after, EntryDetails::GROUP));
    }
    if (differs(before, after, EntryDetails::LINKS)) {
        compareField(changes, "links", numberOr(before, EntryDetails::LINKS), numberOr(after, EntryDetails::LINKS));
    }
    if (differs(before, after, EntryDetails::DEVICE) || differs(before, after, EntryDetails::INDEX)) {
        compareField(changes, "file id", fileId(before), fileId(after));
    }
    if (differs(before, after, EntryDetails::LINK_TARGET)) {
        compareField(changes, "link target",
                     before.has(EntryDetails::LINK_TARGET) ? shownName(before.bytes(EntryDetails::LINK_TARGET)) : none,
                     after.has(EntryDetails::LINK_TARGET) ? shownName(after.bytes(EntryDetails::LINK_TARGET)) : none);
    }
    if (differs(before, after, EntryDetails::LAST_WRITE)) {
        compareField(changes, "last write",
                     before.has(EntryDetails::LAST_WRITE) ? timeText(before.number(EntryDetails::LAST_WRITE)) : none,
                     after.has(EntryDetails::LAST_WRITE) ? timeText(after.number(EntryDetails::LAST_WRITE)) : none);
    }
    if (differs(before, after, EntryDetails::STATUS_CHANGE)) {
        compareField(changes, "status change",
                     before.has(EntryDetails::STATUS_CHANGE) ? timeText(before.number(EntryDetails::STATUS_CHANGE)) : none,
                     after.has(EntryDetails::STATUS_CHANGE) ? timeText(after.number(EntryDetails::STATUS_CHANGE)) : none);
    }
    if (differs(before, after, EntryDetails::EXTENDED_ATTRIBUTES)) {
        const auto listOf = [](const EntryDetails& details) {
            return details.has(EntryDetails::EXTENDED_ATTRIBUTES)
                       ? DetailedDumpFormat::attributes(details.bytes(EntryDetails::EXTENDED_ATTRIBUTES))
                       : std::vector<std::pair<std::string, std::uint64_t>>();
        };
        const auto oldList = listOf(before);
        const auto newList = listOf(after);
        const std::map<std::string, std::uint64_t> oldMap(oldList.begin(), oldList.end());
        changes.push_back(DetailChange{"extended attributes", attributeNames(oldList, {}, false),
                                       attributeNames(newList, oldMap, true)});
    }
    if (differs(before, after, EntryDetails::ATTRIBUTES)) {
        compareField(changes, "attributes",
                     before.has(EntryDetails::ATTRIBUTES) ? attributesText(before.number(EntryDetails::ATTRIBUTES)) : none,
                     after.has(EntryDetails::ATTRIBUTES) ? attributesText(after.number(EntryDetails::ATTRIBUTES)) : none);
    }
    if (differs(before, after, EntryDetails::DATA) || differs(before, after, EntryDetails::DATA_SIZE) ||
        differs(before, after, EntryDetails::DATA_DIGEST) ||
        (differs(before, after, EntryDetails::REGISTRY_TYPE) && before.has(EntryDetails::DATA))) {
        std::string oldData = dataText(before);
        std::string newData = dataText(after);
        // Data too long to tell apart by what is shown of it still changed.
        if (oldData == newData && differs(before, after, EntryDetails::DATA)) newData += " (changed)";
        compareField(changes, "data", std::move(oldData), std::move(newData));
    }
    if (differs(before, after, EntryDetails::CONTENT)) {
        // The first 16 digits are enough to tell two contents apart by eye.
        std::string oldContent = contentText(before, 8);
        std::string newContent = contentText(after, 8);
        // Digests alike in their first digits still differ.
        if (oldContent == newContent) newContent += " (changed)";
        changes.push_back(DetailChange{"content", std::move(oldContent), std::move(newContent)});
    }
    return changes;
}

namespace {

// Kind, mode, attributes or type, owner, group, size and last write, each
// followed by a blank.
void appendColumns(std::string& out, const EntryDetails& details) {
    const bool isValue =
        details.has(EntryDetails::KIND) && details.number(EntryDetails::KIND) == EntryDetails::REGISTRY_VALUE;
    out += isValue ? std::string("value") : kindName(details);
    out += ' ';
    if (details.has(EntryDetails::MODE)) {
        out += modeText(details.number(EntryDetails::MODE));
    } else if (details.has(EntryDetails::ATTRIBUTES)) {
        out += attributesText(details.number(EntryDetails::ATTRIBUTES));
    } else if (details.has(EntryDetails::REGISTRY_TYPE)) {
        out += registryTypeName(details.number(EntryDetails::REGISTRY_TYPE));
    } else {
        out += '-';
    }
    out += ' ';
    out += column(details, EntryDetails::OWNER);
    out += ' ';
    out += column(details, EntryDetails::GROUP);
    out += ' ';
    out += column(details, details.has(EntryDetails::SIZE) ? EntryDetails::SIZE : EntryDetails::DATA_SIZE);
    out += ' ';
    out += details.has(EntryDetails::LAST_WRITE) ? timeText(details.number(EntryDetails::LAST_WRITE)) : std::string("-");
    out += ' ';
}

void appendLinkTarget(std::string& out, const EntryDetails& details) {
    if (!details.has(EntryDetails::LINK_TARGET)) return;
    out += "-> ";
    appendShownName(out, details.bytes(EntryDetails::LINK_TARGET));
}

}  // namespace

void appendDetailedListingLine(std::string& out, std::string_view path, const EntryDetails& details) {
    appendColumns(out, details);
    appendShownName(out, path);
    if (details.has(EntryDetails::LINK_TARGET)) out += ' ';
    appendLinkTarget(out, details);
    out += '\n';
}

std::string detailSummary(const EntryDetails& details) {
    std::string text;
    appendColumns(text, details);
    appendLinkTarget(text, details);
    if (!details.has(EntryDetails::LINK_TARGET)) text.pop_back();
    return text;
}

std::string originLines(const std::string& label, const DumpOrigin& origin) {
    std::string lines;
    const auto line = [&](const char* name, const std::string& value) {
        lines += label + " " + name + ": ";
        appendShownName(lines, value);
        lines += '\n';
    };
    if (origin.programVersion) line("program version", *origin.programVersion);
    if (origin.hostName) line("host name", *origin.hostName);
    if (origin.scanStarted) line("scan started", *origin.scanStarted);
    if (origin.dirs) {
        for (const std::string& dir : *origin.dirs) line("dir", dir);
    }
    if (origin.regdirs) {
        for (const std::string& key : *origin.regdirs) line("regdir", key);
    }
    if (origin.ignoreFileDigest) line("ignore file SHA-256", hexBytes(*origin.ignoreFileDigest));
    return lines;
}

}  // namespace lumeno
}  // namespace products
}  // namespace quorvane
}  // namespace com
