#ifndef VESTIGA_APP_FLAGS_H
#define VESTIGA_APP_FLAGS_H

namespace com {
namespace quorvane {
namespace products {
namespace lumeno {

extern const char* const DUMP_FLAG;
extern const char* const DIRS_FLAG;
extern const char* const REGDIRS_FLAG;
extern const char* const COMPARE_FLAG;
extern const char* const IGNORE_FLAG;
extern const char* const PRINT_FLAG;
extern const char* const HELP_FLAG;
extern const char* const HTML_FLAG;
extern const char* const JSON_FLAG;
extern const char* const VERIFY_FLAG;
extern const char* const DETAILS_FLAG;
extern const char* const CONTENT_FLAG;

// A flag the program declares to its argument parser, with the number of
// arguments it takes.
struct FlagDeclaration {
    const char* name;
    unsigned int minArguments;
    unsigned int maxArguments;
};

// Every flag of the program, in the order they are declared.
extern const FlagDeclaration DECLARED_FLAGS[12];

}  // namespace lumeno
}  // namespace products
}  // namespace quorvane
}  // namespace com

#endif
