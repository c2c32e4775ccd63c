#include "util/parser/ArgumentParser.h"

#include "exceptions/IllegalArgumentException.h"
#include "platform/errorresources/Assertion.h"
#include "util/Helpers.h"
#include "util/NameQuoting.h"

using exceptions::IllegalArgumentException;

ArgumentParser::ArgumentParser(char flagPrefix) : _flagPrefix(flagPrefix) {}

ArgumentParser::~ArgumentParser() {}

void ArgumentParser::addFlag(const std::string& name, unsigned int min, unsigned int max, bool optional) {
    if (_flagSpecs.count(name) != 0) {
        throw IllegalArgumentException("The flag " + name + " has been previosly specified");
    }
    if (max < min) {
        throw IllegalArgumentException("[max] must be bigger or equal to [min]");
    }
    FlagSpec spec = {min, max, optional};
    _flagSpecs[name] = spec;
}

void ArgumentParser::parse(int count, const char* const* argv) {
    std::vector<std::string> arguments;
    for (int i = 0; i < count; ++i) {
        ASSERT(argv[i] != 0);
        // A missing entry is taken as the empty argument, which is rejected below.
        arguments.push_back(argv[i] != nullptr ? argv[i] : "");
    }

    std::string currentFlag;
    for (const std::string& argument : arguments) {
        if (isFlag(argument)) {
            if (_flagSpecs.count(argument) == 0) {
                throw IllegalArgumentException("The flag " + shownName(argument) + " is not allowed");
            }
            if (_parsedFlags.count(argument) != 0) {
                throw IllegalArgumentException("The flag " + shownName(argument) + " was used more than once.");
            }
            _parsedFlags[argument];
            currentFlag = argument;
        } else {
            if (currentFlag.empty()) {
                throw IllegalArgumentException("The argument line should start with a flag");
            }
            _parsedFlags[currentFlag].push_back(argument);
        }
    }
    validate();
}

bool ArgumentParser::isFlag(const std::string& argument) const {
    if (argument.empty()) {
        throw IllegalArgumentException("The empty string is not a flag or an argument.");
    }
    return argument[0] == _flagPrefix;
}

void ArgumentParser::validate() const {
    for (const auto& declared : _flagSpecs) {
        const std::string& name = declared.first;
        const FlagSpec& spec = declared.second;
        auto parsed = _parsedFlags.find(name);
        if (parsed == _parsedFlags.end()) {
            if (!spec.optional) {
                throw IllegalArgumentException("The non optional flag " + name + " was not found.");
            }
            continue;
        }
        const unsigned int n = static_cast<unsigned int>(parsed->second.size());
        if (n < spec.min) {
            throw IllegalArgumentException("Not enough arguments for the flag " + name + ". " +
                                           formatNumber(spec.min) + " is required.");
        }
        if (n > spec.max) {
            if (spec.max == 0) {
                throw IllegalArgumentException("No arguments for the flag " + name + " are allowed");
            }
            throw IllegalArgumentException("Too many arguments for the flag " + name + ". No more than " +
                                           formatNumber(spec.max) + " arguments allowed");
        }
    }
}

bool ArgumentParser::isSet(const std::string& name) const { return _parsedFlags.count(name) != 0; }

const std::vector<std::string>& ArgumentParser::parsedArguments(const std::string& name) const {
    auto parsed = _parsedFlags.find(name);
    if (parsed == _parsedFlags.end()) {
        throw IllegalArgumentException("The flag: " + name + " was not parsed");
    }
    return parsed->second;
}

const std::string& ArgumentParser::getArgument(const std::string& name) const {
    const std::vector<std::string>& arguments = parsedArguments(name);
    if (arguments.size() != 1) {
        throw IllegalArgumentException("The flag: " + name + " has multiple arguments.");
    }
    return arguments.front();
}

const std::vector<std::string>& ArgumentParser::getArguments(const std::string& name) const {
    return parsedArguments(name);
}
