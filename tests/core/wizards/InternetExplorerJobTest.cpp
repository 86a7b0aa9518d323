// Internet Explorer's jobs on a sample prefix: the registry keys saved as
// hive files beside the cookie, favourites and recovery folders, the steps
// and pauses the user sees, and what the user is told when keys cannot be
// saved or there is no registry at all.
#include "FileTree.h"
#include "JobRecorder.h"
#include "RecordedPauses.h"
#include "SamplePrefixFixture.h"
#include "TempDir.h"
#include "core/archive/JvZlibMultiple.h"
#include "core/restore/RestoreTransaction.h"
#include "core/services/registry/RegistryText.h"
#include "core/wizards/FullJob.h"
#include "core/wizards/Messages.h"
#include "core/wizards/SelectiveJob.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>
#include <sstream>

#ifndef _WIN32

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

const std::string kKeys = "Software\\Microsoft\\Internet Explorer\\";

// One log of what the user would notice, in order: each hive file saved,
// each folder copied, each pause and each step of the bar. The keys in
// `unsaved` cannot be saved; the registry refuses the hive files named in
// `refused` after taking half of them in (the key is loaded, then an error).
struct Log {
    std::vector<std::string> lines;
    std::set<std::string> unsaved;
    std::set<std::string> refused;
};

class LoggedServices : public test::RecordedPauses {
public:
    LoggedServices(SystemServices& real, Log& log) : RecordedPauses(real), log_(log) {}
    KeySave SaveKeyToFile(std::string_view key, std::string_view file) override {
        if (log_.unsaved.count(std::string(key))) {
            return KeySave::NotSaved;
        }
        log_.lines.push_back(lastName(file));
        return RecordedPauses::SaveKeyToFile(key, file);
    }
    std::string LoadKeyFromFile(std::string_view key, std::string_view file) override {
        const std::string loaded = RecordedPauses::LoadKeyFromFile(key, file);
        return log_.refused.count(lastName(file)) ? "Access is denied" : loaded;
    }
    bool CopyDir(std::string_view from, std::string_view to) override {
        log_.lines.push_back(lastName(from) + "\\");
        return RecordedPauses::CopyDir(from, to);
    }
    void pause(std::chrono::milliseconds duration) override {
        RecordedPauses::pause(duration);
        log_.lines.push_back("pause");
    }

private:
    Log& log_;
};

// One window's engine of either family, its steps in the log.
template <class Job> struct Logged : test::RecordingReporter {
    Logged(SystemServices& services, Log& log)
        : log_(log), job(services, internetExplorerDataSet(), state, *this) {}
    void progressStep(int amount) override {
        RecordingReporter::progressStep(amount);
        log_.lines.push_back(std::to_string(amount));
    }
    Log& log_;
    WizardState state;
    Job job;
};

SelectiveChoices ticking(const fs::path& location, std::set<std::string> boxes = {}) {
    return {.backupLocation = pathToUtf8(location),
            .customLocation = std::string(kCustomProfilePlaceholder),
            .ticked = [boxes = std::move(boxes)](std::string_view box) {
                return boxes.empty() || boxes.count(std::string(box)) > 0;
            }};
}

// The top level of an archive: the hive files, and "Cookies\", "Favorites\"
// and "Recovery\" for what lies in those folders.
std::set<std::string> topLevel(const fs::path& archive) {
    std::set<std::string> names;
    for (const std::string& name : storedNames(archive)) {
        const size_t cut = name.find('\\');
        names.insert(cut == std::string::npos ? name : name.substr(0, cut + 1));
    }
    return names;
}

const std::set<std::string> kEverything{
    "autocomplete.reg", "hist.reg",  "search.reg",  "rec.reg",   "set.reg",  "set2.reg",
    "set3.reg",         "set4.reg",  "set5.reg",    "set6.reg",  "set7.reg", "toolbar.reg",
    "links.reg",        "Cookies\\", "Favorites\\", "Recovery\\"};

class InternetExplorerJob : public ::testing::Test {
protected:
    InternetExplorerJob() : services(fx.services(), log) {
        fs::create_directories(backups);
        // Left over by a crashed job: never packed, never deleted, no obstacle.
        for (const char* name : {"backup_ie", "fbackup_ie"}) {
            writeFile(backups / name / "set.reg", "stray");
        }
    }
    fs::path onC(std::string_view path) const {
        return fx.onDriveC("users/demo/" + std::string(path));
    }
    RegistryText registry() const { return RegistryText::parse(readFile(fx.sample().userReg)); }

    test::SamplePrefixFixture fx;
    Log log;
    LoggedServices services;
    TempDir dir;
    fs::path backups = dir / "backups";
};

