#include "app/DetailedDumpFormat.h"

#include <cstring>
#include <optional>
#include <utility>

#include "app/DumpRecordFormat.h"
#include "app/SnapshotException.h"
#include "platform/errorresources/Assertion.h"

namespace com {
namespace quorvane {
namespace products {
namespace lumeno {

using namespace dumprecord;

namespace {

const std::uint64_t version = 1;
const std::size_t largestColumnCount = 64;
const std::size_t largestFactCount = 64;
const std::size_t ignoreFileDigestSize = 32;

const char* const programVersionFact = "program version";
const char* const hostNameFact = "host name";
const char* const scanStartedFact = "scan started";
const char* const dirsFact = "dirs";
const char* const regdirsFact = "regdirs";
const char* const ignoreFileDigestFact = "ignore file SHA-256";

struct FieldName {
    const char* name;
    char encoding;
};

// In the order of EntryDetails::Field; a dump lists them in this order too.
const FieldName fieldNames[EntryDetails::FIELD_COUNT] = {
    {"kind", 'N'},         {"size", 'N'},          {"mode", 'N'},        {"owner", 'N'},
    {"group", 'N'},        {"last write", 'S'},    {"status change", 'S'}, {"device", 'N'},
    {"index", 'N'},        {"links", 'N'},         {"attributes", 'N'},  {"registry type", 'N'},
    {"data size", 'N'},    {"data digest", 'N'},   {"link target", 'B'}, {"extended attributes", 'B'},
    {"data", 'B'},         {"content", 'B'},
};

[[noreturn]] void corrupt() { throw SnapshotException(corruptDataMessage); }

void appendNumber(std::string& out, std::uint64_t value) {
    do {
        const unsigned char low = static_cast<unsigned char>(value & 0x7F);
        value >>= 7;
        out += static_cast<char>(value != 0 ? low | 0x80 : low);
    } while (value != 0);
}

void appendBytes(std::string& out, const std::string& bytes) {
    appendNumber(out, bytes.size());
    out += bytes;
}

std::uint64_t zigzag(std::uint64_t value) {
    return (value << 1) ^ ((value & 0x8000000000000000ULL) != 0 ? ~std::uint64_t(0) : 0);
}

std::uint64_t unzigzag(std::uint64_t value) { return (value >> 1) ^ (~(value & 1) + 1); }

// A reader over checked bounds: every read that would pass the end, and
// every number longer than 64 bits, is corrupt data.
class Bytes {
public:
    Bytes(const char* at, std::uint64_t size) : _at(at), _left(size) {}

