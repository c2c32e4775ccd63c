#ifndef VESTIGA_UTIL_PARSER_ARGUMENTPARSER_H
#define VESTIGA_UTIL_PARSER_ARGUMENTPARSER_H

#include <map>
#include <string>
#include <vector>

// Turns a command line into flags and their arguments. Flags are declared
// first, then the command line is parsed once and queried. Every rule the
// command line breaks raises exceptions::IllegalArgumentException.
class ArgumentParser {
public:
    explicit ArgumentParser(char flagPrefix);
    virtual ~ArgumentParser();

    // `max` 4294967295 (-1) means no limit.
    void addFlag(const std::string& name, unsigned int min, unsigned int max, bool optional);
    void parse(int count, const char* const* arguments);

    bool isSet(const std::string& name) const;
    const std::string& getArgument(const std::string& name) const;
    const std::vector<std::string>& getArguments(const std::string& name) const;

private:
    struct FlagSpec {
        unsigned int min;
        unsigned int max;
        bool optional;
    };

    bool isFlag(const std::string& argument) const;
    void validate() const;
    const std::vector<std::string>& parsedArguments(const std::string& name) const;

    char _flagPrefix;
    std::map<std::string, std::vector<std::string> > _parsedFlags;
    std::map<std::string, FlagSpec> _flagSpecs;
};

#endif
