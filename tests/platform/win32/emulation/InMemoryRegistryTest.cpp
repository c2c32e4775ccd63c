#include <gtest/gtest.h>

#include <cstdint>
#include <cstring>
#include <string>
#include <vector>

#include "platform/win32/RootKeys.h"
#include "platform/win32/Win32.h"
#include "platform/win32/emulation/EditableRegistry.h"

namespace {

using testsupport::EditableRegistry;

// Every root handle but HKEY_PERFORMANCE_DATA, which is no key of its own.
std::vector<HKEY> rootsWithKeys() {
    std::vector<HKEY> roots;
    for (const platform::RootKey& root : platform::ROOT_KEYS) {
        if (root.handle != HKEY_PERFORMANCE_DATA) roots.push_back(root.handle);
    }
    return roots;
}

class PosixInMemoryRegistry : public testing::Test {
protected:
    void SetUp() override { registry().reset(); }
    void TearDown() override { registry().reset(); }

    static EditableRegistry& registry() { return EditableRegistry::instance(); }

    static HKEY open(HKEY parent, const char* path, REGSAM access = KEY_READ) {
        HKEY key = nullptr;
        EXPECT_EQ(ERROR_SUCCESS, RegOpenKeyExA(parent, path, 0, access, &key)) << path;
        return key;
    }

    static LONG openResult(HKEY parent, const char* path) {
        HKEY key = nullptr;
        const LONG result = RegOpenKeyExA(parent, path, 0, KEY_READ, &key);
        if (result == ERROR_SUCCESS) RegCloseKey(key);
        return result;
    }

    static LONG enumKey(HKEY key, DWORD index, char* name, DWORD& length) {
        return RegEnumKeyExA(key, index, name, &length, nullptr, nullptr, nullptr, nullptr);
    }

