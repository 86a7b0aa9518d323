// Opera's data set in the two engines, on a sample prefix laid out as
// Opera 9 and 10 lay out their data: installation folders with and without
// "profile", the local mail store apart from them, widgets in two places.
#include "FileSizeLimit.h"
#include "FileTree.h"
#include "JobRecorder.h"
#include "SamplePrefixFixture.h"
#include "TempDir.h"
#include "core/services/Error.h"
#include "core/wizards/FullJob.h"
#include "core/wizards/SelectiveJob.h"

#include <gtest/gtest.h>
#include <set>

#ifndef _WIN32

namespace vellarion {
namespace {

namespace fs = std::filesystem;
using test::readFile;
using test::readTree;
using test::storedNames;
using test::TempDir;
using test::writeFile;

// A front end that also writes down the files left out of an archive: the
// command line shows them as warnings.
class Recorder : public test::RecordingReporter {
public:
    std::vector<std::string> skipped;
    void fileSkipped(const std::string& path, const std::string&) override {
        skipped.push_back(path);
    }
};

class OperaTest : public ::testing::Test {
protected:
    OperaTest() : prefix({.browsers = {Browser::Opera}}) {}

    fs::path roaming(std::string_view rest) const {
        return prefix.onDriveC("users/demo/AppData/Roaming/Opera/" + std::string(rest));
    }
    fs::path local(std::string_view rest) const {
        return prefix.onDriveC("users/demo/AppData/Local/Opera/" + std::string(rest));
    }
    std::string location() const { return pathToUtf8(backups.path()); }
    std::vector<std::string> inBackups() const {
        std::vector<std::string> names;
        for (const auto& entry : fs::directory_iterator(backups.path())) {
            names.push_back(pathToUtf8(entry.path().filename()));
        }
        std::sort(names.begin(), names.end());
        return names;
    }
    static SelectiveChoices choices(const std::string& location,
                                    std::string custom = "Custom profile location (optional):",
                                    std::set<std::string> only = {}) {
        SelectiveChoices c;
        c.backupLocation = location;
        c.customLocation = std::move(custom);
        c.ticked = [only](std::string_view box) {
            return only.empty() || only.count(std::string(box)) > 0;
        };
        return c;
    }

