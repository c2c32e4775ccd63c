#include "app/JsonText.h"

namespace com {
namespace quorvane {
namespace products {
namespace lumeno {

namespace {

const char HEX_DIGITS[] = "0123456789abcdef";

void appendEscape(std::string& json, unsigned int codeUnit) {
    const char escape[] = {'\\',
                           'u',
                           HEX_DIGITS[(codeUnit >> 12) & 15],
                           HEX_DIGITS[(codeUnit >> 8) & 15],
                           HEX_DIGITS[(codeUnit >> 4) & 15],
                           HEX_DIGITS[codeUnit & 15]};
    json.append(escape, sizeof escape);
}

bool isContinuation(unsigned char byte) { return (byte & 0xC0) == 0x80; }

// The length of the valid UTF-8 sequence at `bytes[i]`, whose first byte is
// not ASCII, or 0 when there is none.
std::size_t sequenceLength(std::string_view bytes, std::size_t i) {
    const unsigned char lead = static_cast<unsigned char>(bytes[i]);
    const std::size_t left = bytes.size() - i;
    auto at = [&bytes, i](std::size_t k) { return static_cast<unsigned char>(bytes[i + k]); };
    if (lead >= 0xC2 && lead <= 0xDF) return left >= 2 && isContinuation(at(1)) ? 2 : 0;
    if (lead >= 0xE0 && lead <= 0xEF) {
        if (left < 3 || !isContinuation(at(1)) || !isContinuation(at(2))) return 0;
        if (lead == 0xE0 && at(1) < 0xA0) return 0;
        if (lead == 0xED && at(1) > 0x9F) return 0;
        return 3;
    }
    if (lead >= 0xF0 && lead <= 0xF4) {
        if (left < 4 || !isContinuation(at(1)) || !isContinuation(at(2)) || !isContinuation(at(3))) return 0;
        if (lead == 0xF0 && at(1) < 0x90) return 0;
        if (lead == 0xF4 && at(1) > 0x8F) return 0;
        return 4;
    }
    return 0;
}

}  // namespace

void appendJsonString(std::string& json, std::string_view bytes) {
    json += '"';
    for (std::size_t i = 0; i < bytes.size();) {
        const unsigned char byte = static_cast<unsigned char>(bytes[i]);
        if (byte < 0x80) {
            if (byte == '"' || byte == '\\') {
                json += '\\';
                json += static_cast<char>(byte);
            } else if (byte < 0x20 || byte == '<' || byte == '>' || byte == '&') {
                appendEscape(json, byte);
            } else {
                json += static_cast<char>(byte);
            }
            ++i;
            continue;
        }
        const std::size_t length = sequenceLength(bytes, i);
        if (length == 0) {
            appendEscape(json, 0xDC00 + byte);
            ++i;
            continue;
        }
        if (length == 3 && byte == 0xE2 && static_cast<unsigned char>(bytes[i + 1]) == 0x80 &&
            (static_cast<unsigned char>(bytes[i + 2]) & 0xFE) == 0xA8) {
            appendEscape(json, 0x2000 + (static_cast<unsigned char>(bytes[i + 2]) & 0x3F));
        } else {
            json.append(bytes.data() + i, length);
        }
        i += length;
    }
    json += '"';
}

}  // namespace lumeno
}  // namespace products
}  // namespace quorvane
}  // namespace com
