// A restore killed at any moment (kill -9, a power cut as the process sees
// it): the next run finishes the roll-back, or the swap that was complete,
// and every file of the profile is all old or all new, every database sound.
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
// `rows` visits of a size that makes it a few tens of MB.
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
                 tag + "/' || x, randomblob(600), x FROM n;");
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

void writeProfile(const fs::path& profile, const std::string& tag) {
    fs::create_directories(profile);
    writeHistory(profile / "places.sqlite", tag, 40000);
    writeHistory(profile / "cookies.sqlite", tag, 2000);
    writeFile(profile / "prefs.js", "user_pref(\"tag\", \"" + tag + "\");\n");
    writeFile(profile / "logins.json", "{\"logins\":[\"" + tag + "\"]}");
    writeFile(profile / "key4.db", incompressible(300000) + tag);
}

void copyTree(const fs::path& from, const fs::path& to) {
    fs::remove_all(to);
    fs::copy(from, to, fs::copy_options::recursive);
}

TEST(RestoreKilled, AtTwentyMomentsTheNextRunLeavesEveryFileOldOrNewAndEveryDatabaseSound) {
    TempDir home;
    const fs::path root = home / ".mozilla" / "firefox";
    const fs::path profile = root / "k3x9ab12.default-release";
    writeFile(root / "profiles.ini", "[Profile0]\nName=default-release\nIsRelative=1\n"
                                     "Path=k3x9ab12.default-release\nDefault=1\n\n");
    writeProfile(profile, "archived");
    const fs::path backups = home / "backups";
    const Result packed = run({"full-backup", "firefox", "--to", s(backups)}, home.path());
    ASSERT_EQ(packed.exitCode, 0) << packed.err;
    const Tree restored = readTree(root);

    writeProfile(profile, "live");
    const Tree live = readTree(root);
    const fs::path saved = home / "saved";
    copyTree(root, saved);

    // How long a whole restore takes here, to spread the kills over it.
    const auto start = std::chrono::steady_clock::now();
    const Result whole = run({"full-restore", "firefox", "--from", s(backups)}, home.path());
    ASSERT_EQ(whole.exitCode, 0) << whole.err;
    const auto duration = std::chrono::steady_clock::now() - start;
    ASSERT_EQ(readTree(root), restored);

    int oldOnes = 0;
    int newOnes = 0;
    for (int moment = 0; moment < 20; ++moment) {
        SCOPED_TRACE("killed at moment " + std::to_string(moment));
        copyTree(saved, root);
        Cli restore({"full-restore", "firefox", "--from", s(backups)}, false, home.path());
        // From just after the start (the command's output open) to its end.
        std::this_thread::sleep_for(std::chrono::milliseconds(30) + duration * moment / 20);
        ::kill(restore.pid(), SIGKILL);
        restore.wait();

        // The next run that touches the data folder recovers it first.
        const Result next =
            run({"full-backup", "firefox", "--to", s(home / "later"), "--replace"}, home.path());
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
    // The kills fell before and after the swap.
    EXPECT_GT(oldOnes, 0);
    EXPECT_GT(newOnes + oldOnes, 19);
}

} // namespace
} // namespace vellarion::test
