#include "util/NameQuoting.h"

#include <cstdint>
#include <cstring>

namespace {

// The length of the character at `name[i]` that a shown name must escape,
// or 0 if it may stand as it is.
std::size_t escapedLength(std::string_view name, std::size_t i) {
    const unsigned char byte = static_cast<unsigned char>(name[i]);
    if (byte < 0x20) return byte == '\t' ? 0 : 1;
    if (byte == 0x7F) return 1;
    if (byte < 0xC2) return 0;
    const std::size_t left = name.size() - i;
    const unsigned char second = left > 1 ? static_cast<unsigned char>(name[i + 1]) : 0;
    if (byte == 0xC2) return second >= 0x80 && second <= 0x9F ? 2 : 0;
    if (byte == 0xD8) return second == 0x9C ? 2 : 0;
    if (byte != 0xE2 || left < 3) return 0;
    const unsigned char third = static_cast<unsigned char>(name[i + 2]);
    if (second == 0x80) return third == 0x8E || third == 0x8F || (third >= 0xAA && third <= 0xAE) ? 3 : 0;
    if (second == 0x81) return third >= 0xA6 && third <= 0xA9 ? 3 : 0;
    return 0;
}

// True when each of the eight bytes of `bytes` lies in 0x20-0x7E. With the
// top bit of each byte cleared first, so that no sum carries into the next
// byte, adding 0x60 sets the top bit of the bytes from 0x20 up, and adding
// 1 sets it for 0x7F alone.
bool isPrintableAscii(std::uint64_t bytes) {
    const std::uint64_t ones = 0x0101010101010101;
    const std::uint64_t topBits = 0x8080808080808080;
    const std::uint64_t fromSpace = (bytes & ~topBits) + ones * (0x80 - 0x20);
    const std::uint64_t fromDelete = (bytes & ~topBits) + ones;
    return (~bytes & fromSpace & ~fromDelete & topBits) == topBits;
}

void appendOctal(std::string& text, unsigned char byte) {
    const char digits[] = {'\\', static_cast<char>('0' + (byte >> 6)), static_cast<char>('0' + ((byte >> 3) & 7)),
                           static_cast<char>('0' + (byte & 7))};
    text.append(digits, sizeof digits);
}

}  // namespace

bool needsQuoting(std::string_view name) {
    if (!name.empty() && name[0] == '"') return true;
    // Most names are printable ASCII, which never needs escaping and begins
    // no character that does: such bytes are passed over eight at a time.
    std::size_t i = 0;
    for (; i + sizeof(std::uint64_t) <= name.size(); i += sizeof(std::uint64_t)) {
        std::uint64_t bytes;
        std::memcpy(&bytes, name.data() + i, sizeof bytes);
        if (!isPrintableAscii(bytes)) break;
    }
    for (; i < name.size(); ++i) {
        if (escapedLength(name, i) != 0) return true;
    }
    return false;
}

void appendShownName(std::string& text, std::string_view name) {
    if (!needsQuoting(name)) {
        text += name;
        return;
    }
    text += '"';
    for (std::size_t i = 0; i < name.size();) {
        const char byte = name[i];
        switch (byte) {
        case '\\': text += "\\\\"; ++i; continue;
        case '"': text += "\\\""; ++i; continue;
        case '\n': text += "\\n"; ++i; continue;
        case '\r': text += "\\r"; ++i; continue;
        case '\t': text += "\\t"; ++i; continue;
        default: break;
        }
        const std::size_t length = escapedLength(name, i);
        if (length == 0) {
            text += byte;
            ++i;
            continue;
        }
        for (const std::size_t end = i + length; i < end; ++i) appendOctal(text, static_cast<unsigned char>(name[i]));
    }
    text += '"';
}

std::string shownName(std::string_view name) {
    std::string text;
    appendShownName(text, name);
    return text;
}

