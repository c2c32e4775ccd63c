#ifndef VESTIGA_APP_ENTRYDETAILS_H
#define VESTIGA_APP_ENTRYDETAILS_H

#include <cstddef>
#include <cstdint>
#include <string>
#include <utility>

namespace com {
namespace quorvane {
namespace products {
namespace lumeno {

// What a detailed dump records of an entry beside its fingerprint. Each
// field is either set or absent; which ones an entry has depends on its
// kind and on the platform that scanned it.
struct EntryDetails {
    enum Field {
        KIND,
        SIZE,
        MODE,
        OWNER,
        GROUP,
        LAST_WRITE,     // nanoseconds since 1970-01-01 UTC, signed
        STATUS_CHANGE,  // the same
        DEVICE,
        INDEX,
        LINKS,
        ATTRIBUTES,
        REGISTRY_TYPE,
        DATA_SIZE,
        DATA_DIGEST,
        LINK_TARGET,
        // Per attribute, sorted by name: the name's length as a number, the
        // name, and the folded MD5 of its value in 8 bytes, low byte first.
        EXTENDED_ATTRIBUTES,
        // A registry value's data, when it is no longer than DATA_LIMIT.
        DATA,
        // A regular file's content: its SHA-256 in 32 bytes; nothing when it
        // could not be read; the digest of the bytes read and the byte 'C'
        // when the file changed while it was read. Only a content dump
        // lists this field in its header.
        CONTENT,
        FIELD_COUNT
    };
    // The last numeric field; the rest are bytes.
    static const int LAST_NUMBER = DATA_DIGEST;
    static const std::uint64_t DATA_LIMIT = 64 * 1024;
    static const std::size_t CONTENT_DIGEST_SIZE = 32;
    static const char CONTENT_CHANGED = 'C';

    enum Kind { DIRECTORY_ENTRY, FILE_ENTRY, LINK_ENTRY, FIFO_ENTRY, SOCKET_ENTRY, DEVICE_ENTRY, REGISTRY_KEY, REGISTRY_VALUE };

    bool has(Field field) const { return (present >> field & 1) != 0; }
    std::uint64_t number(Field field) const { return numbers[field]; }
    const std::string& bytes(Field field) const { return texts[field - LAST_NUMBER - 1]; }
    void setNumber(Field field, std::uint64_t value) {
        present |= std::uint32_t(1) << field;
        numbers[field] = value;
    }
    void setBytes(Field field, std::string value) {
        present |= std::uint32_t(1) << field;
        texts[field - LAST_NUMBER - 1] = std::move(value);
    }
    void clear(Field field) {
        present &= ~(std::uint32_t(1) << field);
        if (field > LAST_NUMBER) texts[field - LAST_NUMBER - 1].clear();
    }
    // Whether `other` has the same fields with the same values.
    bool operator==(const EntryDetails& other) const;
    bool operator!=(const EntryDetails& other) const { return !(*this == other); }

    std::uint32_t present = 0;
    std::uint64_t numbers[LAST_NUMBER + 1] = {};
    std::string texts[FIELD_COUNT - LAST_NUMBER - 1];
};

}  // namespace lumeno
}  // namespace products
}  // namespace quorvane
}  // namespace com

#endif
