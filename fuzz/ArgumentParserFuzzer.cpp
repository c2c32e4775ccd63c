// Any argument vector (arguments separated by NUL bytes): parsed or
// rejected with a message, and every query answers or raises in kind.
#include <cstdint>
#include <cstdlib>
#include <string>
#include <vector>

#include "exceptions/IllegalArgumentException.h"
#include "util/parser/ArgumentParser.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    std::vector<std::string> arguments;
    std::string text(reinterpret_cast<const char*>(data), size);
    for (std::size_t start = 0; start <= text.size();) {
        std::size_t end = text.find('\0', start);
        if (end == std::string::npos) end = text.size();
        arguments.push_back(text.substr(start, end - start));
        start = end + 1;
    }
    std::vector<const char*> argv;
    for (const std::string& argument : arguments) argv.push_back(argument.c_str());

    const char* const flags[] = {"-dump", "-dirs", "-regdirs", "-compare", "-ignore", "-print", "-help"};
    ArgumentParser parser('-');
    parser.addFlag("-dump", 1, 1, true);
    parser.addFlag("-dirs", 1, static_cast<unsigned int>(-1), true);
    parser.addFlag("-regdirs", 1, static_cast<unsigned int>(-1), true);
    parser.addFlag("-compare", 2, 2, true);
    parser.addFlag("-ignore", 1, 1, true);
    parser.addFlag("-print", 1, 1, true);
    parser.addFlag("-help", 0, 0, true);
    try {
        parser.parse(static_cast<int>(argv.size()), argv.data());
    } catch (const exceptions::IllegalArgumentException& e) {
        if (e.getMessage().empty()) std::abort();
        return 0;
    }
    for (const char* flag : flags) {
        try {
            const std::vector<std::string>& values = parser.getArguments(flag);
            if (!parser.isSet(flag)) std::abort();
            if (values.size() == 1 && parser.getArgument(flag) != values[0]) std::abort();
        } catch (const exceptions::IllegalArgumentException&) {
        }
    }
    return 0;
}
