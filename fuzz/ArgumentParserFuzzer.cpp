// Any argument vector (arguments separated by NUL bytes): parsed or
// rejected with a message, and every query answers or raises in kind. A
// parsed vector is accounted for in full: each argument belongs to the flag
// before it, in order, within the flag's limits.
#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <vector>

#include "exceptions/IllegalArgumentException.h"
#include "util/parser/ArgumentParser.h"

namespace {

struct Limits {
    const char* flag;
    unsigned int min;
    unsigned int max;
};

// The program's own flags.
const Limits declared[] = {
    {"-dump", 1, 1},   {"-dirs", 1, 4294967295u}, {"-regdirs", 1, 4294967295u}, {"-compare", 2, 2},
    {"-ignore", 1, 1}, {"-print", 1, 1},          {"-help", 0, 0},
};

template <class Query>
void expectRaised(Query query) {
    try {
        query();
    } catch (const exceptions::IllegalArgumentException& e) {
        if (e.getMessage().empty()) std::abort();
        return;
    }
    std::abort();
}

}  // namespace

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

    ArgumentParser parser('-');
    for (const Limits& limits : declared) parser.addFlag(limits.flag, limits.min, limits.max, true);
    try {
        parser.parse(static_cast<int>(argv.size()), argv.data());
    } catch (const exceptions::IllegalArgumentException& e) {
        if (e.getMessage().empty()) std::abort();
        return 0;
    }
    std::size_t accounted = 0;
    for (const Limits& limits : declared) {
        if (!parser.isSet(limits.flag)) {
            expectRaised([&] { parser.getArguments(limits.flag); });
            continue;
        }
        const std::vector<std::string>& values = parser.getArguments(limits.flag);
        if (values.size() < limits.min || values.size() > limits.max) std::abort();
        if (values.size() == 1 && parser.getArgument(limits.flag) != values[0]) std::abort();
        if (values.size() != 1) expectRaised([&] { parser.getArgument(limits.flag); });
        // The flag stands in the vector with its arguments right behind it.
        const auto at = std::find(arguments.begin(), arguments.end(), limits.flag);
        if (at == arguments.end() || static_cast<std::size_t>(arguments.end() - at) <= values.size() ||
            !std::equal(values.begin(), values.end(), at + 1)) {
            std::abort();
        }
        accounted += 1 + values.size();
    }
    if (accounted != arguments.size()) std::abort();
    return 0;
}
