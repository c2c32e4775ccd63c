#include <gtest/gtest.h>

#include <cstdint>
#include <map>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "platform/errorresources/SystemErrors.h"
#include "platform/win32/Win32.h"
#include "support/ProcessEnvironment.h"
#include "support/RaisedMessage.h"
#include "support/ScratchRegistryKey.h"
#include "windows/registry/RegistryExceptions.h"
#include "windows/registry/RegistryKeyImpl.h"
#include "windows/registry/RegistryReaderImpl.h"

namespace {

using namespace windows::registry;
using testsupport::raisedMessage;
using Values = std::vector<std::pair<std::string, std::string>>;

std::string bytes(const char* data, std::size_t size) { return std::string(data, size); }

bool reportsCheck(const std::string& captured, const std::string& expression) {
    return captured.find("Assertion failed. Message: " + expression + "\n") != std::string::npos;
}

// A scratch key, opened for reading through the classes under test. Names are
// created in alphabetical order: Wine lists values and sub-keys sorted, the
// in-memory registry and Windows (for values) in creation order.
class RegistryReaderImplTest : public testing::Test {
protected:
    void SetUp() override { testsupport::setEnvironmentVariable("VESTIGA_READER_DIR", "C:\\Expanded"); }
    void TearDown() override { testsupport::unsetEnvironmentVariable("VESTIGA_READER_DIR"); }

    RegistryReaderImpl& open(REGSAM access = KEY_READ, const std::string& below = "") {
        _key.reset(new RegistryKeyImpl(HKEY_CURRENT_USER, below.empty() ? scratch.subKey() : scratch.subKey() + "\\" + below));
        _key->open(HKEY_CURRENT_USER, access);
        _reader.reset(new RegistryReaderImpl(_key.get()));
        return *_reader;
    }

    std::string entry(const std::string& valueName) const { return "Entry: " + scratch.fullPath() + "\\" + valueName; }

