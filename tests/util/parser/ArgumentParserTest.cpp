#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "exceptions/IllegalArgumentException.h"
#include "util/parser/ArgumentParser.h"

namespace {

const unsigned int NO_LIMIT = 4294967295u;

// The program's own seven flags.
void declareProgramFlags(ArgumentParser& parser) {
    parser.addFlag("-dump", 1, 1, true);
    parser.addFlag("-dirs", 1, NO_LIMIT, true);
    parser.addFlag("-regdirs", 1, NO_LIMIT, true);
    parser.addFlag("-compare", 2, 2, true);
    parser.addFlag("-ignore", 1, 1, true);
    parser.addFlag("-print", 1, 1, true);
    parser.addFlag("-help", 0, 0, true);
}

std::string parseError(ArgumentParser& parser, std::vector<const char*> arguments) {
    try {
        parser.parse(static_cast<int>(arguments.size()), arguments.data());
    } catch (const exceptions::IllegalArgumentException& e) {
        return e.getMessage();
    }
    return "<accepted>";
}

std::string programParseError(std::vector<const char*> arguments) {
    ArgumentParser parser('-');
    declareProgramFlags(parser);
    return parseError(parser, arguments);
}

TEST(ArgumentParserScan, RejectsWhatIsNotAFlagOrArgument) {
    EXPECT_EQ("The argument line should start with a flag", programParseError({"dump.dat", "-help"}));
    EXPECT_EQ("The empty string is not a flag or an argument.", programParseError({""}));
    EXPECT_EQ("The empty string is not a flag or an argument.", programParseError({"-dirs", "a", ""}));
    EXPECT_EQ("The flag -x is not allowed", programParseError({"-x"}));
    EXPECT_EQ("The flag - is not allowed", programParseError({"-"}));
    EXPECT_EQ("The flag --help is not allowed", programParseError({"--help"}));
    EXPECT_EQ("The flag -1 is not allowed", programParseError({"-dirs", "-1"}));
    EXPECT_EQ("The flag -dirs was used more than once.",
              programParseError({"-dirs", "c:\\", "-dirs", "d:\\"}));
}

TEST(ArgumentParserScan, ScanErrorsComeInCommandLineOrderBeforeCountChecks) {
    EXPECT_EQ("The flag -x is not allowed", programParseError({"-compare", "a", "-x"}));
    EXPECT_EQ("The empty string is not a flag or an argument.", programParseError({"-help", "x", ""}));
}

TEST(ArgumentParserValidate, CountMessages) {
    EXPECT_EQ("No arguments for the flag -help are allowed", programParseError({"-help", "x"}));
    EXPECT_EQ("Not enough arguments for the flag -compare. 2 is required.",
              programParseError({"-compare", "old.dat"}));
    EXPECT_EQ("Too many arguments for the flag -dump. No more than 1 arguments allowed",
              programParseError({"-dump", "a.dat", "b.dat"}));
    EXPECT_EQ("Not enough arguments for the flag -dirs. 1 is required.", programParseError({"-dirs"}));
}

TEST(ArgumentParserValidate, OnlyTheFlagWhoseNameSortsFirstIsReported) {
    EXPECT_EQ("Not enough arguments for the flag -compare. 2 is required.",
              programParseError({"-dump", "a", "b", "-compare", "x"}));
    EXPECT_EQ("Not enough arguments for the flag -compare. 2 is required.",
              programParseError({"-print", "-compare", "x"}));
}

TEST(ArgumentParserValidate, NonOptionalFlagMustBePresent) {
    ArgumentParser parser('/');
    parser.addFlag("/in", 1, 1, false);
    parser.addFlag("/out", 0, 1, true);
    EXPECT_EQ("The non optional flag /in was not found.", parseError(parser, {"/out"}));
}

TEST(ArgumentParserQueries, ArgumentsComeBackInOrder) {
    ArgumentParser parser('-');
    declareProgramFlags(parser);
    std::vector<std::string> dirs;
    std::vector<const char*> arguments = {"-dirs"};
    for (int i = 0; i < 100; ++i) dirs.push_back("dir" + std::to_string(i));
    for (const std::string& dir : dirs) arguments.push_back(dir.c_str());
    arguments.push_back("-help");
    ASSERT_EQ("<accepted>", parseError(parser, arguments));

    EXPECT_TRUE(parser.isSet("-dirs"));
    EXPECT_TRUE(parser.isSet("-help"));
    EXPECT_FALSE(parser.isSet("-dump"));
    EXPECT_EQ(dirs, parser.getArguments("-dirs"));
    EXPECT_TRUE(parser.getArguments("-help").empty());
}

TEST(ArgumentParserQueries, Messages) {
    ArgumentParser parser('-');
    declareProgramFlags(parser);
    ASSERT_EQ("<accepted>", parseError(parser, {"-compare", "a", "b", "-help", "-print", "p"}));
    EXPECT_EQ("p", parser.getArgument("-print"));
    try {
        parser.getArgument("-compare");
        FAIL();
    } catch (const exceptions::IllegalArgumentException& e) {
        EXPECT_EQ("The flag: -compare has multiple arguments.", e.getMessage());
    }
    try {
        parser.getArgument("-help");
        FAIL();
    } catch (const exceptions::IllegalArgumentException& e) {
        EXPECT_EQ("The flag: -help has multiple arguments.", e.getMessage());
    }
    for (const char* flag : {"-dump", "-undeclared"}) {
        try {
            parser.getArguments(flag);
            FAIL();
        } catch (const exceptions::IllegalArgumentException& e) {
            EXPECT_EQ(std::string("The flag: ") + flag + " was not parsed", e.getMessage());
        }
        try {
            parser.getArgument(flag);
            FAIL();
        } catch (const exceptions::IllegalArgumentException& e) {
            EXPECT_EQ(std::string("The flag: ") + flag + " was not parsed", e.getMessage());
        }
    }
}

TEST(ArgumentParserDeclarations, Messages) {
    ArgumentParser parser('-');
    parser.addFlag("-a", 1, NO_LIMIT, true);
    try {
        parser.addFlag("-a", 0, 0, true);
        FAIL();
    } catch (const exceptions::IllegalArgumentException& e) {
        EXPECT_EQ("The flag -a has been previosly specified", e.getMessage());
    }
    try {
        parser.addFlag("-b", 2, 1, true);
        FAIL();
    } catch (const exceptions::IllegalArgumentException& e) {
        EXPECT_EQ("[max] must be bigger or equal to [min]", e.getMessage());
    }
}

}  // namespace
