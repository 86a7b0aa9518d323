// Restores are all or nothing: whatever fails, whenever the process dies,
// the profile ends as it was or as the archive has it, never in between.
#include "FaultyFiles.h"
#include "FileTree.h"
#include "JobRecorder.h"
#include "SamplePrefixFixture.h"
#include "TempDir.h"
#include "core/archive/JvZlibMultiple.h"
#include "core/restore/RestoreTransaction.h"
#include "core/services/Error.h"
#include "core/services/PathMapper.h"
#include "core/services/ServicesFactory.h"
#include "core/wizards/FullJob.h"
#include "core/wizards/Messages.h"
#include "core/wizards/SelectiveJob.h"

#include <gtest/gtest.h>

#ifndef _WIN32
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>
#endif

namespace vellarion {
namespace {

namespace fs = std::filesystem;
using test::differences;
using test::FaultyFiles;
using test::readFile;
using test::readTree;
using test::TempDir;
using test::writeFile;

using Tree = std::map<std::string, std::string>;

class SkipRecorder : public test::RecordingReporter {
public:
    void fileSkipped(const std::string&, const std::string& reason) override {
        log.push_back("skipped: " + reason);
    }
};

template <class Job> using Window = test::Wizard<Job, SkipRecorder>;

// Ctrl-C or Cancel: a stop asked for at the Nth time the job looks.
class StopAt : public SkipRecorder {
public:
    bool stopRequested() const override { return ++asked_ >= stopAt; }
    int stopAt = 0;

private:
    mutable int asked_ = 0;
};

// Puts the tree back from `after` to `before`, modes included.
class OldState {
public:
    OldState(fs::path root, const Tree& before, const Tree& after)
        : root_(std::move(root)), before_(before), after_(after) {
        for (const auto& [name, content] : before) {
            modes_[name] = fs::status(root_ / name).permissions();
        }
    }
    void putBack() const {
        for (const auto& [name, content] : before_) {
            writeFile(root_ / name, content);
            fs::permissions(root_ / name, modes_.at(name), fs::perm_options::replace);
        }
        for (const auto& [name, content] : after_) {
            if (!before_.contains(name)) {
                fs::remove(root_ / name);
            }
        }
    }

private:
    fs::path root_;
    const Tree& before_;
    const Tree& after_;
    std::map<std::string, fs::perms> modes_;
};

// Runs a restore through a file layer that fails at call 1, 2, 3... until
// one run needs no failure. After each failure the tree is `before` and the
// message says that nothing was restored; the run without one gives `after`.
template <class Restore>
int sweepFaults(const fs::path& root, const Tree& before, const Tree& after, Restore restore) {
    const OldState old(root, before, after);
    for (int n = 1; n < 5000; ++n) {
        FaultyFiles files(n);
        std::string error;
        try {
            EXPECT_EQ(restore(files), JobOutcome::Done) << "fault at call " << n;
        } catch (const Error& e) {
            error = e.what();
        }
        if (!files.failed() || error.empty()) {
            // Done; a fault while clearing away the replaced files leaves
            // them to the next run, which finishes the clean-up.
            EXPECT_EQ(error, "");
            recoverRestores(systemRestoreFiles(), root);
            EXPECT_EQ(differences(readTree(root), after), "") << "at call " << n;
            if (files.failed()) {
                old.putBack();
                continue;
            }
            return n;
        }
        EXPECT_NE(error.find("Nothing was restored"), std::string::npos) << n << ": " << error;
        EXPECT_EQ(differences(readTree(root), before), "") << "after a fault at call " << n;
        if (readTree(root) != before) {
            return n;
        }
    }
    ADD_FAILURE() << "the restore never ended";
    return 0;
}

// The same with the process "killed" at call 1, 2, 3...: nothing more is
// written, not even the roll-back. The next run's recovery then leaves the
// tree all old or all new. Returns how many ended all new.
template <class Restore>
int sweepCrashes(const fs::path& journalFolder, const fs::path& root, const Tree& before,
                 const Tree& after, Restore restore, int& runs) {
    int completed = 0;
    const OldState old(root, before, after);
    for (int n = 1; n < 5000; ++n) {
        FaultyFiles files(n, true);
        try {
            restore(files);
        } catch (const Error&) {
        }
        if (!files.failed()) {
            runs = n;
            return completed;
        }
        recoverRestores(systemRestoreFiles(), journalFolder);
        const Tree now = readTree(root);
        if (now == after) {
            ++completed;
        } else {
            EXPECT_EQ(differences(now, before), "")
                << "recovered after a crash at call " << n
                << "; against the new: " << differences(now, after);
            if (now != before) {
                return completed;
            }
        }
        if (now == after) {
            old.putBack(); // for the next run
        }
    }
    ADD_FAILURE() << "the restore never ended";
    return completed;
}

// The same sweeps on this system's own file layer (the Win32 one in the
// Windows build): a data folder restored into a folder of the user's choice.
class RestoreHere : public ::testing::Test {
protected:
    RestoreHere() {
        const fs::path source = dir / "source";
        writeFile(
            source / "profiles.ini",
            "[Profile0]\r\nName=default\r\nIsRelative=1\r\nPath=Profiles/abcd1234.default\r\n");
        writeFile(source / "Profiles/abcd1234.default/prefs.js", "user_pref(\"a\", 1);\r\n");
        writeFile(source / "Profiles/abcd1234.default/places.sqlite", std::string(70000, 'p'));
        writeFile(source / "Profiles/abcd1234.default/logins.json", "{\"logins\":[]}");
        fs::create_directories(dir / "backups");
        TJvZlibMultiple().CompressDirectory(pathToUtf8(source), true,
                                            pathToUtf8(dir / "backups" / "fbackup_firefox.dat"));
        after = readTree(source);
        // Since the backup: each file changed, a log beside the database,
        // and a file the archive does not hold.
        for (const auto& [name, content] : after) {
            writeFile(root / name, content + " changed");
        }
        writeFile(root / "Profiles/abcd1234.default/places.sqlite-wal", "a stale log");
        writeFile(root / "Profiles/abcd1234.default/added-later.txt", "kept");
        after["Profiles/abcd1234.default/added-later.txt"] = "kept";
        before = readTree(root);
        window.job.restoreInto(pathToUtf8(root));
    }