    testsupport::ScratchRegistryKey scratch;
    std::unique_ptr<RegistryKeyImpl> _key;
    std::unique_ptr<RegistryReaderImpl> _reader;
};

TEST_F(RegistryReaderImplTest, AKeyWithoutValuesOrSubKeysGivesEmptyLists) {
    RegistryReaderImpl& reader = open();
    EXPECT_EQ(Values(), reader.getValues());
    EXPECT_EQ(std::vector<std::string>(), reader.getSubKeys());
}

TEST_F(RegistryReaderImplTest, ValuesOfEveryTypeAreListedAsNameAndData) {
    scratch.setValue("", "", REG_SZ, bytes("default\0", 8));
    scratch.setValue("", "Binary", REG_BINARY, bytes("a\0bc\0\0", 6));
    scratch.setValue("", "Dword", REG_DWORD, bytes("\x04\x03\x02\x01", 4));
    scratch.setValue("", "Empty", REG_BINARY, "");
    scratch.setValue("", "Expand", REG_EXPAND_SZ, bytes("%VESTIGA_READER_DIR%\\bin\0", 25));
    scratch.setValue("", "ExpandShort", REG_EXPAND_SZ, bytes("x\0", 2));
    scratch.setValue("", "Hidden", REG_EXPAND_SZ, bytes("%VESTIGA_READER_DIR%\0%VESTIGA_READER_DIR%\0\0", 43));
    scratch.setValue("", "Multi", REG_MULTI_SZ, bytes("a\0bc\0\0", 6));
    scratch.setValue("", "None", REG_NONE, bytes("\0\x01", 2));
    scratch.setValue("", "Text", REG_SZ, bytes("abc\0def\0", 8));
    scratch.setValue("", "TextBehindNul", REG_SZ, bytes("\0\0one\0\0", 7));
    scratch.setValue("", "Unended", REG_SZ, "abc");

    const Values expected = {
        {"", "default"},
        {"Binary", bytes("a\0bc\0\0", 6)},
        {"Dword", bytes("\x04\x03\x02\x01", 4)},
        {"Empty", ""},
        {"Expand", "C:\\Expanded\\bin"},
        {"ExpandShort", "x"},
        {"Hidden", bytes("C:\\Expanded\0%VESTIGA_READER_DIR%", 32)},
        {"Multi", bytes("a\0bc\0\0", 6)},
        {"None", bytes("\0\x01", 2)},
        {"Text", bytes("abc\0def", 7)},
        {"TextBehindNul", bytes("\0\0one", 5)},
        {"Unended", "abc"},
    };
    const Values values = open().getValues();
    EXPECT_EQ(expected, values);
    // The type is not recorded: the same bytes as REG_BINARY and REG_MULTI_SZ are equal.
    EXPECT_EQ(values[1].second, values[7].second);
}

TEST_F(RegistryReaderImplTest, SubKeysAreListedByNameInOrder) {
    scratch.createKey("Alpha\\Deeper");
    scratch.createKey("beta");
    scratch.createKey("Gamma");
    scratch.setValue("", "Alpha", REG_SZ, bytes("a value, not a key\0", 19));
    const std::vector<std::string> expected = {"Alpha", "beta", "Gamma"};
    EXPECT_EQ(expected, open().getSubKeys());
    EXPECT_EQ(std::vector<std::string>{"Deeper"}, open(KEY_READ, "Alpha").getSubKeys());
}

TEST_F(RegistryReaderImplTest, ReadStringGivesTheTextUpToItsFirstNul) {
    scratch.setValue("", "", REG_SZ, bytes("default\0", 8));
    scratch.setValue("", "Expand", REG_EXPAND_SZ, bytes("%VESTIGA_READER_DIR%\\bin\0", 25));
    scratch.setValue("", "Multi", REG_MULTI_SZ, bytes("first\0second\0\0", 14));
    scratch.setValue("", "Text", REG_SZ, bytes("abc\0def\0", 8));
    RegistryReaderImpl& reader = open();
    EXPECT_EQ("default", reader.readString(""));
    EXPECT_EQ("C:\\Expanded\\bin", reader.readString("Expand"));
    EXPECT_EQ("first", reader.readString("Multi"));
    EXPECT_EQ("abc", reader.readString("Text"));
}

TEST_F(RegistryReaderImplTest, ReadStringOfAnotherTypeIsAFailedCheck) {
    scratch.setValue("", "Binary", REG_BINARY, bytes("ab\0", 3));
    RegistryReaderImpl& reader = open();
    testing::internal::CaptureStdout();
    EXPECT_EQ("ab", reader.readString("Binary"));
    EXPECT_TRUE(reportsCheck(testing::internal::GetCapturedStdout(),
                             "type == REG_SZ || type == REG_MULTI_SZ || type == REG_EXPAND_SZ"));
}

TEST_F(RegistryReaderImplTest, ReadIntReadsLittleEndianBytes) {
    scratch.setValue("", "Binary2", REG_BINARY, bytes("\x34\x12", 2));
    scratch.setValue("", "Dword", REG_DWORD, bytes("\x04\x03\x02\x81", 4));
    RegistryReaderImpl& reader = open();
    EXPECT_EQ(0x1234, reader.readInt("Binary2"));
    EXPECT_EQ(static_cast<int>(0x81020304u), reader.readInt("Dword"));
}

TEST_F(RegistryReaderImplTest, ReadIntOfAStringIsAFailedCheck) {
    scratch.setValue("", "Text", REG_SZ, bytes("ab\0", 3));
    RegistryReaderImpl& reader = open();
    testing::internal::CaptureStdout();
    EXPECT_EQ(0x006261, reader.readInt("Text"));
    EXPECT_TRUE(reportsCheck(testing::internal::GetCapturedStdout(),
                             "type == REG_DWORD || type == REG_BINARY || type == REG_DWORD_LITTLE_ENDIAN"));
}

TEST_F(RegistryReaderImplTest, AMissingValueIsNotFound) {
    RegistryReaderImpl& reader = open();
    const std::string expected = "Error when reading a registry key, the value doesn't exist. " + entry("Missing") +
                                 "\n\n" + SystemErrors::map(2);
    EXPECT_EQ(expected, raisedMessage<RegistryValueNotFoundException>([&] { reader.readString("Missing"); }));
    EXPECT_EQ(expected, raisedMessage<RegistryValueNotFoundException>([&] { reader.readInt("Missing"); }));
    EXPECT_FALSE(reader.valueExists("Missing"));
}

TEST_F(RegistryReaderImplTest, ValueExistsForValuesOfAnyType) {
    scratch.setValue("", "", REG_SZ, bytes("default\0", 8));
    scratch.setValue("", "Dword", REG_DWORD, bytes("\x01\0\0\0", 4));
    scratch.setValue("", "Empty", REG_BINARY, "");
    RegistryReaderImpl& reader = open();
    EXPECT_TRUE(reader.valueExists(""));
    EXPECT_TRUE(reader.valueExists("Dword"));
    EXPECT_TRUE(reader.valueExists("Empty"));
}

TEST_F(RegistryReaderImplTest, LongTextIsReadWholeButAnIntegerLongerThanFourBytesIsAGenericFailure) {
    scratch.setValue("", "Long", REG_SZ, std::string(3000, 'x') + '\0');
    scratch.setValue("", "Wide", REG_BINARY, "12345678");
    // Longer than a first read of a listing takes.
    scratch.setValue("", "Huge", REG_BINARY, std::string(100000, 'h'));
    RegistryReaderImpl& reader = open();
    const Values values = reader.getValues();
    const std::map<std::string, std::string> byName(values.begin(), values.end());
    EXPECT_EQ(3u, values.size());
    EXPECT_EQ(std::string(100000, 'h'), byName.at("Huge"));
    EXPECT_EQ(std::string(3000, 'x'), reader.readString("Long"));
    EXPECT_TRUE(reader.valueExists("Long"));
    EXPECT_EQ("Error when reading a registry key. " + entry("Wide") + "\n\n" + SystemErrors::map(ERROR_MORE_DATA),
              raisedMessage<RegistryException>([&] { reader.readInt("Wide"); }));
}

// Names and text are UTF-8, up to three bytes for each character the platform
// counts in its sizes: none of them may be cut or dropped.
TEST_F(RegistryReaderImplTest, NamesAndTextOutsideAsciiComeBackWhole) {
    std::string name, text;
    for (int i = 0; i < 100; ++i) name += "\u65e5";
    for (int i = 0; i < 1000; ++i) text += "\u8a9e\U0001F30E";
    scratch.createKey(name);
    scratch.setValue("", "\u00fc", REG_BINARY, "\x01\x02");
    scratch.setValue("", name, REG_SZ, text + '\0');
    RegistryReaderImpl& reader = open();
    EXPECT_EQ((Values{{"\u00fc", "\x01\x02"}, {name, text}}), reader.getValues());
    EXPECT_EQ(std::vector<std::string>{name}, reader.getSubKeys());
    EXPECT_EQ(text, reader.readString(name));
}

TEST_F(RegistryReaderImplTest, AHandleWithoutQueryAccessCannotReadValues) {
    scratch.setValue("", "Text", REG_SZ, bytes("abc\0", 4));
    scratch.createKey("Child");
    RegistryReaderImpl& reader = open(KEY_ENUMERATE_SUB_KEYS);
    EXPECT_EQ("Error when reading a registry key, access is denied. " + entry("Text") + "\n\n" + SystemErrors::map(5),
              raisedMessage<RegistryAccessDeniedException>([&] { reader.readString("Text"); }));
    EXPECT_EQ("Error when reading a registry key while enumerating a value, access is denied. Using 'RegEnumValue'. "
              "Entry: " + scratch.fullPath() + "\n\n" + SystemErrors::map(5),
              raisedMessage<RegistryAccessDeniedException>([&] { reader.getValues(); }));
    EXPECT_EQ(std::vector<std::string>{"Child"}, reader.getSubKeys());
}

TEST_F(RegistryReaderImplTest, AHandleWithoutEnumerateAccessCannotListSubKeys) {
    scratch.setValue("", "Text", REG_SZ, bytes("abc\0", 4));
    scratch.createKey("Child");
    RegistryReaderImpl& reader = open(KEY_QUERY_VALUE);
    EXPECT_EQ("Error when enumerating a registry key using 'RegEnumKey', access is denied. Entry: " + scratch.fullPath() +
                  "\n\n" + SystemErrors::map(5),
              raisedMessage<RegistryAccessDeniedException>([&] { reader.getSubKeys(); }));
    EXPECT_EQ((Values{{"Text", "abc"}}), reader.getValues());
}

// A key whose handle the platform does not know.
class InvalidKey : public RegistryKey {
public:
    HKEY getKey() const override { return reinterpret_cast<HKEY>(static_cast<std::uintptr_t>(0x1234)); }
    std::string getName() const override { return "HKEY_USERS\\Invalid"; }
};

TEST(RegistryReaderImpl, FailuresWithAnInvalidHandleAreGeneric) {
    InvalidKey key;
    RegistryReaderImpl reader(&key);
    const std::string invalid = SystemErrors::map(ERROR_INVALID_HANDLE);
    EXPECT_EQ("Error when reading a registry key. Entry: HKEY_USERS\\Invalid\\Value\n\n" + invalid,
              raisedMessage<RegistryException>([&] { reader.readString("Value"); }));
    EXPECT_EQ("Error querying registry information using 'RegQueryInfoKey'. " + invalid,
              raisedMessage<RegistryException>([&] { reader.getValues(); }));
    EXPECT_EQ("Error when enumerating a registry key using 'RegEnumKey'. Entry: HKEY_USERS\\Invalid\n\n" + invalid,
              raisedMessage<RegistryException>([&] { reader.getSubKeys(); }));
}

}  // namespace
