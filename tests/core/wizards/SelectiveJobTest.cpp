// The selective wizard's engine: what a backup puts into its archive, what a
// restore writes back, the names on disk, the progress the user sees, and
// the cases where it must refuse or must not touch what it did not make.
#include "core/wizards/SelectiveJob.h"

#include "FileSizeLimit.h"
#include "FileTree.h"
#include "JobRecorder.h"
#include "SamplePrefixFixture.h"
#include "TempDir.h"
#include "core/archive/JvZlibMultiple.h"
#include "core/services/Error.h"
#include "core/services/ServicesFactory.h"
#include "core/wizards/Messages.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>
#include <numeric>
#include <set>

namespace vellarion {
namespace {

namespace fs = std::filesystem;
using test::entriesOf;
using test::readFile;
using test::storedNames;
using test::TempDir;
using test::writeFile;
using ::testing::ElementsAre;
using ::testing::IsEmpty;

// The real services, with the calls a test wants to see written down:
// copies (destination's last name), folder creations and deletions, pauses
// (not slept).
class RecordingServices : public SystemServices {
public:
    explicit RecordingServices(SystemServices& real) : real_(real) {}

    std::vector<std::string> copied; // the name each copy lands under
    std::vector<std::string> created;
    std::vector<std::string> deletedTrees;
    std::vector<int> pauses;

    std::string GetLoginName() const override { return real_.GetLoginName(); }
    std::string GetSystemDrive() const override { return real_.GetSystemDrive(); }
    std::string GetSpecialFolderPath(int folder) const override {
        return real_.GetSpecialFolderPath(folder);
    }
    int windowsMajorVersion() const override { return real_.windowsMajorVersion(); }
    const PathMapper& paths() const override { return real_.paths(); }
    bool fileExists(std::string_view path) const override { return real_.fileExists(path); }
    bool directoryExists(std::string_view path) const override {
        return real_.directoryExists(path);
    }
    bool createDirectory(std::string_view path) override {
        const bool made = real_.createDirectory(path);
        if (made) {
            created.emplace_back(path);
        }
        return made;
    }
    bool createDirectories(std::string_view path) override { return real_.createDirectories(path); }
    bool copyFile(std::string_view from, std::string_view to) override {
        copied.push_back(lastName(to));
        return real_.copyFile(from, to);
    }
    bool deleteFile(std::string_view path) override { return real_.deleteFile(path); }
    bool CopyDir(std::string_view fromDir, std::string_view toDir) override {
        copied.push_back(lastName(fromDir) + "\\");
        return real_.CopyDir(fromDir, toDir);
    }
    bool DelTree(std::string_view dirName) override {
        deletedTrees.emplace_back(dirName);
        return real_.DelTree(dirName);
    }
    void GetSubDirectories(std::string_view directory,
                           std::vector<std::string>& list) const override {
        real_.GetSubDirectories(directory, list);
    }
    std::vector<std::string> listFiles(std::string_view directory,
                                       std::string_view suffix) const override {
        return real_.listFiles(directory, suffix);
    }
    KeySave SaveKeyToFile(std::string_view key, std::string_view file) override {
        return real_.SaveKeyToFile(key, file);
    }
    std::string LoadKeyFromFile(std::string_view key, std::string_view file) override {
        return real_.LoadKeyFromFile(key, file);
    }
    void pause(std::chrono::milliseconds duration) override {
        pauses.push_back(static_cast<int>(duration.count()));
    }

private:
    static std::string lastName(std::string_view path) {
        const size_t cut = path.find_last_of("\\/");
        return std::string(cut == std::string_view::npos ? path : path.substr(cut + 1));
    }