    JobOutcome restore(RestoreFiles& files) {
        window.job.setRestoreFiles(files);
        return window.job.restore(pathToUtf8(dir / "backups"));
    }

    TempDir dir;
    fs::path root = dir / "Firefox";
    std::unique_ptr<SystemServices> services = makeSystemServices();
    Window<FullJob> window{*services, firefoxDataSet()};
    Tree before, after;
};

TEST_F(RestoreHere, AFailureOrAKillAtAnyWriteLeavesTheFolderAllOldOrAllNew) {
    const int calls =
        sweepFaults(root, before, after, [this](RestoreFiles& f) { return restore(f); });
    EXPECT_GT(calls, 3 * static_cast<int>(after.size() - 1));
    fs::remove_all(root);
    for (const auto& [name, content] : before) {
        writeFile(root / name, content);
    }
    int runs = 0;
    const int completed = sweepCrashes(
        root, root, before, after, [this](RestoreFiles& f) { return restore(f); }, runs);
    EXPECT_GT(runs, 10);
    EXPECT_GE(completed, 1);
}

#ifndef _WIN32

class FullRestore : public ::testing::Test {
protected:
    FullRestore() : window(prefix.services(), firefoxDataSet()) {
        EXPECT_TRUE(window.job.activate());
        EXPECT_EQ(window.job.backup(location()), JobOutcome::Done);
        saved = readTree(root());
        profile = "Profiles/abcd1234.default/";
        // Since the backup: a changed file, a lost one, a new one, and the
        // log of a database the archive holds.
        writeFile(root() / profile / "prefs.js", "changed since the backup");
        fs::remove(root() / profile / "cookies.sqlite");
        writeFile(root() / profile / "added-later.txt", "kept");
        writeFile(root() / profile / "places.sqlite-wal", "a log of the newer database");
        before = readTree(root());
        after = saved;
        after[profile + "added-later.txt"] = "kept";
    }

