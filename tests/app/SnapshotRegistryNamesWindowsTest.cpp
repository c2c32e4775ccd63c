#include <gtest/gtest.h>

#include <cstdint>
#include <map>
#include <sstream>
#include <stdexcept>
#include <string>
#include <vector>

#include "platform/win32/Win32.h"

#include <sddl.h>
#include <winternl.h>

#include "app/IgnorePatterns.h"
#include "support/DumpBytes.h"
#include "digest/DigestFold.h"
#include "digest/MD5DigestImpl.h"
#include "support/CollectingMessageOutput.h"
#include "support/ScratchRegistryKey.h"
#include "util/NameQuoting.h"
#include "windows/registry/RegistryKeyImpl.h"
#include "windows/registry/RegistryReaderImpl.h"

namespace {

using namespace com::quorvane::products::lumeno;
using RegistryEntries = std::map<std::string, std::uint64_t>;

std::wstring widened(const std::string& ascii) { return std::wstring(ascii.begin(), ascii.end()); }

template <typename Function>
Function ntdll(const char* name) {
    return reinterpret_cast<Function>(
        reinterpret_cast<void*>(GetProcAddress(GetModuleHandleW(L"ntdll.dll"), name)));
}

UNICODE_STRING counted(const std::wstring& text) {
    UNICODE_STRING string;
    string.Buffer = const_cast<PWSTR>(text.data());
    string.Length = string.MaximumLength = static_cast<USHORT>(text.size() * sizeof(wchar_t));
    return string;
}

void deleteKey(HANDLE key) {
    typedef NTSTATUS(NTAPI * DeleteKey)(HANDLE);
    ntdll<DeleteKey>("NtDeleteKey")(key);
}

HKEY openBelowCurrentUser(const std::string& path, REGSAM access) {
    HKEY key = nullptr;
    const LONG result = RegOpenKeyExW(HKEY_CURRENT_USER, widened(path).c_str(), 0, access, &key);
    if (result != ERROR_SUCCESS) throw std::runtime_error("opening " + path + ": " + std::to_string(result));
    return key;
}

// Sets a value whose name the Reg* calls could not pass.
void setValue(HKEY key, const std::wstring& name, const std::string& data) {
    typedef NTSTATUS(NTAPI * SetValueKey)(HANDLE, PUNICODE_STRING, ULONG, ULONG, PVOID, ULONG);
    UNICODE_STRING valueName = counted(name);
    const NTSTATUS status = ntdll<SetValueKey>("NtSetValueKey")(key, &valueName, 0, REG_BINARY,
                                                                 const_cast<char*>(data.data()),
                                                                 static_cast<ULONG>(data.size()));
    if (status < 0) throw std::runtime_error("NtSetValueKey: " + std::to_string(status));
}

// A volatile key below an open one, of any name, made with NtCreateKey; it
// is deleted through its own handle, as a name with a NUL cannot be
// reached by the Reg* calls that delete a tree.
class CountedKey {
public:
    CountedKey(HKEY parent, const std::wstring& name) : _key(nullptr) {
        typedef NTSTATUS(NTAPI * CreateKey)(PHANDLE, ACCESS_MASK, POBJECT_ATTRIBUTES, ULONG, PUNICODE_STRING, ULONG,
                                           PULONG);
        UNICODE_STRING keyName = counted(name);
        OBJECT_ATTRIBUTES attributes;
        InitializeObjectAttributes(&attributes, &keyName, OBJ_CASE_INSENSITIVE, parent, nullptr);
        _status = ntdll<CreateKey>("NtCreateKey")(&_key, KEY_ALL_ACCESS | DELETE, &attributes, 0, nullptr,
                                                  REG_OPTION_VOLATILE, nullptr);
    }
    ~CountedKey() {
        if (_status < 0) return;
        deleteKey(_key);
        CloseHandle(_key);
    }
    bool made() const { return _status >= 0; }
    HKEY key() const { return static_cast<HKEY>(_key); }

private:
    HANDLE _key;
    NTSTATUS _status;
};

// The name the kernel knows HKEY_CURRENT_USER by: \Registry\User\<SID>.
std::wstring currentUserHive() {
    HANDLE token = nullptr;
    if (!OpenProcessToken(GetCurrentProcess(), TOKEN_QUERY, &token)) throw std::runtime_error("OpenProcessToken");
    DWORD size = 0;
    GetTokenInformation(token, TokenUser, nullptr, 0, &size);
    std::vector<char> user(size);
    const BOOL got = GetTokenInformation(token, TokenUser, user.data(), size, &size);
    CloseHandle(token);
    LPWSTR sid = nullptr;
    if (!got || !ConvertSidToStringSidW(reinterpret_cast<TOKEN_USER*>(user.data())->User.Sid, &sid)) {
        throw std::runtime_error("reading the user's SID");
    }
    const std::wstring hive = L"\\Registry\\User\\" + std::wstring(sid);
    LocalFree(sid);
    return hive;
}

// A volatile link key below HKEY_CURRENT_USER that points at another key
// there; removed again when destroyed. Deleting the tree above it would
// follow it, so it goes first.
class RegistryLink {
public:
    RegistryLink(const std::string& path, const std::string& target) : _path(widened(path)) {
        HKEY link = nullptr;
        LONG result = RegCreateKeyExW(HKEY_CURRENT_USER, _path.c_str(), 0, nullptr,
                                      REG_OPTION_VOLATILE | REG_OPTION_CREATE_LINK, KEY_ALL_ACCESS | KEY_CREATE_LINK,
                                      nullptr, &link, nullptr);
        if (result != ERROR_SUCCESS) throw std::runtime_error("creating a link: " + std::to_string(result));
        _target = currentUserHive() + L"\\" + widened(target);
        result = RegSetValueExW(link, L"SymbolicLinkValue", 0, REG_LINK, reinterpret_cast<const BYTE*>(_target.data()),
                                static_cast<DWORD>(_target.size() * sizeof(wchar_t)));
        RegCloseKey(link);
        if (result != ERROR_SUCCESS) throw std::runtime_error("setting a link's target: " + std::to_string(result));
    }

