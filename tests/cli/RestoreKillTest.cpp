// A restore killed at any moment (kill -9, a power cut as the process sees
// it), the full one and the selective one, on a profile of about 200 MB: the
// next run finishes the roll-back, or the swap that was complete, and every
// file of the profile is all old or all new, every database sound.
#include "CliRunner.h"
#include "FileTree.h"
#include "TempDir.h"

#include <chrono>
#include <csignal>
#include <gtest/gtest.h>
#include <sqlite3.h>
#include <sys/wait.h>
#include <thread>

namespace vellarion::test {
namespace {

namespace fs = std::filesystem;
using Tree = std::map<std::string, std::string>;

void exec(sqlite3* db, const std::string& sql) {
    char* error = nullptr;
    ASSERT_EQ(sqlite3_exec(db, sql.c_str(), nullptr, nullptr, &error), SQLITE_OK) << error;
}

// A history database as the browser keeps it, in write-ahead-log mode, with
// `rows` visits of about 700 bytes each (a title that compresses about as
// well as real ones do).
void writeHistory(const fs::path& file, const std::string& tag, int rows) {
    sqlite3* db = nullptr;
    ASSERT_EQ(sqlite3_open(file.c_str(), &db), SQLITE_OK);
    exec(db, "PRAGMA journal_mode=WAL;");
    exec(db, "CREATE TABLE IF NOT EXISTS moz_places (id INTEGER PRIMARY KEY, url LONGVARCHAR, "
             "title LONGVARCHAR, visit_count INTEGER DEFAULT 0);");
    exec(db, "DELETE FROM moz_places;");
    exec(db, "WITH RECURSIVE n(x) AS (SELECT 1 UNION ALL SELECT x + 1 FROM n WHERE x < " +
                 std::to_string(rows) +
                 ") INSERT INTO moz_places (url, title, visit_count) SELECT "
                 "'https://example.org/" +
                 tag + "/' || x, hex(randomblob(320)), x FROM n;");
    exec(db, "PRAGMA wal_checkpoint(TRUNCATE);");
    sqlite3_close(db);
    fs::remove(fs::path(file.string() + "-wal"));
    fs::remove(fs::path(file.string() + "-shm"));
}

std::string integrity(const fs::path& file) {
    sqlite3* db = nullptr;
    if (sqlite3_open_v2(file.c_str(), &db, SQLITE_OPEN_READONLY, nullptr) != SQLITE_OK) {
        sqlite3_close(db);
        return "cannot open";
    }
    std::string result;
    sqlite3_exec(
        db, "PRAGMA integrity_check;",
        [](void* out, int, char** values, char**) {
            *static_cast<std::string*>(out) += values[0] ? values[0] : "";
            return 0;
        },
        &result, nullptr);
    sqlite3_close(db);
    return result;
}

// A profile of about 200 MB: the history most of it.
void writeProfile(const fs::path& profile, const std::string& tag) {
    fs::create_directories(profile);
    writeHistory(profile / "places.sqlite", tag, 260000);
    writeHistory(profile / "cookies.sqlite", tag, 8000);
    writeFile(profile / "prefs.js", "user_pref(\"tag\", \"" + tag + "\");\n");
    writeFile(profile / "logins.json", "{\"logins\":[\"" + tag + "\"]}");
    writeFile(profile / "key4.db", incompressible(300000) + tag);
}

// The live data folder put back before each kill. Hard links make that
// cheap, and prove on the way that a restore never writes into a file it
// replaces: such a write would change the saved copy too.
void putBack(const fs::path& saved, const fs::path& to) {
    fs::remove_all(to);
    fs::copy(saved, to, fs::copy_options::recursive | fs::copy_options::create_hard_links);
}

// A data folder backed up (by `backup`, the command with its options but
// the location), then changed; `restore` brings the backed-up state back.
// The restore is killed at twenty moments spread over the time a whole one
// takes; after the next run (a small backup of the same profile, or only a
// listing of profiles, browsers or items) every file is all old or all new,
// and every database sound.
void killAtTwentyMoments(std::vector<std::string> backup, std::vector<std::string> restore) {
    TempDir home;
    const fs::path root = home / ".mozilla" / "firefox";
    const fs::path profile = root / "k3x9ab12.default-release";
    const fs::path backups = home / "backups";
    writeFile(root / "profiles.ini", "[Profile0]\nName=default-release\nIsRelative=1\n"
                                     "Path=k3x9ab12.default-release\nDefault=1\n\n");
    writeProfile(profile, "archived");
    backup.insert(backup.end(), {"--to", s(backups)});
    const Result packed = run(backup, home.path());
    ASSERT_EQ(packed.exitCode, 0) << packed.err;
    writeProfile(profile, "live");
    const fs::path saved = home / "saved";
    fs::copy(root, saved, fs::copy_options::recursive);
    const Tree live = readTree(saved);

    restore.insert(restore.end(), {"--from", s(backups)});
    putBack(saved, root);
    const auto start = std::chrono::steady_clock::now();
    const Result whole = run(restore, home.path());
    ASSERT_EQ(whole.exitCode, 0) << whole.err;
    const auto duration = std::chrono::steady_clock::now() - start;
    const Tree restored = readTree(root);
    ASSERT_NE(restored, live);

    int oldOnes = 0;
    int newOnes = 0;
    for (int moment = 0; moment < 20; ++moment) {
        SCOPED_TRACE("killed at moment " + std::to_string(moment));
        putBack(saved, root);
        Cli killed(restore, false, home.path());
        // From just after the start (the command's output open) to its end.
        std::this_thread::sleep_for(std::chrono::milliseconds(30) + duration * moment / 19);
        ::kill(killed.pid(), SIGKILL);
        killed.wait();

        // Whatever the user runs next recovers it first: a listing too.
        const std::vector<std::vector<std::string>> nextRuns = {
            {"backup", "firefox", "--items", "settings", "--to", s(home / "later"), "--replace"},
            {"profiles", "firefox"},
            {"browsers"},
            {"items", "firefox"}};
        const Result next =
            run(nextRuns[static_cast<size_t>(moment) % nextRuns.size()], home.path());
        ASSERT_EQ(next.exitCode, 0) << next.err;
        const Tree now = readTree(root);
        for (const auto& [name, content] : now) {
            const bool old = live.contains(name) && live.at(name) == content;
            const bool fresh = restored.contains(name) && restored.at(name) == content;
            EXPECT_TRUE(old || fresh) << name << " is neither old nor new";
        }
        EXPECT_TRUE(now == live || now == restored) << "a mix of old and new files";
        oldOnes += now == live;
        newOnes += now == restored;
        for (const char* db : {"places.sqlite", "cookies.sqlite"}) {
            EXPECT_EQ(integrity(profile / db), "ok") << db;
        }
    }
    EXPECT_TRUE(readTree(saved) == live) << "a restore wrote into a file it replaced";
    // Kills fell before the swap; every run left one state or the other.
    EXPECT_GT(oldOnes, 0);
    EXPECT_EQ(newOnes + oldOnes, 20);
}

constexpr const char* kItems = "history,cookies,settings,passwords";

TEST(RestoreKilled, TheFullRestoreAtTwentyMomentsLeavesEveryFileOldOrNewAndEveryDatabaseSound) {
    killAtTwentyMoments({"full-backup", "firefox"}, {"full-restore", "firefox"});
}

TEST(RestoreKilled,
     TheSelectiveRestoreAtTwentyMomentsLeavesEveryFileOldOrNewAndEveryDatabaseSound) {
    killAtTwentyMoments({"backup", "firefox", "--items", kItems},
                        {"restore", "firefox", "--items", kItems});
}

} // namespace
} // namespace vellarion::test