    static std::string subKey(HKEY key, DWORD index) {
        char name[261];
        DWORD length = sizeof name;
        const LONG result = enumKey(key, index, name, length);
        return result == ERROR_SUCCESS ? std::string(name, length) : "error " + std::to_string(result);
    }
};

TEST_F(PosixInMemoryRegistry, TheProgramsOwnHasEmptyRootKeysThatOpenAsThemselves) {
    platform::InMemoryRegistry::install(nullptr);
    for (HKEY root : rootsWithKeys()) {
        EXPECT_EQ(root, open(root, ""));
        EXPECT_EQ(root, open(root, nullptr));
        DWORD subKeys = 99, values = 99;
        EXPECT_EQ(ERROR_SUCCESS, RegQueryInfoKeyA(root, nullptr, nullptr, nullptr, &subKeys, nullptr, nullptr, &values, nullptr, nullptr, nullptr, nullptr));
        EXPECT_EQ(0u, subKeys);
        EXPECT_EQ(0u, values);
        EXPECT_EQ(ERROR_SUCCESS, RegCloseKey(root));
        EXPECT_EQ(ERROR_SUCCESS, RegCloseKey(root));
    }
}

TEST_F(PosixInMemoryRegistry, PerformanceDataOpensButAnswersNoQuery) {
    // Keys made below it are never found.
    ASSERT_EQ(ERROR_SUCCESS, registry().createKey(HKEY_PERFORMANCE_DATA, "Global"));
    EXPECT_EQ(HKEY_PERFORMANCE_DATA, open(HKEY_PERFORMANCE_DATA, ""));
    EXPECT_EQ(ERROR_INVALID_HANDLE, openResult(HKEY_PERFORMANCE_DATA, "Global"));
    DWORD name = 0, data = 0, type = 0, size = 4;
    char buffer[8];
    EXPECT_EQ(ERROR_INVALID_HANDLE, RegQueryInfoKeyA(HKEY_PERFORMANCE_DATA, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, &name, &data, nullptr, nullptr));
    name = sizeof buffer;
    EXPECT_EQ(ERROR_INVALID_HANDLE, enumKey(HKEY_PERFORMANCE_DATA, 0, buffer, name));
    EXPECT_EQ(ERROR_INVALID_HANDLE,
              RegEnumValueA(HKEY_PERFORMANCE_DATA, 0, buffer, &name, nullptr, &type, reinterpret_cast<BYTE*>(buffer), &size));
    EXPECT_EQ(ERROR_INVALID_HANDLE,
              RegQueryValueExA(HKEY_PERFORMANCE_DATA, "Global", nullptr, &type, reinterpret_cast<BYTE*>(buffer), &size));
    EXPECT_EQ(ERROR_SUCCESS, RegCloseKey(HKEY_PERFORMANCE_DATA));
}

TEST_F(PosixInMemoryRegistry, UnknownHandlesAreInvalid) {
    const HKEY unknown = reinterpret_cast<HKEY>(static_cast<std::uintptr_t>(0x1234));
    const HKEY beyondTheRoots = reinterpret_cast<HKEY>(static_cast<std::intptr_t>(static_cast<std::int32_t>(0x80000007u)));
    EXPECT_EQ(ERROR_INVALID_HANDLE, openResult(unknown, ""));
    EXPECT_EQ(ERROR_INVALID_HANDLE, openResult(beyondTheRoots, ""));
    EXPECT_EQ(ERROR_INVALID_HANDLE, RegCloseKey(unknown));
    EXPECT_EQ(ERROR_INVALID_HANDLE, RegQueryInfoKeyA(unknown, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr));
    EXPECT_EQ("error 6", subKey(unknown, 0));
}

TEST_F(PosixInMemoryRegistry, OpenedKeysGetTheirOwnHandlesUntilClosed) {
    ASSERT_EQ(ERROR_SUCCESS, registry().createKey(HKEY_CURRENT_USER, "Software\\Vendor"));
    const HKEY software = open(HKEY_CURRENT_USER, "Software");
    const HKEY again = open(HKEY_CURRENT_USER, "Software");
    const HKEY relative = open(software, "Vendor");
    const HKEY same = open(software, "");
    for (HKEY key : {software, again, relative, same}) {
        for (HKEY root : rootsWithKeys()) EXPECT_NE(root, key);
        EXPECT_NE(HKEY_PERFORMANCE_DATA, key);
    }
    EXPECT_NE(software, again);
    EXPECT_NE(software, same);
    EXPECT_EQ("Vendor", subKey(same, 0));
    EXPECT_EQ(ERROR_SUCCESS, RegCloseKey(software));
    EXPECT_EQ(ERROR_INVALID_HANDLE, RegCloseKey(software));
    EXPECT_EQ("error 6", subKey(software, 0));
    EXPECT_EQ("Vendor", subKey(again, 0));
    registry().reset();
    EXPECT_EQ(ERROR_INVALID_HANDLE, RegCloseKey(again));
}

TEST_F(PosixInMemoryRegistry, PathsIgnoreAsciiCaseAndEmptyPartsButNotALeadingBackslash) {
    ASSERT_EQ(ERROR_SUCCESS, registry().createKey(HKEY_LOCAL_MACHINE, "Software\\Vendor\\Product"));
    EXPECT_EQ(ERROR_SUCCESS, openResult(HKEY_LOCAL_MACHINE, "SOFTWARE\\vendor\\pRoDuCt"));
    EXPECT_EQ(ERROR_SUCCESS, openResult(HKEY_LOCAL_MACHINE, "Software\\\\Vendor\\"));
    EXPECT_EQ(ERROR_BAD_PATHNAME, openResult(HKEY_LOCAL_MACHINE, "\\Software"));
    EXPECT_EQ(ERROR_FILE_NOT_FOUND, openResult(HKEY_LOCAL_MACHINE, "Software\\Missing\\Product"));
    EXPECT_EQ(ERROR_FILE_NOT_FOUND, openResult(HKEY_CURRENT_USER, "Software"));
    // Creating again under another spelling keeps the first one.
    ASSERT_EQ(ERROR_SUCCESS, registry().createKey(HKEY_LOCAL_MACHINE, "SOFTWARE\\VENDOR\\Other"));
    const HKEY software = open(HKEY_LOCAL_MACHINE, "software");
    EXPECT_EQ("Vendor", subKey(software, 0));
    EXPECT_EQ("error 259", subKey(software, 1));
    RegCloseKey(software);
}

TEST_F(PosixInMemoryRegistry, EnumerationFollowsCreationOrder) {
    for (const char* name : {"Zulu", "alpha", "Mike"}) registry().createKey(HKEY_USERS, std::string("Key\\") + name);
    for (const char* name : {"z", "", "A"}) registry().setValue(HKEY_USERS, "Key", name, REG_SZ, std::string(name) + '\0');
    registry().setValue(HKEY_USERS, "Key", "a", REG_BINARY, "replaced in place");

    const HKEY key = open(HKEY_USERS, "Key");
    EXPECT_EQ("Zulu", subKey(key, 0));
    EXPECT_EQ("alpha", subKey(key, 1));
    EXPECT_EQ("Mike", subKey(key, 2));
    EXPECT_EQ("error 259", subKey(key, 3));

    const char* const expectedNames[] = {"z", "", "A"};
    for (DWORD index = 0; index < 3; ++index) {
        char name[8];
        BYTE data[32];
        DWORD nameLength = sizeof name, dataSize = sizeof data, type = 0;
        ASSERT_EQ(ERROR_SUCCESS, RegEnumValueA(key, index, name, &nameLength, nullptr, &type, data, &dataSize));
        EXPECT_STREQ(expectedNames[index], name);
        EXPECT_EQ(std::strlen(expectedNames[index]), nameLength);
        EXPECT_EQ(index == 2 ? static_cast<DWORD>(REG_BINARY) : static_cast<DWORD>(REG_SZ), type);
    }
    char name[8];
    DWORD nameLength = sizeof name;
    EXPECT_EQ(ERROR_NO_MORE_ITEMS, RegEnumValueA(key, 3, name, &nameLength, nullptr, nullptr, nullptr, nullptr));
    RegCloseKey(key);
}

TEST_F(PosixInMemoryRegistry, QueryInfoGivesLongestNameInCharactersAndLongestDataInBytes) {
    registry().createKey(HKEY_USERS, "Key\\A much longer sub-key");
    registry().setValue(HKEY_USERS, "Key", "Name of nine", REG_BINARY, "1");
    registry().setValue(HKEY_USERS, "Key", "x", REG_BINARY, std::string(300, '\0'));
    const HKEY key = open(HKEY_USERS, "Key");
    DWORD subKeys = 0, longestSubKey = 0, values = 0, longestName = 0, longestData = 0;
    ASSERT_EQ(ERROR_SUCCESS, RegQueryInfoKeyA(key, nullptr, nullptr, nullptr, &subKeys, &longestSubKey, nullptr, &values, &longestName,
                                              &longestData, nullptr, nullptr));
    EXPECT_EQ(1u, subKeys);
    EXPECT_EQ(21u, longestSubKey);
    EXPECT_EQ(2u, values);
    EXPECT_EQ(12u, longestName);
    EXPECT_EQ(300u, longestData);
    RegCloseKey(key);
}

TEST_F(PosixInMemoryRegistry, BuffersTooSmallGiveMoreData) {
    registry().createKey(HKEY_USERS, "Key\\Sub-key");
    registry().setValue(HKEY_USERS, "Key", "Name", REG_SZ, std::string("data\0", 5));
    const HKEY key = open(HKEY_USERS, "Key");

    char name[16];
    BYTE data[16];
    std::memset(name, 'X', sizeof name);
    DWORD nameLength = 4, dataSize = sizeof data, type = 0;
    EXPECT_EQ(ERROR_MORE_DATA, RegEnumValueA(key, 0, name, &nameLength, nullptr, &type, data, &dataSize));
    EXPECT_EQ('X', name[0]);

    nameLength = sizeof name;
    dataSize = 4;
    EXPECT_EQ(ERROR_MORE_DATA, RegEnumValueA(key, 0, name, &nameLength, nullptr, &type, data, &dataSize));
    EXPECT_EQ(5u, dataSize);
    EXPECT_EQ(static_cast<DWORD>(REG_SZ), type);

    nameLength = 5;
    dataSize = 0;
    EXPECT_EQ(ERROR_SUCCESS, RegEnumValueA(key, 0, name, &nameLength, nullptr, &type, nullptr, &dataSize));
    EXPECT_EQ(5u, dataSize);
    EXPECT_STREQ("Name", name);
    EXPECT_EQ(4u, nameLength);

    std::memset(name, 'X', sizeof name);
    nameLength = 7;
    EXPECT_EQ(ERROR_MORE_DATA, enumKey(key, 0, name, nameLength));
    EXPECT_EQ('X', name[0]);
    nameLength = 8;
    EXPECT_EQ(ERROR_SUCCESS, enumKey(key, 0, name, nameLength));
    EXPECT_STREQ("Sub-key", name);
    EXPECT_EQ(7u, nameLength);

    dataSize = 4;
    EXPECT_EQ(ERROR_MORE_DATA, RegQueryValueExA(key, "name", nullptr, &type, data, &dataSize));
    EXPECT_EQ(5u, dataSize);
    dataSize = 5;
    EXPECT_EQ(ERROR_SUCCESS, RegQueryValueExA(key, "name", nullptr, &type, data, &dataSize));
    EXPECT_EQ(std::string("data\0", 5), std::string(reinterpret_cast<char*>(data), dataSize));
    dataSize = 16;
    EXPECT_EQ(ERROR_FILE_NOT_FOUND, RegQueryValueExA(key, "Missing", nullptr, &type, data, &dataSize));
    EXPECT_EQ(16u, dataSize);
    RegCloseKey(key);
}

TEST_F(PosixInMemoryRegistry, AccessFollowsTheDeniedKeysAndTheHandlesRights) {
    registry().createKey(HKEY_USERS, "Key\\Locked\\Below");
    registry().setValue(HKEY_USERS, "Key", "Value", REG_DWORD, std::string(4, '\0'));
    ASSERT_EQ(ERROR_SUCCESS, registry().denyAccess(HKEY_USERS, "Key\\Locked"));
    EXPECT_EQ(ERROR_ACCESS_DENIED, openResult(HKEY_USERS, "key\\locked"));
    EXPECT_EQ(ERROR_SUCCESS, openResult(HKEY_USERS, "Key\\Locked\\Below"));

    const HKEY enumerateOnly = open(HKEY_USERS, "Key", KEY_ENUMERATE_SUB_KEYS);
    EXPECT_EQ("Locked", subKey(enumerateOnly, 0));
    DWORD size = 4;
    BYTE data[4];
    EXPECT_EQ(ERROR_ACCESS_DENIED, RegQueryValueExA(enumerateOnly, "Value", nullptr, nullptr, data, &size));
    EXPECT_EQ(ERROR_SUCCESS, RegQueryInfoKeyA(enumerateOnly, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr));
    const HKEY queryOnly = open(HKEY_USERS, "Key", KEY_QUERY_VALUE);
    EXPECT_EQ("error 5", subKey(queryOnly, 0));
    EXPECT_EQ(ERROR_SUCCESS, RegQueryValueExA(queryOnly, "Value", nullptr, nullptr, data, &size));
    RegCloseKey(enumerateOnly);
    RegCloseKey(queryOnly);
}

TEST_F(PosixInMemoryRegistry, HandlesToADeletedKeyAnswerKeyDeleted) {
    registry().createKey(HKEY_USERS, "Key\\Child\\Grandchild");
    const HKEY child = open(HKEY_USERS, "Key\\Child");
    const HKEY grandchild = open(HKEY_USERS, "Key\\Child\\Grandchild");
    EXPECT_EQ(ERROR_SUCCESS, registry().deleteTree(HKEY_USERS, "Key\\Child\\"));
    EXPECT_EQ(ERROR_FILE_NOT_FOUND, openResult(HKEY_USERS, "Key\\Child"));
    EXPECT_EQ(ERROR_SUCCESS, openResult(HKEY_USERS, "Key"));
    EXPECT_EQ(ERROR_KEY_DELETED, RegQueryInfoKeyA(child, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr));
    EXPECT_EQ("error 1018", subKey(grandchild, 0));
    EXPECT_EQ(ERROR_SUCCESS, RegCloseKey(child));
    EXPECT_EQ(ERROR_SUCCESS, RegCloseKey(grandchild));
    EXPECT_EQ(ERROR_FILE_NOT_FOUND, registry().deleteTree(HKEY_USERS, "Key\\Child"));
    EXPECT_EQ(ERROR_INVALID_PARAMETER, registry().deleteTree(HKEY_USERS, ""));
}

TEST_F(PosixInMemoryRegistry, InvalidParametersAsWindowsRejectsThem) {
    EXPECT_EQ(ERROR_INVALID_PARAMETER, RegOpenKeyExA(HKEY_USERS, "", 0, KEY_READ, nullptr));
    DWORD reserved = 0, size = 0;
    BYTE data[4];
    EXPECT_EQ(ERROR_INVALID_PARAMETER, RegQueryValueExA(HKEY_USERS, "", &reserved, nullptr, nullptr, nullptr));
    EXPECT_EQ(ERROR_INVALID_PARAMETER, RegQueryValueExA(HKEY_USERS, "", nullptr, nullptr, data, nullptr));
    EXPECT_EQ(ERROR_INVALID_PARAMETER, RegEnumValueA(HKEY_USERS, 0, nullptr, &size, nullptr, nullptr, nullptr, nullptr));
    EXPECT_EQ(ERROR_INVALID_PARAMETER, RegEnumKeyExA(HKEY_USERS, 0, nullptr, &size, nullptr, nullptr, nullptr, nullptr));
    char className[4] = "XX";
    DWORD classLength = sizeof className, descriptor = 9;
    EXPECT_EQ(ERROR_SUCCESS, RegQueryInfoKeyA(HKEY_USERS, className, &classLength, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, &descriptor, nullptr));
    EXPECT_STREQ("", className);
    EXPECT_EQ(0u, classLength);
    EXPECT_EQ(0u, descriptor);
    EXPECT_EQ(ERROR_INVALID_PARAMETER, RegQueryInfoKeyA(HKEY_USERS, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr,
                                                        reinterpret_cast<struct _FILETIME*>(data)));
}

}  // namespace