    fs::path root() { return *prefix.services().paths().toNative(window.state.ffpath); }
    std::string location() const { return pathToUtf8(backups.path()); }
    JobOutcome restore(RestoreFiles& files) {
        window.job.setRestoreFiles(files);
        return window.job.restore(location());
    }

    test::SamplePrefixFixture prefix;
    TempDir backups;
    Window<FullJob> window;
    std::string profile;
    Tree saved, before, after;
};

TEST_F(FullRestore, AFailureAtAnyWriteLeavesTheDataFolderAsItWasByteForByte) {
    ASSERT_TRUE(saved.contains(profile + "places.sqlite"));
    const int calls =
        sweepFaults(root(), before, after, [this](RestoreFiles& f) { return restore(f); });
    // Every file's copy, rename and sync was a place to fail.
    EXPECT_GT(calls, 3 * static_cast<int>(saved.size()));
    // The stale log went with the database it belonged to.
    EXPECT_FALSE(fs::exists(root() / profile / "places.sqlite-wal"));
}

TEST_F(FullRestore, AfterAKillAtAnyMomentTheNextRunLeavesAllOldOrAllNew) {
    int runs = 0;
    const int completed = sweepCrashes(
        root(), root(), before, after, [this](RestoreFiles& f) { return restore(f); }, runs);
    EXPECT_GT(runs, 20);
    // A kill after the last file was in place completes the restore.
    EXPECT_GE(completed, 1);
    EXPECT_LT(completed, runs - 1);
}

TEST_F(FullRestore, TheNextJobFinishesAnInterruptedRestoreAndSaysSo) {
    FaultyFiles crash(40, true);
    EXPECT_THROW(restore(crash), Error);
    ASSERT_NE(differences(readTree(root()), before), ""); // the kill left it half done

    window.reporter.log.clear();
    window.job.setRestoreFiles(systemRestoreFiles());
    TempDir elsewhere;
    ASSERT_EQ(window.job.backup(pathToUtf8(elsewhere.path())), JobOutcome::Done);
    EXPECT_EQ(differences(readTree(root()), before), "");
    ASSERT_FALSE(window.reporter.log.empty());
    EXPECT_NE(window.reporter.log.front().find("has been rolled back"), std::string::npos)
        << window.reporter.log.front();
}

TEST_F(FullRestore, AnArchiveThatCollidesWithTheDiskIsRefusedBeforeAnyWrite) {
    // A file of the data folder stands where the archive has a folder.
    fs::remove_all(root() / "Profiles" / "wxyz9876.work");
    writeFile(root() / "Profiles" / "wxyz9876.work", "a file, not a folder");
    const Tree blocked = readTree(root());
    try {
        restore(systemRestoreFiles());
        ADD_FAILURE() << "restored over a file where a folder goes";
    } catch (const RestoreFailed& e) {
        EXPECT_NE(std::string(e.what()).find("wxyz9876.work"), std::string::npos) << e.what();
    }
    EXPECT_EQ(differences(readTree(root()), blocked), "");
}

TEST_F(FullRestore, AProfileFolderThatIsALinkIsBackedUpAndRestoredAsTheProfile) {
    // The user keeps the profile on another disk, with a link in its place.
    TempDir otherDisk;
    const fs::path kept = otherDisk / "abcd1234.default";
    fs::rename(root() / "Profiles" / "abcd1234.default", kept);
    fs::create_directory_symlink(kept, root() / "Profiles" / "abcd1234.default");
    // A link elsewhere in the data folder is still no data to follow.
    TempDir secrets;
    writeFile(secrets / "id_rsa", "not the browser's");
    fs::create_directory_symlink(secrets.path(), root() / "Profiles" / "abcd1234.default" / "ssh");
    const Tree profileThen = readTree(kept); // the walk does not enter "ssh"

    TempDir second;
    ASSERT_EQ(window.job.backup(pathToUtf8(second.path())), JobOutcome::Done);
    const std::set<std::string> stored = test::storedNames(second / "fbackup_firefox.dat");
    for (const auto& [path, content] : profileThen) {
        std::string name = path;
        std::replace(name.begin(), name.end(), '/', '\\');
        EXPECT_TRUE(stored.contains("Profiles\\abcd1234.default\\" + name)) << name;
    }
    EXPECT_FALSE(stored.contains("Profiles\\abcd1234.default\\ssh\\id_rsa"));

    writeFile(kept / "prefs.js", "changed after the backup");
    fs::remove(kept / "places.sqlite");
    ASSERT_EQ(window.job.restore(pathToUtf8(second.path())), JobOutcome::Done);
    EXPECT_TRUE(fs::is_symlink(root() / "Profiles" / "abcd1234.default"));
    EXPECT_TRUE(fs::is_symlink(kept / "ssh"));
    EXPECT_EQ(differences(readTree(kept), profileThen), "");
    EXPECT_EQ(readFile(secrets / "id_rsa"), "not the browser's");
}

TEST_F(FullRestore, AnEmptyArchiveRestoresNothingAndSaysSo) {
    writeFile(backups / "fbackup_firefox.dat", "");
    EXPECT_EQ(restore(systemRestoreFiles()), JobOutcome::Refused);
    EXPECT_NE(std::find(window.reporter.log.begin(), window.reporter.log.end(),
                        "refused: " + std::string(kArchiveHoldsNothing)),
              window.reporter.log.end());
    EXPECT_EQ(differences(readTree(root()), before), "");
}

TEST_F(FullRestore, AStopAtAnyMomentLeavesTheDataFolderAsItWas) {
    for (int n = 1;; ++n) {
        test::Wizard<FullJob, StopAt> w(prefix.services(), firefoxDataSet());
        w.reporter.stopAt = n;
        ASSERT_TRUE(w.job.activate());
        if (w.job.restore(location()) == JobOutcome::Done) {
            EXPECT_EQ(differences(readTree(root()), after), "");
            EXPECT_GT(n, 20);
            break;
        }
        ASSERT_EQ(differences(readTree(root()), before), "") << "stopped at " << n;
    }
}

// A Firefox profile of a user: databases and their private files.
void writeProfile(const fs::path& dir, const std::string& tag) {
    writeFile(dir / "prefs.js", "user_pref(\"tag\", \"" + tag + "\");\n");
    writeFile(dir / "places.sqlite", "SQLite format 3" + std::string(4000, 'p') + tag);
    writeFile(dir / "cookies.sqlite", "SQLite format 3" + std::string(2000, 'c') + tag);
    writeFile(dir / "key4.db", "SQLite format 3 key " + tag);
    writeFile(dir / "logins.json", "{\"logins\":\"" + tag + "\"}");
    writeFile(dir / "bookmarkbackups" / "bookmarks-2026-12-01.jsonlz4", "mozLz4 " + tag);
}

fs::perms modeOf(const fs::path& path) {
    return fs::symlink_status(path).permissions();
}

class SelectiveRestore : public ::testing::Test {
protected:
    SelectiveRestore() {
        ::umask(022);
        writeProfile(profile, "old");
        fs::permissions(profile, fs::perms::owner_all, fs::perm_options::replace);
        for (const char* secret : {"key4.db", "logins.json", "cookies.sqlite"}) {
            fs::permissions(profile / secret, fs::perms::owner_read | fs::perms::owner_write,
                            fs::perm_options::replace);
        }
        backupOf("new");
        writeProfile(profile, "old");
        before = readTree(profile);
    }