    SystemServices& real_;
};

using Wizard = test::Wizard<SelectiveJob>;

std::string utf8(const fs::path& path) {
    return pathToUtf8(path);
}

// The choices of a window whose boxes in `ticked` are ticked (all when
// empty and `all`).
SelectiveChoices choices(const fs::path& location, std::set<std::string> ticked = {},
                         bool all = true) {
    SelectiveChoices c;
    c.backupLocation = utf8(location);
    c.customLocation = std::string(kCustomProfilePlaceholder);
    c.ticked = [ticked = std::move(ticked), all](std::string_view box) {
        return ticked.empty() ? all : ticked.count(std::string(box)) > 0;
    };
    return c;
}

SelectiveChoices nothingTicked(const fs::path& location) {
    return choices(location, {}, false);
}

SelectiveChoices custom(SelectiveChoices c, const fs::path& profile) {
    c.customLocation = utf8(profile);
    return c;
}

// A small profile of a Firefox user, with files of several items and some
// that belong to none.
void writeProfile(const fs::path& dir, std::string_view tag = "one") {
    const std::string t(tag);
    writeFile(dir / "prefs.js", "user_pref(\"tag\", \"" + t + "\");\n");
    writeFile(dir / "places.sqlite", "places of " + t);
    writeFile(dir / "history.dat", "history of " + t);
    writeFile(dir / "bookmarks.html", "bookmarks of " + t);
    writeFile(dir / "key3.db", "key of " + t);
    writeFile(dir / "signons.sqlite", "passwords of " + t);
    writeFile(dir / "extensions.ini", "[ExtensionDirs]\n");
    writeFile(dir / "extensions" / "a@example.org" / "install.rdf", "rdf of " + t);
    writeFile(dir / "chrome" / "userChrome.css", "css of " + t);
    writeFile(dir / "parent.lock", "lock");
    writeFile(dir / "Cache" / "entry", "cached");
}

// --- Names ------------------------------------------------------------------

TEST(StagingName, FirefoxDropsTheFirstNineCharactersAndKeepsAUsableName) {
    const SelectiveWizardData& firefox = firefoxDataSet().selective;
    EXPECT_EQ(stagingName(firefox, "abcd1234.default"), "\\default");
    EXPECT_EQ(stagingName(firefox, "wxyz9876.default"), "\\default");
    EXPECT_EQ(stagingName(firefox, "123456789ff_custom"), "\\ff_custom");
    // Characters, not bytes: a Cyrillic name is never cut inside a letter.
    EXPECT_EQ(stagingName(firefox, "абвгдежз.профиль"), "\\профиль");
    // Nothing left after the cut, or only what would name the location or
    // its parent: the whole folder name serves.
    EXPECT_EQ(stagingName(firefox, "default"), "\\default");
    EXPECT_EQ(stagingName(firefox, "abcd1234."), "\\abcd1234.");
    EXPECT_EQ(stagingName(firefox, "abcdefgh.."), "\\abcdefgh..");
    EXPECT_EQ(stagingName(firefox, "...."), "\\profile");
    EXPECT_EQ(stagingName(flockDataSet().selective, "flck1234.default"), "\\default");
}

TEST(UnpackName, EveryDatGoesAndAnArchiveNamedDatStillGetsAFolder) {
    EXPECT_EQ(unpackName("default.dat"), "default");
    EXPECT_EQ(unpackName("Default.DAT"), "Default");
    EXPECT_EQ(unpackName("x.data.dat"), "xa");
    EXPECT_EQ(unpackName(".dat"), "backup");
    EXPECT_EQ(unpackName(".dat.dat"), "backup");
    EXPECT_EQ(unpackName("...dat"), "backup");
}

// --- Jobs on custom locations (every platform) --------------------------------

class SelectiveCustomJob : public ::testing::Test {
protected:
    SelectiveCustomJob() : real(test::plainServices()), services(*real) {
        writeProfile(profile);
        fs::create_directories(backups);
    }

