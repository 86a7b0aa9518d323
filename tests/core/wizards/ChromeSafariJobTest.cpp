// Chrome and Safari through both engines on a sample prefix: what their
// archives hold, where a restore writes, and the progress the user sees.
#include "FileTree.h"
#include "JobRecorder.h"
#include "SamplePrefixFixture.h"
#include "TempDir.h"
#include "core/wizards/FullJob.h"
#include "core/wizards/Messages.h"
#include "core/wizards/SelectiveJob.h"

#include <gtest/gtest.h>
#include <set>

namespace vellarion {
namespace {

#ifndef _WIN32

namespace fs = std::filesystem;
using test::readFile;
using test::storedNames;
using test::writeFile;
using Names = std::set<std::string>;
using Progress = std::vector<std::string>;

// The bar of a job: shown, runs of steps (how many, of what amount), set to
// 100, hidden.
Progress bar(std::vector<std::pair<int, int>> runs) {
    Progress out{"show"};
    for (const auto& [count, amount] : runs) {
        out.insert(out.end(), static_cast<size_t>(count), std::to_string(amount));
    }
    out.insert(out.end(), {"set 100", "hide"});
    return out;
}

class ChromeSafariJob : public ::testing::Test {
protected:
    ChromeSafariJob() { fs::create_directories(backups); }

    fs::path chrome(std::string_view below = "") const {
        return fx.onDriveC("users/demo/AppData/Local/Google/Chrome/User Data") / std::string(below);
    }
    fs::path safari(std::string_view below = "") const {
        return fx.onDriveC("users/demo/AppData/Roaming/Apple Computer") / std::string(below);
    }
    // The window's choices: the boxes named ticked (every box when none
    // is), the custom profile location when one is given.
    SelectiveChoices choices(Names boxes = {}, const fs::path& custom = {}) const {
        return {.backupLocation = pathToUtf8(backups),
                .customLocation =
                    custom.empty() ? std::string(kCustomProfilePlaceholder) : pathToUtf8(custom),
                .ticked = [boxes = std::move(boxes)](std::string_view box) {
                    return boxes.empty() || boxes.contains(std::string(box));
                }};
    }
    std::unique_ptr<test::Wizard<SelectiveJob>> wizard(const BrowserDataSet& data,
                                                       int profile = 0) {
        auto w = std::make_unique<test::Wizard<SelectiveJob>>(fx.services(), data);
        EXPECT_TRUE(w->job.activate());
        w->job.profiles.selected = profile;
        w->job.listArchives(pathToUtf8(backups));
        return w;
    }
    Names archives() const {
        Names names;
        for (const auto& entry : fs::directory_iterator(backups)) {
            names.insert(pathToUtf8(entry.path().filename()));
        }
        return names;
    }

