// Profiles as current browsers leave them, kept whole: every item's files
// under today's names, databases with the logs that still hold their newest
// rows, no stale log replayed over a restored database, and the items a job
// found nothing of named.
#include "BrowserProfiles.h"
#include "FileTree.h"
#include "JobRecorder.h"
#include "SamplePrefixFixture.h"
#include "TempDir.h"
#include "core/wizards/Messages.h"
#include "core/wizards/SelectiveJob.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>
#include <unistd.h>

namespace vellarion {
namespace {

namespace fs = std::filesystem;
using test::readFile;
using test::readTree;
using test::storedNames;
using test::TempDir;
using ::testing::ElementsAre;
using Wizard = test::Wizard<SelectiveJob>;

// The names that differ between two trees: missing, extra or changed.
std::vector<std::string> differences(const std::map<std::string, std::string>& actual,
                                     const std::map<std::string, std::string>& expected) {
    std::vector<std::string> out;
    for (const auto& [name, content] : expected) {
        const auto it = actual.find(name);
        if (it == actual.end()) {
            out.push_back("missing " + name);
        } else if (it->second != content) {
            out.push_back("changed " + name);
        }
    }
    for (const auto& [name, content] : actual) {
        if (!expected.count(name)) {
            out.push_back("extra " + name);
        }
    }
    return out;
}

class CurrentFirefox : public ::testing::Test {
protected:
    CurrentFirefox() : services(test::plainServices()) {
        test::writeCurrentFirefoxProfile(profile);
        fs::create_directories(backups);
    }

    // Every box ticked, the profile in a custom location.
    SelectiveChoices everything(const fs::path& target) const {
        SelectiveChoices c;
        c.backupLocation = pathToUtf8(backups);
        c.customLocation = pathToUtf8(target);
        c.ticked = [](std::string_view) { return true; };
        return c;
    }
    SelectiveChoices only(const fs::path& target, std::string box) const {
        SelectiveChoices c = everything(target);
        c.ticked = [box](std::string_view b) { return b == box; };
        return c;
    }

