// Restores on the day the data is gone: a fresh account, another system. The
// archive must come back where the browser will read it, whole.
#include "BrowserProfiles.h"
#include "CliRunner.h"
#include "FileTree.h"
#include "SamplePrefixFixture.h"
#include "TempDir.h"
#include "core/services/PathMapper.h"

#include <filesystem>
#include <gtest/gtest.h>
#include <nlohmann/json.hpp>
#include <sys/stat.h>

namespace vellarion::test {
namespace {

namespace fs = std::filesystem;
using Tree = std::map<std::string, std::string>;

// The tree as an archive holds it: an empty file (a lock, an empty journal)
// is stored as nothing.
Tree stored(Tree tree) {
    std::erase_if(tree, [](const auto& file) { return file.second.empty(); });
    return tree;
}

// The text without the lines that lock an installation's default.
std::string unlocked(std::string text) {
    for (std::size_t at; (at = text.find("Locked=1\n")) != std::string::npos;) {
        text.erase(at, 9);
    }
    return text;
}

// The mode bits of a file or folder.
fs::perms modeOf(const fs::path& path) {
    return fs::symlink_status(path).permissions() & fs::perms::all;
}

// The umask of the test, set for as long as the object lives.
struct Umask {
    explicit Umask(mode_t mask) : old(::umask(mask)) {}
    ~Umask() { ::umask(old); }
    mode_t old;
};

TEST(CliNewMachine, WhatARestoreMakesOnAFreshAccountIsTheUsersAlone) {
    TempDir old;
    writeCurrentFirefoxProfile(old / ".mozilla" / "firefox" / "k3x9ab12.default-release");
    writeFile(old / ".mozilla" / "firefox" / "profiles.ini",
              "[Profile0]\nName=default-release\nIsRelative=1\nPath=k3x9ab12.default-release\n"
              "Default=1\n\n[General]\nStartWithLastProfile=1\nVersion=2\n\n");
    writeCurrentChromeUserData(old / ".config" / "chromium");
    const fs::path backups = old / "backups";
    for (const char* browser : {"firefox", "chromium"}) {
        ASSERT_EQ(run({"full-backup", browser, "--to", s(backups)}, old.path()).exitCode, 0);
    }
    using P = fs::perms;
    for (const mode_t mask : {mode_t{022}, mode_t{0}}) {
        SCOPED_TRACE(mask);
        TempDir fresh;
        fs::permissions(fresh.path(), P::owner_all | P::group_read | P::group_exec |
                                          P::others_read | P::others_exec);
        Umask umask(mask);
        for (const char* browser : {"firefox", "chromium"}) {
            const Result restored =
                run({"full-restore", browser, "--from", s(backups)}, fresh.path());
            ASSERT_EQ(restored.exitCode, 0) << restored.err;
        }
        // Above the data folders the umask rules; in them nobody else reads.
        const P open = P::all & ~static_cast<P>(mask);
        EXPECT_EQ(modeOf(fresh / ".mozilla"), open);
        for (const fs::path& root :
             {fresh / ".mozilla" / "firefox", fresh / ".config" / "chromium"}) {
            SCOPED_TRACE(s(root));
            EXPECT_EQ(modeOf(root), P::owner_all);
            int files = 0;
            for (const auto& entry : fs::recursive_directory_iterator(root)) {
                EXPECT_EQ(modeOf(entry.path()),
                          entry.is_directory() ? P::owner_all : P::owner_read | P::owner_write)
                    << s(entry.path());
                files += entry.is_regular_file() ? 1 : 0;
            }
            EXPECT_GT(files, 5);
        }
        for (const char* secret :
             {".mozilla/firefox/k3x9ab12.default-release/logins.json",
              ".mozilla/firefox/k3x9ab12.default-release/key4.db",
              ".mozilla/firefox/k3x9ab12.default-release/cookies.sqlite",
              ".config/chromium/Default/Cookies", ".config/chromium/Default/Login Data"}) {
            EXPECT_TRUE(fs::exists(fresh / secret)) << secret;
        }
    }
}

TEST(CliNewMachine, AFullRestoreIntoAnEmptyHomeMakesTheDataFolderTheBrowserReads) {
    TempDir old;
    const fs::path firefox = old / ".mozilla" / "firefox";
    writeCurrentFirefoxProfile(firefox / "k3x9ab12.default-release");
    const std::string install = "[Install4F96D1932A9F858E]\nDefault=k3x9ab12.default-release\n"
                                "Locked=1\n\n";
    writeFile(firefox / "profiles.ini",
              install + "[Profile0]\nName=default-release\nIsRelative=1\n"
                        "Path=k3x9ab12.default-release\nDefault=1\n\n[General]\n"
                        "StartWithLastProfile=1\nVersion=2\n\n");
    writeFile(firefox / "installs.ini", install);
    const fs::path chrome = old / ".config" / "google-chrome";
    writeCurrentChromeUserData(chrome);
    const fs::path backups = old / "backups";
    for (const char* browser : {"firefox", "chrome"}) {
        const Result packed = run({"full-backup", browser, "--to", s(backups)}, old.path());
        ASSERT_EQ(packed.exitCode, 0) << packed.err;
    }

    TempDir fresh;
    const Result nothing = run({"profiles", "firefox"}, fresh.path());
    EXPECT_EQ(nothing.out, "");

    const Result restored = run({"full-restore", "firefox", "--from", s(backups)}, fresh.path());
    ASSERT_EQ(restored.exitCode, 0) << restored.err;
    const fs::path made = fresh / ".mozilla" / "firefox";
    EXPECT_EQ(restored.out.substr(0, restored.out.find('\n')),
              "No Firefox data was found here; restoring into " + s(made));
    // Every file as it was; only the lock that kept the default for the old
    // installation is gone, so that this one opens it.
    Tree expected = stored(readTree(firefox));
    expected["profiles.ini"] = unlocked(expected["profiles.ini"]);
    expected["installs.ini"] = unlocked(expected["installs.ini"]);
    EXPECT_EQ(differences(readTree(made), expected), "");
    EXPECT_EQ(run({"profiles", "firefox"}, fresh.path()).out, "k3x9ab12.default-release\n");

    const Result chromeBack = run({"full-restore", "chrome", "--from", s(backups)}, fresh.path());
    ASSERT_EQ(chromeBack.exitCode, 0) << chromeBack.err;
    const fs::path chromeMade = fresh / ".config" / "google-chrome";
    EXPECT_NE(chromeBack.out.find("restoring into " + s(chromeMade)), std::string::npos)
        << chromeBack.out;
    EXPECT_EQ(differences(readTree(chromeMade), stored(readTree(chrome))), "");
    EXPECT_EQ(run({"profiles", "chrome"}, fresh.path()).out, "Default\n");

    // Another place, named: made as well, and the found data root untouched.
    const fs::path elsewhere = fresh / "disk" / "firefox-copy";
    const Result into = run(
        {"full-restore", "firefox", "--from", s(backups), "--into", s(elsewhere)}, fresh.path());
    ASSERT_EQ(into.exitCode, 0) << into.err;
    EXPECT_EQ(differences(readTree(elsewhere), expected), "");
    EXPECT_EQ(into.out.find("No Firefox data"), std::string::npos) << into.out;
    for (const auto& [database, table] : currentFirefoxDatabases()) {
        const fs::path file = made / "k3x9ab12.default-release" / database;
        EXPECT_EQ(integrityOf(file), "ok") << database;
        EXPECT_EQ(rowsIn(file, table),
                  rowsIn(firefox / "k3x9ab12.default-release" / database, table))
            << database;
    }
}

TEST(CliNewMachine, FirefoxFromAWindowsDiskRestoresIntoThisMachinesOwnHome) {
    TempDir disk;
    const fs::path root = disk / "Users" / "bob" / "AppData" / "Roaming" / "Mozilla" / "Firefox";
    fs::create_directories(disk / "Users" / "bob" / "AppData" / "Local");
    writeCurrentFirefoxProfile(root / "Profiles" / "abcd1234.default-release");
    writeFile(root / "Profiles" / "wxyz9876.work" / "prefs.js", "user_pref(\"w\", 1);\r\n");
    // As Firefox on Windows writes it: CRLF, a relative default and a
    // profile named by its whole path.
    const std::string profilesIni =
        "[Install308046B0AF4A39CB]\r\nDefault=Profiles/abcd1234.default-release\r\nLocked=1\r\n\r\n"
        "[Profile1]\r\nName=work\r\nIsRelative=0\r\n"
        "Path=C:\\Users\\bob\\AppData\\Roaming\\Mozilla\\Firefox\\Profiles\\wxyz9876.work\r\n\r\n"
        "[Profile0]\r\nName=default-release\r\nIsRelative=1\r\n"
        "Path=Profiles/abcd1234.default-release\r\nDefault=1\r\n\r\n"
        "[General]\r\nStartWithLastProfile=1\r\nVersion=2\r\n\r\n";
    writeFile(root / "profiles.ini", profilesIni);
    const fs::path backups = disk / "backups";
    const Result packed =
        run({"full-backup", "firefox", "--windows-root", s(disk.path()), "--to", s(backups)});
    ASSERT_EQ(packed.exitCode, 0) << packed.err;

    TempDir home;
    const Result restored = run({"full-restore", "firefox", "--from", s(backups)}, home.path());
    ASSERT_EQ(restored.exitCode, 0) << restored.err;
    const fs::path made = home / ".mozilla" / "firefox";
    EXPECT_EQ(readFile(made / "profiles.ini"),
              "[Install308046B0AF4A39CB]\r\nDefault=Profiles/abcd1234.default-release\r\n\r\n"
              "[Profile1]\r\nName=work\r\nIsRelative=1\r\nPath=Profiles/wxyz9876.work\r\n\r\n"
              "[Profile0]\r\nName=default-release\r\nIsRelative=1\r\n"
              "Path=Profiles/abcd1234.default-release\r\nDefault=1\r\n\r\n"
              "[General]\r\nStartWithLastProfile=1\r\nVersion=2\r\n\r\n");
    EXPECT_EQ(differences(readTree(made / "Profiles"), stored(readTree(root / "Profiles"))), "");
    EXPECT_EQ(run({"profiles", "firefox"}, home.path()).out,
              "abcd1234.default-release\nwxyz9876.work\n");

    // On the machine an archive comes from, its installation's lock is its
    // own: a restore there keeps every byte.
    std::string relocked = readFile(made / "profiles.ini");
    relocked.insert(relocked.find("\r\n\r\n"), "\r\nLocked=1");
    writeFile(made / "profiles.ini", relocked);
    const Result own = run({"full-backup", "firefox", "--to", s(home / "own")}, home.path());
    ASSERT_EQ(own.exitCode, 0) << own.err;
    const Tree before = readTree(made);
    writeFile(made / "Profiles" / "wxyz9876.work" / "prefs.js", "changed since");
    ASSERT_EQ(run({"full-restore", "firefox", "--from", s(home / "own")}, home.path()).exitCode, 0);
    EXPECT_EQ(differences(readTree(made), before), "");
}

// The other way: this machine's own Firefox into a Windows prefix that has
// none; its profile, kept beside profiles.ini, is found and backed up there.
TEST(CliNewMachine, ALinuxFirefoxRestoredIntoAPrefixIsFoundThere) {
    TempDir home;
    const fs::path own = home / ".mozilla" / "firefox";
    writeCurrentFirefoxProfile(own / "k3x9ab12.default-release");
    writeFile(own / "profiles.ini",
              "[Profile0]\nName=default-release\nIsRelative=1\nPath=k3x9ab12.default-release\n"
              "Default=1\n\n[General]\nStartWithLastProfile=1\nVersion=2\n\n");
    ASSERT_EQ(run({"full-backup", "firefox", "--to", s(home / "backups")}, home.path()).exitCode,
              0);
    SamplePrefixFixture prefix({.browsers = {}});
    const std::string env = "--prefix=" + s(prefix.sample().prefix);
    const Result restored =
        run({"full-restore", "firefox", env, "--from", s(home / "backups")}, home.path());
    ASSERT_EQ(restored.exitCode, 0) << restored.err;
    const Result listed = run({"profiles", "firefox", env}, home.path());
    EXPECT_EQ(listed.exitCode, 0) << listed.err;
    EXPECT_EQ(listed.out, "k3x9ab12.default-release\n");
    const Result backup =
        run({"backup", "firefox", env, "--items", "settings", "--to", s(home / "from-prefix")},
            home.path());
    EXPECT_EQ(backup.exitCode, 0) << backup.err;
}

// The folder a restore printed last, without its closing separator.
std::string lastLine(const std::string& out) {
    const std::string text = out.substr(0, out.find_last_not_of("\n/") + 1);
    return text.substr(text.find_last_of('\n') + 1);
}

TEST(CliNewMachine, ARestoreIntoANewProfileAddsItWhereTheBrowserListsItsProfiles) {
    TempDir home;
    const fs::path firefox = home / ".mozilla" / "firefox";
    writeCurrentFirefoxProfile(firefox / "k3x9ab12.default-release");
    const std::string ini = "[Profile0]\nName=default-release\nIsRelative=1\n"
                            "Path=k3x9ab12.default-release\nDefault=1\n\n[General]\n"
                            "StartWithLastProfile=1\nVersion=2\n\n";
    writeFile(firefox / "profiles.ini", ini);
    const fs::path chrome = home / ".config" / "google-chrome";
    writeCurrentChromeUserData(chrome);
    // Keys the program has no business with, kept as they are.
    const std::string localState =
        R"({"browser":{"enabled_labs_experiments":[],"last_redirect_origin":""},)"
        R"("os_crypt":{"encrypted_key":"RFBBUEkBAAAA0Iyd3wEV0RGM"},)"
        R"("profile":{"info_cache":{"Default":{"name":"Person 1","avatar_icon":"chrome://theme/IDR_PROFILE_AVATAR_26"}},)"
        R"("last_used":"Default","profiles_order":["Default"]},"variations_seed_date":"13380000000000000"})";
    writeFile(chrome / "Local State", localState);
    const fs::path backups = home / "backups";
    ASSERT_EQ(run({"backup", "firefox", "--to", s(backups)}, home.path()).exitCode, 0);
    ASSERT_EQ(run({"backup", "chrome", "--to", s(backups)}, home.path()).exitCode, 0);

    const Result work = run({"restore", "firefox", "--from", s(backups), "--archive",
                             "default-release.dat", "--new-profile", "Work"},
                            home.path());
    ASSERT_EQ(work.exitCode, 0) << work.err;
    const fs::path made = pathFromUtf8(lastLine(work.out));
    const std::string folder = pathToUtf8(made.filename());
    EXPECT_EQ(made.parent_path(), firefox);
    ASSERT_EQ(folder.size(), 13u) << folder; // eight letters and digits, ".Work"
    EXPECT_EQ(folder.substr(8), ".Work");
    EXPECT_EQ(readFile(firefox / "profiles.ini"),
              ini + "[Profile1]\nName=Work\nIsRelative=1\nPath=" + folder + "\n");
    EXPECT_EQ(readFile(made / "prefs.js"),
              readFile(firefox / "k3x9ab12.default-release" / "prefs.js"));
    EXPECT_EQ(integrityOf(made / "places.sqlite"), "ok");
    EXPECT_EQ(run({"profiles", "firefox"}, home.path()).out,
              "k3x9ab12.default-release\n" + folder + "\n");
    // Firefox starts the default of its installation: how to open this one.
    EXPECT_NE(work.err.find("Firefox opens it once it is chosen: start Firefox with -P (its "
                            "profile manager) and choose \"Work\", or choose it in about:profiles"),
              std::string::npos)
        << work.err;

    const Result chromeWork = run({"restore", "chrome", "--from", s(backups), "--archive",
                                   "Default.dat", "--new-profile", "Work and play"},
                                  home.path());
    ASSERT_EQ(chromeWork.exitCode, 0) << chromeWork.err;
    EXPECT_EQ(chromeWork.err.find("-P"), std::string::npos) << "its profile menu lists it";
    EXPECT_EQ(lastLine(chromeWork.out), s(chrome / "Profile 1"));
    EXPECT_EQ(readFile(chrome / "Profile 1" / "Bookmarks"),
              readFile(chrome / "Default" / "Bookmarks"));
    auto listed = nlohmann::ordered_json::parse(readFile(chrome / "Local State"));
    EXPECT_EQ(listed["profile"]["info_cache"]["Profile 1"]["name"], "Work and play");
    EXPECT_EQ(listed["profile"]["profiles_order"],
              nlohmann::ordered_json::parse(R"(["Default","Profile 1"])"));
    listed["profile"]["info_cache"].erase("Profile 1");
    listed["profile"]["profiles_order"].erase(1);
    EXPECT_EQ(listed.dump(), localState); // every other key and its order
    // Listed by the names the user gave them.
    EXPECT_EQ(run({"profiles", "chrome"}, home.path()).out,
              "Person 1 (Default)\nWork and play (Profile 1)\n");

    // A blank name is no name, and a name another profile has is taken:
    // refused, nothing written.
    const Tree before = readTree(home.path());
    const std::vector<std::pair<std::vector<std::string>, std::string>> refused = {
        {{"restore", "firefox", "--archive", "default-release.dat", "--new-profile", ""},
         "--new-profile: must not be empty"},
        {{"restore", "firefox", "--archive", "default-release.dat", "--new-profile", "  "},
         "--new-profile: must not be empty"},
        {{"full-restore", "firefox", "--into", ""}, "--into: must not be empty"},
        {{"restore", "firefox", "--archive", "default-release.dat", "--new-profile", "work"},
         "A profile named \"work\" exists already: " + folder + ". Choose another name."},
        {{"restore", "firefox", "--archive", "default-release.dat", "--new-profile",
          "default-release"},
         "A profile named \"default-release\" exists already: k3x9ab12.default-release."},
        {{"restore", "chrome", "--archive", "Default.dat", "--new-profile", "Person 1"},
         "A profile named \"Person 1\" exists already: Person 1 (Default)."},
    };
    for (auto [args, text] : refused) {
        args.insert(args.begin() + 2, {"--from", s(backups)});
        SCOPED_TRACE(args[1] + " " + args.back());
        const Result result = run(args, home.path());
        EXPECT_NE(result.exitCode, 0);
        EXPECT_NE(result.err.find(text), std::string::npos) << result.err;
    }
    EXPECT_EQ(differences(readTree(home.path()), before), "");

    // A fresh account: the data folder and Firefox's list are made.
    TempDir fresh;
    const Result first = run({"restore", "firefox", "--from", s(backups), "--archive",
                              "default-release.dat", "--new-profile", "Home"},
                             fresh.path());
    ASSERT_EQ(first.exitCode, 0) << first.err;
    const std::string firstFolder = pathToUtf8(pathFromUtf8(lastLine(first.out)).filename());
    EXPECT_EQ(readFile(fresh / ".mozilla" / "firefox" / "profiles.ini"),
              "[General]\nStartWithLastProfile=1\nVersion=2\n\n[Profile0]\nName=Home\n"
              "IsRelative=1\nPath=" +
                  firstFolder + "\nDefault=1\n\n");
    EXPECT_EQ(run({"profiles", "firefox"}, fresh.path()).out, firstFolder + "\n");

    // Where nothing is found, the user is told where it was looked for and
    // how to make a profile.
    TempDir empty;
    const Result none = run({"profiles", "chrome"}, empty.path());
    EXPECT_EQ(none.exitCode, 1);
    EXPECT_NE(none.err.find(s(empty / ".config" / "google-chrome")), std::string::npos) << none.err;
    EXPECT_NE(none.err.find("--new-profile NAME"), std::string::npos) << none.err;
}

} // namespace
} // namespace vellarion::test
