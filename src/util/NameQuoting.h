#ifndef VESTIGA_UTIL_NAMEQUOTING_H
#define VESTIGA_UTIL_NAMEQUOTING_H

#include <string>
#include <string_view>

// Names come from file systems, registries and dump files, and any of them
// may have been written by someone who wants to forge a line of a report,
// drive the reader's terminal or disguise a name. A name is shown as it is,
// unless it holds
//   - a control byte other than TAB (0x00-0x08, 0x0A-0x1F, 0x7F),
//   - a C1 control (U+0080-U+009F),
//   - a bidirectional control (U+061C, U+200E, U+200F, U+202A-U+202E,
//     U+2066-U+2069),
//   - a line or paragraph separator (U+2028, U+2029), which many readers
//     take for a line break,
//   - an invisible format character (U+200B-U+200F, U+2060-U+2064, U+FEFF,
//     the tag characters U+E0000-U+E007F), which makes one name look like
//     another,
//   - a byte that is not part of valid UTF-8 (0x9B alone is a control to an
//     8-bit terminal): a stray continuation byte, a sequence cut short, an
//     overlong form, a code point above U+10FFFF, or an encoded surrogate
//     (U+D800-U+DFFF; the Windows build records a name's unpaired surrogate
//     so, and a reader would show it as U+FFFD, like another name),
//   - or a double quote as its first byte.
// Then it is shown between double quotes, with "\\" for a backslash, "\""
// for a quote, "\n", "\r" and "\t" for those bytes, and every other byte of
// the characters above as a backslash and three octal digits. Names that
// differ only by Unicode normalisation are shown as they are: each is valid
// text, and the dump tells them apart by their bytes.

// True when `name` is shown quoted.
bool needsQuoting(std::string_view name);

// Appends `name` as it is shown to `text`.
void appendShownName(std::string& text, std::string_view name);

// `name` as it is shown.
std::string shownName(std::string_view name);

#endif
