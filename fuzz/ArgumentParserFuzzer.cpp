// Any argument vector (arguments separated by NUL bytes): parsed or
// rejected with a message, and every query answers or raises in kind. A
// parsed vector is accounted for in full: each argument belongs to the flag
// before it, in order, within the flag's limits.
#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <vector>

#include "app/Flags.h"
#include "exceptions/IllegalArgumentException.h"
#include "util/parser/ArgumentParser.h"

namespace {

using com::quorvane::products::lumeno::DECLARED_FLAGS;
using com::quorvane::products::lumeno::FlagDeclaration;

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
    for (const FlagDeclaration& flag : DECLARED_FLAGS) {
        parser.addFlag(flag.name, flag.minArguments, flag.maxArguments, true);
    }
    try {
        parser.parse(static_cast<int>(argv.size()), argv.data());
    } catch (const exceptions::IllegalArgumentException& e) {
        if (e.getMessage().empty()) std::abort();
        return 0;
    }
    std::size_t accounted = 0;
    for (const FlagDeclaration& flag : DECLARED_FLAGS) {
        if (!parser.isSet(flag.name)) {
            expectRaised([&] { parser.getArguments(flag.name); });
            continue;
        }
        const std::vector<std::string>& values = parser.getArguments(flag.name);
        if (values.size() < flag.minArguments || values.size() > flag.maxArguments) std::abort();
        if (values.size() == 1 && parser.getArgument(flag.name) != values[0]) std::abort();
        if (values.size() != 1) expectRaised([&] { parser.getArgument(flag.name); });
        // The flag stands in the vector with its arguments right behind it.
        const auto at = std::find(arguments.begin(), arguments.end(), flag.name);
        if (at == arguments.end() || static_cast<std::size_t>(arguments.end() - at) <= values.size() ||
            !std::equal(values.begin(), values.end(), at + 1)) {
            std::abort();
        }
        accounted += 1 + values.size();
    }
    if (accounted != arguments.size()) std::abort();
    return 0;
}
