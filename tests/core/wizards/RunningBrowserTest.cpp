// A browser that is running writes its profile while a job would copy it or
// replace it: a backup copies it as snapshots and says so once, no restore
// writes into a profile whose lock is held, and a lock file left behind by a
// browser that has ended stops nothing.
#include "FileTree.h"
#include "HeldLock.h"
#include "JobRecorder.h"
#include "TempDir.h"
#include "core/services/ProgramPath.h"
#include "core/wizards/FullJob.h"
#include "core/wizards/Messages.h"
#include "core/wizards/SelectiveJob.h"

#include <gtest/gtest.h>

namespace vellarion {
namespace {

namespace fs = std::filesystem;
using test::HeldLock;
using test::TempDir;
using test::writeFile;

#ifdef _WIN32
constexpr const char* kLockName = "parent.lock";
#else
constexpr const char* kLockName = ".parentlock";
#endif

class RunningBrowser : public ::testing::Test {
protected:
    RunningBrowser() : services(test::plainServices()) {
        writeFile(profile / "prefs.js", "user_pref(\"a\", 1);\n");
        writeFile(profile / kLockName, "");
        fs::create_directories(backups);
    }

    SelectiveChoices choices() const {
        SelectiveChoices c;
        c.backupLocation = pathToUtf8(backups);
        c.customLocation = pathToUtf8(profile);
        c.ticked = [](std::string_view) { return true; };
        return c;
    }
    std::size_t entriesIn(const fs::path& folder) const {
        return static_cast<std::size_t>(
            std::distance(fs::directory_iterator(folder), fs::directory_iterator()));
    }

    // Firefox's data root with the one profile, for a full job.
    BrowserDataSet fullData() const {
        writeFile(root / "profiles.ini", "[Profile0]\nPath=Profiles/abcd1234.default\n");
        BrowserDataSet data = firefoxDataSet();
        const std::string home = pathToUtf8(root);
        data.full.hooks.locate = [home](FullJobAccess& job) {
            job.state().ffpath = home;
            job.state().fullFilePath = joinPath(home, "profiles.ini");
            return true;
        };
        return data;
    }

    TempDir dir;
    fs::path root = dir / "Mozilla" / "Firefox";
    fs::path profile = root / "Profiles" / "abcd1234.default";
    fs::path backups = dir / "backups";
    std::unique_ptr<SystemServices> services;
};

TEST_F(RunningBrowser, ABackupRunsWhileTheLockIsHeldARestoreDoesNot) {
    {
        HeldLock running(profile / kLockName);
        test::Wizard<SelectiveJob> backup(*services, firefoxDataSet());
        EXPECT_EQ(backup.job.backup(choices()), JobOutcome::Done);
        EXPECT_EQ(backup.reporter.messages.front(), backupWhileRunning("Firefox"));
        EXPECT_EQ(backup.reporter.messages.size(), 2u) << "and the items without data";
        EXPECT_EQ(backup.reporter.skipped, std::vector<std::string>{});
        EXPECT_EQ(test::storedNames(backups / "ff_custom.dat"), std::set<std::string>{"prefs.js"});
        EXPECT_EQ(entriesIn(backups), 1u) << "the archive, no staging folder";
        fs::remove(backups / "ff_custom.dat");
    }
    // The browser ended; its lock file stays behind and stops nothing.
    test::Wizard<SelectiveJob> backup(*services, firefoxDataSet());
    ASSERT_EQ(backup.job.backup(choices()), JobOutcome::Done);
    EXPECT_EQ(test::storedNames(backups / "ff_custom.dat"), std::set<std::string>{"prefs.js"});

    writeFile(profile / "prefs.js", "changed by the running browser");
    {
        HeldLock running(profile / kLockName);
        test::Wizard<SelectiveJob> restore(*services, firefoxDataSet());
        restore.job.listArchives(pathToUtf8(backups));
        EXPECT_EQ(restore.job.restore(choices()), JobOutcome::Refused);
        EXPECT_EQ(test::readFile(profile / "prefs.js"), "changed by the running browser");
        EXPECT_EQ(entriesIn(backups), 1u);
    }
}

TEST_F(RunningBrowser, AFullJobLooksForTheLocksOfEveryProfileBelowTheDataRoot) {
    const BrowserDataSet data = fullData(); // the job keeps a reference
    test::Wizard<FullJob> full(*services, data);
    ASSERT_TRUE(full.job.activate());
    {
        HeldLock running(profile / kLockName);
        EXPECT_EQ(full.job.backup(pathToUtf8(backups)), JobOutcome::Done);
        EXPECT_EQ(full.reporter.messages.back(), backupWhileRunning("Firefox"));
        EXPECT_EQ(full.reporter.skipped, std::vector<std::string>{});
        // The lock is no data; the profile's files are there under their names.
        EXPECT_EQ(test::storedNames(backups / "fbackup_firefox.dat"),
                  (std::set<std::string>{"profiles.ini", "Profiles\\abcd1234.default\\prefs.js"}));
        EXPECT_EQ(entriesIn(backups), 1u) << "the archive, no folder of snapshots";
    }
    ASSERT_EQ(full.job.backup(pathToUtf8(backups)), JobOutcome::Done);
    {
        HeldLock running(profile / kLockName);
        writeFile(profile / "prefs.js", "newer");
        EXPECT_EQ(full.job.restore(pathToUtf8(backups)), JobOutcome::Refused);
        EXPECT_EQ(full.reporter.messages.back(), closeBrowserFirst("Firefox"));
        EXPECT_EQ(test::readFile(profile / "prefs.js"), "newer");
    }
}

TEST_F(RunningBrowser, AFileTheBrowserKeepsOpenWithoutSharingIsNamedAndTheRestIsBackedUp) {
    writeFile(profile / "cookies.sqlite", "rows the browser keeps to itself");
    const BrowserDataSet data = fullData(); // the job keeps a reference
    test::Wizard<FullJob> full(*services, data);
    ASSERT_TRUE(full.job.activate());
    HeldLock running(profile / kLockName);
    // Windows: opened denying every kind of sharing, as a browser opens its
    // cookies; elsewhere a record lock, which keeps no reader out.
    HeldLock cookies(profile / "cookies.sqlite");
    EXPECT_EQ(full.job.backup(pathToUtf8(backups)), JobOutcome::Done);
    std::set<std::string> stored = {"profiles.ini", "Profiles\\abcd1234.default\\prefs.js"};
#ifdef _WIN32
    EXPECT_EQ(full.reporter.skipped,
              std::vector<std::string>{keptOpenByBrowser("cookies.sqlite", "Firefox")});
#else
    EXPECT_EQ(full.reporter.skipped, std::vector<std::string>{});
    stored.insert("Profiles\\abcd1234.default\\cookies.sqlite");
#endif
    EXPECT_EQ(test::storedNames(backups / "fbackup_firefox.dat"), stored);
    EXPECT_EQ(entriesIn(backups), 1u) << "the archive, no folder of snapshots";
}

} // namespace
} // namespace vellarion
