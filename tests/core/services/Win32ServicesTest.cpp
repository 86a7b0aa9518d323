#include "TempDir.h"
#include "core/archive/JvZlibMultiple.h"
#include "core/services/Error.h"
#include "core/services/ServicesFactory.h"
#include "core/services/Text.h"
#include "core/services/registry/RegistryText.h"

#include <algorithm>
#include <gtest/gtest.h>
#include <windows.h>

namespace vellarion {
namespace {

namespace fs = std::filesystem;
using test::readFile;
using test::writeFile;

// A folder on drive C: (not the temporary folder), removed afterwards.
struct OnDriveC {
    fs::path root;
    std::string text;
    OnDriveC() {
        static int counter = 0;
        text = "C:\\vellarion-test-" + std::to_string(::GetCurrentProcessId()) + "-" +
               std::to_string(counter++);
        root = pathFromUtf8(text);
        fs::create_directories(root);
    }
    ~OnDriveC() {
        std::error_code ec;
        fs::remove_all(root, ec);
    }
    std::string operator[](std::string_view rel) const { return text + "\\" + std::string(rel); }
    fs::path path(std::string_view rel) const { return root / pathFromUtf8(rel); }
};

std::wstring wide(std::string_view s) {
    const auto u = utf8ToUtf16(s);
    return {u.begin(), u.end()};
}

struct RegistryScratch {
    ~RegistryScratch() { ::RegDeleteTreeW(HKEY_CURRENT_USER, L"Software\\VellarionTest"); }
};

void setValue(const wchar_t* key, const wchar_t* name, DWORD type, const void* data, DWORD size) {
    HKEY k;
    ASSERT_EQ(::RegCreateKeyExW(HKEY_CURRENT_USER, key, 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &k,
                                nullptr),
              ERROR_SUCCESS);
    ::RegSetValueExW(k, name, 0, type, static_cast<const BYTE*>(data), size);
    ::RegCloseKey(k);
}

// Every value of a key and its subkeys, as "subkey|name|type|bytes".
std::vector<std::string> dump(const std::wstring& key) {
    std::vector<std::string> out;
    HKEY k;
    if (::RegOpenKeyExW(HKEY_CURRENT_USER, key.c_str(), 0, KEY_READ, &k) != ERROR_SUCCESS) {
        return out;
    }
    for (DWORD i = 0;; ++i) {
        wchar_t name[256];
        DWORD nameLen = 256, type = 0, size = 4096;
        BYTE data[4096];
        if (::RegEnumValueW(k, i, name, &nameLen, nullptr, &type, data, &size) != ERROR_SUCCESS) {
            break;
        }
        std::u16string n(name, name + nameLen);
        out.push_back(utf16ToUtf8(n) + "|" + std::to_string(type) + "|" +
                      std::string(reinterpret_cast<char*>(data), size));
    }
    for (DWORD i = 0;; ++i) {
        wchar_t name[256];
        DWORD nameLen = 256;
        if (::RegEnumKeyExW(k, i, name, &nameLen, nullptr, nullptr, nullptr, nullptr) !=
            ERROR_SUCCESS) {
            break;
        }
        for (auto& line : dump(key + L"\\" + name)) {
            out.push_back(utf16ToUtf8(std::u16string(name, name + nameLen)) + "\\" + line);
        }
    }
    ::RegCloseKey(k);
    std::sort(out.begin(), out.end());
    return out;
}

TEST(Win32Services, TheEnvironmentIsTheSystemsOwn) {
    auto s = makeSystemServices({.demo = true, .prefix = "ignored", .user = "ignored"});
    const UserEnvironment env = s->gatherEnvironment();
    EXPECT_FALSE(env.uzer.empty());
    EXPECT_NE(env.uzer, "ignored");
    EXPECT_EQ(env.drv, "C:");
    EXPECT_TRUE(equalsIgnoreCase(env.sfp, "C:\\users\\" + env.uzer + "\\AppData\\Roaming"))
        << env.sfp;
    EXPECT_TRUE(equalsIgnoreCase(env.loc, "C:\\users\\" + env.uzer + "\\AppData\\Local"))
        << env.loc;
    EXPECT_EQ(env.windoze, "6");
    EXPECT_EQ(s->GetSpecialFolderPath(12345), "");
    // This build is a 64-bit program, so its Windows is a 64-bit one.
    EXPECT_EQ(s->windows64Bit(), sizeof(void*) == 8);
}

TEST(Win32Services, FindsTheMarkerOnDriveCInTheEarlierCandidate) {
    OnDriveC c;
    auto s = makeSystemServices();
    writeFile(c.path("two/brndlog.txt"), "2");
    writeFile(c.path("three/BRNDLOG.TXT"), "3");
    fs::create_directories(c.path("one/brndlog.txt"));
    const std::string found =
        s->FindFileInDirList("brndlog.txt", ";" + c["one"] + ";" + c["two"] + "\\;" + c["three"]);
    EXPECT_EQ(found, c["two"] + "\\brndlog.txt");
    EXPECT_EQ(removeEveryOccurrence(s->FindFileInDirList("brndlog.txt", c["three"]), "brndlog.txt"),
              c["three"] + "\\");
    EXPECT_EQ(s->FindFileInDirList("brndlog.txt", c["one"] + ";" + c["missing"]), "");
}

TEST(Win32Services, CopyDirMergesAndCopyFileReplaces) {
    OnDriveC c;
    auto s = makeSystemServices();
    writeFile(c.path("profile/Cookies/a.txt"), "new a");
    writeFile(c.path("profile/Cookies/inner/b.txt"), "new b");
    writeFile(c.path("stage/Cookies/a.txt"), "old a");
    writeFile(c.path("stage/Cookies/keep.txt"), "keep");
    EXPECT_TRUE(s->CopyDir(c["profile\\Cookies"], c["stage"]));
    EXPECT_EQ(readFile(c.path("stage/Cookies/a.txt")), "new a");
    EXPECT_EQ(readFile(c.path("stage/Cookies/inner/b.txt")), "new b");
    EXPECT_EQ(readFile(c.path("stage/Cookies/keep.txt")), "keep");
    EXPECT_FALSE(s->CopyDir(c["profile\\Missing"], c["stage"]));

    writeFile(c.path("profile/prefs.js"), "new");
    writeFile(c.path("stage/prefs.js"), "old");
    EXPECT_TRUE(s->copyFile(c["profile\\prefs.js"], c["stage\\prefs.js"]));
    EXPECT_EQ(readFile(c.path("stage/prefs.js")), "new");
    EXPECT_FALSE(s->copyFile(c["profile\\none.js"], c["stage\\none.js"]));
    EXPECT_FALSE(fs::exists(c.path("stage/none.js")));
}

TEST(Win32Services, TheCodecPacksAndUnpacksATreeOnDriveC) {
    OnDriveC c;
    auto s = makeSystemServices();
    const std::string big(300000, 'x');
    writeFile(c.path("profile/prefs.js"), "user_pref(\"a\", 1);\n");
    writeFile(c.path("profile/extensions/addon/install.rdf"), big);
    writeFile(c.path("profile/signons.sqlite"), "secret");
    ASSERT_TRUE(::SetFileAttributesW(wide(c["profile\\prefs.js"]).c_str(), FILE_ATTRIBUTE_HIDDEN));

    TJvZlibMultiple pack(s->paths());
    pack.CompressDirectory(c["profile"], true, c["default.dat"]);
    std::vector<std::string> stored;
    TJvZlibMultiple(s->paths()).ListStoredFiles(c["default.dat"], stored);
    std::sort(stored.begin(), stored.end());
    EXPECT_EQ(stored, (std::vector<std::string>{"extensions\\addon\\install.rdf", "prefs.js",
                                                "signons.sqlite"}));

    TJvZlibMultiple(s->paths()).DecompressFile(c["default.dat"], c["restored"], true, true);
    EXPECT_EQ(readFile(c.path("restored/prefs.js")), "user_pref(\"a\", 1);\n");
    EXPECT_EQ(readFile(c.path("restored/extensions/addon/install.rdf")), big);
    EXPECT_EQ(readFile(c.path("restored/signons.sqlite")), "secret");
}

TEST(Win32Services, DelTreeDeletesLongPathsAndRefusesRoots) {
    OnDriveC c;
    auto s = makeSystemServices();
    std::string deep = c["stage"];
    for (int i = 0; i < 10; ++i) {
        deep += "\\folder-with-a-rather-long-name-" + std::to_string(i);
    }
    ASSERT_GT(deep.size(), 300u);
    writeFile(c.path("stage/keep.txt"), "k");
    writeFile(pathFromUtf8("\\\\?\\" + deep + "\\file.txt"), "x");
    const std::string first = c["stage\\folder-with-a-rather-long-name-0"];
    ::SetFileAttributesW(wide(first + "\\folder-with-a-rather-long-name-1").c_str(),
                         FILE_ATTRIBUTE_READONLY);
    EXPECT_TRUE(s->DelTree(first));
    EXPECT_FALSE(s->directoryExists(first));
    EXPECT_TRUE(s->fileExists(c["stage\\keep.txt"]));
    EXPECT_FALSE(s->DelTree(first));
    EXPECT_FALSE(s->DelTree(""));
    EXPECT_FALSE(s->DelTree("C:\\"));
    EXPECT_FALSE(s->DelTree("C:"));
    EXPECT_FALSE(s->DelTree(c["stage\\keep.txt"]));
    EXPECT_TRUE(s->DelTree(c["stage"]));
    EXPECT_FALSE(fs::exists(c.path("stage")));
}

TEST(Win32Services, GetSubDirectoriesLeavesOutHiddenFoldersAndFiles) {
    OnDriveC c;
    auto s = makeSystemServices();
    fs::create_directories(c.path("Profiles/zz.work"));
    fs::create_directories(c.path("Profiles/abcd1234.default"));
    fs::create_directories(c.path("Profiles/secret"));
    ::SetFileAttributesW(wide(c["Profiles\\secret"]).c_str(), FILE_ATTRIBUTE_HIDDEN);
    writeFile(c.path("Profiles/file.txt"), "f");
    std::vector<std::string> list{"kept"};
    s->GetSubDirectories(c["Profiles"], list);
    EXPECT_EQ(list, (std::vector<std::string>{"kept", "abcd1234.default", "zz.work"}));
    s->GetSubDirectories(c["missing"], list);
    EXPECT_EQ(list.size(), 3u);

    writeFile(c.path("b/default.dat"), "1");
    writeFile(c.path("b/x.txt"), "2");
    EXPECT_EQ(s->listFiles(c["b"], ".DAT"), (std::vector<std::string>{"default.dat"}));
}

// Software\VellarionTest\Main with a value of each kind and a subkey, and a
// stale Software\VellarionTest\Copy to restore it over.
void writeSampleKey() {
    const DWORD dw = 0x12345678;
    const wchar_t text[] = L"Hello \"q\" \x0416";
    const BYTE bin[] = {0, 1, 2, 250};
    setValue(L"Software\\VellarionTest\\Main", L"Dw", REG_DWORD, &dw, 4);
    setValue(L"Software\\VellarionTest\\Main", nullptr, REG_SZ, text, sizeof text);
    setValue(L"Software\\VellarionTest\\Main\\Sub", L"Bin", REG_BINARY, bin, sizeof bin);
    setValue(L"Software\\VellarionTest\\Copy", L"Stale", REG_DWORD, &dw, 4);
}

TEST(Win32Services, ASavedKeyRestoredUnderAnotherNameRoundTrips) {
    RegistryScratch scratch;
    OnDriveC c;
    auto s = makeSystemServices();
    writeSampleKey();

    writeFile(c.path("set.reg"), "an older file");
    EXPECT_EQ(s->SaveKeyToFile("Software\\VellarionTest\\Main\\", c["set.reg"]),
              SystemServices::KeySave::Saved);
    ASSERT_TRUE(s->fileExists(c["set.reg"]));
    EXPECT_NE(readFile(c.path("set.reg")), "an older file");

    EXPECT_EQ(s->LoadKeyFromFile("Software\\VellarionTest\\Copy\\", c["set.reg"]), "");
    const auto copy = dump(L"Software\\VellarionTest\\Copy");
    EXPECT_EQ(copy, dump(L"Software\\VellarionTest\\Main"));
    EXPECT_EQ(copy.size(), 3u);
}

TEST(Win32Services, MissingKeysAndFilesAreSilentAndARejectedFileIsReported) {
    RegistryScratch scratch;
    OnDriveC c;
    auto s = makeSystemServices();
    EXPECT_EQ(s->SaveKeyToFile("Software\\VellarionTest\\Missing\\", c["missing.reg"]),
              SystemServices::KeySave::NoSuchKey);
    EXPECT_FALSE(fs::exists(c.path("missing.reg")));
    EXPECT_EQ(s->LoadKeyFromFile("Software\\VellarionTest\\X", c["missing.reg"]), "");

    writeFile(c.path("bad.reg"), "REGEDIT4\r\n\r\n[HKEY_CURRENT_USER\\Software]\r\n");
    const std::string message = s->LoadKeyFromFile("Software\\VellarionTest\\X", c["bad.reg"]);
    EXPECT_EQ(message, systemErrorText(ERROR_BADDB));
    EXPECT_FALSE(message.empty());
    EXPECT_NE(message.back(), '.');
}

// The privileges of the process token, each as "name on" or "name off".
std::vector<std::string> tokenPrivileges() {
    HANDLE token = nullptr;
    EXPECT_TRUE(::OpenProcessToken(::GetCurrentProcess(), TOKEN_QUERY, &token));
    DWORD size = 0;
    ::GetTokenInformation(token, TokenPrivileges, nullptr, 0, &size);
    std::vector<BYTE> buffer(size);
    EXPECT_TRUE(::GetTokenInformation(token, TokenPrivileges, buffer.data(), size, &size));
    ::CloseHandle(token);
    const auto* list = reinterpret_cast<const TOKEN_PRIVILEGES*>(buffer.data());
    std::vector<std::string> out;
    for (DWORD i = 0; i < list->PrivilegeCount; ++i) {
        LUID luid = list->Privileges[i].Luid;
        wchar_t name[128];
        DWORD length = 128;
        ::LookupPrivilegeNameW(nullptr, &luid, name, &length);
        out.push_back(utf16ToUtf8(std::u16string(name, name + length)) +
                      ((list->Privileges[i].Attributes & SE_PRIVILEGE_ENABLED) ? " on" : " off"));
    }
    std::sort(out.begin(), out.end());
    return out;
}

void setPrivilege(const wchar_t* name, bool on) {
    HANDLE token = nullptr;
    ASSERT_TRUE(::OpenProcessToken(::GetCurrentProcess(), TOKEN_ADJUST_PRIVILEGES, &token));
    TOKEN_PRIVILEGES tp{};
    tp.PrivilegeCount = 1;
    ASSERT_TRUE(::LookupPrivilegeValueW(nullptr, name, &tp.Privileges[0].Luid));
    tp.Privileges[0].Attributes = on ? SE_PRIVILEGE_ENABLED : 0;
    ASSERT_TRUE(::AdjustTokenPrivileges(token, FALSE, &tp, 0, nullptr, nullptr));
    ::CloseHandle(token);
}

TEST(Win32Services, SavesAndRestoresGiveTheTokenItsPrivilegesBackAsTheyWere) {
    RegistryScratch scratch;
    OnDriveC c;
    auto s = makeSystemServices();
    const DWORD dw = 7;
    setValue(L"Software\\VellarionTest\\Main", L"Dw", REG_DWORD, &dw, 4);
    for (bool enabledBefore : {false, true}) {
        SCOPED_TRACE(enabledBefore ? "enabled before" : "disabled before");
        setPrivilege(L"SeBackupPrivilege", enabledBefore);
        setPrivilege(L"SeRestorePrivilege", enabledBefore);
        const std::vector<std::string> before = tokenPrivileges();
        // The backup privilege as chosen; some privilege enabled to begin with.
        ASSERT_EQ(std::count(before.begin(), before.end(),
                             enabledBefore ? "SeBackupPrivilege on" : "SeBackupPrivilege off"),
                  1);
        ASSERT_GE(std::count_if(before.begin(), before.end(),
                                [](const std::string& p) { return p.ends_with(" on"); }),
                  1);
        EXPECT_EQ(s->SaveKeyToFile("Software\\VellarionTest\\Main\\", c["set.reg"]),
                  SystemServices::KeySave::Saved);
        EXPECT_EQ(s->LoadKeyFromFile("Software\\VellarionTest\\Copy\\", c["set.reg"]), "");
        EXPECT_EQ(tokenPrivileges(), before);
    }
    setPrivilege(L"SeBackupPrivilege", false);
    setPrivilege(L"SeRestorePrivilege", false);
}

// The thread acts as a standard account does: under a copy of the process
// token without the backup and restore privileges.
class WithoutBackupPrivilege {
public:
    WithoutBackupPrivilege() {
        HANDLE process = nullptr;
        if (!::OpenProcessToken(::GetCurrentProcess(), TOKEN_DUPLICATE | TOKEN_QUERY, &process)) {
            return;
        }
        LUID_AND_ATTRIBUTES removed[2]{};
        ::LookupPrivilegeValueW(nullptr, L"SeBackupPrivilege", &removed[0].Luid);
        ::LookupPrivilegeValueW(nullptr, L"SeRestorePrivilege", &removed[1].Luid);
        HANDLE restricted = nullptr;
        const bool made =
            ::CreateRestrictedToken(process, 0, 0, nullptr, 2, removed, 0, nullptr, &restricted) &&
            ::DuplicateTokenEx(restricted, TOKEN_IMPERSONATE | TOKEN_QUERY, nullptr,
                               SecurityImpersonation, TokenImpersonation, &token_);
        ::CloseHandle(process);
        if (restricted != nullptr) {
            ::CloseHandle(restricted);
        }
        active_ = made && ::SetThreadToken(nullptr, token_);
    }
    ~WithoutBackupPrivilege() {
        ::RevertToSelf();
        if (token_ != nullptr) {
            ::CloseHandle(token_);
        }
    }
    bool active() const { return active_; }

private:
    HANDLE token_ = nullptr;
    bool active_ = false;
};

TEST(Win32Services, WithoutTheBackupPrivilegeAKeyIsSavedAsTextAndRestoredAsWell) {
    RegistryScratch scratch;
    OnDriveC c;
    auto s = makeSystemServices();
    writeSampleKey();
    HKEY empty;
    ASSERT_EQ(::RegCreateKeyExW(HKEY_CURRENT_USER, L"Software\\VellarionTest\\Main\\Empty", 0,
                                nullptr, 0, KEY_ALL_ACCESS, nullptr, &empty, nullptr),
              ERROR_SUCCESS);
    ::RegCloseKey(empty);

    WithoutBackupPrivilege standard;
    ASSERT_TRUE(standard.active());
    {
        // Here the system itself writes no hive.
        HKEY main;
        ASSERT_EQ(::RegOpenKeyExW(HKEY_CURRENT_USER, L"Software\\VellarionTest\\Main", 0, KEY_READ,
                                  &main),
                  ERROR_SUCCESS);
        EXPECT_EQ(::RegSaveKeyW(main, wide(c["probe.reg"]).c_str(), nullptr),
                  ERROR_PRIVILEGE_NOT_HELD);
        ::RegCloseKey(main);
    }
    EXPECT_EQ(s->SaveKeyToFile("Software\\VellarionTest\\Main\\", c["set.reg"]),
              SystemServices::KeySave::Saved);
    const RegistryText saved = RegistryText::parse(readFile(c.path("set.reg")));
    EXPECT_EQ(saved.values(""),
              (std::vector<RegistryValue>{RegistryValue::string("", "Hello \"q\" Ж"),
                                          RegistryValue::dword("Dw", 0x12345678)}));
    EXPECT_EQ(saved.values("Sub"),
              (std::vector<RegistryValue>{RegistryValue::binary("Bin", {0, 1, 2, 250})}));
    EXPECT_TRUE(saved.hasKey("Empty"));

    EXPECT_EQ(s->LoadKeyFromFile("Software\\VellarionTest\\Copy\\", c["set.reg"]), "");
    EXPECT_EQ(dump(L"Software\\VellarionTest\\Copy"), dump(L"Software\\VellarionTest\\Main"));
    HKEY restored;
    EXPECT_EQ(::RegOpenKeyExW(HKEY_CURRENT_USER, L"Software\\VellarionTest\\Copy\\Empty", 0,
                              KEY_READ, &restored),
              ERROR_SUCCESS);
    ::RegCloseKey(restored);
}

} // namespace
} // namespace vellarion
