// vellarion-cli's profiles, items, backup and restore, run as a user runs
// them on a sample Windows prefix.
#include "CliRunner.h"
#include "FileTree.h"
#include "SamplePrefixFixture.h"
#include "TempDir.h"

#include <filesystem>
#include <gtest/gtest.h>
#include <set>

namespace vellarion::test {
namespace {

namespace fs = std::filesystem;

class SelectiveCli : public ::testing::Test {
protected:
    SelectiveCli() { fs::create_directories(backups); }

    // vellarion-cli on the sample prefix.
    Result onSample(std::vector<std::string> args) {
        args.insert(args.end(), {"--prefix", pathToUtf8(fx.sample().prefix), "--user", "demo"});
        return run(std::move(args));
    }

    fs::path firefoxProfile(std::string_view name) const {
        return fx.onDriveC("users/demo/AppData/Roaming/Mozilla/Firefox/Profiles") /
               std::string(name);
    }

    SamplePrefixFixture fx;
    TempDir dir;
    fs::path backups = dir / "backups";
};

TEST_F(SelectiveCli, ItemsListsEachKeyWithItsCaptionInBackupOrder) {
    // The captions as the windows show them.
    UserLocale russian("ru_RU.UTF-8");
    const Result firefox = run({"items", "firefox"});
    EXPECT_EQ(firefox.exitCode, 0) << firefox.err;
    EXPECT_EQ(firefox.out.substr(0, firefox.out.find('\n', firefox.out.find('\n') + 1) + 1),
              "extensions\tРасширения\nsettings\tУстановки\n");
    EXPECT_EQ(std::count(firefox.out.begin(), firefox.out.end(), '\n'), 16);
    EXPECT_NE(firefox.out.find("passwords\tСохраненные пароли\n"), std::string::npos);
    EXPECT_NE(firefox.out.find("themes\t"), std::string::npos);

    const Result flock = run({"items", "Flock"});
    EXPECT_EQ(std::count(flock.out.begin(), flock.out.end(), '\n'), 17);
    EXPECT_EQ(flock.out.find("themes\t"), std::string::npos);
    EXPECT_NE(flock.out.find("feeds\tПоток данных\n"), std::string::npos);
}

TEST_F(SelectiveCli, ProfilesListsTheFoldersOrSaysTheBrowserWasNotFound) {
    const Result found = onSample({"profiles", "firefox"});
    EXPECT_EQ(found.exitCode, 0) << found.err;
    EXPECT_EQ(found.out, "abcd1234.default\nwxyz9876.work\n");

    SamplePrefixFixture bare({.browsers = {Browser::Chrome}});
    const Result missing = run({"profiles", "flock", "--prefix", pathToUtf8(bare.sample().prefix)});
    EXPECT_EQ(missing.exitCode, 1);
    // The window's text, then where the search looked.
    EXPECT_EQ(missing.err.rfind("vellarion-cli: Settings file not found. Choose a custom "
                                "profile. No Flock profile was found (looked in " +
                                    pathToUtf8(bare.sample().prefix / "drive_c"),
                                0),
              0u)
        << missing.err;
}

TEST_F(SelectiveCli, BackupPacksTheChosenItemsOfTheChosenProfile) {
    const Result some = onSample(
        {"backup", "firefox", "--to", pathToUtf8(backups), "--items", "bookmarks, history"});
    EXPECT_EQ(some.exitCode, 0) << some.err;
    EXPECT_EQ(some.out, pathToUtf8(backups / "default.dat") + "\n");
    EXPECT_EQ(storedNames(backups / "default.dat"),
              (std::set<std::string>{"bookmarks.html", "history.dat", "places.sqlite"}));

    // Without --items, every box the window starts with ticked.
    const Result work =
        onSample({"backup", "firefox", "--to", pathToUtf8(backups), "--profile", "WXYZ9876.work"});
    EXPECT_EQ(work.exitCode, 0) << work.err;
    const std::set<std::string> all = storedNames(backups / "work.dat");
    for (const char* name : {"prefs.js", "key3.db", "cookies.sqlite", "places.sqlite",
                             "extensions\\{d10d0bf8-f5b5-c8b4-a8b2-2b9879e08c5d}\\install.rdf"}) {
        EXPECT_TRUE(all.count(name)) << name;
    }

    const Result customised =
        onSample({"backup", "firefox", "--to", pathToUtf8(backups), "--custom-profile",
                  pathToUtf8(firefoxProfile("abcd1234.default")), "--items", "passwords"});
    EXPECT_EQ(customised.exitCode, 0) << customised.err;
    EXPECT_EQ(storedNames(backups / "ff_custom.dat"),
              (std::set<std::string>{"key3.db", "signons.sqlite", "signons2.txt", "signons3.txt"}));
}

// Two profiles ending alike, or two browsers, share an archive name: the
// second backup replaces the first only when told to.
TEST_F(SelectiveCli, AnArchiveThatExistsIsReplacedOnlyWithReplace) {
    const std::vector<std::string> passwords = {"backup",  "firefox",  "--to", pathToUtf8(backups),
                                                "--items", "passwords"};
    ASSERT_EQ(onSample(passwords).exitCode, 0);
    const std::string first = readFile(backups / "default.dat");

    std::vector<std::string> bookmarks = passwords;
    bookmarks.back() = "bookmarks";
    const Result refused = onSample(bookmarks);
    EXPECT_EQ(refused.exitCode, 1);
    EXPECT_EQ(refused.err, "vellarion-cli: \"" + pathToUtf8(backups / "default.dat") +
                               "\" exists already; give --replace to replace it\n");
    EXPECT_EQ(refused.out, "");
    EXPECT_TRUE(readFile(backups / "default.dat") == first);
    EXPECT_EQ(std::distance(fs::directory_iterator(backups), fs::directory_iterator()), 1);

    bookmarks.push_back("--replace");
    const Result replaced = onSample(bookmarks);
    EXPECT_EQ(replaced.exitCode, 0) << replaced.err;
    EXPECT_EQ(storedNames(backups / "default.dat"),
              (std::set<std::string>{"bookmarks.html", "places.sqlite"}));

    // The full backup asks the same.
    const std::vector<std::string> full = {"full-backup", "firefox", "--to", pathToUtf8(backups)};
    ASSERT_EQ(onSample(full).exitCode, 0);
    EXPECT_EQ(onSample(full).exitCode, 1);
}

TEST_F(SelectiveCli, RestorePutsTheItemsOfANamedArchiveIntoTheChosenProfile) {
    ASSERT_EQ(onSample({"backup", "firefox", "--to", pathToUtf8(backups)}).exitCode, 0);
    const fs::path target = firefoxProfile("wxyz9876.work");
    fs::remove(target / "key3.db");
    writeFile(target / "prefs.js", "the work profile's own");
    const Result restored =
        onSample({"restore", "firefox", "--from", pathToUtf8(backups), "--archive", "default.dat",
                  "--profile", "wxyz9876.work", "--items", "passwords"});
    EXPECT_EQ(restored.exitCode, 0) << restored.err;
    EXPECT_EQ(restored.out, pathToUtf8(target) + "\n");
    EXPECT_EQ(readFile(target / "key3.db"),
              readFile(firefoxProfile("abcd1234.default") / "key3.db"));
    // Only the item asked for.
    EXPECT_EQ(readFile(target / "prefs.js"), "the work profile's own");
    EXPECT_EQ(fs::directory_iterator(backups)->path().filename(), "default.dat");
}

TEST_F(SelectiveCli, RefusalsExitOneWithTheWindowsTexts) {
    // No browser data at all: the window's activation message.
    const Result nowhere = run({"backup", "firefox", "--to", pathToUtf8(backups)});
    EXPECT_EQ(nowhere.exitCode, 1);
    EXPECT_EQ(nowhere.err.rfind("vellarion-cli: Settings file not found. Choose a custom "
                                "profile. No Firefox profile was found",
                                0),
              0u)
        << nowhere.err;
    EXPECT_NE(nowhere.err.find("restore firefox --new-profile NAME"), std::string::npos);

    const Result noArchive =
        onSample({"restore", "firefox", "--from", pathToUtf8(backups), "--archive", "missing.dat"});
    EXPECT_EQ(noArchive.exitCode, 1);
    // The folder named, and what it holds.
    EXPECT_EQ(noArchive.err, "vellarion-cli: " + pathToUtf8(backups) +
                                 " holds no archive \"missing.dat\". It holds no archive (.dat) "
                                 "at all.\n");

    const Result noSuchProfile =
        onSample({"backup", "firefox", "--to", pathToUtf8(backups), "--profile", "nobody"});
    EXPECT_EQ(noSuchProfile.exitCode, 1);
    EXPECT_NE(noSuchProfile.err.find("abcd1234.default, wxyz9876.work"), std::string::npos);

    // The data found, but no profile in it: Next's message.
    fs::remove_all(firefoxProfile(""));
    const Result noProfile = onSample({"backup", "firefox", "--to", pathToUtf8(backups)});
    EXPECT_EQ(noProfile.exitCode, 1);
    EXPECT_EQ(noProfile.err.rfind("vellarion-cli: Please Select Profile Or Custom Profile "
                                  "Location No Firefox profile was found",
                                  0),
              0u)
        << noProfile.err;
    EXPECT_TRUE(fs::is_empty(backups));
}

TEST_F(SelectiveCli, UnknownItemsAndBothProfileChoicesAreUsageErrors) {
    const Result unknown =
        onSample({"backup", "flock", "--to", pathToUtf8(backups), "--items", "bookmarks,themes"});
    EXPECT_EQ(unknown.exitCode, 2);
    EXPECT_NE(unknown.err.find("no item \"themes\""), std::string::npos) << unknown.err;
    EXPECT_NE(unknown.err.find("flock-data, feeds"), std::string::npos) << unknown.err;

    const Result both = onSample({"backup", "firefox", "--to", pathToUtf8(backups), "--profile",
                                  "abcd1234.default", "--custom-profile", pathToUtf8(dir.path())});
    EXPECT_EQ(both.exitCode, 2);
    EXPECT_TRUE(fs::is_empty(backups));
}

TEST_F(SelectiveCli, AnInterruptedBackupLeavesThePreviousArchiveAndNoStaging) {
    // Enough incompressible data that packing takes a good while.
    const fs::path profile = dir / "profile";
    writeFile(profile / "extensions" / "big", incompressible(32 * 1024 * 1024));
    writeFile(backups / "ff_custom.dat", "previous");

    // Ctrl-C once packing has begun (its temporary archive shows).
    Cli running({"backup", "firefox", "--to", pathToUtf8(backups), "--custom-profile",
                 pathToUtf8(profile), "--replace"});
    interruptOncePacking(running, backups);
    const Result interrupted = running.wait();
    EXPECT_EQ(interrupted.exitCode, 130) << interrupted.err;
    EXPECT_EQ(interrupted.err, "vellarion-cli: interrupted\n");
    // (Not compared with EXPECT_EQ: a replaced archive would fill the log.)
    EXPECT_TRUE(readFile(backups / "ff_custom.dat") == "previous");
    EXPECT_EQ(std::distance(fs::directory_iterator(backups), fs::directory_iterator()), 1);
}

} // namespace
} // namespace vellarion::test
