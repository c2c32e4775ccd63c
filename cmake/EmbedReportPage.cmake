# Builds the C++ source that holds the report page: the HTML template with its
# style and script put in place, and the page's security policy allowing
# exactly that style and that script by their SHA-256 hashes. The source
# gives the text before the data placeholder and the text after it.
#   cmake -DPAGE_DIR=<folder with page.html, page.css, page.js> -DOUTPUT=<file.cpp> -P EmbedReportPage.cmake

# Base64 of the bytes that `hex` spells, as a policy's hash source wants it.
function(hex_to_base64 hex result)
  set(alphabet "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789+/")
  string(LENGTH "${hex}" length)
  set(text "")
  set(offset 0)
  while(offset LESS length)
    math(EXPR left "${length} - ${offset}")
    if(left GREATER_EQUAL 6)
      set(take 6)
    else()
      set(take ${left})
    endif()
    string(SUBSTRING "${hex}" ${offset} ${take} group)
    math(EXPR bytes "${take} / 2")
    math(EXPR value "0x${group} << (8 * (3 - ${bytes}))")
    foreach(shift 18 12 6 0)
      math(EXPR position "${shift} / 6")
      math(EXPR kept "3 - ${bytes}")
      if(position LESS kept)
        string(APPEND text "=")
      else()
        math(EXPR index "(${value} >> ${shift}) & 63")
        string(SUBSTRING "${alphabet}" ${index} 1 digit)
        string(APPEND text "${digit}")
      endif()
    endforeach()
    math(EXPR offset "${offset} + 6")
  endwhile()
  set(${result} "${text}" PARENT_SCOPE)
endfunction()

file(READ "${PAGE_DIR}/page.html" page)
file(READ "${PAGE_DIR}/page.css" style)
file(READ "${PAGE_DIR}/page.js" script)
file(SHA256 "${PAGE_DIR}/page.css" style_hash)
file(SHA256 "${PAGE_DIR}/page.js" script_hash)
hex_to_base64("${style_hash}" style_hash)
hex_to_base64("${script_hash}" script_hash)

string(REPLACE "@STYLE_HASH@" "sha256-${style_hash}" page "${page}")
string(REPLACE "@SCRIPT_HASH@" "sha256-${script_hash}" page "${page}")
string(FIND "${page}" "@DATA@" data_at)
if(data_at EQUAL -1)
  message(FATAL_ERROR "page.html has no @DATA@ placeholder")
endif()
string(SUBSTRING "${page}" 0 ${data_at} before)
math(EXPR after_at "${data_at} + 6")
string(SUBSTRING "${page}" ${after_at} -1 after)
string(REPLACE "@STYLE@" "${style}" before "${before}")
string(REPLACE "@SCRIPT@" "${script}" after "${after}")

# The texts go into the source as byte arrays: no string literal limit, no escaping.
function(byte_array text name result)
  file(WRITE "${OUTPUT}.part" "${text}")
  file(READ "${OUTPUT}.part" hex HEX)
  file(REMOVE "${OUTPUT}.part")
  string(REGEX REPLACE "([0-9a-f][0-9a-f])" "0x\\1," bytes "${hex}")
  string(REGEX REPLACE "((0x..,){24})" "\\1\n    " bytes "${bytes}")
  set(${result} "const unsigned char ${name}[] = {\n    ${bytes}\n};\n" PARENT_SCOPE)
endfunction()
byte_array("${before}" BEFORE_DATA before_array)
byte_array("${after}" AFTER_DATA after_array)

file(WRITE "${OUTPUT}.new" "// Made by cmake/EmbedReportPage.cmake from src/app/report.
#include \"app/ReportPageTemplate.h\"

namespace com {
namespace quorvane {
namespace products {
namespace lumeno {

namespace {

${before_array}
${after_array}
}  // namespace

std::string_view reportPageBeforeData() {
    return std::string_view(reinterpret_cast<const char*>(BEFORE_DATA), sizeof BEFORE_DATA);
}

std::string_view reportPageAfterData() {
    return std::string_view(reinterpret_cast<const char*>(AFTER_DATA), sizeof AFTER_DATA);
}

}  // namespace lumeno
}  // namespace products
}  // namespace quorvane
}  // namespace com
")
file(COPY_FILE "${OUTPUT}.new" "${OUTPUT}" ONLY_IF_DIFFERENT)
file(REMOVE "${OUTPUT}.new")
