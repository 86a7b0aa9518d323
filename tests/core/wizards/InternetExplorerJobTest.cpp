// Internet Explorer's jobs on a sample prefix: the registry keys saved as
// hive files beside the cookie, favourites and recovery folders, the steps
// and pauses the user sees, the fixed names, and what the user is told when
// keys cannot be saved or there is no registry at all.
#include "FileTree.h"
#include "JobRecorder.h"
#include "RecordedPauses.h"
#include "SamplePrefixFixture.h"
#include "TempDir.h"
#include "core/archive/JvZlibMultiple.h"
#include "core/services/registry/RegistryText.h"
#include "core/wizards/FullJob.h"
#include "core/wizards/Messages.h"
#include "core/wizards/SelectiveJob.h"

#include <fstream>
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#ifndef _WIN32

namespace vellarion {
namespace {

namespace fs = std::filesystem;
using test::entriesOf;
using test::readFile;
using test::readTree;
using test::storedNames;
using test::TempDir;
using test::writeFile;
using ::testing::ElementsAre;
using ::testing::IsEmpty;

const std::string kKeys = "Software\\Microsoft\\Internet Explorer\\";

// One log of what the user would notice, in the order it happens: each hive
// file saved or loaded, each folder copied, each pause and each step of the
// bar. Keys named in `unsaved` cannot be saved.
class LoggedServices : public test::RecordedPauses {
public:
    LoggedServices(SystemServices& real, std::vector<std::string>& log)
        : RecordedPauses(real), log_(log) {}

    std::set<std::string> unsaved;

    KeySave SaveKeyToFile(std::string_view key, std::string_view file) override {
        if (unsaved.count(std::string(key))) {
            return KeySave::NotSaved;
        }
        log_.push_back(lastName(file));
        return RecordedPauses::SaveKeyToFile(key, file);
    }
    std::string LoadKeyFromFile(std::string_view key, std::string_view file) override {
        log_.push_back(lastName(file));
        return RecordedPauses::LoadKeyFromFile(key, file);
    }
    bool CopyDir(std::string_view from, std::string_view to) override {
        log_.push_back(lastName(from) + "\\");
        return RecordedPauses::CopyDir(from, to);
    }
    void pause(std::chrono::milliseconds duration) override {
        RecordedPauses::pause(duration);
        log_.push_back("pause " + std::to_string(duration.count()));
    }

private:
    std::vector<std::string>& log_;
};

class LoggedReporter : public test::RecordingReporter {
public:
    explicit LoggedReporter(std::vector<std::string>& log) : log_(log) {}
    void progressStep(int amount) override {
        RecordingReporter::progressStep(amount);
        log_.push_back("step " + std::to_string(amount));
    }

private:
    std::vector<std::string>& log_;
};

// One window's engine of either family, logged.
template <class Job> struct Logged {
    Logged(LoggedServices& services, std::vector<std::string>& log)
        : reporter(log), job(services, internetExplorerDataSet(), state, reporter) {}
    WizardState state;
    LoggedReporter reporter;
    Job job;
};

SelectiveChoices ticking(const fs::path& location, std::set<std::string> boxes = {}) {
    SelectiveChoices c;
    c.backupLocation = pathToUtf8(location);
    c.customLocation = std::string(kCustomProfilePlaceholder);
    c.ticked = [boxes = std::move(boxes)](std::string_view box) {
        return boxes.empty() || boxes.count(std::string(box)) > 0;
    };
    return c;
}

// The hive files of every item.
const std::set<std::string> kHives{
    "autocomplete.reg", "hist.reg", "search.reg", "rec.reg",  "set.reg",     "set2.reg", "set3.reg",
    "set4.reg",         "set5.reg", "set6.reg",   "set7.reg", "toolbar.reg", "links.reg"};

// The stored names of an archive at its top level: the hive files, and
// "Cookies\", "Favorites\", "Recovery\" for what lies in those folders.
std::set<std::string> topLevel(const fs::path& archive) {
    std::set<std::string> names;
    for (const std::string& name : storedNames(archive)) {
        const size_t cut = name.find('\\');
        names.insert(cut == std::string::npos ? name : name.substr(0, cut + 1));
    }
    return names;
}

std::set<std::string> withFolders(std::set<std::string> names,
                                  std::initializer_list<const char*> folders) {
    names.insert(folders.begin(), folders.end());
    return names;
}

class InternetExplorerJob : public ::testing::Test {
protected:
    explicit InternetExplorerJob(SamplePrefixOptions options = {})
        : fx(std::move(options)), services(fx.services(), log) {
        fs::create_directories(backups);
    }