    test::SamplePrefixFixture fx;
    test::TempDir dir;
    fs::path backups = dir / "backups";
};

TEST_F(ChromeSafariJob, ChromeBacksUpAProfileIntoItsWholeNameWithThePresentFilesOnly) {
    writeFile(chrome("Default/Cache/data_0"), "no item's");
    auto w = wizard(chromeDataSet());
    // On Windows 7 the second candidate, the per-user local data, holds it.
    EXPECT_EQ(w->state.ffpath, "C:\\Users\\demo\\AppData\\Local\\Google\\Chrome\\User Data\\");
    EXPECT_EQ(w->job.profiles.entries, (std::vector<std::string>{"Default", "Profile 1"}));
    ASSERT_EQ(w->job.backup(choices()), JobOutcome::Done);

    EXPECT_EQ(archives(), Names{"Default.dat"}) << "the staging folder is gone";
    // The empty journals are no records of the archive.
    EXPECT_EQ(storedNames(backups / "Default.dat"),
              (Names{"Extensions\\aapocclcgogkmnckokdopfmhonfmgoek\\0.9_0\\manifest.json",
                     "Extensions\\pjkljhegncpnkpknbcohdijeoejaedia\\8.1_0\\manifest.json",
                     "Plugin Data\\Flash\\settings.sol",
                     "Bookmarks",
                     "Cookies",
                     "Current Session",
                     "Current Tabs",
                     "Extension Cookies",
                     "History",
                     "Archived History",
                     "Last Session",
                     "Last Tabs",
                     "Preferences",
                     "QuotaManager",
                     "TransportSecurity",
                     "Thumbnails",
                     "Visited Links",
                     "Login Data",
                     "Web Data",
                     "Top Sites"}));
    EXPECT_EQ(w->reporter.progress, bar({{12, 7}}));

    // The items without a backup step move the bar by the opening and
    // closing steps only.
    auto stepless = wizard(chromeDataSet());
    stepless->job.backup(
        choices({"CheckBox5", "CheckBox8", "CheckBox15", "CheckBox16", "CheckBox17"}));
    EXPECT_EQ(stepless->reporter.progress, bar({{2, 7}}));
    EXPECT_EQ(storedNames(backups / "Default.dat"),
              (Names{"Current Tabs", "Last Session", "Web Data", "Login Data", "Top Sites"}));
}

TEST_F(ChromeSafariJob, ChromeRestoresOneProfilesArchiveIntoAnotherAndKeepsItsOwnFiles) {
    wizard(chromeDataSet())->job.backup(choices());
    writeFile(chrome("Profile 1/Favicons"), "its own");
    auto w = wizard(chromeDataSet(), 1);
    ASSERT_EQ(w->job.restore(choices()), JobOutcome::Done);

    EXPECT_EQ(readFile(chrome("Profile 1/Login Data")), readFile(chrome("Default/Login Data")));
    EXPECT_EQ(readFile(chrome("Profile 1/Preferences")), readFile(chrome("Default/Preferences")));
    // Folders merge into the profile's own.
    EXPECT_TRUE(fs::exists(chrome("Profile 1/Extensions/pjkljhegncpnkpknbcohdijeoejaedia")));
    EXPECT_TRUE(fs::exists(chrome("Profile 1/Extensions/aapocclcgogkmnckokdopfmhonfmgoek")));
    EXPECT_EQ(readFile(chrome("Profile 1/Favicons")), "its own");
    EXPECT_EQ(archives(), Names{"Default.dat"});
    EXPECT_EQ(w->reporter.progress, bar({{1, 5}, {10, 7}, {1, 9}}));
}

TEST_F(ChromeSafariJob, SafariBacksUpAProfileWithTheDataRootsSettingsAndRestoresIntoAnother) {
    auto w = wizard(safariDataSet());
    const std::string root = fx.sample().roaming + "\\Apple Computer\\";
    EXPECT_EQ(w->state.ffpath, root);
    EXPECT_EQ(w->state.mpath, root);
    EXPECT_EQ(w->job.profiles.entries, (std::vector<std::string>{"Safari", "Safari (old PC)"}));
    ASSERT_EQ(w->job.backup(choices()), JobOutcome::Done);

    EXPECT_EQ(archives(), Names{"Safari.dat"});
    EXPECT_EQ(
        storedNames(backups / "Safari.dat"),
        (Names{"Bookmarks.plist", "Cookies\\Cookies.plist", "Downloads.plist",
               "PubSub\\Database\\Database.sqlite3", "Form Values.plist", "History.plist",
               "LastSession.plist", "Preferences\\com.apple.Safari.plist", "TopSites.plist"}));
    EXPECT_EQ(w->reporter.progress, bar({{9, 8}}));

    auto into = wizard(safariDataSet(), 1);
    ASSERT_EQ(into->job.restore(choices()), JobOutcome::Done);
    EXPECT_EQ(readFile(safari("Safari (old PC)/Downloads.plist")),
              readFile(safari("Safari/Downloads.plist")));
    EXPECT_FALSE(fs::exists(safari("Safari (old PC)/Preferences")));
    EXPECT_EQ(into->reporter.progress, bar({{1, 5}, {7, 8}, {1, 9}}));

    auto stepless = wizard(safariDataSet());
    stepless->job.backup(choices({"CheckBox4", "CheckBox10"}));
    EXPECT_EQ(stepless->reporter.progress, bar({{2, 8}}));
}

// Both browsers name a custom location's archive "ch_custom.dat": the
// second backup into one folder asks before it replaces the first.
TEST_F(ChromeSafariJob, TheSharedCustomArchiveIsReplacedOnlyWhenTheUserSaysSo) {
    const fs::path portable = dir / "portable";
    writeFile(portable / "Bookmarks", "portable bookmarks");
    auto first = wizard(chromeDataSet());
    ASSERT_EQ(first->job.backup(choices({"CheckBox1", "CheckBox10"}, portable)), JobOutcome::Done);
    EXPECT_EQ(first->state.profile, "ch_custom");
    EXPECT_EQ(storedNames(backups / "ch_custom.dat"), Names{"Bookmarks"});
    EXPECT_EQ(first->reporter.progress, bar({{4, 7}})) << "the missing folder steps too";

    const fs::path copied = dir / "copied Safari";
    writeFile(copied / "History.plist", "copied history");
    auto no = wizard(safariDataSet());
    no->reporter.replaceAnswer = false;
    EXPECT_EQ(no->job.backup(choices({}, copied)), JobOutcome::Refused);
    EXPECT_EQ(no->reporter.replaceQuestions,
              std::vector<std::string>{pathToUtf8(backups / "ch_custom.dat")});
    EXPECT_TRUE(no->reporter.progress.empty());
    EXPECT_EQ(storedNames(backups / "ch_custom.dat"), Names{"Bookmarks"});

    auto yes = wizard(safariDataSet());
    ASSERT_EQ(yes->job.backup(choices({}, copied)), JobOutcome::Done);
    // The settings come from the data root whatever the profile.
    EXPECT_EQ(storedNames(backups / "ch_custom.dat"),
              (Names{"History.plist", "Preferences\\com.apple.Safari.plist"}));

    // Restored into another custom location, the settings go back to the
    // data root, the profile's items to the location.
    const std::string settings = readFile(safari("Preferences/com.apple.Safari.plist"));
    writeFile(safari("Preferences/com.apple.Safari.plist"), "changed since");
    const fs::path target = dir / "new Safari";
    auto restore = wizard(safariDataSet());
    ASSERT_EQ(restore->job.restore(choices({}, target)), JobOutcome::Done);
    EXPECT_EQ(readFile(target / "History.plist"), "copied history");
    EXPECT_FALSE(fs::exists(target / "Preferences"));
    EXPECT_EQ(readFile(safari("Preferences/com.apple.Safari.plist")), settings);
}

TEST_F(ChromeSafariJob, FullArchivesHoldTheWholeDataRootEveryProfileIncluded) {
    test::Wizard<FullJob> chromeFull(fx.services(), chromeDataSet());
    ASSERT_TRUE(chromeFull.job.activate());
    EXPECT_EQ(chromeFull.state.ffpath,
              "C:\\Users\\demo\\AppData\\Local\\Google\\Chrome\\User Data");
    ASSERT_EQ(chromeFull.job.backup(pathToUtf8(backups)), JobOutcome::Done);
    const Names chromeNames = storedNames(backups / "fbackup_chrome.dat");
    for (const char* name : {"Local State", "Default\\Login Data", "Profile 1\\Bookmarks",
                             "Profile 1\\Extensions\\aapocclcgogkmnckokdopfmhonfmgoek\\0.9_0\\"
                             "manifest.json"}) {
        EXPECT_TRUE(chromeNames.contains(name)) << name;
    }

    test::Wizard<FullJob> safariFull(fx.services(), safariDataSet());
    EXPECT_EQ(safariFull.job.restore(pathToUtf8(backups)), JobOutcome::Refused);
    EXPECT_EQ(safariFull.reporter.messages,
              std::vector<std::string>{"Backup File \"fbackup_safari.dat\" Not Found"});
    ASSERT_TRUE(safariFull.job.activate());
    ASSERT_EQ(safariFull.job.backup(pathToUtf8(backups)), JobOutcome::Done);
    const auto saved = test::readTree(safari());
    fs::remove_all(safari("Preferences"));
    fs::remove_all(safari("Safari (old PC)"));
    ASSERT_EQ(safariFull.job.restore(pathToUtf8(backups)), JobOutcome::Done);
    EXPECT_EQ(test::readTree(safari()), saved);
    EXPECT_TRUE(saved.contains("Safari (old PC)/Bookmarks.plist"));
    EXPECT_TRUE(saved.contains("Preferences/com.apple.Safari.plist"));
}

TEST(ChromeSafariSearch, OnWindowsXpBothAreFoundAndChromeOnlyWithItsDefaultProfile) {
    test::SamplePrefixFixture xp({.windowsVersion = 5});
    test::Wizard<SelectiveJob> chrome(xp.services(), chromeDataSet());
    ASSERT_TRUE(chrome.job.activate());
    EXPECT_EQ(chrome.state.dir2, "C:\\Documents and Settings\\demo\\Application Data\\Google\\"
                                 "Chrome\\User Data\\Default");
    EXPECT_EQ(chrome.state.ffpath, xp.sample().local + "\\Google\\Chrome\\User Data\\");
    test::Wizard<SelectiveJob> safari(xp.services(), safariDataSet());
    ASSERT_TRUE(safari.job.activate());
    EXPECT_EQ(safari.state.ffpath, xp.sample().roaming + "\\Apple Computer\\");

    // The marker is looked for in "Default" alone.
    fs::rename(xp.onDriveC("Documents and Settings/demo/Local Settings/Application Data/Google/"
                           "Chrome/User Data/Default"),
               xp.onDriveC("Documents and Settings/demo/Local Settings/Application Data/Google/"
                           "Chrome/User Data/Profile 2"));
    test::Wizard<SelectiveJob> without(xp.services(), chromeDataSet());
    EXPECT_FALSE(without.job.activate());
    EXPECT_EQ(without.reporter.messages,
              std::vector<std::string>{std::string(kSettingsNotFoundChooseCustom)});
    EXPECT_TRUE(without.job.profiles.entries.empty());
}

#endif // _WIN32

} // namespace
} // namespace vellarion