    TempDir dir;
    fs::path profile = dir / "profile";
    fs::path backups = dir / "backups";
    std::unique_ptr<SystemServices> services;
};

TEST_F(CurrentFirefox, EveryItemComesBackWholeAndEveryDatabaseHoldsTheRowsOfItsLog) {
    // What the user has, before anything reads it.
    std::map<std::string, std::string> before = readTree(profile);
    for (const char* notData :
         {"times.json", "cache2/entries/0A1B", ".parentlock", "parent.lock"}) {
        ASSERT_EQ(before.erase(notData), 1u) << notData;
    }
    ASSERT_TRUE(before.count("places.sqlite-wal")) << "the newest rows are in the log";
    // The archive stores no empty file (an empty journal means nothing).
    ASSERT_EQ(before.at("permissions.sqlite-journal"), "");
    before.erase("permissions.sqlite-journal");

    Wizard backup(*services, firefoxDataSet());
    ASSERT_EQ(backup.job.backup(everything(profile)), JobOutcome::Done);
    const std::set<std::string> stored = storedNames(backups / "ff_custom.dat");
    for (const char* name :
         {"places.sqlite", "places.sqlite-wal", "places.sqlite-shm", "favicons.sqlite-wal",
          "cookies.sqlite-wal", "logins.json", "key4.db", "sessionstore.jsonlz4",
          "sessionstore-backups\\recovery.jsonlz4", "search.json.mozlz4", "xulstore.json",
          "handlers.json", "permissions.sqlite", "extensions.json",
          "extensions\\reader@example.org.xpi", "containers.json",
          "bookmarkbackups\\bookmarks-2026-12-01_40_abc.jsonlz4"}) {
        EXPECT_TRUE(stored.count(name)) << name;
    }
    EXPECT_FALSE(stored.count("times.json"));
    EXPECT_FALSE(stored.count(".parentlock"));
    // Only the themes had nothing to save; the user is told so, once.
    EXPECT_THAT(backup.reporter.messages,
                ElementsAre(itemsWithoutDataMessage(true, {"Темы и оформление"})));

    // The profile wiped, then everything restored into it.
    fs::remove_all(profile);
    fs::create_directories(profile);
    Wizard restore(*services, firefoxDataSet());
    restore.job.listArchives(pathToUtf8(backups));
    ASSERT_EQ(restore.job.restore(everything(profile)), JobOutcome::Done);
    EXPECT_EQ(differences(readTree(profile), before), std::vector<std::string>{})
        << "every file back, byte for byte";
    EXPECT_THAT(restore.reporter.messages,
                ElementsAre(itemsWithoutDataMessage(false, {"Темы и оформление"})));

    for (const auto& [database, table] : test::currentFirefoxDatabases()) {
        EXPECT_EQ(test::integrityOf(profile / database), "ok") << database;
    }
    EXPECT_EQ(test::rowsIn(profile / "places.sqlite", "moz_places"), 40);
    EXPECT_EQ(test::rowsIn(profile / "cookies.sqlite", "moz_cookies"), 12);
    EXPECT_EQ(test::rowsIn(profile / "favicons.sqlite", "moz_icons"), 6);
}

TEST_F(CurrentFirefox, ARestoredDatabaseNeverHasAStaleLogReplayedOverIt) {
    // Backed up after a clean exit: the history in the file, no log.
    test::writeDatabase(profile / "places.sqlite",
                        {"moz_places",
                         "CREATE TABLE moz_places (id INTEGER PRIMARY KEY, url TEXT)",
                         {"INSERT INTO moz_places VALUES (1, 'https://a.example')",
                          "INSERT INTO moz_places VALUES (2, 'https://b.example')"}});
    Wizard backup(*services, firefoxDataSet());
    ASSERT_EQ(backup.job.backup(only(profile, "CheckBox1")), JobOutcome::Done);
    EXPECT_FALSE(storedNames(backups / "ff_custom.dat").count("places.sqlite-wal"));

    // The target crashed with a log of its own beside a different database.
    const fs::path target = dir / "target";
    test::writeDatabaseWithLog(target / "places.sqlite",
                               {"moz_places",
                                "CREATE TABLE moz_places (id INTEGER PRIMARY KEY, url TEXT)",
                                {"INSERT INTO moz_places VALUES (1, 'https://old.example')",
                                 "INSERT INTO moz_places VALUES (2, 'https://old2.example')",
                                 "INSERT INTO moz_places VALUES (3, 'https://old3.example')"}});
    ASSERT_TRUE(fs::exists(target / "places.sqlite-wal"));
    Wizard restore(*services, firefoxDataSet());
    restore.job.listArchives(pathToUtf8(backups));
    ASSERT_EQ(restore.job.restore(only(target, "CheckBox1")), JobOutcome::Done);
    EXPECT_FALSE(fs::exists(target / "places.sqlite-wal"));
    EXPECT_FALSE(fs::exists(target / "places.sqlite-shm"));
    EXPECT_EQ(readFile(target / "places.sqlite"), readFile(profile / "places.sqlite"));
    EXPECT_EQ(test::integrityOf(target / "places.sqlite"), "ok");
    EXPECT_EQ(test::rowsIn(target / "places.sqlite", "moz_places"), 2);
}

// Current versions keep the download list in places.sqlite, with the
// bookmarks and the history: the downloads item must never carry it.
TEST_F(CurrentFirefox, RestoringTheDownloadsAloneLeavesTheBookmarksAndHistoryAsTheyAre) {
    Wizard backup(*services, firefoxDataSet());
    ASSERT_EQ(backup.job.backup(only(profile, "CheckBox3")), JobOutcome::Done);
    EXPECT_EQ(storedNames(backups / "ff_custom.dat"), std::set<std::string>{"downloads.json"});
    fs::remove(backups / "ff_custom.dat");
    Wizard everythingSaved(*services, firefoxDataSet());
    ASSERT_EQ(everythingSaved.job.backup(everything(profile)), JobOutcome::Done);
    ASSERT_TRUE(storedNames(backups / "ff_custom.dat").count("places.sqlite"));

    // Since then the user bookmarked and browsed more; the paused download is gone.
    for (const char* name : {"places.sqlite", "places.sqlite-wal", "places.sqlite-shm"}) {
        fs::remove(profile / name);
    }
    test::writeDatabase(profile / "places.sqlite",
                        {"moz_places",
                         "CREATE TABLE moz_places (id INTEGER PRIMARY KEY, url TEXT)",
                         {"INSERT INTO moz_places VALUES (1, 'https://new.example')"}});
    const std::string placesNow = readFile(profile / "places.sqlite");
    const std::string paused = readFile(profile / "downloads.json");
    fs::remove(profile / "downloads.json");

    Wizard restore(*services, firefoxDataSet());
    restore.job.listArchives(pathToUtf8(backups));
    ASSERT_EQ(restore.job.restore(only(profile, "CheckBox3")), JobOutcome::Done);
    EXPECT_EQ(readFile(profile / "downloads.json"), paused);
    EXPECT_EQ(readFile(profile / "places.sqlite"), placesNow);
    EXPECT_FALSE(fs::exists(profile / "places.sqlite-wal"));
    EXPECT_EQ(test::rowsIn(profile / "places.sqlite", "moz_places"), 1);
}

// A current Chrome: its profile and the key beside it, through a backup with
// every box ticked, a wiped data root and a restore.
TEST(CurrentChrome, EveryItemComesBackAndARunningChromeStopsTheJob) {
    test::SamplePrefixFixture fx({.browsers = {Browser::Chrome}});
    const fs::path userData = fx.onDriveC("users/demo/AppData/Local/Google/Chrome/User Data");
    fs::remove_all(userData);
    test::writeCurrentChromeUserData(userData);
    const fs::path backups = fx.onDriveC("backups");
    fs::create_directories(backups);
    SelectiveChoices all;
    all.backupLocation = "C:\\backups";
    all.customLocation = std::string(kCustomProfilePlaceholder);
    all.ticked = [](std::string_view) { return true; };

    std::map<std::string, std::string> before = readTree(userData);
    for (auto it = before.begin(); it != before.end();) {
        const bool data = !it->second.empty() && !it->first.starts_with("Default/Cache/") &&
                          !it->first.starts_with("Default/GPUCache/");
        it = data ? std::next(it) : before.erase(it);
    }

    Wizard backup(fx.services(), chromeDataSet());
    ASSERT_TRUE(backup.job.activate());
    ASSERT_EQ(backup.job.profiles.entries, std::vector<std::string>{"Default"});
    ASSERT_EQ(backup.job.backup(all), JobOutcome::Done);
    const std::set<std::string> stored = storedNames(backups / "Default.dat");
    for (const char* name :
         {"History", "History-wal", "Local State", "Login Data For Account",
          "Sessions\\Tabs_13441306414361615", "Secure Preferences",
          "Local Extension Settings\\aapocclcgogkmnckokdopfmhonfmgoek\\000003.log", "Favicons",
          "Shortcuts", "Top Sites"}) {
        EXPECT_TRUE(stored.count(name)) << name;
    }

    fs::remove_all(userData);
    fs::create_directories(userData / "Default");
    Wizard restore(fx.services(), chromeDataSet());
    // No data root any more: the profile is named as a custom location.
    SelectiveChoices into = all;
    into.customLocation = "C:\\users\\demo\\AppData\\Local\\Google\\Chrome\\User Data\\Default";
    restore.job.listArchives("C:\\backups");
    ASSERT_EQ(restore.job.restore(into), JobOutcome::Done);
    const std::map<std::string, std::string> after = readTree(userData);
    std::map<std::string, std::string> profileBefore;
    for (const auto& [name, content] : before) {
        if (name.starts_with("Default/")) {
            profileBefore[name] = content;
        }
    }
    std::map<std::string, std::string> profileAfter;
    for (const auto& [name, content] : after) {
        if (name.starts_with("Default/")) {
            profileAfter[name] = content;
        }
    }
    EXPECT_EQ(differences(profileAfter, profileBefore), std::vector<std::string>{});
    for (const auto& [database, table] : test::currentChromeDatabases()) {
        EXPECT_EQ(test::integrityOf(userData / "Default" / database), "ok") << database;
    }
    EXPECT_EQ(test::rowsIn(userData / "Default" / "History", "urls"), 25);
    // Back on the machine it came from: no warning about keys to act on.
    for (const std::string& message : restore.reporter.messages) {
        EXPECT_FALSE(message.starts_with("Chrome шифрует")) << message;
    }

    // Chrome running again: its link names this host and a live process.
    char host[256] = {};
    ::gethostname(host, sizeof host - 1);
    fs::create_symlink(std::string(host) + "-" + std::to_string(::getpid()),
                       userData / "SingletonLock");
    Wizard refused(fx.services(), chromeDataSet());
    refused.job.listArchives("C:\\backups");
    EXPECT_EQ(refused.job.restore(into), JobOutcome::Refused);
    EXPECT_EQ(refused.reporter.messages, std::vector<std::string>{closeBrowserFirst("Chrome")});
}

} // namespace
} // namespace vellarion
