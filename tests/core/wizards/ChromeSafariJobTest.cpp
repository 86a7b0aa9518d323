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

    fs::path chrome(std::string_view below) const {
        return fx.onDriveC("users/demo/AppData/Local/Google/Chrome/User Data") / std::string(below);
    }
    fs::path safari(std::string_view below) const {
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
    // A window's engine once activated: the profile at that place chosen,
    // the location's archives listed.
    std::unique_ptr<test::Wizard<SelectiveJob>> wizard(const BrowserDataSet& data,
                                                       int profile = 0) {
        auto w = std::make_unique<test::Wizard<SelectiveJob>>(fx.services(), data);
        EXPECT_TRUE(w->job.activate());
        w->job.profiles.selected = profile;
        w->job.listArchives(pathToUtf8(backups));
        return w;
    }
    test::SamplePrefixFixture fx;
    test::TempDir dir;
    fs::path backups = dir / "backups";
};

TEST_F(ChromeSafariJob, ChromeBacksUpAProfileAndRestoresItIntoAnother) {
    writeFile(chrome("Default/Cache/data_0"), "no item's");
    // Chrome's own folders beside the profiles, sorting before "Default".
    writeFile(chrome("Crash Reports/settings.dat"), "crashes");
    writeFile(chrome("component_crx_cache/metadata.json"), "{}");
    auto w = wizard(chromeDataSet());
    // On Windows 7 the second candidate, the per-user local data, holds it.
    EXPECT_EQ(w->state.ffpath, "C:\\Users\\demo\\AppData\\Local\\Google\\Chrome\\User Data\\");
    EXPECT_EQ(w->job.profiles.entries, (std::vector<std::string>{"Default", "Profile 1"}));
    ASSERT_EQ(w->job.backup(choices()), JobOutcome::Done);
    EXPECT_FALSE(fs::exists(backups / "Default")) << "the staging folder is gone";
    // The empty journals are no records of the archive.
    EXPECT_EQ(
        storedNames(backups / "Default.dat"),
        (Names{"Extensions\\aapocclcgogkmnckokdopfmhonfmgoek\\0.9_0\\manifest.json",
               "Extensions\\pjkljhegncpnkpknbcohdijeoejaedia\\8.1_0\\manifest.json",
               "Plugin Data\\Flash\\settings.sol", "Bookmarks", "Cookies", "Current Session",
               "Current Tabs", "Extension Cookies", "History", "Archived History", "Last Session",
               "Last Tabs", "Preferences", "QuotaManager", "TransportSecurity", "Thumbnails",
               "Visited Links", "Login Data", "Web Data", "Top Sites",
               // The key of the passwords and cookies, from the data root.
               "Local State"}));
    EXPECT_EQ(w->reporter.progress, bar({{12, 7}}));

    writeFile(chrome("Local State"), "{\"os_crypt\":{\"encrypted_key\":\"made anew\"}}");
    auto into = wizard(chromeDataSet(), 1);
    ASSERT_EQ(into->job.restore(choices()), JobOutcome::Done);
    // The data root's own key stays. Nothing of the sample's files is an
    // encrypted row that would not open: no general warning is said.
    EXPECT_EQ(readFile(chrome("Local State")), "{\"os_crypt\":{\"encrypted_key\":\"made anew\"}}");
    EXPECT_EQ(into->reporter.messages, std::vector<std::string>{});
    EXPECT_EQ(readFile(chrome("Profile 1/Login Data")), readFile(chrome("Default/Login Data")));
    // Folders merge into the profile's own; the unpacked copy is gone.
    EXPECT_TRUE(fs::exists(chrome("Profile 1/Extensions/pjkljhegncpnkpknbcohdijeoejaedia")));
    EXPECT_TRUE(fs::exists(chrome("Profile 1/Extensions/aapocclcgogkmnckokdopfmhonfmgoek")));
    EXPECT_FALSE(fs::exists(backups / "Default"));
    EXPECT_EQ(into->reporter.progress, bar({{1, 5}, {10, 7}, {1, 9}}));
}

// Both browsers name a custom location's archive "ch_custom.dat": the
// second backup into one folder asks before it replaces the first.
TEST_F(ChromeSafariJob, SafariAfterChromeAsksAndTakesItsSettingsFromTheDataRoot) {
    const fs::path portable = dir / "portable";
    writeFile(portable / "Bookmarks", "portable bookmarks");
    ASSERT_EQ(wizard(chromeDataSet())->job.backup(choices({"CheckBox1"}, portable)),
              JobOutcome::Done);

    const fs::path copied = dir / "copied Safari";
    writeFile(copied / "History.plist", "copied history");
    auto no = wizard(safariDataSet());
    EXPECT_EQ(no->job.profiles.entries, (std::vector<std::string>{"Safari", "Safari (old PC)"}));
    no->reporter.replaceAnswer = false;
    EXPECT_EQ(no->job.backup(choices({}, copied)), JobOutcome::Refused);
    EXPECT_EQ(no->reporter.replaceQuestions,
              std::vector<std::string>{pathToUtf8(backups / "ch_custom.dat")});
    EXPECT_TRUE(no->reporter.progress.empty());
    EXPECT_EQ(storedNames(backups / "ch_custom.dat"), Names{"Bookmarks"});

    auto yes = wizard(safariDataSet());
    ASSERT_EQ(yes->job.backup(choices({}, copied)), JobOutcome::Done);
    EXPECT_EQ(storedNames(backups / "ch_custom.dat"),
              (Names{"History.plist", "Preferences\\com.apple.Safari.plist"}));
    EXPECT_EQ(yes->reporter.progress, bar({{9, 8}})) << "missing items step all the same";

    // Into another custom location: the settings go back to the data root.
    const std::string settings = readFile(safari("Preferences/com.apple.Safari.plist"));
    writeFile(safari("Preferences/com.apple.Safari.plist"), "changed since");
    const fs::path target = dir / "new Safari";
    auto restore = wizard(safariDataSet());
    ASSERT_EQ(restore->job.restore(choices({}, target)), JobOutcome::Done);
    EXPECT_EQ(readFile(target / "History.plist"), "copied history");
    EXPECT_FALSE(fs::exists(target / "Preferences"));
    EXPECT_EQ(readFile(safari("Preferences/com.apple.Safari.plist")), settings);
    EXPECT_EQ(restore->reporter.progress, bar({{1, 5}, {7, 8}, {1, 9}}));
}

TEST_F(ChromeSafariJob, ChromesFullArchiveHoldsLocalStateAndEveryProfile) {
    test::Wizard<FullJob> full(fx.services(), chromeDataSet());
    ASSERT_TRUE(full.job.activate());
    ASSERT_EQ(full.job.backup(pathToUtf8(backups)), JobOutcome::Done);
    const Names names = storedNames(backups / "fbackup_chrome.dat");
    for (const char* name : {"Local State", "Default\\Login Data", "Profile 1\\Bookmarks"}) {
        EXPECT_TRUE(names.contains(name)) << name;
    }
}

#endif // _WIN32

} // namespace
} // namespace vellarion
