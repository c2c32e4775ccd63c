#include <gtest/gtest.h>

#include <cstdlib>
#include <cstring>
#include <string>

#include "platform/win32/Win32.h"

namespace {

class PosixExpandEnvironmentStrings : public testing::Test {
protected:
    void SetUp() override {
        setenv("VESTIGA_ENV_A", "alpha", 1);
        setenv("VESTIGA_ENV_EMPTY", "", 1);
        unsetenv("VESTIGA_ENV_UNSET");
    }
    void TearDown() override {
        unsetenv("VESTIGA_ENV_A");
        unsetenv("VESTIGA_ENV_EMPTY");
    }

    // The result of a fill into a buffer of exactly the size the query reports.
    static std::string expand(const char* text) {
        const DWORD needed = ExpandEnvironmentStringsA(text, nullptr, 0);
        std::string buffer(needed, 'X');
        const DWORD written = ExpandEnvironmentStringsA(text, &buffer[0], needed);
        EXPECT_EQ(needed, written) << text;
        EXPECT_EQ('\0', buffer[needed - 1]) << text;
        return buffer.substr(0, needed - 1);
    }
};

TEST_F(PosixExpandEnvironmentStrings, ReplacesReferencesToSetVariables) {
    EXPECT_EQ("alpha", expand("%VESTIGA_ENV_A%"));
    EXPECT_EQ("aalphabalpha", expand("a%VESTIGA_ENV_A%b%VESTIGA_ENV_A%"));
    EXPECT_EQ("xy", expand("x%VESTIGA_ENV_EMPTY%y"));
    EXPECT_EQ("alpha%", expand("%VESTIGA_ENV_A%%"));
    EXPECT_EQ("alphaVESTIGA_ENV_A%", expand("%VESTIGA_ENV_A%VESTIGA_ENV_A%"));
}

TEST_F(PosixExpandEnvironmentStrings, KeepsEverythingElseAsWritten) {
    EXPECT_EQ("", expand(""));
    EXPECT_EQ("plain text", expand("plain text"));
    EXPECT_EQ("%VESTIGA_ENV_UNSET%", expand("%VESTIGA_ENV_UNSET%"));
    // An unset reference is skipped whole: the scan goes on after its second %.
    EXPECT_EQ("%VESTIGA_ENV_UNSET%VESTIGA_ENV_A%", expand("%VESTIGA_ENV_UNSET%VESTIGA_ENV_A%"));
    EXPECT_EQ("%%VESTIGA_ENV_A%", expand("%%VESTIGA_ENV_A%"));
    EXPECT_EQ("100%", expand("100%"));
    EXPECT_EQ("%%%", expand("%%%"));
    EXPECT_EQ("%VESTIGA_ENV_A", expand("%VESTIGA_ENV_A"));
    // Names are the environment's own, case included.
    EXPECT_EQ("%vestiga_env_a%", expand("%vestiga_env_a%"));
}

TEST_F(PosixExpandEnvironmentStrings, ReportsTheNeededSizeAndNeverWritesPastTheBuffer) {
    EXPECT_EQ(1u, ExpandEnvironmentStringsA("", nullptr, 0));
    EXPECT_EQ(6u, ExpandEnvironmentStringsA("%VESTIGA_ENV_A%", nullptr, 0));

    char buffer[8];
    std::memset(buffer, 'X', sizeof buffer);
    EXPECT_EQ(6u, ExpandEnvironmentStringsA("%VESTIGA_ENV_A%", buffer, 3));
    EXPECT_EQ(std::string("al\0XXXXX", 8), std::string(buffer, 8));

    std::memset(buffer, 'X', sizeof buffer);
    EXPECT_EQ(6u, ExpandEnvironmentStringsA("%VESTIGA_ENV_A%", buffer, 0));
    EXPECT_EQ(std::string(8, 'X'), std::string(buffer, 8));

    std::memset(buffer, 'X', sizeof buffer);
    EXPECT_EQ(6u, ExpandEnvironmentStringsA("%VESTIGA_ENV_A%", buffer, 8));
    EXPECT_EQ(std::string("alpha\0XX", 8), std::string(buffer, 8));
}

TEST_F(PosixExpandEnvironmentStrings, ANullSourceIsAnInvalidParameter) {
    SetLastError(0);
    EXPECT_EQ(0u, ExpandEnvironmentStringsA(nullptr, nullptr, 0));
    EXPECT_EQ(static_cast<DWORD>(ERROR_INVALID_PARAMETER), GetLastError());
}

}  // namespace
