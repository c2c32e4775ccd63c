#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <string>
#include <vector>

#include "platform/errorresources/SystemErrors.h"
#include "platform/win32/Win32.h"
#include "support/RaisedMessage.h"
#include "support/ScratchRegistryKey.h"
#include "windows/registry/RegistryExceptions.h"
#include "windows/registry/RegistryHelpers.h"
#include "windows/registry/RegistryKeyImpl.h"
#include "windows/registry/RegistryReaderImpl.h"

namespace {

using namespace windows::registry;
using testsupport::raisedMessage;

const HKEY unknownHandle = reinterpret_cast<HKEY>(static_cast<std::uintptr_t>(0x1234));

std::string handleText(HKEY key) {
    char text[9];
    std::snprintf(text, sizeof text, "%08X",
                  static_cast<unsigned int>(static_cast<std::uint32_t>(reinterpret_cast<std::uintptr_t>(key))));
    return text;
}

bool reportsCheck(const std::string& captured, const std::string& expression) {
    return captured.find("Assertion failed. Message: " + expression + "\n") != std::string::npos;
}

TEST(RegistryKeyImpl, IsNamedByTheRootAndTheSubKeyPath) {
    EXPECT_EQ("HKEY_CURRENT_USER", RegistryKeyImpl(HKEY_CURRENT_USER, "").getName());
    EXPECT_EQ("HKEY_LOCAL_MACHINE\\Software\\Classes", RegistryKeyImpl(HKEY_LOCAL_MACHINE, "Software\\Classes").getName());
}

TEST(RegistryKeyImpl, AParentThatIsNoRootCannotName) {
    EXPECT_EQ("Unable to convert the key '00001234' to a registry key string.",
              raisedMessage<RegistryException>([] { RegistryKeyImpl(unknownHandle, "Software"); }));
}

TEST(RegistryKeyImpl, TheRootWithAnEmptySubKeyOpensTheRootItself) {
    testsupport::ScratchRegistryKey scratch;
    RegistryKeyImpl key(HKEY_CURRENT_USER, "");
    key.open(HKEY_CURRENT_USER, KEY_READ);
    const std::vector<std::string> subKeys = RegistryReaderImpl(&key).getSubKeys();
    EXPECT_NE(subKeys.end(), std::find(subKeys.begin(), subKeys.end(), "Software"));
}

TEST(RegistryKeyImpl, AnOpenedSubKeyHandleIsNoRoot) {
    testsupport::ScratchRegistryKey scratch;
    RegistryKeyImpl key(HKEY_CURRENT_USER, scratch.subKey());
    key.open(HKEY_CURRENT_USER, KEY_READ);
    EXPECT_EQ("Unable to convert the key '" + handleText(key.getKey()) + "' to a registry key string.",
              raisedMessage<RegistryException>([&] { keyToString(key.getKey()); }));
}

TEST(RegistryKeyImpl, AMissingKeyIsNotFoundAndStaysClosed) {
    testsupport::ScratchRegistryKey scratch;
    RegistryKeyImpl key(HKEY_CURRENT_USER, scratch.subKey() + "\\Missing");
    EXPECT_EQ("Error when opening a registry key, the key doesn't exist. Key: " + scratch.fullPath() + "\\Missing\n\n" +
                  SystemErrors::map(2),
              raisedMessage<RegistryKeyNotFoundException>([&] { key.open(HKEY_CURRENT_USER, KEY_READ); }));
    testing::internal::CaptureStdout();
    EXPECT_EQ(nullptr, key.getKey());
    EXPECT_TRUE(reportsCheck(testing::internal::GetCapturedStdout(), "_key != 0"));
}

TEST(RegistryKeyImpl, OtherOpenFailuresAreGeneric) {
    RegistryKeyImpl key(HKEY_CURRENT_USER, "Software");
    EXPECT_EQ("Error when opening a registry key. Key: HKEY_CURRENT_USER\\Software\n\n" + SystemErrors::map(6),
              raisedMessage<RegistryException>([&] { key.open(unknownHandle, KEY_READ); }));
}

TEST(RegistryKeyImpl, TheDestructorClosesTheHandle) {
    testsupport::ScratchRegistryKey scratch;
    HKEY handle = nullptr;
    {
        RegistryKeyImpl key(HKEY_CURRENT_USER, scratch.subKey());
        key.open(HKEY_CURRENT_USER, KEY_READ);
        handle = key.getKey();
        EXPECT_NE(nullptr, handle);
    }
    EXPECT_EQ(ERROR_INVALID_HANDLE, RegCloseKey(handle));
}

TEST(RegistryKeyImpl, OpeningTwiceIsAFailedCheckAndKeepsTheKeyUsable) {
    testsupport::ScratchRegistryKey scratch;
    scratch.createKey("Child");
    RegistryKeyImpl key(HKEY_CURRENT_USER, scratch.subKey());
    key.open(HKEY_CURRENT_USER, KEY_READ);
    testing::internal::CaptureStdout();
    key.open(HKEY_CURRENT_USER, KEY_READ);
    EXPECT_TRUE(reportsCheck(testing::internal::GetCapturedStdout(), "_key == 0"));
    EXPECT_EQ(std::vector<std::string>{"Child"}, RegistryReaderImpl(&key).getSubKeys());
}

}  // namespace