    SelectiveChoices choices() {
        SelectiveChoices c;
        c.backupLocation = pathToUtf8(backups.path());
        c.customLocation = pathToUtf8(profile);
        c.ticked = [](std::string_view) { return true; };
        return c;
    }
    void backupOf(const std::string& tag) {
        writeProfile(profile, tag);
        Window<SelectiveJob> w(prefix.services(), firefoxDataSet());
        w.reporter.replaceAnswer = true;
        ASSERT_EQ(w.job.backup(choices()), JobOutcome::Done);
        after = readTree(profile);
    }
    JobOutcome restore(RestoreFiles& files, SkipRecorder* reporter = nullptr) {
        Window<SelectiveJob> w(prefix.services(), firefoxDataSet());
        w.job.setRestoreFiles(files);
        w.job.listArchives(pathToUtf8(backups.path()));
        const JobOutcome outcome = w.job.restore(choices());
        if (reporter != nullptr) {
            reporter->log = w.reporter.log;
        }
        return outcome;
    }

    test::SamplePrefixFixture prefix;
    TempDir backups;
    TempDir home;
    fs::path profile = home / "profile";
    Tree before, after;
};

TEST_F(SelectiveRestore, AFailureAtAnyWriteLeavesTheProfileAsItWasWithItsModes) {
    sweepFaults(profile, before, after, [this](RestoreFiles& f) { return restore(f); });
    // Private files stay private, a replaced file keeps its mode.
    EXPECT_EQ(modeOf(profile / "key4.db"), fs::perms::owner_read | fs::perms::owner_write);
    EXPECT_EQ(modeOf(profile / "logins.json"), fs::perms::owner_read | fs::perms::owner_write);
    EXPECT_EQ(modeOf(profile / "prefs.js"), fs::perms::owner_read | fs::perms::owner_write |
                                                fs::perms::group_read | fs::perms::others_read);
}

TEST_F(SelectiveRestore, AfterAKillAtAnyMomentTheNextRunLeavesAllOldOrAllNew) {
    int runs = 0;
    sweepCrashes(
        profile, profile, before, after, [this](RestoreFiles& f) { return restore(f); }, runs);
    EXPECT_GT(runs, 20);
}

TEST_F(SelectiveRestore, ANewFileTakesThePrivacyOfItsFolder) {
    fs::remove(profile / "cookies.sqlite");
    fs::remove_all(profile / "bookmarkbackups");
    ASSERT_EQ(restore(systemRestoreFiles()), JobOutcome::Done);
    EXPECT_EQ(modeOf(profile / "cookies.sqlite"), fs::perms::owner_read | fs::perms::owner_write);
    EXPECT_EQ(modeOf(profile / "bookmarkbackups"), fs::perms::owner_all);
    EXPECT_EQ(differences(readTree(profile), after), "");
}

TEST_F(SelectiveRestore, NothingIsWrittenThroughALinkInTheProfile) {
    TempDir outside;
    writeFile(outside / "victim.txt", "not the profile's");
    fs::remove(profile / "prefs.js");
    fs::create_symlink(outside / "victim.txt", profile / "prefs.js");
    ASSERT_EQ(restore(systemRestoreFiles()), JobOutcome::Done);
    EXPECT_EQ(readFile(outside / "victim.txt"), "not the profile's");
    EXPECT_FALSE(fs::is_symlink(profile / "prefs.js"));
    EXPECT_EQ(readFile(profile / "prefs.js"), after.at("prefs.js"));

    // A linked folder on the way: refused whole, the other side untouched.
    fs::remove_all(profile / "bookmarkbackups");
    fs::create_directories(outside / "elsewhere");
    fs::create_directory_symlink(outside / "elsewhere", profile / "bookmarkbackups");
    const Tree linked = readTree(profile);
    EXPECT_THROW(restore(systemRestoreFiles()), RestoreFailed);
    EXPECT_TRUE(fs::is_empty(outside / "elsewhere"));
    EXPECT_EQ(differences(readTree(profile), linked), "");
}

TEST_F(SelectiveRestore, ABackupNamesWhatItCouldNotReadAndNeverFollowsALinkOut) {
    TempDir outside;
    writeFile(outside / "secret.txt", "any file the user can read");
    fs::remove(profile / "logins.json");
    fs::create_symlink(outside / "secret.txt", profile / "logins.json");
    Window<SelectiveJob> w(prefix.services(), firefoxDataSet());
    w.reporter.replaceAnswer = true;
    ASSERT_EQ(w.job.backup(choices()), JobOutcome::Done);
    const auto stored = test::storedNames(backups / "ff_custom.dat");
    EXPECT_FALSE(stored.contains("logins.json"));
    EXPECT_TRUE(stored.contains("key4.db"));
    const bool named =
        std::any_of(w.reporter.log.begin(), w.reporter.log.end(), [](const std::string& line) {
            return line.starts_with("skipped: ") && line.find("logins.json") != std::string::npos;
        });
    EXPECT_TRUE(named);
}

TEST_F(SelectiveRestore, AJournalThatNamesPathsOutsideItsFolderSteersNothing) {
    // Planted by a hostile archive or another program: it would have the
    // next recovery delete a file elsewhere.
    TempDir outside;
    writeFile(outside / "keep.txt", "the user's");
    const std::string target = pathToUtf8(outside / "keep.txt");
    const std::string planted =
        "VLRJ1 P\nT 00 1-1-1\nF 01 " + std::to_string(target.size()) + ":" + target + "\n";
    writeFile(profile / ".vellarion-restore-1-1-1.journal", planted);
    fs::permissions(profile / ".vellarion-restore-1-1-1.journal",
                    fs::perms::owner_read | fs::perms::owner_write, fs::perm_options::replace);
    EXPECT_TRUE(recoverRestores(systemRestoreFiles(), profile).empty());
    EXPECT_EQ(readFile(outside / "keep.txt"), "the user's");

    // And none comes out of an archive: it is not restored.
    writeFile(backups / "staged" / ".vellarion-restore-2-2-2.journal", planted);
    RestoreTransaction transaction(systemRestoreFiles(), profile);
    transaction.addFolder(backups / "staged", profile, "");
    EXPECT_EQ(transaction.plannedFiles(), 0u);
}

// The pid of a process that has ended.
unsigned long endedPid() {
    const pid_t child = ::fork();
    if (child == 0) {
        ::_exit(0);
    }
    ::waitpid(child, nullptr, 0);
    return static_cast<unsigned long>(child);
}

TEST_F(SelectiveRestore, WhatAKilledRunLeftInTheLocationIsRemovedByTheNext) {
    const unsigned long dead = endedPid();
    writeFile(backups / "ff_custom" / "logins.json", "a plain copy of the passwords");
    writeFile(backups / (".vellarion-staging-" + newRunToken(dead)), "ff_custom");
    writeFile(backups / ("ff_custom.dat." + newRunToken(dead) + ".tmp"), "half an archive");
    writeFile(backups / "mine" / "kept.txt", "the user's");

    SkipRecorder reporter;
    ASSERT_EQ(restore(systemRestoreFiles(), &reporter), JobOutcome::Done);
    EXPECT_EQ(test::entriesOf(backups.path()), (std::set<std::string>{"ff_custom.dat", "mine"}));
    EXPECT_EQ(std::count_if(reporter.log.begin(), reporter.log.end(),
                            [](const std::string& line) {
                                return line.find("has been removed") != std::string::npos;
                            }),
              2);
}

// A restore into a new profile adds it to the browser's list in the same
// transaction: a failure or a kill at any moment leaves neither a profile
// folder no list names nor a list that names a missing folder.
class NewProfileRestore : public ::testing::Test {
protected:
    NewProfileRestore() {
        writeFile(root / "profiles.ini", ini);
        writeProfile(root / "abcd1234.default", "old");
        Window<SelectiveJob> w(*services, firefoxDataSet());
        EXPECT_TRUE(w.job.activate());
        EXPECT_EQ(w.job.backup(choices()), JobOutcome::Done);
        before = readTree(root);
    }
    SelectiveChoices choices() const {
        SelectiveChoices c;
        c.backupLocation = pathToUtf8(backups.path());
        c.customLocation = std::string(kCustomProfilePlaceholder);
        c.ticked = [](std::string_view) { return true; };
        return c;
    }
    JobOutcome restore(RestoreFiles& files) {
        Window<SelectiveJob> w(*services, firefoxDataSet());
        w.job.setRestoreFiles(files);
        EXPECT_TRUE(w.job.activate());
        w.job.listArchives(pathToUtf8(backups.path()));
        SelectiveChoices c = choices();
        c.newProfile = "Work";
        return w.job.restore(c);
    }
    // The tree with the new profile's random folder name made plain.
    Tree normalized() const {
        Tree tree;
        std::string folder;
        for (const auto& entry : fs::directory_iterator(root)) {
            const std::string name = entry.path().filename().string();
            if (name.ends_with(".Work")) {
                folder = name;
            }
        }
        for (const auto& [path, text] : readTree(root)) {
            std::string name = path;
            std::string content = text;
            if (!folder.empty()) {
                for (std::size_t at; (at = name.find(folder)) != std::string::npos;) {
                    name.replace(at, folder.size(), "NEW.Work");
                }
                for (std::size_t at; (at = content.find(folder)) != std::string::npos;) {
                    content.replace(at, folder.size(), "NEW.Work");
                }
            }
            tree[name] = content;
        }
        return tree;
    }
    void putBack() const {
        fs::remove_all(root);
        for (const auto& [name, content] : before) {
            writeFile(root / name, content);
        }
    }

