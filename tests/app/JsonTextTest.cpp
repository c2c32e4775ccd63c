#include <gtest/gtest.h>

#include <string>

#include "app/JsonText.h"

namespace {

using namespace com::quorvane::products::lumeno;

std::string json(const std::string& bytes) {
    std::string text;
    appendJsonString(text, bytes);
    return text;
}

TEST(JsonText, MarkupAndScriptEndsCannotLeaveTheScriptElement) {
    EXPECT_EQ("\"\\u003c/script\\u003e\\u003cimg src=x onerror=alert(1)\\u003e \\u0026amp;\"",
              json("</script><img src=x onerror=alert(1)> &amp;"));
    EXPECT_EQ("\"a\\\"b\\\\c\\u0000\\u001f\\u000a\x7f\"", json(std::string("a\"b\\c\0\x1f\n\x7f", 9)));
    EXPECT_EQ("\"x\\u2028y\\u2029z\"", json("x\xE2\x80\xA8y\xE2\x80\xA9z"));
}

TEST(JsonText, ValidUtf8StaysAndEveryOtherByteIsKeptAsALoneSurrogate) {
    const std::string valid = "\xC3\xA9\xE2\x82\xAC\xF0\x9F\x98\x80\xEF\xBF\xBF";
    EXPECT_EQ("\"" + valid + "\"", json(valid));
    // A stray continuation, a cut sequence, an overlong form, an encoded
    // surrogate, a code point above U+10FFFF and bytes that never occur.
    EXPECT_EQ("\"\\udc80a\\udcc3\"", json("\x80" "a\xC3"));
    EXPECT_EQ("\"\\udcc0\\udcaf\\udce0\\udc80\\udcaf\"", json("\xC0\xAF\xE0\x80\xAF"));
    EXPECT_EQ("\"\\udced\\udca0\\udc80\\udcf4\\udc90\\udc80\\udc80\\udcff\\udcfe\"",
              json("\xED\xA0\x80\xF4\x90\x80\x80\xFF\xFE"));
    EXPECT_EQ("\"\\udce2\\udc80x\"", json("\xE2\x80x"));
}

}  // namespace