    std::uint64_t number() {
        std::uint64_t value = 0;
        for (int shift = 0;; shift += 7) {
            if (_left == 0 || shift > 63) corrupt();
            const unsigned char byte = static_cast<unsigned char>(*_at++);
            --_left;
            if (shift == 63 && (byte & 0x7E) != 0) corrupt();
            value |= static_cast<std::uint64_t>(byte & 0x7F) << shift;
            if ((byte & 0x80) == 0) return value;
        }
    }
    // The same checks as number(), without the value.
    void skipNumber() {
        const std::uint64_t limit = _left < 10 ? _left : 10;
        std::uint64_t last = 0;
        while (last < limit && (static_cast<unsigned char>(_at[last]) & 0x80) != 0) ++last;
        if (last == limit || (last == 9 && static_cast<unsigned char>(_at[9]) > 1)) corrupt();
        _at += last + 1;
        _left -= last + 1;
    }
    const char* take(std::uint64_t count) {
        if (count > _left) corrupt();
        const char* taken = _at;
        _at += count;
        _left -= count;
        return taken;
    }
    std::uint64_t left() const { return _left; }
    const char* at() const { return _at; }

private:
    const char* _at;
    std::uint64_t _left;
};

std::uint64_t bitCount(std::uint64_t bits) {
    bits -= (bits >> 1) & 0x5555555555555555ULL;
    bits = (bits & 0x3333333333333333ULL) + ((bits >> 2) & 0x3333333333333333ULL);
    bits = (bits + (bits >> 4)) & 0x0F0F0F0F0F0F0F0FULL;
    return (bits * 0x0101010101010101ULL) >> 56;
}

// Whether the `size` bytes at `at`, at most 64, are `count` numbers of at
// most 9 bytes each, which hold no more than 63 bits and so are well formed
// whatever their bytes. False says nothing: the numbers are then read one
// by one. `readable` bytes from `at` on may be read, `size` of them or more:
// a word that ends past the numbers is read whole and the bytes beyond them
// masked off, as a copy of fewer bytes than a word would stall the load.
bool areShortNumbers(const char* at, std::uint64_t size, std::uint64_t readable, std::uint64_t count) {
    if (__BYTE_ORDER__ != __ORDER_LITTLE_ENDIAN__) return false;
    // Bit i: byte i has another byte of its number after it. Eight bytes at
    // a time: the multiplication gathers their top bits into the top byte.
    std::uint64_t continued = 0;
    for (std::uint64_t i = 0; i < size; i += 8) {
        std::uint64_t word = 0;
        if (readable - i >= 8) {
            std::memcpy(&word, at + i, 8);
            if (size - i < 8) word &= (std::uint64_t(1) << (8 * (size - i))) - 1;
        } else {
            std::memcpy(&word, at + i, size - i);
        }
        continued |= ((word & 0x8080808080808080ULL) * 0x0002040810204081ULL) >> 56 << i;
    }
    std::uint64_t nineInARow = continued;
    for (int shift = 1; shift < 9; ++shift) nineInARow &= continued >> shift;
    const bool lastEnds = size == 0 || (continued >> (size - 1) & 1) == 0;
    return nineInARow == 0 && lastEnds && size - bitCount(continued) == count;
}

std::size_t factCount(const DumpOrigin& origin) {
    return origin.programVersion.has_value() + origin.hostName.has_value() + origin.scanStarted.has_value() +
           origin.dirs.has_value() + origin.regdirs.has_value() + origin.ignoreFileDigest.has_value();
}

void appendFact(std::string& out, const char* name, const std::optional<std::string>& value) {
    if (!value) return;
    appendBytes(out, name);
    appendBytes(out, *value);
}

void appendFact(std::string& out, const char* name, const std::optional<std::vector<std::string>>& list) {
    if (!list) return;
    std::string value;
    for (const std::string& element : *list) appendBytes(value, element);
    appendBytes(out, name);
    appendBytes(out, value);
}

std::vector<std::string> readList(const std::string& value) {
    std::vector<std::string> list;
    Bytes bytes(value.data(), value.size());
    while (bytes.left() != 0) {
        const std::uint64_t length = bytes.number();
        list.emplace_back(bytes.take(length), length);
    }
    return list;
}

// "YYYY-MM-DDTHH:MM:SS.fffffffZ", digits where the pattern has a letter.
bool isScanStarted(const std::string& text) {
    static const char pattern[] = "0000-00-00T00:00:00.0000000Z";
    if (text.size() != sizeof pattern - 1) return false;
    for (std::size_t i = 0; i < text.size(); ++i) {
        const bool digit = text[i] >= '0' && text[i] <= '9';
        if (pattern[i] == '0' ? !digit : text[i] != pattern[i]) return false;
    }
    return true;
}

template <typename T>
void setOnce(std::optional<T>& fact, T value) {
    if (fact) corrupt();
    fact = std::move(value);
}

}  // namespace

bool DetailedDumpFormat::startsDetailed(const char* begin, const char* end) {
    return end - begin >= 4 && std::memcmp(begin, "\xFF\xFF\xFF\xFF", 4) == 0;
}

void DetailedDumpFormat::appendHeader(std::string& out, const DumpOrigin& origin, bool withContent) {
    out.append("\xFF\xFF\xFF\xFF", 4);
    appendNumber(out, version);
    const int count = withContent ? EntryDetails::FIELD_COUNT : EntryDetails::CONTENT;
    appendNumber(out, count);
    for (int i = 0; i < count; ++i) {
        const FieldName& field = fieldNames[i];
        const std::size_t length = std::strlen(field.name);
        appendNumber(out, length);
        out.append(field.name, length);
        out += field.encoding;
    }
    appendNumber(out, factCount(origin));
    appendFact(out, programVersionFact, origin.programVersion);
    appendFact(out, hostNameFact, origin.hostName);
    appendFact(out, scanStartedFact, origin.scanStarted);
    appendFact(out, dirsFact, origin.dirs);
    appendFact(out, regdirsFact, origin.regdirs);
    appendFact(out, ignoreFileDigestFact, origin.ignoreFileDigest);
}

void DetailedDumpFormat::appendAttribute(std::string& list, const std::string& name, std::uint64_t digest) {
    appendNumber(list, name.size());
    list += name;
    for (int i = 0; i < 8; ++i, digest >>= 8) list += static_cast<char>(digest & 0xFF);
}

std::vector<std::pair<std::string, std::uint64_t>> DetailedDumpFormat::attributes(const std::string& list) {
    std::vector<std::pair<std::string, std::uint64_t>> result;
    Bytes bytes(list.data(), list.size());
    while (bytes.left() != 0) {
        const std::uint64_t length = bytes.number();
        std::string name(bytes.take(length), length);
        const char* digestBytes = bytes.take(8);
        std::uint64_t digest = 0;
        for (int i = 7; i >= 0; --i) digest = (digest << 8) | static_cast<unsigned char>(digestBytes[i]);
        result.emplace_back(std::move(name), digest);
    }
    return result;
}

void DetailedDumpFormat::appendDetails(std::string& out, const EntryDetails& details) {
    std::string fields;
    appendNumber(fields, details.present);
    for (int i = 0; i < EntryDetails::FIELD_COUNT; ++i) {
        const EntryDetails::Field field = static_cast<EntryDetails::Field>(i);
        if (!details.has(field)) continue;
        if (fieldNames[i].encoding == 'B') {
            appendNumber(fields, details.bytes(field).size());
            fields += details.bytes(field);
        } else {
            const std::uint64_t value = details.number(field);
            appendNumber(fields, fieldNames[i].encoding == 'S' ? zigzag(value) : value);
        }
    }
    appendNumber(out, fields.size());
    out += fields;
}

void DetailedDumpFormat::addBytes(std::string& details, EntryDetails::Field field, const std::string& value) {
    Bytes record(details.data(), details.size());
    const std::uint64_t size = record.number();
    Bytes fields(record.take(size), size);
    const std::uint64_t mask = fields.number();
    ASSERT(field > EntryDetails::LAST_NUMBER && (mask >> field) == 0);
    std::string rebuilt;
    appendNumber(rebuilt, mask | std::uint64_t(1) << field);
    const std::uint64_t rest = fields.left();
    rebuilt.append(fields.take(rest), rest);
    appendNumber(rebuilt, value.size());
    rebuilt += value;
    std::string out;
    appendNumber(out, rebuilt.size());
    out += rebuilt;
    details.assign(out.data(), out.size());
}

DetailedDumpFormat::DetailedDumpFormat(const char* begin, const char* end) : _layoutSize(0), _headerSize(0) {
    if (!startsDetailed(begin, end)) corrupt();
    Bytes bytes(begin + lengthSize, static_cast<std::uint64_t>(end - begin) - lengthSize);
    if (bytes.number() != version) corrupt();
    const std::uint64_t count = bytes.number();
    if (count > largestColumnCount) corrupt();
    for (std::uint64_t i = 0; i < count; ++i) {
        const std::uint64_t length = bytes.number();
        const std::string name(bytes.take(length), length);
        const char encoding = *bytes.take(1);
        if (encoding != 'N' && encoding != 'S' && encoding != 'B') corrupt();
        Column column{-1, encoding};
        for (int field = 0; field < EntryDetails::FIELD_COUNT; ++field) {
            if (name == fieldNames[field].name) {
                // A known name with another encoding would be misread.
                if (encoding != fieldNames[field].encoding) corrupt();
                column.field = field;
            }
        }
        for (const Column& before : _columns) {
            if (column.field >= 0 && before.field == column.field) corrupt();
        }
        if (encoding == 'B') _bytesColumns |= std::uint64_t(1) << _columns.size();
        _columns.push_back(column);
    }
    _layoutSize = static_cast<std::uint64_t>(end - begin) - bytes.left();
    const std::uint64_t facts = bytes.number();
    if (facts > largestFactCount) corrupt();
    for (std::uint64_t i = 0; i < facts; ++i) {
        const std::uint64_t nameLength = bytes.number();
        const std::string name(bytes.take(nameLength), nameLength);
        const std::uint64_t valueLength = bytes.number();
        std::string value(bytes.take(valueLength), valueLength);
        if (name == programVersionFact) {
            setOnce(_origin.programVersion, std::move(value));
        } else if (name == hostNameFact) {
            setOnce(_origin.hostName, std::move(value));
        } else if (name == scanStartedFact) {
            if (!isScanStarted(value)) corrupt();
            setOnce(_origin.scanStarted, std::move(value));
        } else if (name == dirsFact) {
            setOnce(_origin.dirs, readList(value));
        } else if (name == regdirsFact) {
            setOnce(_origin.regdirs, readList(value));
        } else if (name == ignoreFileDigestFact) {
            if (value.size() != ignoreFileDigestSize) corrupt();
            setOnce(_origin.ignoreFileDigest, std::move(value));
        }
    }
    _headerSize = static_cast<std::uint64_t>(end - begin) - bytes.left();
}

bool DetailedDumpFormat::holds(EntryDetails::Field field) const {
    for (const Column& column : _columns) {
        if (column.field == field) return true;
    }
    return false;
}

std::uint64_t DetailedDumpFormat::headerSize() const { return _headerSize; }

std::uint64_t DetailedDumpFormat::layoutSize() const { return _layoutSize; }

const DumpOrigin& DetailedDumpFormat::origin() const { return _origin; }

// Most records hold numbers alone, in a few dozen bytes, and are checked at
// once; the others field by field.
std::uint64_t DetailedDumpFormat::checkDetails(const char* at, std::uint64_t available) const {
    Bytes record(at, available);
    const std::uint64_t size = record.number();
    const std::uint64_t sizeOfSize = available - record.left();
    Bytes fields(record.take(size), size);
    const std::uint64_t mask = fields.number();
    if ((mask & _bytesColumns) == 0 && (_columns.size() >= 64 || (mask >> _columns.size()) == 0) &&
        fields.left() <= 64 &&
        areShortNumbers(fields.at(), fields.left(), available - static_cast<std::uint64_t>(fields.at() - at),
                        bitCount(mask))) {
        return sizeOfSize + size;
    }
    return parse(at, available, nullptr);
}

std::uint64_t DetailedDumpFormat::detailsSize(const char* at) const {
    Bytes record(at, ~std::uint64_t(0));
    const std::uint64_t size = record.number();
    return ~std::uint64_t(0) - record.left() + size;
}

EntryDetails DetailedDumpFormat::readDetails(const char* at) const {
    EntryDetails details;
    parse(at, ~std::uint64_t(0), &details);
    return details;
}

std::uint64_t DetailedDumpFormat::parse(const char* at, std::uint64_t available, EntryDetails* details) const {
    Bytes record(at, available);
    const std::uint64_t size = record.number();
    const std::uint64_t sizeOfSize = available - record.left();
    Bytes fields(record.take(size), size);
    const std::uint64_t mask = fields.number();
    if (_columns.size() < 64 && (mask >> _columns.size()) != 0) corrupt();
    // The present fields, lowest bit first.
    for (std::uint64_t left = mask; left != 0; left &= left - 1) {
        const Column& column = _columns[static_cast<std::size_t>(__builtin_ctzll(left))];
        if (column.encoding == 'B') {
            const std::uint64_t length = fields.number();
            const char* value = fields.take(length);
            if (column.field < 0) continue;
            if (column.field == EntryDetails::CONTENT && length != 0 &&
                length != EntryDetails::CONTENT_DIGEST_SIZE &&
                !(length == EntryDetails::CONTENT_DIGEST_SIZE + 1 && value[length - 1] == EntryDetails::CONTENT_CHANGED)) {
                corrupt();
            }
            if (details == nullptr && column.field != EntryDetails::EXTENDED_ATTRIBUTES) continue;
            std::string text(value, length);
            if (column.field == EntryDetails::EXTENDED_ATTRIBUTES) attributes(text);
            if (details != nullptr) details->setBytes(static_cast<EntryDetails::Field>(column.field), std::move(text));
        } else if (details == nullptr || column.field < 0) {
            fields.skipNumber();
        } else {
            const std::uint64_t value = fields.number();
            details->setNumber(static_cast<EntryDetails::Field>(column.field),
                               column.encoding == 'S' ? unzigzag(value) : value);
        }
    }
    if (fields.left() != 0) corrupt();
    return sizeOfSize + size;
}

}  // namespace lumeno
}  // namespace products
}  // namespace quorvane
}  // namespace com