    fs::path profile() const {
        return fx.onDriveC(
            (fx.options().windowsVersion <= 5 ? "Documents and Settings/" : "users/") +
            fx.options().user);
    }
    fs::path roaming() const {
        return profile() /
               (fx.options().windowsVersion <= 5 ? "Application Data" : "AppData/Roaming");
    }
    fs::path ieRoot() const { return roaming() / "Microsoft/Internet Explorer"; }
    fs::path cookies() const {
        return fx.options().windowsVersion <= 5 ? profile() / "Cookies"
                                                : roaming() / "Microsoft/Windows/Cookies";
    }
    RegistryText registry() const { return RegistryText::parse(readFile(fx.sample().userReg)); }

    test::SamplePrefixFixture fx;
    std::vector<std::string> log;
    LoggedServices services;
    TempDir dir;
    fs::path backups = dir / "backups";
};

TEST_F(InternetExplorerJob, ABackupOfEveryItemSavesTheKeysAndFoldersWithItsStepsAndPauses) {
    Logged<SelectiveJob> w(services, log);
    EXPECT_TRUE(w.job.activate());
    EXPECT_THAT(log, IsEmpty()) << "nothing is searched before Next";
    ASSERT_EQ(w.job.backup(ticking(backups)), JobOutcome::Done);

    const fs::path archive = backups / "backup_ie.dat";
    EXPECT_EQ(topLevel(archive), withFolders(kHives, {"Cookies\\", "Favorites\\", "Recovery\\"}));
    const std::set<std::string> names = storedNames(archive);
    for (const char* name :
         {"Cookies\\demo@example[1].txt", "Favorites\\Links\\News.url",
          "Favorites\\Работа\\Почта.url", "Recovery\\Last Active\\RecoveryStore.{6A1F3DE2}.dat"}) {
        EXPECT_TRUE(names.count(name)) << name;
    }
    EXPECT_EQ(log, (std::vector<std::string>{
                       "step 9",                                                   // opening
                       "step 9",   "autocomplete.reg",                             //
                       "step 9",   "Cookies\\",                                    //
                       "step 9",   "Favorites\\",                                  //
                       "step 9",   "hist.reg",                                     //
                       "step 9",   "search.reg",       "pause 1000",               //
                       "step 9",   "rec.reg",          "Recovery\\",               //
                       "step 9",   "set.reg",          "set2.reg",   "pause 1000", //
                       "set3.reg", "set4.reg",         "pause 1000",               //
                       "step 9",   "set5.reg",         "set6.reg",   "pause 1000", "set7.reg", //
                       "step 9",   "toolbar.reg",                                              //
                       "step 9",   "links.reg",                                                //
                       "step 9", // closing
                   }));
    EXPECT_EQ(w.reporter.progress.front(), "show");
    EXPECT_THAT(std::vector<std::string>(w.reporter.progress.end() - 2, w.reporter.progress.end()),
                ElementsAre("set 100", "hide"));
    EXPECT_THAT(w.reporter.messages, IsEmpty());
    EXPECT_THAT(w.reporter.unticked, IsEmpty());
    EXPECT_THAT(w.reporter.busyCalls, ElementsAre(true, false)) << "the hourglass while packing";
    EXPECT_EQ(entriesOf(backups), std::set<std::string>{"backup_ie.dat"})
        << "no staging folder left";

    // A hive file is the key with its subkeys, values byte for byte.
    TempDir unpacked;
    TJvZlibMultiple().DecompressFile(pathToUtf8(archive), pathToUtf8(unpacked.path()), true, true);
    const RegistryText search = RegistryText::parse(readFile(unpacked / "search.reg"));
    const RegistryText& user = registry();
    EXPECT_EQ(search.values(""), user.values(kKeys + "SearchScopes"));
    EXPECT_THAT(
        search.values("{0633EE93-D776-472f-A0FF-E1416B8B2E3A}"),
        ElementsAre(RegistryValue::string("DisplayName", "Example Search"),
                    RegistryValue::string("URL", "https://search.example.org/?q={searchTerms}")));
    const RegistryText main = RegistryText::parse(readFile(unpacked / "set.reg"));
    EXPECT_THAT(main.values(""),
                ElementsAre(RegistryValue::string("Search Page", "https://search.example.org/"),
                            RegistryValue::string("Start Page", "https://www.example.org/"),
                            RegistryValue::string("Window Title", "Internet Explorer")));
}

TEST_F(InternetExplorerJob, OnlySettingsTickedSavesTheSevenKeysAndTakesFourPauses) {
    // One of the seven keys is not there: it has no file, and nobody is told.
    std::string user = readFile(fx.sample().userReg);
    const size_t at = user.find("[Software\\\\Microsoft\\\\Internet Explorer\\\\Download]");
    ASSERT_NE(at, std::string::npos);
    user.erase(at, user.find('[', at + 1) - at);
    writeFile(fx.sample().userReg, user);
    ASSERT_FALSE(registry().hasKey(kKeys + "Download"));

    Logged<SelectiveJob> w(services, log);
    ASSERT_EQ(w.job.backup(ticking(backups, {"CheckBox8"})), JobOutcome::Done);
    EXPECT_EQ(storedNames(backups / "backup_ie.dat"),
              (std::set<std::string>{"set.reg", "set2.reg", "set3.reg", "set5.reg", "set6.reg",
                                     "set7.reg"}));
    // After the search item whether ticked or not, then within the settings.
    EXPECT_THAT(services.pauses, ElementsAre(1000, 1000, 1000, 1000));
    EXPECT_THAT(w.reporter.progress, ElementsAre("show", "9", "9", "9", "9", "set 100", "hide"));
    EXPECT_THAT(w.reporter.messages, IsEmpty());
}

TEST_F(InternetExplorerJob, WithoutARecoveryFolderSessionsSavesItsKeyAndIsUnticked) {
    fs::remove_all(ieRoot() / "Recovery");
    Logged<SelectiveJob> w(services, log);
    ASSERT_EQ(w.job.backup(ticking(backups)), JobOutcome::Done);
    EXPECT_EQ(topLevel(backups / "backup_ie.dat"),
              withFolders(kHives, {"Cookies\\", "Favorites\\"}));
    EXPECT_THAT(w.reporter.unticked, ElementsAre("CheckBox7"));

    // Without the marker there is no data root either: the backup still
    // runs, and the Recovery folder that is there counts as missing.
    writeFile(ieRoot() / "Recovery/Active/x.dat", "session");
    fs::remove(ieRoot() / "brndlog.txt");
    Logged<SelectiveJob> unmarked(services, log);
    ASSERT_EQ(unmarked.job.backup(ticking(backups)), JobOutcome::Done);
    EXPECT_TRUE(unmarked.state.ffpath.empty());
    EXPECT_EQ(topLevel(backups / "backup_ie.dat"),
              withFolders(kHives, {"Cookies\\", "Favorites\\"}));
    EXPECT_THAT(unmarked.reporter.unticked, ElementsAre("CheckBox7"));
    EXPECT_THAT(unmarked.reporter.messages, IsEmpty());

    // The full wizard skips it the same way.
    Logged<FullJob> full(services, log);
    ASSERT_EQ(full.job.backup(pathToUtf8(backups)), JobOutcome::Done);
    EXPECT_EQ(topLevel(backups / "fbackup_ie.dat"),
              withFolders(kHives, {"Cookies\\", "Favorites\\"}));
}

TEST_F(InternetExplorerJob, ARestorePutsTheKeysAndFoldersBackAndUnticksWhatTheArchiveLacks) {
    Logged<SelectiveJob> backup(services, log);
    ASSERT_EQ(backup.job.backup(ticking(backups)), JobOutcome::Done);
    const RegistryText before = registry();

    // What the user changed since: keys gone or altered, a favourite
    // rewritten, a new one added, a cookie deleted.
    RegistryText user = registry();
    user.restoreKey(kKeys + "Main", RegistryText::create(""));
    user.setValue(kKeys + "TypedURLs", RegistryValue::string("url1", "https://elsewhere.example/"));
    user.restoreKey(kKeys + "SearchScopes", RegistryText::create(""));
    writeFile(fx.sample().userReg, user.serialize());
    writeFile(profile() / "Favorites/Example.url", "changed");
    writeFile(profile() / "Favorites/New.url", "kept");
    fs::remove(cookies() / "index.dat");
    fs::remove_all(ieRoot() / "Recovery");

    log.clear();
    services.pauses.clear();
    Logged<SelectiveJob> w(services, log);
    ASSERT_EQ(w.job.restore(ticking(backups)), JobOutcome::Done);
    const RegistryText after = registry();
    for (const char* key : {"Main", "TypedURLs", "SearchScopes",
                            "SearchScopes\\{0633EE93-D776-472f-A0FF-E1416B8B2E3A}", "LinksBar",
                            "LinksBar\\ItemCache\\0", "IntelliForms\\Storage2"}) {
        EXPECT_EQ(after.values(kKeys + key), before.values(kKeys + key)) << key;
    }
    EXPECT_EQ(readFile(profile() / "Favorites/Example.url"),
              "[InternetShortcut]\r\nURL=https://www.example.org/\r\n");
    EXPECT_EQ(readFile(profile() / "Favorites/New.url"), "kept");
    EXPECT_TRUE(fs::exists(cookies() / "index.dat"));
    EXPECT_TRUE(fs::exists(ieRoot() / "Recovery/Last Active/RecoveryStore.{6A1F3DE2}.dat"));
    // Opening, unpacked, then before each item; nothing before the unpack
    // folder goes.
    EXPECT_EQ(w.reporter.progress,
              (std::vector<std::string>{"show", "9", "9", "9", "9", "9", "9", "9", "9", "9", "9",
                                        "9", "9", "set 100", "hide"}));
    EXPECT_THAT(services.pauses, ElementsAre(1000, 1000, 1000, 1000));
    EXPECT_EQ(entriesOf(backups), std::set<std::string>{"backup_ie.dat"});
    EXPECT_THAT(w.reporter.messages, IsEmpty());

    // An archive without the cookies: "Куки" is unticked, the disk unchanged.
    Logged<SelectiveJob> some(services, log);
    ASSERT_EQ(some.job.backup(ticking(backups, {"CheckBox1"})), JobOutcome::Done);
    const auto cookiesBefore = readTree(cookies());
    Logged<SelectiveJob> cookieless(services, log);
    ASSERT_EQ(cookieless.job.restore(ticking(backups, {"CheckBox2"})), JobOutcome::Done);
    EXPECT_THAT(cookieless.reporter.unticked, ElementsAre("CheckBox2"));
    EXPECT_EQ(readTree(cookies()), cookiesBefore);
}

TEST_F(InternetExplorerJob, RestoresWithoutTheirArchiveSayWhichOneIsMissingAndDoNothing) {
    Logged<SelectiveJob> selective(services, log);
    EXPECT_EQ(selective.job.restore(ticking(backups)), JobOutcome::Refused);
    EXPECT_THAT(selective.reporter.messages,
                ElementsAre("Backup File \"backup_ie.dat\" Not Found"));
    EXPECT_THAT(selective.reporter.progress, IsEmpty());

    writeFile(backups / "backup_ie.dat", "the selective archive is no full one");
    Logged<FullJob> full(services, log);
    EXPECT_EQ(full.job.restore(pathToUtf8(backups)), JobOutcome::Refused);
    EXPECT_THAT(full.reporter.messages, ElementsAre("Backup File \"fbackup_ie.dat\" Not Found"));
    EXPECT_THAT(full.reporter.progress, IsEmpty());
    EXPECT_THAT(log, IsEmpty());
}

TEST_F(InternetExplorerJob, TheFullWizardSavesEveryItemInTwelveStepsAndRestoresInEleven) {
    Logged<FullJob> w(services, log);
    EXPECT_TRUE(w.job.activate());
    ASSERT_EQ(w.job.backup(pathToUtf8(backups)), JobOutcome::Done);
    EXPECT_EQ(topLevel(backups / "fbackup_ie.dat"),
              withFolders(kHives, {"Cookies\\", "Favorites\\", "Recovery\\"}));
    EXPECT_EQ(log, (std::vector<std::string>{
                       "step 9",           "step 9",                                           //
                       "autocomplete.reg", "step 9",                                           // 1
                       "Cookies\\",        "step 9",                                           // 2
                       "Favorites\\",      "step 9",                                           // 3
                       "hist.reg",         "step 9",                                           // 4
                       "search.reg",       "pause 1000", "step 9",                             // 5
                       "rec.reg",          "Recovery\\", "step 9",                             // 6
                       "set.reg",          "set2.reg",   "pause 1000", "set3.reg", "set4.reg", //
                       "pause 1000",       "step 9",                                           // 7
                       "set5.reg",         "set6.reg",   "pause 1000", "set7.reg", "step 9",   // 8
                       "toolbar.reg",      "step 9",                                           // 9
                       "links.reg",        "step 9",                                           // 10
                   }));
    EXPECT_EQ(w.reporter.progress.front(), "show");
    EXPECT_EQ(w.reporter.stepTotal(), 12 * 9);
    EXPECT_EQ(w.reporter.log.back(), "finished");
    EXPECT_EQ(entriesOf(backups), std::set<std::string>{"fbackup_ie.dat"});

    fs::remove_all(profile() / "Favorites");
    log.clear();
    Logged<FullJob> restore(services, log);
    ASSERT_EQ(restore.job.restore(pathToUtf8(backups)), JobOutcome::Done);
    EXPECT_EQ(restore.reporter.stepTotal(), 11 * 9) << "no step after the links";
    EXPECT_EQ(log.back(), "links.reg");
    EXPECT_TRUE(fs::exists(profile() / "Favorites/Links/News.url"));
    EXPECT_EQ(entriesOf(backups), std::set<std::string>{"fbackup_ie.dat"});
}

TEST_F(InternetExplorerJob, ALeftoverStagingFolderNeitherBlocksTheNextBackupNorIsPacked) {
    for (const char* name : {"backup_ie", "fbackup_ie"}) {
        writeFile(backups / name / "set.reg", "left over by a crashed job");
        writeFile(backups / name / "stray.txt", "not the user's data");
    }
    Logged<SelectiveJob> selective(services, log);
    ASSERT_EQ(selective.job.backup(ticking(backups)), JobOutcome::Done);
    Logged<FullJob> full(services, log);
    ASSERT_EQ(full.job.backup(pathToUtf8(backups)), JobOutcome::Done);
    for (const char* archive : {"backup_ie.dat", "fbackup_ie.dat"}) {
        SCOPED_TRACE(archive);
        EXPECT_FALSE(storedNames(backups / archive).count("stray.txt"));
        TempDir unpacked;
        TJvZlibMultiple().DecompressFile(pathToUtf8(backups / archive), pathToUtf8(unpacked.path()),
                                         true, true);
        EXPECT_NE(readFile(unpacked / "set.reg"), "left over by a crashed job");
    }
    // The leftovers stay as they were; the jobs' own folders are gone.
    for (const char* name : {"backup_ie", "fbackup_ie"}) {
        EXPECT_EQ(readTree(backups / name).size(), 2u);
    }
    EXPECT_EQ(entriesOf(backups), (std::set<std::string>{"backup_ie", "backup_ie.dat", "fbackup_ie",
                                                         "fbackup_ie.dat"}));

    // A stop between items, or while packing, leaves no folder and the
    // archive as it was.
    const std::string previous = readFile(backups / "backup_ie.dat");
    Logged<SelectiveJob> stopped(services, log);
    stopped.reporter.stopAfter = 0;
    EXPECT_EQ(stopped.job.backup(ticking(backups)), JobOutcome::Stopped);
    Logged<FullJob> stoppedFull(services, log);
    stoppedFull.reporter.stopNow = true;
    EXPECT_EQ(stoppedFull.job.backup(pathToUtf8(backups)), JobOutcome::Stopped);
    EXPECT_EQ(readFile(backups / "backup_ie.dat"), previous);
    EXPECT_EQ(entriesOf(backups).size(), 4u);
}

TEST_F(InternetExplorerJob, KeysThatCannotBeSavedAreNamedOnceAndTheRestIsSaved) {
    services.unsaved = {kKeys + "Main\\", kKeys + "LinksBar\\"};
    Logged<SelectiveJob> w(services, log);
    ASSERT_EQ(w.job.backup(ticking(backups)), JobOutcome::Done);
    EXPECT_THAT(w.reporter.messages,
                ElementsAre("Не удалось сохранить разделы реестра:\n"
                            "HKEY_CURRENT_USER\\Software\\Microsoft\\Internet Explorer\\Main\n"
                            "HKEY_CURRENT_USER\\Software\\Microsoft\\Internet Explorer\\LinksBar"));
    std::set<std::string> saved = kHives;
    saved.erase("set.reg");
    saved.erase("links.reg");
    EXPECT_EQ(topLevel(backups / "backup_ie.dat"),
              withFolders(saved, {"Cookies\\", "Favorites\\", "Recovery\\"}));
    // Said before the job ends, which it still does.
    EXPECT_EQ(w.reporter.log.back(), "finished");

    Logged<FullJob> full(services, log);
    ASSERT_EQ(full.job.backup(pathToUtf8(backups)), JobOutcome::Done);
    EXPECT_EQ(full.reporter.messages, w.reporter.messages);
}

TEST_F(InternetExplorerJob, ARestoreNamesEachKeyTheRegistryRefuses) {
    Logged<SelectiveJob> backup(services, log);
    ASSERT_EQ(backup.job.backup(ticking(backups, {"CheckBox9", "CheckBox10"})), JobOutcome::Done);
    // An archive whose toolbar file is no saved key.
    TempDir unpacked;
    TJvZlibMultiple().DecompressFile(pathToUtf8(backups / "backup_ie.dat"),
                                     pathToUtf8(unpacked.path()), true, true);
    writeFile(unpacked / "toolbar.reg", "REGEDIT4\r\n");
    fs::remove(backups / "backup_ie.dat");
    TJvZlibMultiple().CompressDirectory(pathToUtf8(unpacked.path()), true,
                                        pathToUtf8(backups / "backup_ie.dat"));

    struct NamingReporter : test::RecordingReporter {
        std::vector<std::string> refusedKeys;
        void keyNotRestored(std::string_view key, const std::string& reason) override {
            refusedKeys.emplace_back(key);
            RecordingReporter::keyNotRestored(key, reason);
        }
    } reporter;
    WizardState state;
    SelectiveJob job(services, internetExplorerDataSet(), state, reporter);
    ASSERT_EQ(job.restore(ticking(backups)), JobOutcome::Done);
    EXPECT_THAT(reporter.refusedKeys, ElementsAre(kKeys + "Toolbar\\"));
    EXPECT_THAT(reporter.messages, ElementsAre("The configuration registry database is corrupt"));
    EXPECT_EQ(registry().values(kKeys + "LinksBar\\ItemCache\\0"),
              (std::vector<RegistryValue>{RegistryValue::string("Title", "Example")}));
}

// A Windows drive mounted on its own has files but no registry.
TEST_F(InternetExplorerJob, WithoutARegistryTheJobsSayOnceThatTheKeysWereSkipped) {
    const auto mounted = makeSystemServices(
        {.windowsRoot = pathToUtf8(fx.sample().driveC), .user = "demo"}, ProcessEnvironment{});
    LoggedServices drive(*mounted, log);
    for (Direction direction : {Direction::Backup, Direction::Restore}) {
        Logged<SelectiveJob> w(drive, log);
        const JobOutcome outcome = direction == Direction::Backup ? w.job.backup(ticking(backups))
                                                                  : w.job.restore(ticking(backups));
        ASSERT_EQ(outcome, JobOutcome::Done);
        EXPECT_THAT(w.reporter.messages, ElementsAre(std::string(kRegistrySkipped)));
    }
    EXPECT_EQ(topLevel(backups / "backup_ie.dat"),
              (std::set<std::string>{"Cookies\\", "Favorites\\", "Recovery\\"}));
    Logged<FullJob> full(drive, log);
    ASSERT_EQ(full.job.backup(pathToUtf8(backups)), JobOutcome::Done);
    EXPECT_THAT(full.reporter.messages, ElementsAre(std::string(kRegistrySkipped)));
}

class InternetExplorerOnXp : public InternetExplorerJob {
protected:
    InternetExplorerOnXp() : InternetExplorerJob({.windowsVersion = 5}) {}
};

TEST_F(InternetExplorerOnXp, TheFoldersComeFromTheDocumentsAndSettingsLayout) {
    Logged<SelectiveJob> w(services, log);
    ASSERT_EQ(w.job.backup(ticking(backups)), JobOutcome::Done);
    EXPECT_EQ(w.state.cook, "C:\\Documents and Settings\\demo");
    EXPECT_EQ(w.state.favo, "C:\\Documents and Settings\\demo");
    EXPECT_EQ(topLevel(backups / "backup_ie.dat"),
              withFolders(kHives, {"Cookies\\", "Favorites\\", "Recovery\\"}));
    fs::remove_all(cookies());
    Logged<SelectiveJob> restore(services, log);
    ASSERT_EQ(restore.job.restore(ticking(backups, {"CheckBox2"})), JobOutcome::Done);
    EXPECT_TRUE(fs::exists(profile() / "Cookies/index.dat"));
}

} // namespace
} // namespace vellarion

#endif
