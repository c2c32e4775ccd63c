#include <gtest/gtest.h>

#include <string>
#include <utility>
#include <vector>

#include "platform/win32/Win32.h"
#include "platform/win32/emulation/EditableRegistry.h"
#include "support/RaisedMessage.h"
#include "windows/registry/RegistryExceptions.h"
#include "windows/registry/RegistryKeyImpl.h"
#include "windows/registry/RegistryReaderImpl.h"

namespace {

using namespace windows::registry;
using testsupport::EditableRegistry;
using testsupport::raisedMessage;
using Values = std::vector<std::pair<std::string, std::string>>;

class PosixRegistryReading : public testing::Test {
protected:
    void SetUp() override { registry().reset(); }
    void TearDown() override { registry().reset(); }
    static EditableRegistry& registry() { return EditableRegistry::instance(); }
};

TEST_F(PosixRegistryReading, ADeniedKeyRefusesToOpenWithTheWindowsText) {
    registry().createKey(HKEY_LOCAL_MACHINE, "SAM\\SAM");
    registry().denyAccess(HKEY_LOCAL_MACHINE, "SAM\\SAM");
    RegistryKeyImpl key(HKEY_LOCAL_MACHINE, "SAM\\SAM");
    EXPECT_EQ("Error when opening a registry key, access is denied. Key: HKEY_LOCAL_MACHINE\\SAM\\SAM\n\n"
              "System error message: Access is denied.\n",
              raisedMessage<RegistryAccessDeniedException>([&] { key.open(HKEY_LOCAL_MACHINE, KEY_READ); }));
    RegistryKeyImpl parent(HKEY_LOCAL_MACHINE, "SAM");
    parent.open(HKEY_LOCAL_MACHINE, KEY_READ);
    EXPECT_EQ(std::vector<std::string>{"SAM"}, RegistryReaderImpl(&parent).getSubKeys());
}

TEST_F(PosixRegistryReading, MissingKeysAndValuesWithTheWindowsText) {
    RegistryKeyImpl missing(HKEY_CURRENT_USER, "Software\\Missing");
    EXPECT_EQ("Error when opening a registry key, the key doesn't exist. Key: HKEY_CURRENT_USER\\Software\\Missing\n\n"
              "System error message: The system cannot find the file specified.\n",
              raisedMessage<RegistryKeyNotFoundException>([&] { missing.open(HKEY_CURRENT_USER, KEY_READ); }));
    RegistryKeyImpl root(HKEY_CURRENT_USER, "");
    root.open(HKEY_CURRENT_USER, KEY_READ);
    RegistryReaderImpl reader(&root);
    EXPECT_EQ("Error when reading a registry key, the value doesn't exist. Entry: HKEY_CURRENT_USER\\Missing\n\n"
              "System error message: The system cannot find the file specified.\n",
              raisedMessage<RegistryValueNotFoundException>([&] { reader.readString("Missing"); }));
}

// Windows stores a string as given, with or without its NUL: reading never
// goes past the bytes the platform returned.
TEST_F(PosixRegistryReading, StringDataWithoutANulEndsWithItsBytes) {
    registry().createKey(HKEY_USERS, "Key");
    registry().setValue(HKEY_USERS, "Key", "Bare", REG_SZ, "abc");
    registry().setValue(HKEY_USERS, "Key", "Full", REG_SZ, std::string(2048, 'f'));
    registry().setValue(HKEY_USERS, "Key", "Expand", REG_EXPAND_SZ, "%VESTIGA_UNSET_NAME%");
    RegistryKeyImpl key(HKEY_USERS, "Key");
    key.open(HKEY_USERS, KEY_READ);
    RegistryReaderImpl reader(&key);
    EXPECT_EQ("abc", reader.readString("Bare"));
    EXPECT_EQ(std::string(2048, 'f'), reader.readString("Full"));
    EXPECT_EQ("%VESTIGA_UNSET_NAME%", reader.readString("Expand"));
    const Values expected = {{"Bare", "abc"}, {"Full", std::string(2048, 'f')}, {"Expand", "%VESTIGA_UNSET_NAME%"}};
    EXPECT_EQ(expected, reader.getValues());
}

TEST_F(PosixRegistryReading, ExpandableStringsTooShortForAReferenceStayAsTheyAre) {
    registry().createKey(HKEY_USERS, "Key");
    registry().setValue(HKEY_USERS, "Key", "Empty", REG_EXPAND_SZ, std::string("\0", 1));
    registry().setValue(HKEY_USERS, "Key", "One", REG_EXPAND_SZ, std::string("1\0", 2));
    RegistryKeyImpl key(HKEY_USERS, "Key");
    key.open(HKEY_USERS, KEY_READ);
    RegistryReaderImpl reader(&key);
    EXPECT_EQ((Values{{"Empty", ""}, {"One", "1"}}), reader.getValues());
    EXPECT_EQ("1", reader.readString("One"));
}

TEST_F(PosixRegistryReading, PerformanceDataOpensButCannotBeListed) {
    RegistryKeyImpl key(HKEY_PERFORMANCE_DATA, "");
    key.open(HKEY_PERFORMANCE_DATA, KEY_READ);
    RegistryReaderImpl reader(&key);
    EXPECT_EQ("Error querying registry information using 'RegQueryInfoKey'. "
              "System error message: The handle is invalid.\n",
              raisedMessage<RegistryException>([&] { reader.getValues(); }));
    EXPECT_EQ("Error when enumerating a registry key using 'RegEnumKey'. Entry: HKEY_PERFORMANCE_DATA\n\n"
              "System error message: The handle is invalid.\n",
              raisedMessage<RegistryException>([&] { reader.getSubKeys(); }));
}

TEST_F(PosixRegistryReading, DynamicDataIsAnEmptyRoot) {
    RegistryKeyImpl key(HKEY_DYN_DATA, "");
    key.open(HKEY_DYN_DATA, KEY_READ);
    RegistryReaderImpl reader(&key);
    EXPECT_EQ(Values(), reader.getValues());
    EXPECT_EQ(std::vector<std::string>(), reader.getSubKeys());
}

TEST_F(PosixRegistryReading, AKeyDeletedWhileOpenFailsToList) {
    registry().createKey(HKEY_USERS, "Key");
    RegistryKeyImpl key(HKEY_USERS, "Key");
    key.open(HKEY_USERS, KEY_READ);
    registry().deleteTree(HKEY_USERS, "Key");
    RegistryReaderImpl reader(&key);
    EXPECT_EQ("Error when enumerating a registry key using 'RegEnumKey'. Entry: HKEY_USERS\\Key\n\n"
              "System error message: Illegal operation attempted on a registry key that has been marked for "
              "deletion.\n",
              raisedMessage<RegistryException>([&] { reader.getSubKeys(); }));
}

// A NUL inside a key's name is a byte of it, as on Windows: the key is
// listed, opened and named whole, beside the key its name would be cut to,
// below a root as below any other key.
TEST_F(PosixRegistryReading, AKeyNameWithANulIsReadAsItIs) {
    const std::string cut("x\0y", 3);
    for (const std::string& path : {std::string("Key\\x"), "Key\\" + cut, "Key\\" + cut + "\\in", cut}) {
        registry().createKey(HKEY_USERS, path);
        registry().setValue(HKEY_USERS, path, "v", REG_BINARY, path);
    }
    RegistryKeyImpl key(HKEY_USERS, "Key");
    key.open(HKEY_USERS, KEY_READ);
    EXPECT_EQ((std::vector<std::string>{"x", cut}), RegistryReaderImpl(&key).getSubKeys());

    RegistryKeyImpl below(key, cut);
    below.open(key.getKey(), KEY_READ);
    EXPECT_EQ((Values{{"v", "Key\\" + cut}}), RegistryReaderImpl(&below).getValues());
    EXPECT_EQ(std::vector<std::string>{"in"}, RegistryReaderImpl(&below).getSubKeys());

    RegistryKeyImpl root(HKEY_USERS, "");
    root.open(HKEY_USERS, KEY_READ);
    RegistryKeyImpl belowRoot(root, cut);
    belowRoot.open(root.getKey(), KEY_READ);
    EXPECT_EQ((Values{{"v", cut}}), RegistryReaderImpl(&belowRoot).getValues());

    RegistryKeyImpl missing(key, std::string("x\0z", 3));
    EXPECT_EQ("Error when opening a registry key, the key doesn't exist. Key: \"HKEY_USERS\\\\Key\\\\x\\000z\"\n\n"
              "System error message: The system cannot find the file specified.\n",
              raisedMessage<RegistryKeyNotFoundException>([&] { missing.open(key.getKey(), KEY_READ); }));
}

}  // namespace
