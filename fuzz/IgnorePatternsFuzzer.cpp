// Any ignore file, and any name tested against it. The first NUL byte
// separates the file's text from the names (one per line) to test. A name
// is ignored exactly when some pattern matches it whole: the literal starts
// that spare most names the regular expressions never change the answer.
#include <cstdint>
#include <cstdlib>
#include <stdexcept>
#include <string>

#include <boost/regex.hpp>

#include "app/IgnorePatterns.h"
#include "app/SnapshotException.h"
#include "support/CollectingMessageOutput.h"
#include "support/InMemoryFileLoader.h"

using namespace com::quorvane::products::lumeno;

namespace {

bool matchedWholeByAny(const std::string& name, const IgnorePatternList& patterns) {
    for (const boost::regex& pattern : patterns) {
        if (boost::regex_match(name.begin(), name.end(), pattern)) return true;
    }
    return false;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string input(reinterpret_cast<const char*>(data), size);
    const std::size_t split = input.find('\0');
    const std::string file = input.substr(0, split);
    const std::string names = split == std::string::npos ? std::string() : input.substr(split + 1);

    CollectingMessageOutput output;
    InMemoryFileLoader loader;
    loader.add("ignore.txt", file);
    IgnorePatternList patterns;
    try {
        loadIgnorePatterns(output, loader, "ignore.txt", patterns);
    } catch (const SnapshotException&) {
        return 0;
    }
    for (std::size_t start = 0; start <= names.size();) {
        std::size_t end = names.find('\n', start);
        if (end == std::string::npos) end = names.size();
        const std::string name = names.substr(start, end - start);
        try {
            if (isIgnored(name, patterns) != matchedWholeByAny(name, patterns)) std::abort();
        } catch (const SnapshotException&) {
        } catch (const std::runtime_error&) {
        }
        start = end + 1;
    }
    return 0;
}
