#include "SamplePrefixFixture.h"
#include "WineRegistrySamples.h"
#include "core/services/Error.h"
#include "core/services/ServicesFactory.h"
#include "core/services/platform/posix/PosixSystemServices.h"
#include "core/services/registry/RegistryText.h"

#include <gtest/gtest.h>
#include <unistd.h>

namespace vellarion {
namespace {

namespace fs = std::filesystem;
using test::readFile;
using test::SamplePrefixFixture;
using test::TempDir;
using test::writeFile;

// Services over a bare drive C: in a temporary folder.
struct Drive {
    TempDir dir;
    fs::path c = dir / "drive_c";
    PosixSystemServices services{[this] {
        fs::create_directories(c);
        PosixServicesConfig config;
        config.drives['C'] = c;
        config.login = "bob";
        return config;
    }()};
};

std::vector<std::string> treeOf(const fs::path& root) {
    std::vector<std::string> out;
    for (const auto& e : fs::recursive_directory_iterator(root)) {
        out.push_back(e.path().lexically_relative(root).generic_string() +
                      (e.is_directory() ? "/" : "=" + readFile(e.path())));
    }
    std::sort(out.begin(), out.end());
    return out;
}

TEST(PrefixMapping, ComponentsMatchWithoutRegardToCaseBelowAMappedDrive) {
    Drive d;
    writeFile(d.c / "users/Bob/AppData/Roaming/Mozilla/Firefox/profiles.ini", "x");
    const auto& m = d.services.paths();
    EXPECT_EQ(*m.toNative("c:\\USERS\\bob\\appdata\\ROAMING\\mozilla\\firefox\\PROFILES.INI"),
              d.c / "users/Bob/AppData/Roaming/Mozilla/Firefox/profiles.ini");
    // Doubled separators fold, either slash separates, "." and ".." are
    // resolved without leaving the drive.
    EXPECT_EQ(*m.toNative("C:\\\\Users\\\\bob\\AppData/Roaming\\\\"),
              d.c / "users/Bob/AppData/Roaming");
    EXPECT_EQ(*m.toNative("C:\\..\\..\\Users\\.\\bob"), d.c / "users/Bob");
    // Missing parts keep the caller's spelling.
    EXPECT_EQ(*m.toNative("C:\\USERS\\bob\\New Folder\\A.txt"), d.c / "users/Bob/New Folder/A.txt");
    // A single leading backslash lies on the system drive.
    EXPECT_EQ(*m.toNative("\\users"), d.c / "users");
    EXPECT_EQ(m.fromNative(d.c / "users/Bob/AppData"), "C:\\users\\Bob\\AppData");
    // Native paths pass through.
    EXPECT_EQ(*m.toNative("/media/usb\\backups"), fs::path("/media/usb/backups"));
    EXPECT_TRUE(
        d.services.fileExists("C:\\users\\BOB\\appdata\\roaming\\mozilla\\firefox\\profiles.ini"));
    EXPECT_TRUE(d.services.directoryExists("c:\\Users\\bob\\\\AppData"));
    EXPECT_FALSE(d.services.fileExists("c:\\Users\\bob\\AppData"));
}

// What the user reads is what the user would type on this system.
TEST(PrefixMapping, APathIsShownAsThisSystemNamesIt) {
    Drive d;
    writeFile(d.c / "users/Bob/AppData/Roaming/Mozilla/Firefox/profiles.ini", "x");
    const auto& m = d.services.paths();
    EXPECT_EQ(
        m.toDisplay("C:\\users\\bob\\appdata\\Roaming\\Mozilla\\Firefox\\3tma45ru.second\\lock"),
        pathToUtf8(d.c) + "/users/Bob/AppData/Roaming/Mozilla/Firefox/3tma45ru.second/lock");
    EXPECT_EQ(m.toDisplay("/home/bob/.mozilla/firefox\\3tma45ru.second\\lock"),
              "/home/bob/.mozilla/firefox/3tma45ru.second/lock");
    EXPECT_EQ(m.toDisplay("sessionstore-backups\\recovery.jsonlz4"),
              "sessionstore-backups/recovery.jsonlz4");
    // A drive that names nothing here is shown as it was given.
    EXPECT_EQ(m.toDisplay("D:\\backup"), "D:\\backup");
    EXPECT_EQ(nativePathMapper().toDisplay("/media/usb\\backups"), "/media/usb/backups");
}

TEST(PrefixMapping, AnUnmappedDriveOrNetworkPathNamesNothingAndWritesNothing) {
    Drive d;
    writeFile(d.c / "src/a.txt", "a");
    const auto& m = d.services.paths();
    EXPECT_FALSE(m.toNative("D:\\backup").has_value());
    EXPECT_FALSE(m.toNative("\\\\server\\share\\x").has_value());

    const auto before = treeOf(d.dir.path());
    const fs::path cwd = fs::current_path();
    fs::current_path(d.dir.path());
    EXPECT_FALSE(d.services.createDirectory("D:\\backup"));
    EXPECT_FALSE(d.services.createDirectories("D:\\backup\\deep"));
    EXPECT_FALSE(d.services.copyFile("C:\\src\\a.txt", "D:\\a.txt"));
    EXPECT_FALSE(d.services.CopyDir("C:\\src", "D:\\"));
    EXPECT_FALSE(d.services.fileExists("D:\\a.txt"));
    d.services.SaveKeyToFile("Software", "D:\\x.reg");
    fs::current_path(cwd);
    EXPECT_EQ(treeOf(d.dir.path()), before);
}

// Chrome marks its "User Data" in use with a link "host-pid", Firefox its
// profile with "127.0.0.1:+pid" beside an fcntl lock: held while the
// process lives on this host, not after it ended or on another machine.
TEST(FileOperations, ALockLinkIsHeldOnlyByALiveProcessOfThisHost) {
    TempDir dir;
    char host[256] = {};
    ::gethostname(host, sizeof host - 1);
    const auto link = [&](const char* name, const std::string& target) {
        fs::create_symlink(target, dir / name);
        return pathToUtf8(dir / name);
    };
    const PosixSystemServices services({});
    EXPECT_TRUE(
        services.isLockHeld(link("live", std::string(host) + "-" + std::to_string(::getpid()))));
    EXPECT_TRUE(services.isLockHeld(link("ip", "127.0.0.1:+" + std::to_string(::getpid()))));
    EXPECT_FALSE(services.isLockHeld(link("ended", std::string(host) + "-999999999")));
    EXPECT_FALSE(
        services.isLockHeld(link("elsewhere", "another-machine-" + std::to_string(::getpid()))));
    EXPECT_FALSE(services.isLockHeld(link("garbage", "not a lock")));
    writeFile(dir / "plain", "");
    EXPECT_FALSE(services.isLockHeld(pathToUtf8(dir / "plain")));
    EXPECT_FALSE(services.isLockHeld(pathToUtf8(dir / "missing")));
}

TEST(PrefixEnvironment, AWindowsIs64BitWhenItHasThe64BitFolders) {
    Drive d;
    EXPECT_FALSE(d.services.windows64Bit());
    fs::create_directories(d.c / "windows/syswow64");
    EXPECT_TRUE(d.services.windows64Bit());
    fs::remove_all(d.c / "windows/syswow64");
    fs::create_directories(d.c / "program files (x86)");
    EXPECT_TRUE(d.services.windows64Bit());
    EXPECT_FALSE(SamplePrefixFixture({.windows64 = false}).services().windows64Bit());
}

TEST(FileOperations, CopyFileReplacesAndFailsSilentlyWithoutASource) {
    Drive d;
    writeFile(d.c / "p/prefs.js", "new");
    writeFile(d.c / "stage/prefs.js", "old");
    EXPECT_TRUE(d.services.copyFile("C:\\p\\prefs.js", "C:\\STAGE\\prefs.js"));
    EXPECT_EQ(readFile(d.c / "stage/prefs.js"), "new");
    EXPECT_FALSE(d.services.copyFile("C:\\p\\missing.js", "C:\\stage\\missing.js"));
    EXPECT_FALSE(fs::exists(d.c / "stage/missing.js"));
    // Its folder must exist; it is not created.
    EXPECT_FALSE(d.services.copyFile("C:\\p\\prefs.js", "C:\\nowhere\\prefs.js"));
    EXPECT_FALSE(fs::exists(d.c / "nowhere"));
    // A file copied onto itself stays whole.
    EXPECT_FALSE(d.services.copyFile("C:\\p\\prefs.js", "c:\\P\\PREFS.JS"));
    EXPECT_EQ(readFile(d.c / "p/prefs.js"), "new");

    EXPECT_TRUE(d.services.createDirectory("C:\\stage\\new"));
    EXPECT_FALSE(d.services.createDirectory("C:\\stage\\new"));
    EXPECT_FALSE(d.services.createDirectory("C:\\a\\b\\c"));
    EXPECT_TRUE(d.services.createDirectories("C:\\a\\b\\c"));
    EXPECT_TRUE(d.services.deleteFile("C:\\stage\\PREFS.js"));
    EXPECT_FALSE(d.services.deleteFile("C:\\stage\\prefs.js"));
}

TEST(FileOperations, CopyDirMergesIntoTheSameNamedFolderReplacingFiles) {
    Drive d;
    writeFile(d.c / "profile/Cookies/a.txt", "new a");
    writeFile(d.c / "profile/Cookies/inner/b.txt", "new b");
    writeFile(d.c / "profile/Cookies/.hidden", "h");
    writeFile(d.c / "stage/cookies/a.txt", "old a");
    writeFile(d.c / "stage/cookies/keep.txt", "keep");

    EXPECT_TRUE(d.services.CopyDir("C:\\profile\\Cookies", "C:\\stage"));
    EXPECT_EQ(treeOf(d.c / "stage"),
              (std::vector<std::string>{"cookies/", "cookies/.hidden=h", "cookies/a.txt=new a",
                                        "cookies/inner/", "cookies/inner/b.txt=new b",
                                        "cookies/keep.txt=keep"}));
    // The source is left as it was.
    EXPECT_EQ(readFile(d.c / "profile/Cookies/a.txt"), "new a");
}

TEST(FileOperations, CopyDirIntoAMissingFolderCreatesItWithTheContent) {
    Drive d;
    writeFile(d.c / "profile/mail/store/1.mbs", "m");
    EXPECT_TRUE(d.services.CopyDir("C:\\profile\\mail", "C:\\stage\\loc\\mail"));
    EXPECT_EQ(readFile(d.c / "stage/loc/mail/store/1.mbs"), "m");
    EXPECT_FALSE(d.services.CopyDir("C:\\profile\\missing", "C:\\stage"));
    EXPECT_FALSE(fs::exists(d.c / "stage/missing"));
    // Never into itself.
    EXPECT_FALSE(d.services.CopyDir("C:\\profile", "C:\\profile\\mail"));
    EXPECT_FALSE(fs::exists(d.c / "profile/mail/profile"));
}

TEST(FileOperations, DelTreeDeletesForGoodAndRefusesRootsAndMissingFolders) {
    Drive d;
    writeFile(d.c / "backup/default/places.sqlite", "p");
    writeFile(d.c / "backup/default.dat", "archive");
    EXPECT_TRUE(d.services.DelTree("C:\\BACKUP\\default"));
    EXPECT_FALSE(fs::exists(d.c / "backup/default"));
    EXPECT_TRUE(fs::exists(d.c / "backup/default.dat"));
    // Nothing went to a trash folder anywhere in the drive.
    EXPECT_EQ(treeOf(d.c), (std::vector<std::string>{"backup/", "backup/default.dat=archive"}));

    EXPECT_FALSE(d.services.DelTree("C:\\backup\\default"));
    EXPECT_FALSE(d.services.DelTree(""));
    EXPECT_FALSE(d.services.DelTree("C:\\backup\\default.dat"));
    for (const char* root : {"C:", "C:\\", "c:\\\\", "C:\\backup\\..", "\\", "D:\\"}) {
        EXPECT_FALSE(d.services.DelTree(root)) << root;
    }
    EXPECT_TRUE(fs::exists(d.c / "backup/default.dat"));
}

TEST(FileOperations, DelTreeHandlesALongPathWhole) {
    Drive d;
    std::string program = "C:\\stage";
    fs::path native = d.c / "stage";
    for (int i = 0; i < 12; ++i) {
        const std::string part = "folder-with-a-rather-long-name-" + std::to_string(i);
        program += "\\" + part;
        native /= part;
    }
    ASSERT_GT(program.size(), 300u);
    writeFile(native / "deep.txt", "x");
    writeFile(d.c / "stage/folder-with-a-rather-long-name-0/x.txt", "x");
    EXPECT_TRUE(d.services.DelTree(program));
    EXPECT_FALSE(fs::exists(native));
    // Only the named folder went: its parent, which a truncated path would
    // name, is still there.
    EXPECT_TRUE(fs::exists(d.c / "stage/folder-with-a-rather-long-name-0/x.txt"));
}

TEST(FileOperations, GetSubDirectoriesAppendsOnlyPlainFoldersSortedWithoutCase) {
    Drive d;
    fs::create_directories(d.c / "Profiles/zz.work");
    fs::create_directories(d.c / "Profiles/abcd1234.default");
    fs::create_directories(d.c / "Profiles/.hidden");
    fs::create_directories(d.c / "Profiles/Beta");
    writeFile(d.c / "Profiles/file.txt", "f");
    std::vector<std::string> list{"kept"};
    d.services.GetSubDirectories("C:\\profiles\\", list);
    EXPECT_EQ(list, (std::vector<std::string>{"kept", "abcd1234.default", "Beta", "zz.work"}));
    d.services.GetSubDirectories("C:\\missing", list);
    d.services.GetSubDirectories("D:\\Profiles", list);
    EXPECT_EQ(list.size(), 4u);
}

TEST(FileOperations, ListFilesGivesThePlainWritableFilesOfAKind) {
    Drive d;
    writeFile(d.c / "b/default.dat", "1");
    writeFile(d.c / "b/Profile 1.DAT", "2");
    writeFile(d.c / "b/.hidden.dat", "3");
    writeFile(d.c / "b/notes.txt", "4");
    writeFile(d.c / "b/locked.dat", "5");
    fs::permissions(d.c / "b/locked.dat", fs::perms::owner_write, fs::perm_options::remove);
    fs::create_directories(d.c / "b/folder.dat");
    EXPECT_EQ(d.services.listFiles("C:\\B", ".dat"),
              (std::vector<std::string>{"default.dat", "Profile 1.DAT"}));
    EXPECT_TRUE(d.services.listFiles("C:\\none", ".dat").empty());
}

TEST(MarkerSearch, FindsTheFirstCandidateHoldingTheMarker) {
    Drive d;
    writeFile(d.c / "one/brndlog.txt", "1");
    writeFile(d.c / "two/brndlog.txt", "2");
    fs::create_directories(d.c / "dir/brndlog.txt"); // a folder does not count
    EXPECT_EQ(d.services.FindFileInDirList("brndlog.txt", ";C:\\dir;;C:\\two;C:\\one"),
              "C:\\two\\brndlog.txt");
    EXPECT_EQ(d.services.FindFileInDirList("BRNDLOG.TXT", "C:\\one\\;C:\\two"),
              "C:\\one\\BRNDLOG.TXT");
    EXPECT_EQ(d.services.FindFileInDirList("one\\brndlog.txt", "C:"), "C:one\\brndlog.txt");
    EXPECT_EQ(d.services.FindFileInDirList("brndlog.txt", "C:\\dir;D:\\one"), "");
    EXPECT_EQ(d.services.FindFileInDirList("", "C:\\one"), "");
}

TEST(MarkerSearch, AMarkerInTheWorkingDirectoryWinsOverEveryCandidate) {
    Drive d;
    writeFile(d.c / "one/profiles.ini", "1");
    writeFile(d.dir / "cwd/profiles.ini", "here");
    const fs::path cwd = fs::current_path();
    fs::current_path(d.dir / "cwd");
    const std::string found = d.services.FindFileInDirList("profiles.ini", "C:\\one");
    fs::current_path(cwd);
    EXPECT_EQ(found, "profiles.ini");
}

class PrefixRegistry : public ::testing::Test {
protected:
    TempDir dir;
    PosixSystemServices services{[this] {
        writeFile(dir / "prefix/user.reg", test::kWineUserReg);
        fs::create_directories(dir / "prefix/drive_c/stage");
        PosixServicesConfig config;
        config.drives['C'] = dir / "prefix/drive_c";
        config.userRegistry = dir / "prefix/user.reg";
        return config;
    }()};
    fs::path stage = dir / "prefix/drive_c/stage";
    std::string userReg() { return readFile(dir / "prefix/user.reg"); }
};

TEST_F(PrefixRegistry, SaveKeyToFileWritesTheRegistrysOwnSavedFormat) {
    writeFile(stage / "set.reg", "an older hive");
    services.SaveKeyToFile("Software\\VProbe\\Main\\", "C:\\stage\\set.reg");
    EXPECT_EQ(readFile(stage / "set.reg"), test::kWineSavedMain);

    services.SaveKeyToFile("Software\\Microsoft\\Internet Explorer\\Main\\", "C:\\stage\\ie.reg");
    EXPECT_FALSE(fs::exists(stage / "ie.reg"));
    EXPECT_EQ(userReg(), test::kWineUserReg);
}

TEST_F(PrefixRegistry, LoadKeyFromFileRestoresUnderAnotherNameAndKeepsTheRest) {
    writeFile(stage / "main.reg", test::kWineSavedMain);
    EXPECT_EQ(services.LoadKeyFromFile("Software\\Restored\\Main\\", "C:\\STAGE\\main.reg"), "");
    const auto reg = RegistryText::parse(userReg());
    EXPECT_EQ(reg.values("Software\\Restored\\Main"), reg.values("Software\\VProbe\\Main"));
    EXPECT_EQ(reg.values("Software\\Restored\\Main\\Sub Key\\Deeper"),
              reg.values("Software\\VProbe\\Main\\Sub Key\\Deeper"));
    // Saving the restored key gives the same file back but for the key name.
    services.SaveKeyToFile("Software\\Restored\\Main", "C:\\stage\\again.reg");
    std::string expected = test::kWineSavedMain;
    expected.replace(expected.find("Software\\\\VProbe"), 16, "Software\\\\Restored");
    EXPECT_EQ(readFile(stage / "again.reg"), expected);
    // Every line of the old file is still there.
    const std::string now = userReg();
    std::string original = test::kWineUserReg;
    for (size_t at = 0, next; at < original.size(); at = next + 1) {
        next = original.find('\n', at);
        const std::string line = original.substr(at, next - at);
        EXPECT_NE(now.find(line), std::string::npos) << line;
    }
}

TEST_F(PrefixRegistry, LoadKeyFromFileIsSilentWithoutAFileAndReportsARejectedOne) {
    EXPECT_EQ(services.LoadKeyFromFile("Software\\VProbe\\Main", "C:\\stage\\missing.reg"), "");
    EXPECT_EQ(userReg(), test::kWineUserReg);

    writeFile(stage / "bad.reg", "REGEDIT4\n\n[HKEY_CURRENT_USER\\Software\\VProbe\\Main]\n");
    EXPECT_EQ(services.LoadKeyFromFile("Software\\VProbe\\Main", "C:\\stage\\bad.reg"),
              "The configuration registry database is corrupt");
    EXPECT_EQ(userReg(), test::kWineUserReg);
}

TEST(PrefixRegistryMissing, WithoutARegistryNothingIsSavedOrRestored) {
    Drive d;
    writeFile(d.c / "x.reg", test::kWineSavedMain);
    d.services.SaveKeyToFile("Software", "C:\\out.reg");
    EXPECT_FALSE(fs::exists(d.c / "out.reg"));
    EXPECT_EQ(d.services.LoadKeyFromFile("Software\\X", "C:\\x.reg"), "");
}

} // namespace
} // namespace vellarion
