// Backups of a profile whose browser runs and commits as fast as it can: two
// writer processes, one on a database in write-ahead-log mode and one on a
// database with a rollback journal, while the profile's lock is held. Every
// database in every archive is one state the writers committed.
#include "Databases.h"
#include "FileTree.h"
#include "HeldLock.h"
#include "JobRecorder.h"
#include "TempDir.h"
#include "core/archive/JvZlibMultiple.h"
#include "core/browsers/DataSet.h"
#include "core/services/PathMapper.h"
#include "core/services/ProgramPath.h"
#include "core/services/SystemServices.h"
#include "core/snapshot/Snapshot.h"
#include "core/wizards/FullJob.h"
#include "core/wizards/Messages.h"
#include "core/wizards/SelectiveJob.h"

#include <gtest/gtest.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>

extern char** environ;

namespace vellarion {
namespace {

namespace fs = std::filesystem;
using test::HeldLock;
using test::Ledger;
using test::TempDir;
using test::writeFile;

constexpr int kBackups = 100;

// One writer program, stopped (by its stop file) and waited for at the end.
class Writer {
public:
    Writer(const fs::path& database, bool wal, std::size_t filler = 0) : database_(database) {
        test::makeLedger(database, wal, filler);
        const std::string program = SNAPSHOT_WRITER;
        const std::string file = database.string();
        const std::string mode = wal ? "wal" : "journal";
        char* argv[] = {const_cast<char*>(program.c_str()), const_cast<char*>(file.c_str()),
                        const_cast<char*>(mode.c_str()), nullptr};
        if (::posix_spawn(&pid_, program.c_str(), nullptr, nullptr, argv, environ) != 0) {
            pid_ = -1;
        }
    }
    ~Writer() { stop(); }
    Writer(const Writer&) = delete;
    Writer& operator=(const Writer&) = delete;

    bool running() const { return pid_ > 0; }
    // Its counter as the writer committed it last.
    long long committed() const {
        return test::Database(database_).number("SELECT IFNULL(MAX(n), 0) FROM counter");
    }
    void stop() {
        if (pid_ <= 0) {
            return;
        }
        writeFile(database_.string() + ".stop", "");
        int status = 0;
        ::waitpid(pid_, &status, 0);
        pid_ = -1;
        fs::remove(database_.string() + ".stop");
    }

private:
    fs::path database_;
    pid_t pid_ = -1;
};

class RunningWriters : public ::testing::Test {
protected:
    RunningWriters() : services(test::plainServices()) {
        writeFile(root / "profiles.ini", "[Profile0]\nPath=Profiles/abcd1234.default\n");
        writeFile(profile / "prefs.js", "user_pref(\"a\", 1);\n");
        writeFile(profile / ".parentlock", "");
        fs::create_directories(backups);
        data.full.hooks.locate = [home = pathToUtf8(root)](FullJobAccess& job) {
            job.state().ffpath = home;
            job.state().fullFilePath = joinPath(home, "profiles.ini");
            return true;
        };
    }

    // The archive unpacked into a folder of its own.
    fs::path unpack(const fs::path& archive, const std::string& name) {
        const fs::path into = dir / "unpacked" / name;
        fs::create_directories(into);
        TJvZlibMultiple codec(services->paths());
        codec.DecompressFile(pathToUtf8(archive), pathToUtf8(into), true, true);
        return into;
    }

