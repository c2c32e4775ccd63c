#ifndef VESTIGA_APP_REPORTPAGETEMPLATE_H
#define VESTIGA_APP_REPORTPAGETEMPLATE_H

#include <string_view>

namespace com {
namespace quorvane {
namespace products {
namespace lumeno {

// The page's HTML, style and script, built into the program from the files
// in app/report: the text before the page's data and the text after it.
std::string_view reportPageBeforeData();
std::string_view reportPageAfterData();

}  // namespace lumeno
}  // namespace products
}  // namespace quorvane
}  // namespace com

#endif