    test::SamplePrefixFixture prefix;
    TempDir backups;
};

// What every item of the table stores from an installation with "profile".
const std::set<std::string> kProfileNames = {"opera6.adr",
                                             "bookmarks.adr",
                                             "sessions\\autosave.win",
                                             "skin\\standard_skin.zip",
                                             "toolbar\\standard_toolbar.ini",
                                             "keyboard\\standard_keyboard.ini",
                                             "mail\\accounts.ini",
                                             "menu\\standard_menu.ini",
                                             "mouse\\standard_mouse.ini",
                                             "opcacrt6.dat",
                                             "opcert6.dat",
                                             "contacts.adr",
                                             "cookies4.dat",
                                             "download.dat",
                                             "global.dat",
                                             "global_history.dat",
                                             "typed_history.xml",
                                             "notes.adr",
                                             "adprefs.ini",
                                             "opera6.ini",
                                             "operaprefs.ini",
                                             "override_downloaded.ini",
                                             "search.ini",
                                             "speeddial.ini",
                                             "tips.ini",
                                             "tasks.xml",
                                             "trusted_repositories.ini",
                                             "urlfilter.ini",
                                             "dictionaries\\ru.dic",
                                             "vlink4.dat",
                                             "wand.dat",
                                             "widgets\\widgets.dat",
                                             "widgets\\clock.wgt"};

TEST_F(OperaTest, SelectiveBackupStoresTheItemsWithTheLocalMailAndRestoresThemIntoOpera10) {
    test::Wizard<SelectiveJob> w(prefix.services(), operaDataSet());
    ASSERT_TRUE(w.job.activate());
    EXPECT_EQ(w.state.ffpath, prefix.sample().roaming + "\\Opera\\");
    EXPECT_EQ(w.job.profiles.entries, (std::vector<std::string>{"Opera", "Opera 10", "Opera 9"}));
    ASSERT_EQ(w.job.backup(choices(location())), JobOutcome::Done);

    std::set<std::string> expected = kProfileNames;
    for (const char* mail :
         {"index.ini", "omailbase.dat", "store\\account1\\2010\\01\\01\\0001.mbs"}) {
        expected.insert(std::string("loc\\mail\\") + mail);
    }
    EXPECT_EQ(storedNames(backups / "Opera.dat"), expected);
    EXPECT_EQ(inBackups(), std::vector<std::string>{"Opera.dat"}) << "the staging folder is gone";
    // 5 before, 5 for each of the sixteen items with a step, 5 after.
    EXPECT_EQ(w.reporter.progress.front(), "show");
    EXPECT_EQ(w.reporter.stepTotal(), 90);
    EXPECT_EQ(w.reporter.progress.back(), "hide");

    // Into the other installation: its "profile" and its own mail directory.
    fs::remove(roaming("Opera 10/profile/notes.adr"));
    writeFile(roaming("Opera 10/profile/wand.dat"), "other");
    test::Wizard<SelectiveJob> r(prefix.services(), operaDataSet());
    ASSERT_TRUE(r.job.activate());
    r.job.profiles.selected = 1;
    r.job.listArchives(location());
    ASSERT_EQ(r.job.restore(choices(location())), JobOutcome::Done);
    const fs::path opera10 = roaming("Opera 10/profile");
    EXPECT_EQ(readFile(opera10 / "notes.adr"), readFile(roaming("Opera/profile/notes.adr")));
    EXPECT_EQ(readFile(opera10 / "wand.dat"), readFile(roaming("Opera/profile/wand.dat")));
    EXPECT_EQ(readFile(local("Opera 10/mail/store/account1/2010/01/01/0001.mbs")),
              readFile(local("Opera/mail/store/account1/2010/01/01/0001.mbs")));
    EXPECT_EQ(readFile(local("Opera 10/mail/index.ini")), readFile(local("Opera/mail/index.ini")));
    EXPECT_EQ(readFile(opera10 / "widgets/clock.wgt"),
              readFile(roaming("Opera/profile/widgets/clock.wgt")));
    EXPECT_FALSE(fs::exists(opera10 / "profile")) << "widgets go back as the profile's own";
    EXPECT_FALSE(fs::exists(opera10 / "loc"));
    EXPECT_EQ(r.reporter.stepTotal(), 94);
    EXPECT_EQ(inBackups(), std::vector<std::string>{"Opera.dat"});
}

TEST_F(OperaTest, AnInstallationWithoutProfileIsReadAndRestoredInItsOwnFolder) {
    // Opera 9 keeps its settings in its own folder, although "Opera" (whose
    // layout a single test would take for all) uses "profile".
    test::Wizard<SelectiveJob> w(prefix.services(), operaDataSet());
    ASSERT_TRUE(w.job.activate());
    w.job.profiles.selected = 2;
    ASSERT_EQ(w.job.backup(choices(location())), JobOutcome::Done);
    std::set<std::string> expected = kProfileNames;
    expected.insert("widgets\\weather.wgt"); // "profile\widgets" merged into "widgets"
    EXPECT_EQ(storedNames(backups / "Opera 9.dat"), expected);

    fs::remove(roaming("Opera 9/notes.adr"));
    fs::remove_all(roaming("Opera 9/widgets"));
    test::Wizard<SelectiveJob> r(prefix.services(), operaDataSet());
    ASSERT_TRUE(r.job.activate());
    r.job.profiles.selected = 2;
    r.job.listArchives(location());
    ASSERT_EQ(r.job.restore(choices(location())), JobOutcome::Done);
    EXPECT_EQ(readFile(roaming("Opera 9/notes.adr")), readFile(roaming("Opera/profile/notes.adr")));
    EXPECT_EQ(readTree(roaming("Opera 9/widgets")).size(), 3u);
    EXPECT_EQ(readTree(roaming("Opera 9/profile")).size(), 1u) << "only its widget stays there";
}

TEST_F(OperaTest, ACustomLocationLeavesTheMailStoreOut) {
    test::Wizard<SelectiveJob> w(prefix.services(), operaDataSet());
    ASSERT_TRUE(w.job.activate());
    ASSERT_EQ(w.job.backup(choices(
                  location(), "Custom profile location (optional):", {"CheckBox6", "CheckBox17"})),
              JobOutcome::Done);
    const std::set<std::string> opera = storedNames(backups / "Opera.dat");
    EXPECT_TRUE(opera.count("loc\\mail\\index.ini"));
    EXPECT_EQ(opera.size(), 6u) << "the two mail folders and the widgets";

    // The archive restored into a custom location: the profile's mail lands
    // there, the local mail store nowhere (no stray "op_custom" folder).
    TempDir custom;
    test::Wizard<SelectiveJob> r(prefix.services(), operaDataSet());
    ASSERT_TRUE(r.job.activate());
    r.job.listArchives(location());
    ASSERT_EQ(r.job.restore(choices(location(), pathToUtf8(custom.path()))), JobOutcome::Done);
    EXPECT_EQ(readFile(custom / "mail/accounts.ini"),
              readFile(roaming("Opera/profile/mail/accounts.ini")));
    EXPECT_FALSE(fs::exists(custom / "loc"));
    EXPECT_FALSE(fs::exists(local("op_custom")));

    // Backed up from it: op_custom.dat without a local mail store.
    ASSERT_EQ(w.job.backup(choices(location(), pathToUtf8(custom.path()))), JobOutcome::Done);
    for (const std::string& name : storedNames(backups / "op_custom.dat")) {
        EXPECT_FALSE(name.starts_with("loc\\")) << name;
    }
    EXPECT_FALSE(fs::exists(local("op_custom")));
}

TEST_F(OperaTest, FullBackupWritesTheDataRootAndTheMailStoreEachRelativeToItself) {
    test::Wizard<FullJob> w(prefix.services(), operaDataSet());
    ASSERT_TRUE(w.job.activate());
    EXPECT_EQ(w.state.ffpath, prefix.sample().roaming + "\\Opera");
    ASSERT_EQ(w.job.backup(location()), JobOutcome::Done);
    const std::set<std::string> root = storedNames(backups / "fbackup_opera.dat");
    EXPECT_TRUE(root.count("Opera\\profile\\speeddial.ini"));
    EXPECT_TRUE(root.count("Opera 10\\profile\\wand.dat"));
    EXPECT_TRUE(root.count("Opera 9\\profile\\widgets\\weather.wgt"));
    EXPECT_EQ(storedNames(backups / "fbackup_opera2.dat"),
              (std::set<std::string>{"index.ini", "omailbase.dat",
                                     "store\\account1\\2010\\01\\01\\0001.mbs"}));

    // A restore from a location without the second archive restores the
    // data root and says nothing about mail.
    writeFile(roaming("Opera/profile/wand.dat"), "changed");
    writeFile(local("Opera/mail/index.ini"), "changed");
    fs::remove(backups / "fbackup_opera2.dat");
    w.reporter.log.clear();
    ASSERT_EQ(w.job.restore(location()), JobOutcome::Done);
    EXPECT_NE(readFile(roaming("Opera/profile/wand.dat")), "changed");
    EXPECT_EQ(readFile(local("Opera/mail/index.ini")), "changed");
    EXPECT_EQ(w.reporter.log, (std::vector<std::string>{"busy", "started", "idle", "finished"}));

    // No local mail store: an empty second archive, and no warning.
    fs::remove_all(local("Opera/mail"));
    Recorder quiet;
    FullJob again(prefix.services(), operaDataSet(), w.state, quiet);
    ASSERT_EQ(again.backup(location()), JobOutcome::Done);
    EXPECT_TRUE(storedNames(backups / "fbackup_opera2.dat").empty());
    EXPECT_TRUE(quiet.skipped.empty());
    EXPECT_TRUE(quiet.messages.empty());
}

TEST_F(OperaTest, ATypedInstallationFolderFindsTheDataAndItsMailAndBadNamesAreRefused) {
    fs::remove_all(roaming("Opera"));
    writeFile(local("Opera 10/mail/index.ini"), "ten");
    test::Wizard<FullJob> w(prefix.services(), operaDataSet());
    EXPECT_FALSE(w.job.activate());
    EXPECT_EQ(w.reporter.messages,
              std::vector<std::string>{"Settings Files Not Found. Please Type Folder Name."});
    w.reporter.messages.clear();
    EXPECT_EQ(w.job.backup(location()), JobOutcome::Refused) << "no data root, no name";

    for (const char* bad : {"Opera 11", "..", "...", "..\\Opera 10", "Opera 10/..", "C:", " "}) {
        SCOPED_TRACE(bad);
        w.reporter.messages.clear();
        w.state.customdir = bad;
        EXPECT_EQ(w.job.backup(location()), JobOutcome::Refused);
        EXPECT_EQ(
            w.reporter.messages,
            std::vector<std::string>{"Settings Files Not Found. Please Re-Check Folder Name."});
    }
    EXPECT_TRUE(inBackups().empty());

    w.state.customdir = "Opera 10";
    ASSERT_EQ(w.job.backup(location()), JobOutcome::Done);
    const std::string roam = prefix.sample().roaming;
    EXPECT_EQ(w.state.v101, roam + "\\Opera\\Opera 10");
    EXPECT_EQ(w.state.v102, "C:\\Users\\demo\\AppData\\Local\\Opera\\Opera 10");
    EXPECT_EQ(w.state.dir1, roam + "\\Opera\\Opera 10\\profile");
    EXPECT_EQ(w.state.dir3, "C:\\Users\\demo\\AppData\\Roaming\\Opera\\Opera 10\\profile");
    EXPECT_EQ(w.state.ffpath, roam + "\\Opera");
    EXPECT_TRUE(storedNames(backups / "fbackup_opera.dat").count("Opera 10\\profile\\wand.dat"));
    EXPECT_EQ(storedNames(backups / "fbackup_opera2.dat"), std::set<std::string>{"index.ini"});

    writeFile(local("Opera 10/mail/index.ini"), "changed");
    ASSERT_EQ(w.job.restore(location()), JobOutcome::Done);
    EXPECT_EQ(readFile(local("Opera 10/mail/index.ini")), "ten");
}

TEST_F(OperaTest, TheTwoArchivesAreReplacedAsAPair) {
    test::Wizard<FullJob> w(prefix.services(), operaDataSet());
    ASSERT_TRUE(w.job.activate());
    writeFile(backups / "fbackup_opera.dat", "previous root");
    writeFile(backups / "fbackup_opera2.dat", "previous mail");

    // A disk that fills up while the second archive is written.
    writeFile(local("Opera/mail/store/big.mbs"), test::noise(600 * 1024));
    {
        test::FileSizeLimit full(300 * 1024);
        EXPECT_THROW(w.job.backup(location()), Error);
    }
    EXPECT_EQ(readFile(backups / "fbackup_opera.dat"), "previous root");
    EXPECT_EQ(readFile(backups / "fbackup_opera2.dat"), "previous mail");

    // A stop once the second archive has begun.
    w.reporter.stopAfter = static_cast<int>(readTree(roaming("")).size());
    EXPECT_EQ(w.job.backup(location()), JobOutcome::Stopped);
    EXPECT_EQ(readFile(backups / "fbackup_opera.dat"), "previous root");
    EXPECT_EQ(readFile(backups / "fbackup_opera2.dat"), "previous mail");
    EXPECT_EQ(inBackups(), (std::vector<std::string>{"fbackup_opera.dat", "fbackup_opera2.dat"}));

    w.reporter.stopAfter = -1;
    ASSERT_EQ(w.job.backup(location()), JobOutcome::Done);
    EXPECT_TRUE(storedNames(backups / "fbackup_opera2.dat").count("store\\big.mbs"));
    EXPECT_EQ(w.reporter.replaceQuestions.size(), 6u) << "asked for each archive, each time";
}

} // namespace
} // namespace vellarion

#endif