    TempDir dir;
    fs::path root = dir / "Mozilla" / "Firefox";
    fs::path profile = root / "Profiles" / "abcd1234.default";
    fs::path backups = dir / "backups";
    std::unique_ptr<SystemServices> services;
    BrowserDataSet data = firefoxDataSet();
};

TEST_F(RunningWriters, EveryDatabaseInEveryArchiveIsAStateTheWritersCommitted) {
    HeldLock running(profile / ".parentlock");
    // History in write-ahead-log mode, cookies with a rollback journal, as
    // the selective backup's items name them; cookies large enough for a
    // full backup to read them where they lie, and copy them when a commit
    // came meanwhile.
    Writer history(profile / "places.sqlite", true);
    Writer cookies(profile / "cookies.sqlite", false, 3 << 20);
    ASSERT_TRUE(history.running() && cookies.running());
    ASSERT_GE(fs::file_size(profile / "cookies.sqlite"), TJvZlibMultiple::kRereadLimit);
    while (history.committed() < 50 || cookies.committed() < 50) {
    }

    struct Taken {
        fs::path archive;
        std::vector<std::string> skipped;
    };
    std::vector<Taken> taken;
    for (int i = 0; i < kBackups; ++i) {
        const fs::path location = backups / std::to_string(i);

        if (i % 4 == 3) {
            test::Wizard<SelectiveJob> selective(*services, data);
            SelectiveChoices choices;
            choices.backupLocation = pathToUtf8(location);
            choices.customLocation = pathToUtf8(profile);
            choices.ticked = [](std::string_view) { return true; };
            ASSERT_EQ(selective.job.backup(choices), JobOutcome::Done) << i;
            EXPECT_EQ(selective.reporter.messages.front(), backupWhileRunning("Firefox"));
            taken.push_back({location / "ff_custom.dat", selective.reporter.skipped});
        } else {
            test::Wizard<FullJob> full(*services, data);
            ASSERT_TRUE(full.job.activate());
            ASSERT_EQ(full.job.backup(pathToUtf8(location)), JobOutcome::Done) << i;
            EXPECT_EQ(full.reporter.messages,
                      std::vector<std::string>{backupWhileRunning("Firefox")});
            taken.push_back({location / "fbackup_firefox.dat", full.reporter.skipped});
        }
    }
    history.stop();
    cookies.stop();

    // Each database either stored, whole and consistent, or named as left out.
    std::map<std::string, long long> last;
    std::map<std::string, int> stored;
    std::map<std::string, int> rises;
    for (std::size_t i = 0; i < taken.size(); ++i) {
        SCOPED_TRACE(taken[i].archive.string());
        const fs::path unpacked = unpack(taken[i].archive, std::to_string(i));
        std::string found;
        for (const auto& [name, content] : test::readTree(unpacked)) {
            found += name + " ";
        }
        for (const char* database : {"places.sqlite", "cookies.sqlite"}) {
            fs::path file;
            for (const fs::path& candidate :
                 {unpacked / "Profiles" / "abcd1234.default" / database, unpacked / database}) {
                if (fs::exists(candidate)) {
                    file = candidate;
                }
            }
            if (file.empty()) {
                const auto named = [&](const std::string& said) {
                    return said.find(database) != std::string::npos;
                };
                EXPECT_TRUE(std::any_of(taken[i].skipped.begin(), taken[i].skipped.end(), named))
                    << database << " neither stored nor named: " << found;
                continue;
            }
            ++stored[database];
            EXPECT_FALSE(fs::exists(file.string() + "-journal")) << database;
            const Ledger ledger = test::readLedger(file);
            EXPECT_EQ(ledger.integrity, "ok") << database;
            EXPECT_EQ(ledger.total, 1000) << database;
            EXPECT_EQ(ledger.count, ledger.highest) << database << ": a gap in the counter";
            EXPECT_GE(ledger.highest, last[database]) << database << " went back";
            rises[database] += ledger.highest > last[database] ? 1 : 0;
            last[database] = ledger.highest;
        }
    }
    for (const char* database : {"places.sqlite", "cookies.sqlite"}) {
        // Nearly every backup stores each database, and the writers went on
        // committing between them.
        EXPECT_GE(stored[database], kBackups * 9 / 10) << database;
        EXPECT_GE(rises[database], stored[database] / 2) << database;
    }
}

// The copy rules alone (where SQLite cannot read the database): what they
// keep is a committed state; what they give up is given up whole.
TEST_F(RunningWriters, TheCopyRulesAloneKeepOnlyCommittedStates) {
    Writer history(profile / "places.sqlite", true);
    Writer cookies(profile / "cookies.sqlite", false);
    ASSERT_TRUE(history.running() && cookies.running());
    while (history.committed() < 50 || cookies.committed() < 50) {
    }
    Snapshot snapshot(*services);
    snapshot.copyFilesOnly(true);
    std::map<std::string, int> kept;
    for (int i = 0; i < kBackups; ++i) {
        for (const char* database : {"places.sqlite", "cookies.sqlite"}) {
            const fs::path copy = dir / "copies" / std::to_string(i) / database;
            fs::create_directories(copy.parent_path());
            const SnapshotResult result = snapshot.copyFile(profile / database, copy);
            if (result.outcome != SnapshotOutcome::Copied) {
                EXPECT_EQ(result.outcome, SnapshotOutcome::Unsettled) << result.detail;
                EXPECT_FALSE(fs::exists(copy) || fs::exists(copy.string() + "-wal"));
                continue;
            }
            ++kept[database];
        }
    }
    history.stop();
    cookies.stop();
    for (int i = 0; i < kBackups; ++i) {
        for (const char* database : {"places.sqlite", "cookies.sqlite"}) {
            const fs::path copy = dir / "copies" / std::to_string(i) / database;
            if (!fs::exists(copy)) {
                continue;
            }
            SCOPED_TRACE(copy.string());
            const Ledger ledger = test::readLedger(copy);
            EXPECT_EQ(ledger.integrity, "ok");
            EXPECT_EQ(ledger.total, 1000);
            EXPECT_EQ(ledger.count, ledger.highest);
        }
    }
    EXPECT_GT(kept["places.sqlite"], 0);
    EXPECT_GT(kept["cookies.sqlite"], 0);
}

} // namespace
} // namespace vellarion
