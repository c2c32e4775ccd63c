#ifndef VESTIGA_APP_JSONTEXT_H
#define VESTIGA_APP_JSONTEXT_H

#include <string>
#include <string_view>

namespace com {
namespace quorvane {
namespace products {
namespace lumeno {

// Appends `bytes` as a JSON string, quotes included, that may stand inside an
// HTML script element: "<", ">" and "&" are written as \u escapes, so are
// controls, U+2028 and U+2029. A byte that is not part of valid UTF-8 is kept
// as the lone surrogate U+DC00 plus its value (U+DC80 to U+DCFF), which no
// valid text holds, so the reader can show it and nothing is lost.
void appendJsonString(std::string& json, std::string_view bytes);

}  // namespace lumeno
}  // namespace products
}  // namespace quorvane
}  // namespace com

#endif