    TempDir dir;
    fs::path profile = dir / "profile";
    fs::path backups = dir / "backups";
    std::unique_ptr<SystemServices> real;
    RecordingServices services;
};

TEST_F(SelectiveCustomJob, BackupStoresExactlyTheTickedItemsUnderTheCustomName) {
    Wizard w(services, firefoxDataSet());
    ASSERT_EQ(w.job.backup(custom(choices(backups, {"CheckBox5", "CheckBox15"}), profile)),
              JobOutcome::Done);

    EXPECT_EQ(w.state.profile, "123456789ff_custom");
    EXPECT_EQ(w.state.datfile, "\\ff_custom");
    EXPECT_EQ(entriesOf(backups), std::set<std::string>{"ff_custom.dat"});
    // "История" brings "places.sqlite" along; the customisations folder
    // keeps its name; files of no ticked item stay out.
    EXPECT_EQ(storedNames(backups / "ff_custom.dat"),
              (std::set<std::string>{"history.dat", "places.sqlite", "chrome\\userChrome.css"}));
    EXPECT_THAT(w.reporter.messages, IsEmpty());
}

TEST_F(SelectiveCustomJob, EitherOfTheTwoItemsSavesPlacesSqlite) {
    Wizard w(services, firefoxDataSet());
    w.job.backup(custom(choices(backups, {"CheckBox1"}), profile));
    EXPECT_EQ(storedNames(backups / "ff_custom.dat"),
              (std::set<std::string>{"bookmarks.html", "places.sqlite"}));
}

TEST_F(SelectiveCustomJob, NothingTickedStillWritesAnEmptyArchiveWithOpeningAndClosingSteps) {
    Wizard w(services, firefoxDataSet());
    ASSERT_EQ(w.job.backup(custom(nothingTicked(backups), profile)), JobOutcome::Done);
    EXPECT_THAT(storedNames(backups / "ff_custom.dat"), IsEmpty());
    EXPECT_THAT(w.reporter.progress, ElementsAre("show", "5", "9", "set 100", "hide"));
    EXPECT_EQ(w.reporter.packingStarted, 1);
}

TEST_F(SelectiveCustomJob, AnArchiveThatExistsIsReplacedOnlyWhenTheUserSaysSo) {
    writeFile(backups / "ff_custom.dat", "previous");
    Wizard no(services, firefoxDataSet());
    no.reporter.replaceAnswer = false;
    EXPECT_EQ(no.job.backup(custom(choices(backups), profile)), JobOutcome::Refused);
    EXPECT_THAT(no.reporter.replaceQuestions, ElementsAre(utf8(backups / "ff_custom.dat")));
    // Nothing ran: no progress, no staging folder, no copy.
    EXPECT_THAT(no.reporter.progress, IsEmpty());
    EXPECT_THAT(services.copied, IsEmpty());
    EXPECT_EQ(readFile(backups / "ff_custom.dat"), "previous");
    EXPECT_EQ(entriesOf(backups), std::set<std::string>{"ff_custom.dat"});

    Wizard yes(services, firefoxDataSet());
    ASSERT_EQ(yes.job.backup(custom(choices(backups, {"CheckBox6"}), profile)), JobOutcome::Done);
    EXPECT_EQ(storedNames(backups / "ff_custom.dat"), std::set<std::string>{"prefs.js"});
    // A new name asks nothing.
    Wizard fresh(services, firefoxDataSet());
    fs::remove(backups / "ff_custom.dat");
    fresh.reporter.replaceAnswer = false;
    EXPECT_EQ(fresh.job.backup(custom(choices(backups), profile)), JobOutcome::Done);
    EXPECT_THAT(fresh.reporter.replaceQuestions, IsEmpty());
}

TEST_F(SelectiveCustomJob, RestoreIntoAMissingCustomFolderPutsFoldersUnderTheirOwnNames) {
    Wizard backup(services, firefoxDataSet());
    backup.job.backup(custom(choices(backups), profile));

    const fs::path target = dir / "new" / "profile";
    Wizard restore(services, firefoxDataSet());
    restore.job.listArchives(utf8(backups));
    ASSERT_EQ(restore.job.restore(custom(choices(backups), target)), JobOutcome::Done);

    EXPECT_EQ(readFile(target / "prefs.js"), "user_pref(\"tag\", \"one\");\n");
    EXPECT_EQ(readFile(target / "extensions" / "a@example.org" / "install.rdf"), "rdf of one");
    EXPECT_EQ(readFile(target / "chrome" / "userChrome.css"), "css of one");
    EXPECT_FALSE(fs::exists(target / "a@example.org"));
    EXPECT_FALSE(fs::exists(target / "parent.lock"));
    // The unpacked copy is gone; the archive stays.
    EXPECT_EQ(entriesOf(backups), std::set<std::string>{"ff_custom.dat"});
    EXPECT_THAT(restore.reporter.busyCalls, ElementsAre(true, false));
}

TEST_F(SelectiveCustomJob, RestoreReplacesFilesAndKeepsWhatTheArchiveDoesNotHold) {
    Wizard backup(services, firefoxDataSet());
    backup.job.backup(custom(choices(backups), profile));

    const fs::path target = dir / "other";
    writeProfile(target, "two");
    writeFile(target / "extensions" / "b@example.org" / "install.rdf", "kept");
    Wizard restore(services, firefoxDataSet());
    restore.job.listArchives(utf8(backups));
    restore.job.restore(custom(choices(backups, {"CheckBox4", "CheckBox8"}), target));

    EXPECT_EQ(readFile(target / "key3.db"), "key of one");
    EXPECT_EQ(readFile(target / "extensions" / "a@example.org" / "install.rdf"), "rdf of one");
    EXPECT_EQ(readFile(target / "extensions" / "b@example.org" / "install.rdf"), "kept");
    // Unticked items are left as they were.
    EXPECT_EQ(readFile(target / "prefs.js"), "user_pref(\"tag\", \"two\");\n");
    EXPECT_EQ(readFile(target / "places.sqlite"), "places of two");
}

TEST_F(SelectiveCustomJob, AnArchiveNamedWithDatInsideUnpacksIntoItsStem) {
    Wizard backup(services, firefoxDataSet());
    backup.job.backup(custom(choices(backups), profile));
    fs::rename(backups / "ff_custom.dat", backups / "x.data.dat");

    Wizard restore(services, firefoxDataSet());
    restore.job.listArchives(utf8(backups));
    ASSERT_EQ(restore.job.archives.selection(), "x.data.dat");
    restore.job.restore(custom(choices(backups), dir / "target"));

    EXPECT_EQ(restore.state.atspaudziam, "x.data.dat");
    EXPECT_EQ(restore.state.atspaudziam2, "xa");
    EXPECT_THAT(services.created, ::testing::Contains(utf8(backups / "xa")));
    EXPECT_EQ(restore.state.backuploc, utf8(backups / "xa" / ""));
    EXPECT_EQ(readFile(dir / "target" / "history.dat"), "history of one");
    EXPECT_EQ(entriesOf(backups), std::set<std::string>{"x.data.dat"});
}

// --- What a job refuses, and what it leaves alone ------------------------------

TEST_F(SelectiveCustomJob, WithoutALocationNothingHappensButTheMessage) {
    for (const std::string& location :
         {std::string(kBackupLocationPlaceholder), std::string(), std::string("   ")}) {
        Wizard w(services, firefoxDataSet());
        SelectiveChoices c = custom(choices(backups), profile);
        c.backupLocation = location;
        EXPECT_EQ(w.job.backup(c), JobOutcome::Refused);
        EXPECT_EQ(w.job.restore(c), JobOutcome::Refused);
        EXPECT_THAT(w.reporter.messages, ElementsAre(std::string(kSelectBackupLocation),
                                                     std::string(kSelectBackupLocation)));
        EXPECT_THAT(w.reporter.progress, IsEmpty());
    }
    EXPECT_THAT(services.created, IsEmpty());
}

TEST_F(SelectiveCustomJob, WithoutAProfileOrACustomLocationNoJobRunsAndNoProgressShows) {
    // No data root was found: the profile list is empty.
    for (const std::string& customText : {std::string(kCustomProfilePlaceholder), std::string()}) {
        Wizard w(services, firefoxDataSet());
        SelectiveChoices c = choices(backups);
        c.customLocation = customText;
        EXPECT_EQ(w.job.backup(c), JobOutcome::Refused);
        w.job.listArchives(utf8(backups));
        EXPECT_EQ(w.job.restore(c), JobOutcome::Refused);
        EXPECT_THAT(w.reporter.messages,
                    ElementsAre(std::string(kSelectProfile), std::string(kSelectProfile)));
        EXPECT_THAT(w.reporter.progress, IsEmpty());
    }
    EXPECT_THAT(entriesOf(backups), IsEmpty());
}

TEST_F(SelectiveCustomJob, RestoreWithoutAnArchiveListedNoJobRunsAndNoProgressShows) {
    writeFile(backups / "notes.txt", "not an archive");
    Wizard w(services, firefoxDataSet());
    w.job.listArchives(utf8(backups));
    EXPECT_THAT(w.job.archives.entries, IsEmpty());
    EXPECT_EQ(w.job.restore(custom(choices(backups), dir / "target")), JobOutcome::Refused);
    EXPECT_THAT(w.reporter.messages, ElementsAre(std::string(kSelectBackupFile)));
    EXPECT_THAT(w.reporter.progress, IsEmpty());
    EXPECT_FALSE(fs::exists(dir / "target"));
}

TEST_F(SelectiveCustomJob, AFolderOfTheStagingNameThatWasThereIsNeitherPackedNorDeleted) {
    writeFile(backups / "ff_custom" / "mine.txt", "the user's own");
    Wizard w(services, firefoxDataSet());
    w.job.backup(custom(choices(backups, {"CheckBox6"}), profile));

    EXPECT_EQ(storedNames(backups / "ff_custom.dat"), std::set<std::string>{"prefs.js"});
    EXPECT_EQ(readFile(backups / "ff_custom" / "mine.txt"), "the user's own");
    EXPECT_EQ(entriesOf(backups), (std::set<std::string>{"ff_custom", "ff_custom.dat"}));
    EXPECT_THAT(services.deletedTrees, ElementsAre(utf8(backups / "ff_custom (2)")));
}

TEST_F(SelectiveCustomJob, AFolderOfTheUnpackNameThatWasThereIsNeitherReadNorDeleted) {
    Wizard backup(services, firefoxDataSet());
    backup.job.backup(custom(choices(backups, {"CheckBox6"}), profile));
    writeFile(backups / "ff_custom" / "prefs.js", "the user's own");
    writeFile(backups / "ff_custom" / "key3.db", "the user's own");

    const fs::path target = dir / "target";
    Wizard restore(services, firefoxDataSet());
    restore.job.listArchives(utf8(backups));
    restore.job.restore(custom(choices(backups), target));

    EXPECT_EQ(readFile(target / "prefs.js"), "user_pref(\"tag\", \"one\");\n");
    EXPECT_FALSE(fs::exists(target / "key3.db"));
    EXPECT_EQ(entriesOf(backups / "ff_custom"), (std::set<std::string>{"key3.db", "prefs.js"}));
    EXPECT_EQ(entriesOf(backups), (std::set<std::string>{"ff_custom", "ff_custom.dat"}));
}

TEST_F(SelectiveCustomJob, AnArchiveNamedDatUnpacksBesideTheLocationsContentNotOverIt) {
    Wizard backup(services, firefoxDataSet());
    backup.job.backup(custom(choices(backups), profile));
    fs::rename(backups / "ff_custom.dat", backups / ".dat");
    writeFile(backups / "keep.txt", "kept");

    Wizard restore(services, firefoxDataSet());
    restore.job.listArchives(utf8(backups));
    // A dot-name is hidden on POSIX, so the list may leave it out: choose it.
    restore.job.archives.clear();
    restore.job.archives.append({".dat"});
    ASSERT_EQ(restore.job.restore(custom(choices(backups), dir / "target")), JobOutcome::Done);
    EXPECT_EQ(readFile(dir / "target" / "key3.db"), "key of one");
    EXPECT_EQ(services.deletedTrees.back(), utf8(backups / "backup"));
    EXPECT_EQ(entriesOf(backups), (std::set<std::string>{".dat", "keep.txt"}));
}

TEST_F(SelectiveCustomJob, TheChosenArchiveGoesOnlyAfterARestoreThatSucceeded) {
    Wizard backup(services, firefoxDataSet());
    backup.job.backup(custom(choices(backups), profile));
    writeFile(backups / "broken.dat", std::string("\x05\x00\x00\x00garbage", 11));

    Wizard restore(services, firefoxDataSet());
    restore.job.listArchives(utf8(backups));
    ASSERT_EQ(restore.job.archives.entries,
              (std::vector<std::string>{"broken.dat", "ff_custom.dat"}));
    SelectiveChoices c = custom(choices(backups), dir / "target");
    c.deleteArchive = true;
    EXPECT_THROW(restore.job.restore(c), Error);
    EXPECT_TRUE(fs::exists(backups / "broken.dat"));
    // A failed job leaves the progress showing and the cursor normal.
    EXPECT_EQ(restore.reporter.progress.back(), "5");
    EXPECT_THAT(restore.reporter.busyCalls, ElementsAre(true, false));

    restore.job.archives.selected = 1;
    ASSERT_EQ(restore.job.restore(c), JobOutcome::Done);
    EXPECT_FALSE(fs::exists(backups / "ff_custom.dat"));
    EXPECT_EQ(readFile(dir / "target" / "key3.db"), "key of one");
}

TEST_F(SelectiveCustomJob, AMissingLocationIsMadeAndOneThatCannotBeFailsBeforeCopyingAnything) {
    // Not there yet: made with the folders above it, as `mkdir -p` does.
    const fs::path missing = dir / "no such folder" / "work";
    Wizard made(services, firefoxDataSet());
    ASSERT_EQ(made.job.backup(custom(choices(missing, {"CheckBox1"}), profile)), JobOutcome::Done);
    EXPECT_EQ(entriesOf(missing), std::set<std::string>{"ff_custom.dat"});

    // A file stands where a folder of the location would have to be: the
    // error names that folder, before anything is copied or shown.
    writeFile(dir / "a file", "not a folder");
    services.copied.clear();
    Wizard w(services, firefoxDataSet());
    try {
        w.job.backup(custom(choices(dir / "a file" / "work"), profile));
        ADD_FAILURE() << "no error";
    } catch (const Error& e) {
        EXPECT_EQ(std::string(e.what()), "Cannot create folder \"" + utf8(dir / "a file") + "\"");
    }
    EXPECT_THAT(services.copied, IsEmpty());
    EXPECT_THAT(w.reporter.progress, IsEmpty());
    EXPECT_EQ(w.reporter.packingStarted, 0);
}

TEST_F(SelectiveCustomJob, AStopRequestEndsTheJobLeavingNoFolderAndThePreviousArchive) {
    writeFile(backups / "ff_custom.dat", "previous");
    // Asked before the first item: nothing is copied, nothing packed.
    Wizard early(services, firefoxDataSet());
    early.reporter.stopNow = true;
    EXPECT_EQ(early.job.backup(custom(choices(backups), profile)), JobOutcome::Stopped);
    EXPECT_THAT(services.copied, IsEmpty());
    EXPECT_EQ(early.reporter.packingStarted, 0);

    // Asked while packing: the codec stops and no archive replaces the old one.
    Wizard packing(services, firefoxDataSet());
    packing.reporter.stopAfter = 0;
    EXPECT_EQ(packing.job.backup(custom(choices(backups), profile)), JobOutcome::Stopped);
    EXPECT_FALSE(packing.reporter.files.empty());
    EXPECT_EQ(readFile(backups / "ff_custom.dat"), "previous");
    EXPECT_EQ(entriesOf(backups), std::set<std::string>{"ff_custom.dat"});
    EXPECT_EQ(
        std::count(packing.reporter.progress.begin(), packing.reporter.progress.end(), "set 100"),
        0);

    // A restore stopped while unpacking writes nothing into the profile and
    // keeps the archive even when it was to be deleted.
    Wizard backup(services, firefoxDataSet());
    ASSERT_EQ(backup.job.backup(custom(choices(backups), profile)), JobOutcome::Done);
    Wizard restore(services, firefoxDataSet());
    restore.job.listArchives(utf8(backups));
    restore.reporter.stopAfter = 0;
    SelectiveChoices c = custom(choices(backups), dir / "target");
    c.deleteArchive = true;
    EXPECT_EQ(restore.job.restore(c), JobOutcome::Stopped);
    EXPECT_FALSE(fs::exists(dir / "target"));
    EXPECT_EQ(entriesOf(backups), std::set<std::string>{"ff_custom.dat"});
}

#ifndef _WIN32
TEST_F(SelectiveCustomJob, ADiskFullBackupOrRestoreLeavesNoFolderWithCopiesBehind) {
    // Each copy fits below the limit, the archive of both does not.
    writeFile(profile / "places.sqlite", test::noise(150000, 1));
    writeFile(profile / "cookies.sqlite", test::noise(150000, 2));
    writeFile(backups / "ff_custom.dat", "previous");
    const auto twoItems = [&](const fs::path& target) {
        return custom(choices(backups, {"CheckBox1", "CheckBox2"}), target);
    };
    {
        test::FileSizeLimit full(200 * 1024);
        Wizard w(services, firefoxDataSet());
        EXPECT_THROW(w.job.backup(twoItems(profile)), Error);
    }
    EXPECT_EQ(entriesOf(backups), std::set<std::string>{"ff_custom.dat"});
    EXPECT_EQ(readFile(backups / "ff_custom.dat"), "previous");

    Wizard backup(services, firefoxDataSet());
    ASSERT_EQ(backup.job.backup(twoItems(profile)), JobOutcome::Done);
    {
        test::FileSizeLimit full(100 * 1024);
        Wizard restore(services, firefoxDataSet());
        restore.job.listArchives(utf8(backups));
        EXPECT_THROW(restore.job.restore(twoItems(dir / "target")), Error);
    }
    EXPECT_EQ(entriesOf(backups), std::set<std::string>{"ff_custom.dat"});
    EXPECT_FALSE(fs::exists(dir / "target"));
}
#endif

// A browser that finds its data when the job starts and restores one
// archive of a fixed name, with no lists to choose from.
TEST_F(SelectiveCustomJob, AFixedArchiveIsSearchedAtNextAndRestoredWithoutAList) {
    BrowserDataSet data = firefoxDataSet();
    SelectiveWizardData& sel = data.selective;
    sel.listsProfiles = false;
    sel.customProfileName = {};
    sel.searchesAtJobStart = true;
    sel.stagingRule = StagingRule::Fixed;
    sel.fixedStagingName = "backup_x";
    sel.fixedArchiveName = "backup_x.dat";
    int searches = 0;
    const std::string home = utf8(profile);
    sel.hooks.jobStarting = [&](SystemServices&, WizardState& state) {
        ++searches;
        state.cook = home;
    };
    sel.items = {{.checkBox = "CheckBox1",
                  .key = "prefs",
                  .entries = {{.kind = ItemEntry::Kind::File,
                               .name = "prefs.js",
                               .home = ItemHome::Cookies}},
                  .backupStep = 7,
                  .restoreStep = 7}};
    sel.restoreOrder = {"CheckBox1"};

    Wizard w(services, data);
    EXPECT_TRUE(w.job.activate());
    EXPECT_TRUE(w.state.fileName.empty()) << "no search at activation";
    EXPECT_THAT(w.reporter.messages, IsEmpty());

    // No archive yet: refused before anything shows.
    Wizard early(services, data);
    EXPECT_EQ(early.job.restore(choices(backups)), JobOutcome::Refused);
    EXPECT_THAT(early.reporter.messages, ElementsAre("Backup File \"backup_x.dat\" Not Found"));
    EXPECT_THAT(early.reporter.progress, IsEmpty());

    ASSERT_EQ(w.job.backup(choices(backups)), JobOutcome::Done);
    EXPECT_EQ(w.state.fileName, "profiles.ini") << "searched at Next";
    EXPECT_EQ(storedNames(backups / "backup_x.dat"), std::set<std::string>{"prefs.js"});

    writeFile(profile / "prefs.js", "changed");
    ASSERT_EQ(w.job.restore(choices(backups)), JobOutcome::Done);
    EXPECT_THAT(w.job.archives.entries, IsEmpty());
    EXPECT_EQ(readFile(profile / "prefs.js"), "user_pref(\"tag\", \"one\");\n");
    EXPECT_EQ(entriesOf(backups), std::set<std::string>{"backup_x.dat"});
    EXPECT_EQ(searches, 3);
}

// --- Jobs on the sample prefix's profiles -------------------------------------

#ifndef _WIN32

using test::SamplePrefixFixture;

class SelectiveSampleJob : public ::testing::Test {
protected:
    SelectiveSampleJob() : services(fx.services()) {
        fs::create_directories(backups);
        // Files of no item: they never reach an archive.
        writeFile(firefoxProfile("abcd1234.default") / "parent.lock", "lock");
        writeFile(firefoxProfile("abcd1234.default") / "cache2" / "entry", "cached");
    }