TEST_F(InternetExplorerJob, ABackupOfEveryItemSavesKeysAndFoldersWithItsStepsAndPauses) {
    Logged<SelectiveJob> w(services, log);
    ASSERT_EQ(w.job.backup(ticking(backups)), JobOutcome::Done);
    const fs::path archive = backups / "backup_ie.dat";
    EXPECT_EQ(topLevel(archive), kEverything);
    EXPECT_EQ(
        log.lines,
        (std::vector<std::string>{
            "9", // opening
            "9", "autocomplete.reg", "9",          "Cookies\\",  "9",        "Favorites\\", //
            "9", "hist.reg",         "9",          "search.reg", "pause",                   //
            "9", "rec.reg",          "Recovery\\",                                          //
            "9", "set.reg",          "set2.reg",   "pause",      "set3.reg", "set4.reg",    "pause",
            "9", "set5.reg",         "set6.reg",   "pause",      "set7.reg", //
            "9", "toolbar.reg",      "9",          "links.reg",  "9"}));
    EXPECT_EQ(w.progress.back(), "hide");
    EXPECT_THAT(w.messages, IsEmpty());
    EXPECT_EQ(entriesOf(backups),
              (std::set<std::string>{"backup_ie", "backup_ie.dat", "fbackup_ie"}));
    EXPECT_EQ(readFile(backups / "backup_ie/set.reg"), "stray");

    // A hive file is the key with its subkeys, each value as it was.
    TempDir out;
    TJvZlibMultiple().DecompressFile(pathToUtf8(archive), pathToUtf8(out.path()), true, true);
    const RegistryText search = RegistryText::parse(readFile(out / "search.reg"));
    EXPECT_EQ(search.values(""), registry().values(kKeys + "SearchScopes"));
    EXPECT_THAT(
        search.values("{0633EE93-D776-472f-A0FF-E1416B8B2E3A}"),
        ElementsAre(RegistryValue::string("DisplayName", "Example Search"),
                    RegistryValue::string("URL", "https://search.example.org/?q={searchTerms}")));
}

TEST_F(InternetExplorerJob, WithoutARecoveryFolderSessionsSavesItsKeyAndIsUnticked) {
    fs::remove_all(onC("AppData/Roaming/Microsoft/Internet Explorer/Recovery"));
    Logged<SelectiveJob> w(services, log);
    ASSERT_EQ(w.job.backup(ticking(backups, {"CheckBox7"})), JobOutcome::Done);
    EXPECT_EQ(storedNames(backups / "backup_ie.dat"), std::set<std::string>{"rec.reg"});
    EXPECT_THAT(w.unticked, ElementsAre("CheckBox7"));
    // The search item pauses even when it is not ticked.
    EXPECT_THAT(services.pauses, ElementsAre(1000));
}

TEST_F(InternetExplorerJob, ARestorePutsTheKeysAndFoldersBack) {
    Logged<SelectiveJob> backup(services, log);
    ASSERT_EQ(backup.job.backup(ticking(backups)), JobOutcome::Done);
    const RegistryText before = registry();
    RegistryText changed = registry();
    changed.restoreKey(kKeys + "SearchScopes", RegistryText::create(""));
    changed.setValue(kKeys + "TypedURLs", RegistryValue::string("url1", "https://else.example/"));
    writeFile(fx.sample().userReg, changed.serialize());
    writeFile(onC("Favorites/Example.url"), "changed");
    writeFile(onC("Favorites/New.url"), "kept");

    Logged<SelectiveJob> w(services, log);
    services.pauses.clear();
    ASSERT_EQ(w.job.restore(ticking(backups)), JobOutcome::Done);
    for (const char* key : {"TypedURLs", "SearchScopes\\{0633EE93-D776-472f-A0FF-E1416B8B2E3A}"}) {
        EXPECT_EQ(registry().values(kKeys + key), before.values(kKeys + key)) << key;
    }
    EXPECT_EQ(readFile(onC("Favorites/Example.url")),
              "[InternetShortcut]\r\nURL=https://www.example.org/\r\n");
    EXPECT_EQ(readFile(onC("Favorites/New.url")), "kept");
    // Opening, unpacked, each item and once inside the settings; no step at the end.
    EXPECT_EQ(w.stepTotal(), 12 * 9);
    EXPECT_THAT(std::vector(w.progress.end() - 3, w.progress.end()),
                ElementsAre("9", "set 100", "hide"));
    EXPECT_EQ(services.pauses.size(), 4u);
    EXPECT_THAT(w.messages, IsEmpty());
    EXPECT_EQ(entriesOf(backups),
              (std::set<std::string>{"backup_ie", "backup_ie.dat", "fbackup_ie"}));
}

