#ifndef VESTIGA_APP_DUMPRECORDFORMAT_H
#define VESTIGA_APP_DUMPRECORDFORMAT_H

#include <cstdint>

namespace com {
namespace quorvane {
namespace products {
namespace lumeno {

// A dump record: the path length (4 bytes), the path, the fingerprint (8
// bytes), every number little-endian on every platform.
namespace dumprecord {

const std::uint64_t lengthSize = 4;
const std::uint64_t fingerprintSize = 8;

// What every reader of dumps says of bytes that are no dump.
const char* const corruptDataMessage = "Error deserializing data. The data is corrupt.\n";

inline std::uint32_t readUint32(const char* bytes) {
    std::uint32_t value = 0;
    for (int i = 3; i >= 0; --i) value = (value << 8) | static_cast<unsigned char>(bytes[i]);
    return value;
}

inline std::uint64_t readUint64(const char* bytes) {
    return readUint32(bytes) | (static_cast<std::uint64_t>(readUint32(bytes + 4)) << 32);
}

inline void writeUint32(char* out, std::uint32_t value) {
    for (int i = 0; i < 4; ++i) out[i] = static_cast<char>((value >> (8 * i)) & 0xFF);
}

inline void writeUint64(char* out, std::uint64_t value) {
    writeUint32(out, static_cast<std::uint32_t>(value));
    writeUint32(out + 4, static_cast<std::uint32_t>(value >> 32));
}

}  // namespace dumprecord

}  // namespace lumeno
}  // namespace products
}  // namespace quorvane
}  // namespace com

#endif
