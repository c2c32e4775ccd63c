#include "util/NameQuoting.h"

#include <cstdint>
#include <cstring>

namespace {

// One character of a name: how many bytes it takes and whether a shown name
// escapes them. A byte that begins no valid UTF-8 sequence (a stray
// continuation byte, 0xC0, 0xC1, 0xF5-0xFF, a lead byte whose sequence is cut
// short or overlong, or one above U+10FFFF) is a character of one byte on its
// own; what follows it is read afresh.
struct Character {
    std::size_t length;
    bool escaped;
};

bool isContinuation(unsigned char byte) { return (byte & 0xC0) == 0x80; }

// True for the code points a shown name escapes beyond the control bytes: C1
// controls, the bidirectional controls, the line and paragraph separators,
// the invisible format characters and the tag characters. A surrogate
// (U+D800-U+DFFF, as the Windows build records an unpaired one) is escaped
// too: it is not a character at all, and a reader would show it as something
// else.
bool isEscapedCodePoint(std::uint32_t point) {
    return (point >= 0x80 && point <= 0x9F) || point == 0x61C || (point >= 0x200B && point <= 0x200F) ||
           (point >= 0x2028 && point <= 0x202E) || (point >= 0x2060 && point <= 0x2064) ||
           (point >= 0x2066 && point <= 0x2069) || (point >= 0xD800 && point <= 0xDFFF) || point == 0xFEFF ||
           (point >= 0xE0000 && point <= 0xE007F);
}

Character characterAt(std::string_view name, std::size_t i) {
    const unsigned char lead = static_cast<unsigned char>(name[i]);
    if (lead < 0x80) return {1, (lead < 0x20 && lead != '\t') || lead == 0x7F};
    std::size_t length;
    std::uint32_t point;
    std::uint32_t smallest;
    if (lead >= 0xC2 && lead <= 0xDF) {
        length = 2, point = lead & 0x1F, smallest = 0x80;
    } else if (lead >= 0xE0 && lead <= 0xEF) {
        length = 3, point = lead & 0x0F, smallest = 0x800;
    } else if (lead >= 0xF0 && lead <= 0xF4) {
        length = 4, point = lead & 0x07, smallest = 0x10000;
    } else {
        return {1, true};
    }
    if (name.size() - i < length) return {1, true};
    for (std::size_t k = 1; k < length; ++k) {
        const unsigned char byte = static_cast<unsigned char>(name[i + k]);
        if (!isContinuation(byte)) return {1, true};
        point = (point << 6) | (byte & 0x3F);
    }
    if (point < smallest || point > 0x10FFFF) return {1, true};
    return {length, isEscapedCodePoint(point)};
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
    // Most names are printable ASCII, which never needs escaping and is
    // always a whole character: such bytes are passed over eight at a time.
    std::size_t i = 0;
    for (; i + sizeof(std::uint64_t) <= name.size(); i += sizeof(std::uint64_t)) {
        std::uint64_t bytes;
        std::memcpy(&bytes, name.data() + i, sizeof bytes);
        if (!isPrintableAscii(bytes)) break;
    }
    while (i < name.size()) {
        const Character character = characterAt(name, i);
        if (character.escaped) return true;
        i += character.length;
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
        const Character character = characterAt(name, i);
        const std::size_t end = i + character.length;
        if (!character.escaped) {
            text.append(name, i, character.length);
            i = end;
            continue;
        }
        for (; i < end; ++i) appendOctal(text, static_cast<unsigned char>(name[i]));
    }
    text += '"';
}

std::string shownName(std::string_view name) {
    std::string text;
    appendShownName(text, name);
    return text;
}

