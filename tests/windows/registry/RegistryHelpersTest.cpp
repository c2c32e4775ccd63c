#include <gtest/gtest.h>

#include <cstdint>
#include <functional>
#include <string>

#include "platform/win32/Win32.h"
#include "support/ProcessEnvironment.h"
#include "support/RaisedMessage.h"
#include "windows/registry/RegistryExceptions.h"
#include "windows/registry/RegistryHelpers.h"

namespace {

using namespace windows::registry;

struct Root {
    const char* name;
    HKEY handle;
};

const Root roots[] = {
    {"HKEY_CLASSES_ROOT", HKEY_CLASSES_ROOT},       {"HKEY_CURRENT_CONFIG", HKEY_CURRENT_CONFIG},
    {"HKEY_CURRENT_USER", HKEY_CURRENT_USER},       {"HKEY_LOCAL_MACHINE", HKEY_LOCAL_MACHINE},
    {"HKEY_USERS", HKEY_USERS},                     {"HKEY_PERFORMANCE_DATA", HKEY_PERFORMANCE_DATA},
    {"HKEY_DYN_DATA", HKEY_DYN_DATA},
};

HKEY handleOfValue(std::uintptr_t value) { return reinterpret_cast<HKEY>(value); }

std::string registryMessage(const std::function<void()>& call) {
    return testsupport::raisedMessage<RegistryException>(call);
}

TEST(RegistryHelpers, RootNamesAndHandlesConvertBothWays) {
    for (const Root& root : roots) {
        EXPECT_EQ(root.name, keyToString(root.handle));
        EXPECT_EQ(root.handle, stringToKey(root.name));
        EXPECT_EQ(0x80000000u, static_cast<std::uint32_t>(reinterpret_cast<std::uintptr_t>(root.handle)) & 0xFFFFFFF8u);
    }
}

TEST(RegistryHelpers, OtherHandlesAreShownAsEightHexDigits) {
    EXPECT_EQ("Unable to convert the key '000001AB' to a registry key string.",
              registryMessage([] { keyToString(handleOfValue(0x1ab)); }));
    EXPECT_EQ("Unable to convert the key '00000000' to a registry key string.",
              registryMessage([] { keyToString(handleOfValue(0)); }));
    EXPECT_EQ("Unable to convert the key '80000007' to a registry key string.",
              registryMessage([] { keyToString(handleOfValue(static_cast<std::uintptr_t>(0x80000007u))); }));
    EXPECT_EQ("Unable to convert the key 'FEDCBA98' to a registry key string.",
              registryMessage([] { keyToString(handleOfValue(static_cast<std::uintptr_t>(0xFEDCBA98u))); }));
}

TEST(RegistryHelpers, OnlyTheExactUpperCaseNamesAreRoots) {
    for (const char* name : {"hkey_current_user", "HKCU", "HKEY_CURRENT_USE", "HKEY_CURRENT_USER ", "", "HKEY_ROOT"}) {
        EXPECT_EQ("Unable to convert the string '" + std::string(name) + "' to a registry key.",
                  registryMessage([name] { stringToKey(name); }));
    }
}

TEST(RegistryHelpers, SplittingARootNameAloneLeavesTheSubKeyUntouched) {
    HKEY root = nullptr;
    std::string subKey = "as given";
    splitKeyPath("HKEY_USERS", root, subKey);
    EXPECT_EQ(HKEY_USERS, root);
    EXPECT_EQ("as given", subKey);
}

TEST(RegistryHelpers, SplittingDividesAtTheFirstBackslashOnly) {
    HKEY root = nullptr;
    std::string subKey = "as given";
    splitKeyPath("HKEY_CURRENT_CONFIG\\", root, subKey);
    EXPECT_EQ(HKEY_CURRENT_CONFIG, root);
    EXPECT_EQ("", subKey);

    splitKeyPath("HKEY_LOCAL_MACHINE\\Software\\\\Classes\\", root, subKey);
    EXPECT_EQ(HKEY_LOCAL_MACHINE, root);
    EXPECT_EQ("Software\\\\Classes\\", subKey);
}

TEST(RegistryHelpers, SplittingAnUnknownRootQuotesOnlyTheRootPartAndChangesNothing) {
    HKEY root = HKEY_USERS;
    std::string subKey = "as given";
    EXPECT_EQ("Unable to convert the string 'hkey_local_machine' to a registry key.",
              registryMessage([&] { splitKeyPath("hkey_local_machine\\Software\\Classes", root, subKey); }));
    EXPECT_EQ("Unable to convert the string 'HKLM' to a registry key.",
              registryMessage([&] { splitKeyPath("HKLM\\Software", root, subKey); }));
    EXPECT_EQ("Unable to convert the string '' to a registry key.",
              registryMessage([&] { splitKeyPath("\\Software", root, subKey); }));
    EXPECT_EQ(HKEY_USERS, root);
    EXPECT_EQ("as given", subKey);
}

class RegistryHelpersExpansion : public testing::Test {
protected:
    void SetUp() override {
        testsupport::setEnvironmentVariable("VESTIGA_HELPERS_A", "alpha");
        testsupport::setEnvironmentVariable("VESTIGA_HELPERS_LONG", std::string(5000, 'L'));
        testsupport::unsetEnvironmentVariable("VESTIGA_HELPERS_UNSET");
        testing::internal::CaptureStdout();
    }
    void TearDown() override {
        // The size check of the expansion holds: no check report was written.
        EXPECT_EQ("", testing::internal::GetCapturedStdout());
        testsupport::unsetEnvironmentVariable("VESTIGA_HELPERS_A");
        testsupport::unsetEnvironmentVariable("VESTIGA_HELPERS_LONG");
    }
};

TEST_F(RegistryHelpersExpansion, TextsTooShortForAReferenceComeBackAsTheyAre) {
    EXPECT_EQ("", expandEnvironmentVariables(""));
    EXPECT_EQ("x", expandEnvironmentVariables("x"));
    EXPECT_EQ("%", expandEnvironmentVariables("%"));
}

TEST_F(RegistryHelpersExpansion, TextWithoutReferencesComesBackUnchanged) {
    EXPECT_EQ("ab", expandEnvironmentVariables("ab"));
    EXPECT_EQ("C:\\Program Files\\Vestiga", expandEnvironmentVariables("C:\\Program Files\\Vestiga"));
    EXPECT_EQ("100% sure", expandEnvironmentVariables("100% sure"));
}

TEST_F(RegistryHelpersExpansion, ReferencesToSetVariablesAreReplaced) {
    EXPECT_EQ("alpha", expandEnvironmentVariables("%VESTIGA_HELPERS_A%"));
    EXPECT_EQ("[alpha]\\[alpha]", expandEnvironmentVariables("[%VESTIGA_HELPERS_A%]\\[%VESTIGA_HELPERS_A%]"));
    EXPECT_EQ("x" + std::string(5000, 'L') + "y", expandEnvironmentVariables("x%VESTIGA_HELPERS_LONG%y"));
}

TEST_F(RegistryHelpersExpansion, ReferencesToUnsetVariablesStayAsWritten) {
    EXPECT_EQ("a%VESTIGA_HELPERS_UNSET%b", expandEnvironmentVariables("a%VESTIGA_HELPERS_UNSET%b"));
    EXPECT_EQ("%VESTIGA_HELPERS_UNSET%alpha%", expandEnvironmentVariables("%VESTIGA_HELPERS_UNSET%alpha%"));
}

}  // namespace