    fs::path firefoxProfile(std::string_view name) const {
        return fx.onDriveC("users/demo/AppData/Roaming/Mozilla/Firefox/Profiles") /
               std::string(name);
    }
    fs::path flockProfile(std::string_view name) const {
        return fx.onDriveC("users/demo/AppData/Roaming/Flock/Browser/Profiles") / std::string(name);
    }
    // Activation, then the profile of that name chosen in the list.
    void choose(Wizard& w, std::string_view profile) {
        ASSERT_TRUE(w.job.activate());
        const auto& entries = w.job.profiles.entries;
        const auto it = std::find(entries.begin(), entries.end(), profile);
        ASSERT_NE(it, entries.end()) << profile;
        w.job.profiles.selected = static_cast<int>(it - entries.begin());
    }

    SamplePrefixFixture fx;
    RecordingServices services;
    TempDir dir;
    fs::path backups = dir / "backups";
};

TEST_F(SelectiveSampleJob, ActivationListsTheProfilesFolderAndAppendsAgainEachTime) {
    Wizard w(services, firefoxDataSet());
    ASSERT_TRUE(w.job.activate());
    const std::string root = fx.sample().roaming + "\\Mozilla\\Firefox\\";
    EXPECT_EQ(w.state.ffpath, root);
    EXPECT_EQ(w.state.mpath, root);
    EXPECT_EQ(w.state.ffpath2, root + "Profiles");
    EXPECT_EQ(w.job.profiles.entries,
              (std::vector<std::string>{"abcd1234.default", "wxyz9876.work"}));
    EXPECT_EQ(w.job.profiles.selection(), "abcd1234.default");

    ASSERT_TRUE(w.job.activate());
    EXPECT_EQ(w.job.profiles.entries,
              (std::vector<std::string>{"abcd1234.default", "wxyz9876.work", "abcd1234.default",
                                        "wxyz9876.work"}));
    EXPECT_THAT(w.reporter.messages, IsEmpty());
}

TEST_F(SelectiveSampleJob, TheCustomLocationDisablesTheProfileListForGood) {
    Wizard w(services, firefoxDataSet());
    ASSERT_TRUE(w.job.activate());
    w.job.customProfileChanged();
    EXPECT_THAT(w.job.profiles.entries, IsEmpty());
    EXPECT_FALSE(w.job.profiles.enabled);

    // A later activation refills the list, but it stays disabled: only the
    // custom location can be used.
    ASSERT_TRUE(w.job.activate());
    EXPECT_EQ(w.job.profiles.entries.size(), 2u);
    EXPECT_FALSE(w.job.profiles.enabled);
    EXPECT_EQ(w.job.profiles.selection(), std::nullopt);
    EXPECT_EQ(w.job.backup(choices(backups)), JobOutcome::Refused);
    EXPECT_THAT(w.reporter.messages, ElementsAre(std::string(kSelectProfile)));
    EXPECT_EQ(w.job.backup(custom(choices(backups), firefoxProfile("wxyz9876.work"))),
              JobOutcome::Done);
    EXPECT_TRUE(fs::exists(backups / "ff_custom.dat"));
}

TEST_F(SelectiveSampleJob, AFullFirefoxBackupStoresEveryItemFileAndStepsFiveFifteenTimes) {
    Wizard w(services, firefoxDataSet());
    choose(w, "abcd1234.default");
    ASSERT_EQ(w.job.backup(choices(backups)), JobOutcome::Done);

    EXPECT_EQ(w.state.ffpath,
              fx.sample().roaming + "\\Mozilla\\Firefox\\Profiles\\abcd1234.default\\");
    EXPECT_EQ(w.state.datfile, "\\default");
    EXPECT_EQ(entriesOf(backups), std::set<std::string>{"default.dat"});
    const std::set<std::string> expected{
        "prefs.js",
        "user.js",
        "preferences\\prefs-extra.js",
        "places.sqlite",
        "bookmarks.html",
        "history.dat",
        "cookies.sqlite",
        "cookies.txt",
        "formhistory.sqlite",
        "formhistory.dat",
        "key3.db",
        "signons.sqlite",
        "signons2.txt",
        "signons3.txt",
        "sessionstore.js",
        "extensions.ini",
        "addons.sqlite",
        "extensions\\{d10d0bf8-f5b5-c8b4-a8b2-2b9879e08c5d}\\install.rdf",
        "extensions\\{d10d0bf8-f5b5-c8b4-a8b2-2b9879e08c5d}\\chrome.manifest",
        "extensions\\{73a6fe31-595d-460b-a920-fcc0f8843232}\\install.rdf",
        "adblockplus\\patterns.ini",
        "searchplugins\\example.xml",
        "search.rdf",
        "search.sqlite",
        "chrome\\userChrome.css",
        "persdict.dat",
        "localstore.rdf",
        "downloads.rdf",
        "downloads.sqlite",
        "mimeTypes.rdf",
        "hostperm.1",
        "content-prefs.sqlite",
        "lightweighttheme-footer",
        "lightweighttheme-header",
        "stylish.sqlite",
    };
    EXPECT_EQ(storedNames(backups / "default.dat"), expected);

    std::vector<std::string> progress{"show", "5"};
    progress.insert(progress.end(), 15, "5");
    progress.insert(progress.end(), {"9", "set 100", "hide"});
    EXPECT_EQ(w.reporter.progress, progress);
    EXPECT_EQ(w.reporter.stepTotal(), 89);
    // The job ends with the profile list empty.
    EXPECT_THAT(w.job.profiles.entries, IsEmpty());
}

TEST_F(SelectiveSampleJob, FlockNeverSavesTheAddOnDatabaseOrTheAdBlockFolder) {
    writeFile(flockProfile("flck1234.default") / "addons.sqlite", "add-ons");
    writeFile(flockProfile("flck1234.default") / "adblockplus" / "patterns.ini", "filters");
    writeFile(flockProfile("flck1234.default") / "stylish.sqlite", "themes");
    Wizard w(services, flockDataSet());
    choose(w, "flck1234.default");
    ASSERT_EQ(w.job.backup(choices(backups)), JobOutcome::Done);

    const std::set<std::string> names = storedNames(backups / "default.dat");
    EXPECT_FALSE(names.count("addons.sqlite"));
    EXPECT_FALSE(names.count("adblockplus\\patterns.ini"));
    EXPECT_FALSE(names.count("stylish.sqlite"));
    EXPECT_TRUE(names.count("extensions.ini"));
    EXPECT_TRUE(names.count("extensions\\{d10d0bf8-f5b5-c8b4-a8b2-2b9879e08c5d}\\install.rdf"));
    EXPECT_TRUE(names.count("flock-data.sqlite") && names.count("webdetective.sqlite"));
    EXPECT_TRUE(names.count("feedcontent.sqlite"));
    EXPECT_EQ(w.reporter.stepTotal(), 94);
    EXPECT_EQ(w.reporter.progress.size(), 2u + 16u + 3u);
}

TEST_F(SelectiveSampleJob, TwoProfilesEndingAlikeShareOneArchiveAndTheLaterReplacesIt) {
    fs::copy(firefoxProfile("abcd1234.default"), firefoxProfile("wxyz9876.default"),
             fs::copy_options::recursive);
    writeFile(firefoxProfile("wxyz9876.default") / "prefs.js", "the second profile");
    for (std::string_view profile : {"abcd1234.default", "wxyz9876.default"}) {
        Wizard w(services, firefoxDataSet());
        choose(w, profile);
        w.job.backup(choices(backups, {"CheckBox6"}));
    }
    EXPECT_EQ(entriesOf(backups), std::set<std::string>{"default.dat"});
    TJvZlibMultiple z(services.paths());
    z.DecompressFile(utf8(backups / "default.dat"), utf8(dir / "check"), true, true);
    EXPECT_EQ(readFile(dir / "check" / "prefs.js"), "the second profile");
}

TEST_F(SelectiveSampleJob, RestoreIntoAnotherProfileSwapsTheItemsInTogether) {
    Wizard backup(services, firefoxDataSet());
    choose(backup, "abcd1234.default");
    backup.job.backup(choices(backups));
    services.copied.clear();

    Wizard restore(services, firefoxDataSet());
    choose(restore, "wxyz9876.work");
    restore.job.listArchives(utf8(backups));
    ASSERT_EQ(restore.job.restore(choices(backups)), JobOutcome::Done);

    // Nothing is copied into the profile piece by piece: the items' files
    // are swapped in together once every item was planned.
    EXPECT_THAT(services.copied, IsEmpty());
    const fs::path target = firefoxProfile("wxyz9876.work");
    EXPECT_EQ(readFile(target / "key3.db"),
              readFile(firefoxProfile("abcd1234.default") / "key3.db"));
    EXPECT_TRUE(fs::exists(target / "adblockplus" / "patterns.ini"));
    EXPECT_EQ(restore.reporter.stepTotal(), 89);
    EXPECT_THAT(restore.job.profiles.entries, IsEmpty());
    EXPECT_EQ(entriesOf(backups), std::set<std::string>{"default.dat"});
}

TEST_F(SelectiveSampleJob, AJobAfterAFailedRestoreStillFindsTheChosenProfile) {
    writeFile(backups / "broken.dat", std::string("\x05\x00\x00\x00garbage", 11));
    Wizard w(services, firefoxDataSet());
    choose(w, "abcd1234.default");
    w.job.listArchives(utf8(backups));
    EXPECT_THROW(w.job.restore(choices(backups)), Error);

    // The list still offers the profile; its directory is found anew.
    w.job.backup(choices(backups, {"CheckBox8"}));
    EXPECT_EQ(storedNames(backups / "default.dat"),
              (std::set<std::string>{"key3.db", "signons.sqlite", "signons2.txt", "signons3.txt"}));
}

TEST_F(SelectiveSampleJob, AShortProfileFolderKeepsItsWholeNameAndTheLocationSurvives) {
    fs::create_directories(firefoxProfile("default"));
    writeFile(firefoxProfile("default") / "prefs.js", "short");
    writeFile(backups / "other.txt", "kept");
    Wizard w(services, firefoxDataSet());
    choose(w, "default");
    ASSERT_EQ(w.job.backup(choices(backups)), JobOutcome::Done);
    EXPECT_EQ(w.state.datfile, "\\default");
    EXPECT_EQ(entriesOf(backups), (std::set<std::string>{"default.dat", "other.txt"}));
    EXPECT_THAT(services.deletedTrees, ElementsAre(utf8(backups / "default")));
}

// A browser of the tests' own that uses what later browsers need: a step
// before the item, a registry key saved as a hive file, a pause that comes
// whether or not the box is ticked, a folder of the data root that unticks
// its box when missing, a file kept below a folder of the archive, and a box
// no job reads.
const BrowserDataSet& departuresDataSet() {
    static const BrowserDataSet data = [] {
        BrowserDataSet d = firefoxDataSet();
        d.id = "departures";
        SelectiveWizardData& sel = d.selective;
        sel.items = {
            {.checkBox = "CheckBox1",
             .caption = "typed",
             .key = "typed",
             .entries = {progressStep(9),
                         registryKey("Software\\Microsoft\\Internet Explorer\\TypedURLs",
                                     "hist.reg")},
             .evenWhenUnticked = {pauseFor(1000)}},
            {.checkBox = "CheckBox2",
             .caption = "recovery",
             .key = "recovery",
             .entries = {{.kind = ItemEntry::Kind::Folder,
                          .name = "Recovery",
                          .home = ItemHome::DataRoot,
                          .untickWhenMissing = true}},
             .backupStep = 3},
            {.checkBox = "CheckBox3",
             .caption = "marker",
             .key = "marker",
             .entries = {{.kind = ItemEntry::Kind::File,
                          .name = "profiles.ini",
                          .home = ItemHome::DataRoot,
                          .stagedAs = "root\\profiles.ini"}}},
            {.checkBox = "CheckBox4", .caption = "Dialup", .enabled = false},
        };
        sel.restoreOrder = {"CheckBox3", "CheckBox1", "CheckBox2"};
        return d;
    }();
    return data;
}

TEST_F(SelectiveSampleJob, TheEngineRunsTheDeparturesLaterBrowsersDescribe) {
    Wizard w(services, departuresDataSet());
    choose(w, "abcd1234.default");
    ASSERT_EQ(w.job.backup(choices(backups, {"CheckBox2", "CheckBox3", "CheckBox4"})),
              JobOutcome::Done);
    // The unticked key is not saved, but its pause comes all the same.
    EXPECT_EQ(services.pauses, std::vector<int>{1000});
    EXPECT_THAT(w.reporter.unticked, ElementsAre("CheckBox2"));
    EXPECT_EQ(storedNames(backups / "default.dat"), std::set<std::string>{"root\\profiles.ini"});
    EXPECT_THAT(w.reporter.progress, ElementsAre("show", "5", "3", "9", "set 100", "hide"));

    services.pauses.clear();
    Wizard all(services, departuresDataSet());
    choose(all, "abcd1234.default");
    all.job.backup(choices(backups, {"CheckBox1"}));
    EXPECT_EQ(storedNames(backups / "default.dat"), std::set<std::string>{"hist.reg"});
    EXPECT_THAT(all.reporter.progress, ElementsAre("show", "5", "9", "9", "set 100", "hide"));
    EXPECT_EQ(services.pauses, std::vector<int>{1000});

    // A restore puts the file kept below a folder back where it lives.
    const fs::path marker = fx.onDriveC("users/demo/AppData/Roaming/Mozilla/Firefox/profiles.ini");
    const std::string original = readFile(marker);
    Wizard back(services, departuresDataSet());
    choose(back, "wxyz9876.work");
    Wizard markerOnly(services, departuresDataSet());
    choose(markerOnly, "abcd1234.default");
    markerOnly.job.backup(choices(backups, {"CheckBox3"}));
    fs::remove(marker);
    back.job.listArchives(utf8(backups));
    ASSERT_EQ(back.job.restore(choices(backups, {"CheckBox3"})), JobOutcome::Done);
    EXPECT_EQ(readFile(marker), original);
}

#endif // _WIN32

} // namespace
} // namespace vellarion