    TempDir home;
    std::unique_ptr<SystemServices> services =
        makeSystemServices({.native = true}, ProcessEnvironment{.home = pathToUtf8(home.path())});
    fs::path root = home / ".mozilla" / "firefox";
    TempDir backups;
    const std::string ini = "[Profile0]\nName=default\nIsRelative=1\nPath=abcd1234.default\n"
                            "Default=1\n\n[General]\nStartWithLastProfile=1\nVersion=2\n\n";
    Tree before;
};

TEST_F(NewProfileRestore, TheListChangesWithTheFilesOrNotAtAll) {
    ASSERT_EQ(restore(systemRestoreFiles()), JobOutcome::Done);
    const Tree after = normalized();
    EXPECT_EQ(after.at("profiles.ini"),
              ini + "[Profile1]\nName=Work\nIsRelative=1\nPath=NEW.Work\n");
    EXPECT_EQ(after.at("NEW.Work/prefs.js"), before.at("abcd1234.default/prefs.js"));
    for (const bool crash : {false, true}) {
        int n = 1;
        for (bool ended = false; !ended && n < 2000; ++n) {
            SCOPED_TRACE((crash ? "killed at call " : "failed at call ") + std::to_string(n));
            putBack();
            FaultyFiles files(n, crash);
            try {
                restore(files);
            } catch (const Error& e) {
                EXPECT_NE(std::string(e.what()).find("Nothing was restored"), std::string::npos)
                    << e.what();
            }
            ended = !files.failed();
            recoverRestores(systemRestoreFiles(), root);
            const Tree now = normalized();
            EXPECT_TRUE(now == before || now == after)
                << "against the old: " << differences(now, before)
                << "; against the new: " << differences(now, after);
        }
        EXPECT_GT(n, 10);
    }
    // A list that cannot be read (larger than any list) refuses the restore
    // before anything is written.
    putBack();
    writeFile(root / "profiles.ini", ini + std::string(2 << 20, ';'));
    const Tree unreadable = readTree(root);
    EXPECT_EQ(restore(systemRestoreFiles()), JobOutcome::Refused);
    EXPECT_EQ(normalized(), unreadable);
}

// Recovery acts on what a run of the program made, proved by the token in
// its name, never on a file or folder that merely has the right name.
TEST_F(SelectiveRestore, NamesThatOnlyLookLikeTheProgramsOwnAreLeftAlone) {
    const unsigned long dead = endedPid();
    const std::string pid = std::to_string(dead);
    std::string forged = newRunToken(dead);
    forged.back() = forged.back() == '0' ? '1' : '0'; // a tag that is not right
    writeFile(backups / "Documents" / "letter.txt", "the user's");
    writeFile(profile / "prefs.js", "the user's prefs");
    const std::string prefs = pathToUtf8(profile / "prefs.js");
    const std::vector<std::pair<fs::path, std::string>> lookalikes = {
        {backups / (".vellarion-staging-" + pid + "-abc-0"), "Documents"},
        {backups / (".vellarion-staging-" + forged), "Documents"},
        {backups / (".vellarion-" + pid + "-0.tmp"), "x"},
        {backups / (".vellarion-" + forged + ".tmp"), "x"},
        {backups / ("ff_custom.dat." + pid + "-0.tmp"), "x"},
        {backups / ("ff_custom.dat." + forged + ".tmp"), "x"},
        {backups / (".vellarion-unpack-" + forged) / "kept.txt", "x"},
        {profile / (".vellarion-restore-" + forged + ".journal"),
         "VLRJ1 P\nT 00 " + forged + "\nF 01 " + std::to_string(prefs.size()) + ":" + prefs + "\n"},
        // The right token in the name, another in the text.
        {profile / (".vellarion-restore-" + newRunToken(dead) + ".journal"),
         "VLRJ1 P\nT 00 " + forged + "\nF 01 " + std::to_string(prefs.size()) + ":" + prefs + "\n"},
    };
    for (const auto& [path, content] : lookalikes) {
        writeFile(path, content);
        fs::permissions(path, fs::perms::owner_read | fs::perms::owner_write,
                        fs::perm_options::replace);
    }
    const std::map<std::string, std::string> before = readTree(backups.path());
    const std::map<std::string, std::string> profileBefore = readTree(profile);
    EXPECT_EQ(recoverRestores(systemRestoreFiles(), backups.path()), std::vector<std::string>{});
    EXPECT_EQ(recoverRestores(systemRestoreFiles(), profile), std::vector<std::string>{});
    EXPECT_EQ(differences(readTree(backups.path()), before), "");
    EXPECT_EQ(differences(readTree(profile), profileBefore), "");
}

#endif

// The replaced files a restore kept aside go all at once: however many there
// are, every one is gone, files beside them stay, and one already missing is
// said.
TEST(RemovingKeptFiles, EveryNamedFileGoesAndAMissingOneIsSaid) {
    struct Case {
        int files;
        bool oneMissing;
    };
    for (const Case& c : {Case{0, false}, Case{1, false}, Case{15, false}, Case{17, false},
                          Case{600, false}, Case{1, true}, Case{600, true}}) {
        TempDir dir;
        std::vector<fs::path> named;
        for (int i = 0; i < c.files; ++i) {
            named.push_back(dir / ("folder" + std::to_string(i % 7)) / ("old" + std::to_string(i)));
            writeFile(named.back(), "replaced " + std::to_string(i));
        }
        writeFile(dir / "folder0" / "kept", "not named");
        if (c.oneMissing) {
            fs::remove(named[named.size() / 2]);
        }
        EXPECT_EQ(systemRestoreFiles().removeFiles(named), !c.oneMissing) << c.files;
        EXPECT_EQ(readTree(dir.path()), (Tree{{"folder0/kept", "not named"}})) << c.files;
    }
}

} // namespace
} // namespace vellarion