    ~RegistryLink() {
        HKEY link = nullptr;
        if (RegOpenKeyExW(HKEY_CURRENT_USER, _path.c_str(), REG_OPTION_OPEN_LINK, DELETE, &link) == ERROR_SUCCESS) {
            deleteKey(link);
            RegCloseKey(link);
        }
    }

    // The bytes of the link's one value: its target, UTF-16 without a NUL.
    std::string targetBytes() const {
        return std::string(reinterpret_cast<const char*>(_target.data()), _target.size() * sizeof(wchar_t));
    }

private:
    std::wstring _path;
    std::wstring _target;
};

std::uint64_t foldedMd5(const std::string& data) {
    MD5DigestImpl digest;
    digest.update(data.data(), data.data() + data.size());
    std::vector<unsigned char> bytes;
    digest.getDigest(bytes);
    return foldDigest(bytes);
}

// The entries of a scan of `key`, which gives no warning, named as a listing
// shows them.
RegistryEntries scan(const std::string& key) {
    CollectingMessageOutput output;
    ReadDump dump(scannedDump({}, {key}, output));
    EXPECT_EQ("", output.text());
    RegistryEntries entries;
    for (const auto& entry : entriesOf(dump.reader)) entries[shownName(entry.first)] = entry.second;
    return entries;
}

TEST(SnapshotRegistryNames, ALinkIsRecordedWithItsTargetAndNeverFollowed) {
    testsupport::ScratchRegistryKey scratch;
    scratch.createKey("a");
    scratch.setValue("a", "v", REG_SZ, std::string("x\0", 2));
    // Two links that lead back to the scratch key, which holds both.
    const RegistryLink loop(scratch.subKey() + "\\Loop", scratch.subKey());
    const RegistryLink inner(scratch.subKey() + "\\a\\Back", scratch.subKey());

    const std::string key = scratch.fullPath();
    EXPECT_EQ((RegistryEntries{{key, 0},
                       {key + "\\Loop", 0},
                       {key + "\\Loop\\SymbolicLinkValue", foldedMd5(loop.targetBytes())},
                       {key + "\\a", 0},
                       {key + "\\a\\Back", 0},
                       {key + "\\a\\Back\\SymbolicLinkValue", foldedMd5(inner.targetBytes())},
                       {key + "\\a\\v", foldedMd5("x")}}),
              scan(key));

    // A link named to start from is read at its target, whose links are
    // again recorded only.
    const RegistryEntries named = scan(key + "\\Loop");
    EXPECT_EQ(foldedMd5("x"), named.at(key + "\\Loop\\a\\v"));
    EXPECT_EQ(0u, named.at(key + "\\Loop\\Loop"));
    EXPECT_EQ(0u, named.count(key + "\\Loop\\Loop\\a"));
}

// Names as the registry holds them: a key path far beyond MAX_PATH, a lone
// surrogate beside the character that replaces it when it is cleaned up,
// and a NUL inside a key's and a value's name, each beside the name it
// would be cut to.
TEST(SnapshotRegistryNames, EveryNameIsReadAsItIs) {
    testsupport::ScratchRegistryKey scratch;
    const std::string key = scratch.fullPath();
    scratch.createKey("x");
    const HKEY parent = openBelowCurrentUser(scratch.subKey(), KEY_ALL_ACCESS);

    // Each part made below the one before: a path this long cannot be
    // named whole.
    std::string deep;
    HKEY below = parent;
    for (int part = 0; part < 12; ++part) {
        const std::string name(30, static_cast<char>('a' + part));
        deep += (part == 0 ? "" : "\\") + name;
        HKEY created = nullptr;
        ASSERT_EQ(ERROR_SUCCESS, RegCreateKeyExW(below, widened(name).c_str(), 0, nullptr, 0, KEY_ALL_ACCESS, nullptr,
                                                 &created, nullptr));
        if (below != parent) RegCloseKey(below);
        below = created;
    }
    setValue(below, L"v", "deep");
    RegCloseKey(below);
    const CountedKey lone(parent, std::wstring(L"x\xD800"));
    const CountedKey replaced(parent, std::wstring(L"x\xFFFD"));
    const CountedKey cut(parent, std::wstring(L"x\0y", 3));
    setValue(lone.key(), L"v", "lone");
    setValue(replaced.key(), L"v", "replaced");
    setValue(parent, std::wstring(L"val\0x", 5), "hidden");
    setValue(parent, L"val", "shown");
    ASSERT_TRUE(lone.made() && replaced.made());

    RegistryEntries expected{{key, 0},
                     {key + "\\x", 0},
                     {key + "\\x\xED\xA0\x80", 0},
                     {key + "\\x\xED\xA0\x80\\v", foldedMd5("lone")},
                     {key + "\\x\xEF\xBF\xBD", 0},
                     {key + "\\x\xEF\xBF\xBD\\v", foldedMd5("replaced")},
                     {key + "\\val", foldedMd5("shown")},
                     {key + "\\" + std::string("val\0x", 5), foldedMd5("hidden")}};
    for (std::string::size_type end = deep.find('\\'); end != std::string::npos; end = deep.find('\\', end + 1)) {
        expected[key + "\\" + deep.substr(0, end)] = 0;
    }
    expected[key + "\\" + deep] = 0;
    expected[key + "\\" + deep + "\\v"] = foldedMd5("deep");
    ASSERT_GT((key + "\\" + deep).size(), 300u);
    if (cut.made()) {
        setValue(cut.key(), L"in", "behind a NUL");
        expected[key + "\\" + std::string("x\0y", 3)] = 0;
        expected[key + "\\" + std::string("x\0y", 3) + "\\in"] = foldedMd5("behind a NUL");
    }
    const RegistryEntries entries = scan(key);
    RegCloseKey(parent);
    // The listing shows the names that need it quoted.
    RegistryEntries shown;
    for (const auto& entry : expected) shown[shownName(entry.first)] = entry.second;
    EXPECT_EQ(shown, entries);
}

// A predefined root is no handle the native calls know: a key with a NUL in
// its name directly below one is opened below the key the root stands for,
// whether it is named to start from or found by walking the root.
TEST(SnapshotRegistryNames, AKeyWithANulDirectlyBelowARootIsRead) {
    HKEY user = nullptr;
    ASSERT_EQ(ERROR_SUCCESS, RegOpenCurrentUser(KEY_ALL_ACCESS, &user));
    const std::string name = "VestigaTest-" + std::to_string(GetCurrentProcessId()) + std::string("\0root", 5);
    const CountedKey key(user, widened(name));
    RegCloseKey(user);
    if (!key.made()) GTEST_SKIP() << "NtCreateKey makes no name with a NUL";
    const CountedKey sub(key.key(), L"sub");
    setValue(key.key(), L"v", "below a root");
    setValue(sub.key(), L"w", "below that");

    const std::string path = "HKEY_CURRENT_USER\\" + name;
    EXPECT_EQ((RegistryEntries{{shownName(path), 0},
                       {shownName(path + "\\sub"), 0},
                       {shownName(path + "\\sub\\w"), foldedMd5("below that")},
                       {shownName(path + "\\v"), foldedMd5("below a root")}}),
              scan(path));

    windows::registry::RegistryKeyImpl root(HKEY_CURRENT_USER, "");
    root.open(HKEY_CURRENT_USER, KEY_READ);
    windows::registry::RegistryKeyImpl below(root, name);
    below.open(root.getKey(), KEY_READ);
    EXPECT_EQ((std::vector<std::pair<std::string, std::string>>{{"v", "below a root"}}),
              windows::registry::RegistryReaderImpl(&below).getValues());
}

}  // namespace
