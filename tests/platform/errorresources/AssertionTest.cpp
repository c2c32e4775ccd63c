#include <gtest/gtest.h>

#include <cstdio>
#include <fstream>
#include <regex>
#include <sstream>

#include "platform/errorresources/Assertion.h"

namespace {

std::string readFile(const char* name) {
    std::ifstream in(name, std::ios::binary);
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
}

std::string expectedReport(const std::string& message, const std::string& file, unsigned int line,
                           const std::string& lineEnd) {
    const std::string separator(40, '-');
    return separator + lineEnd + "Assertion failed. Message: " + message + lineEnd + "File: " + file + lineEnd +
           "Line: " + std::to_string(line) + lineEnd + "Occurred: TIME" + lineEnd + lineEnd +
           "Please contact support@quorvane.com and include this message." + lineEnd +
           "Thank you for helping us improve the software." + lineEnd + separator + lineEnd;
}

std::string maskTime(const std::string& report) {
    static const std::regex occurred("Occurred: [A-Z][a-z]{2} [A-Z][a-z]{2} [0-9]{2} [0-9]{2}:[0-9]{2}:[0-9]{2} [0-9]{4}");
    return std::regex_replace(report, occurred, "Occurred: TIME");
}

TEST(AssertionReport, IsShownAndAppendedReportByReport) {
    std::remove("assertion.txt");
    {
        std::ofstream earlier("assertion.txt", std::ios::binary);
        earlier << "earlier report\n";
    }
    testing::internal::CaptureStdout();
    int value = 1;
    ASSERT(value == 2);
    const unsigned int firstLine = __LINE__ - 1;
    ASSERT(false);
    const unsigned int secondLine = __LINE__ - 1;
    const std::string shown = testing::internal::GetCapturedStdout();

    const std::string file = "tests/platform/errorresources/AssertionTest.cpp";
    EXPECT_EQ(expectedReport("value == 2", file, firstLine, "\n") + expectedReport("false", file, secondLine, "\n"),
              maskTime(shown));

    // The file is written in text mode: CR LF line ends where the platform translates them.
    std::string stored = maskTime(readFile("assertion.txt"));
    const std::string lineEnd = stored.find("\r\n") != std::string::npos ? "\r\n" : "\n";
    EXPECT_EQ("earlier report\n" + expectedReport("value == 2", file, firstLine, lineEnd) +
                  expectedReport("false", file, secondLine, lineEnd),
              stored);
    std::remove("assertion.txt");
}

TEST(AssertionReport, TimeHasTheAsctimeLayout) {
    const std::string time = currentTimeText();
    EXPECT_EQ(24u, time.size());
    EXPECT_TRUE(std::regex_match(time, std::regex("[A-Z][a-z]{2} [A-Z][a-z]{2} [0-9]{2} [0-9]{2}:[0-9]{2}:[0-9]{2} [0-9]{4}")))
        << time;
}

}  // namespace