// The keys are part of the restore's transaction: the last key refused
// puts back every key before it (one of them missing before the restore)
// and every file, and the user hears that nothing was restored.
TEST_F(InternetExplorerJob, ARefusedKeyPutsBackEveryKeyAndFileAndNothingIsRestored) {
    Logged<SelectiveJob> backup(services, log);
    ASSERT_EQ(backup.job.backup(ticking(backups)), JobOutcome::Done);
    RegistryText changed = registry();
    changed.setValue(kKeys + "TypedURLs", RegistryValue::string("url1", "https://else.example/"));
    changed.restoreKey(kKeys + "SearchScopes", RegistryText::create(""));
    // The toolbar's key and its subkey were never made.
    std::istringstream lines(changed.serialize());
    std::string text;
    bool toolbar = false;
    for (std::string line; std::getline(lines, line);) {
        if (line.starts_with("[")) {
            toolbar = line.find("Internet Explorer\\\\Toolbar") != std::string::npos;
        }
        if (!toolbar) {
            text += line + "\n";
        }
    }
    writeFile(fx.sample().userReg, text);
    writeFile(onC("Favorites/Example.url"), "changed");
    writeFile(onC("Favorites/New.url"), "kept");
    const RegistryText before = registry();
    ASSERT_FALSE(before.hasKey(kKeys + "Toolbar"));

    log.refused = {"links.reg"};
    Logged<SelectiveJob> w(services, log);
    try {
        w.job.restore(ticking(backups));
        ADD_FAILURE() << "a refused key went unnoticed";
    } catch (const RestoreFailed& e) {
        EXPECT_EQ(std::string(e.what()), "Cannot restore the registry key \"HKEY_CURRENT_USER\\" +
                                             kKeys +
                                             "LinksBar\": Access is denied. Nothing was restored.");
    }
    for (const RegistryKeySection& key : before.sections()) {
        EXPECT_EQ(registry().values(key.path), before.values(key.path)) << key.path;
    }
    // A key that was not there is left without values and subkeys.
    EXPECT_THAT(registry().values(kKeys + "Toolbar"), IsEmpty());
    EXPECT_FALSE(registry().hasKey(kKeys + "Toolbar\\WebBrowser"));
    EXPECT_EQ(readFile(onC("Favorites/Example.url")), "changed");
    EXPECT_EQ(readFile(onC("Favorites/New.url")), "kept");
    EXPECT_EQ(entriesOf(backups),
              (std::set<std::string>{"backup_ie", "backup_ie.dat", "fbackup_ie"}));
}

TEST_F(InternetExplorerJob, TheFullWizardStagesEveryItemInTwelveStepsAndRestoresInEleven) {
    Logged<FullJob> w(services, log);
    ASSERT_EQ(w.job.backup(pathToUtf8(backups)), JobOutcome::Done);
    EXPECT_EQ(topLevel(backups / "fbackup_ie.dat"), kEverything);
    EXPECT_EQ(log.lines,
              (std::vector<std::string>{
                  "9",           "9",        "autocomplete.reg", "9",     "Cookies\\",   "9",
                  "Favorites\\", "9",        "hist.reg",         "9",     "search.reg",  "pause",
                  "9",           "rec.reg",  "Recovery\\",       "9",     "set.reg",     "set2.reg",
                  "pause",       "set3.reg", "set4.reg",         "pause", "9",           "set5.reg",
                  "set6.reg",    "pause",    "set7.reg",         "9",     "toolbar.reg", "9",
                  "links.reg",   "9"}));
    EXPECT_EQ(readFile(backups / "fbackup_ie/set.reg"), "stray");

    Logged<FullJob> restore(services, log);
    ASSERT_EQ(restore.job.restore(pathToUtf8(backups)), JobOutcome::Done);
    EXPECT_EQ(restore.stepTotal(), 11 * 9) << "no step after the links";
    EXPECT_EQ(entriesOf(backups),
              (std::set<std::string>{"backup_ie", "fbackup_ie", "fbackup_ie.dat"}));
}

TEST_F(InternetExplorerJob, TheUserHearsOnceWhatOfTheRegistryWasNotSaved) {
    log.unsaved = {kKeys + "Main\\", kKeys + "LinksBar\\"};
    Logged<SelectiveJob> w(services, log);
    ASSERT_EQ(w.job.backup(ticking(backups)), JobOutcome::Done);
    EXPECT_THAT(w.messages,
                ElementsAre("Не удалось сохранить разделы реестра:\n"
                            "HKEY_CURRENT_USER\\Software\\Microsoft\\Internet Explorer\\Main\n"
                            "HKEY_CURRENT_USER\\Software\\Microsoft\\Internet Explorer\\LinksBar"));
    EXPECT_FALSE(topLevel(backups / "backup_ie.dat").count("set.reg"));

    // A Windows drive mounted on its own has files but no registry.
    const auto mounted = makeSystemServices(
        {.windowsRoot = pathToUtf8(fx.sample().driveC), .user = "demo"}, ProcessEnvironment{});
    LoggedServices drive(*mounted, log);
    Logged<FullJob> full(drive, log);
    ASSERT_EQ(full.job.backup(pathToUtf8(backups)), JobOutcome::Done);
    EXPECT_THAT(full.messages, ElementsAre(std::string(kRegistrySkipped)));
    EXPECT_EQ(topLevel(backups / "fbackup_ie.dat"),
              (std::set<std::string>{"Cookies\\", "Favorites\\", "Recovery\\"}));
}

} // namespace
} // namespace vellarion

#endif
