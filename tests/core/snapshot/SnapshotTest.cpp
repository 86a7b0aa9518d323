// One file copied out of a folder another process writes: a database and its
// log as one state SQLite committed, a journal's database only while it
// stands still, any other file only whole; what keeps changing is given up
// after growing pauses and never left half copied.
#include "core/snapshot/Snapshot.h"

#include "core/archive/JvZlibMultiple.h"
#include "core/services/PathMapper.h"

#include "Databases.h"
#include "FileTree.h"
#include "JobRecorder.h"
#include "RecordedPauses.h"
#include "TempDir.h"

#include <gtest/gtest.h>

#include <atomic>
#include <thread>

namespace vellarion {
namespace {

namespace fs = std::filesystem;
using test::Database;
using test::readFile;
using test::TempDir;
using test::writeFile;

class SnapshotCopy : public ::testing::Test {
protected:
    SnapshotCopy() : real(test::plainServices()), services(*real) {}

    // A database in write-ahead-log mode whose rows lie in its log only,
    // held open by `writer` so that the log stays.
    void makeLogged(int rows) {
        writer = std::make_unique<Database>(source);
        writer->exec("PRAGMA journal_mode=WAL; PRAGMA wal_autocheckpoint=0;"
                     "CREATE TABLE t(v INTEGER)");
        writer->exec("PRAGMA wal_checkpoint(TRUNCATE)");
        addRows(rows);
    }
    void addRows(int rows) {
        for (int i = 0; i < rows; ++i) {
            writer->exec("INSERT INTO t VALUES(" + std::to_string(i) + ")");
        }
    }
    // The copy rules alone, as where SQLite cannot read the database.
    Snapshot filesOnly() {
        Snapshot snapshot(services);
        snapshot.copyFilesOnly(true);
        return snapshot;
    }
    long long rowsOf(const fs::path& file) {
        return Database(file).number("SELECT COUNT(*) FROM t");
    }

    TempDir dir;
    fs::path source = dir / "places.sqlite";
    fs::path target = dir / "copy" / "places.sqlite";
    std::unique_ptr<SystemServices> real;
    test::RecordedPauses services;
    std::unique_ptr<Database> writer;
    void SetUp() override { fs::create_directories(target.parent_path()); }
};

TEST_F(SnapshotCopy, ALogRestartedBetweenTheDatabaseAndItsLogIsCaughtAndCopiedAgain) {
    makeLogged(5);
    Snapshot snapshot = filesOnly();
    std::vector<int> tries;
    snapshot.onCopied = [&](const fs::path&, int attempt) {
        tries.push_back(attempt);
        if (attempt == 1) {
            // A checkpoint empties the log and the next commit starts it anew:
            // the copied database lacks what the old log held.
            writer->exec("PRAGMA wal_checkpoint(TRUNCATE)");
            addRows(3);
        }
    };
    const SnapshotResult result = snapshot.copyFile(source, target);
    EXPECT_EQ(result.outcome, SnapshotOutcome::Copied) << result.detail;
    EXPECT_EQ(tries, (std::vector<int>{1, 2}));
    EXPECT_EQ(services.pauses, std::vector<int>{25});
    EXPECT_EQ(Database(target).value("PRAGMA integrity_check"), "ok");
    EXPECT_EQ(rowsOf(target), 8);
    EXPECT_FALSE(fs::exists(dir / "copy" / "places.sqlite-shm")) << "no index is copied";
}

TEST_F(SnapshotCopy, ALogThatGrowsWhileItIsCopiedStillMakesOneStateWithTheDatabase) {
    makeLogged(5);
    Snapshot snapshot = filesOnly();
    snapshot.onCopied = [&](const fs::path&, int) { addRows(2); };
    ASSERT_EQ(snapshot.copyFile(source, target).outcome, SnapshotOutcome::Copied);
    EXPECT_EQ(services.pauses, std::vector<int>{});
    EXPECT_EQ(readFile(source.string() + "-wal").size(), readFile(target.string() + "-wal").size());
    EXPECT_EQ(rowsOf(target), 7) << "the new frames came with the log";
}

TEST_F(SnapshotCopy, ADatabaseThatChangesOnEveryTryIsGivenUpAndLeavesNoCopy) {
    // Each kind of database: an empty log proves nothing, so the file itself
    // must stand still; a journal's database too.
    for (const char* mode : {"WAL", "DELETE"}) {
        SCOPED_TRACE(mode);
        fs::remove_all(dir / "copy");
        fs::create_directories(dir / "copy");
        for (const char* suffix : {"", "-wal", "-shm", "-journal"}) {
            fs::remove(source.string() + suffix);
        }
        services.pauses.clear();
        {
            Database db(source);
            db.exec(std::string("PRAGMA journal_mode=") + mode + "; CREATE TABLE t(v INTEGER)");
        }
        Snapshot snapshot = filesOnly();
        int tries = 0;
        snapshot.onCopied = [&](const fs::path&, int) {
            ++tries;
            Database db(source);
            db.exec("INSERT INTO t VALUES(1); PRAGMA wal_checkpoint(TRUNCATE)");
        };
        const SnapshotResult result = snapshot.copyFile(source, target);
        EXPECT_EQ(result.outcome, SnapshotOutcome::Unsettled);
        EXPECT_EQ(tries, Snapshot::kTries);
        EXPECT_EQ(services.pauses, (std::vector<int>{25, 50, 100, 200})) << "growing pauses";
        EXPECT_EQ(test::namesIn(dir / "copy"), std::vector<std::string>{}) << "nothing torn kept";
    }
}

TEST_F(SnapshotCopy, AHotJournalBesideADatabaseIsNoStateToCopy) {
    {
        Database db(source);
        db.exec("PRAGMA journal_mode=DELETE; CREATE TABLE t(v INTEGER); INSERT INTO t VALUES(1)");
    }
    // A writer died in the middle of a transaction: its journal's header
    // stands, and nobody holds the database.
    writeFile(source.string() + "-journal",
              std::string("\xd9\xd5\x05\xf9\x20\xa1\x63\xd7", 8) + std::string(512, '\x01'));
    Snapshot snapshot = filesOnly();
    const SnapshotResult result = snapshot.copyFile(source, target);
    EXPECT_EQ(result.outcome, SnapshotOutcome::Unsettled);
    EXPECT_EQ(result.detail, "a hot journal lies beside it");
    EXPECT_FALSE(fs::exists(target));

    // A journal kept between transactions has its header cleared: no hot one.
    writeFile(source.string() + "-journal", std::string(512, '\0'));
    EXPECT_EQ(snapshot.copyFile(source, target).outcome, SnapshotOutcome::Copied);
    EXPECT_EQ(rowsOf(target), 1);
    EXPECT_FALSE(fs::exists(target.string() + "-journal")) << "no journal is copied";
}

TEST_F(SnapshotCopy, AWritersOpenTransactionLeavesTheDatabaseAsLastCommitted) {
    // A browser that keeps a transaction open between its commits (as
    // Chromium does with its History): the journal holds the pages it
    // changed since, behind a header whose magic is still zero; the database
    // file is as last committed until the magic is written.
    struct Case {
        const char* locking;
        const char* journal;
    };
    for (const Case& each : {Case{"EXCLUSIVE", "TRUNCATE"}, Case{"EXCLUSIVE", "DELETE"},
                             Case{"EXCLUSIVE", "PERSIST"}, Case{"NORMAL", "TRUNCATE"},
                             Case{"NORMAL", "DELETE"}}) {
        SCOPED_TRACE(std::string(each.locking) + " " + each.journal);
        for (const char* suffix : {"", "-journal"}) {
            fs::remove(source.string() + suffix);
            fs::remove(target.string() + suffix);
        }
        writer = std::make_unique<Database>(source);
        writer->exec(std::string("PRAGMA locking_mode=") + each.locking +
                     "; PRAGMA journal_mode=" + each.journal +
                     "; CREATE TABLE t(v INTEGER); INSERT INTO t VALUES(1); INSERT INTO t "
                     "VALUES(2); BEGIN; INSERT INTO t VALUES(3)");
        const std::string journal = readFile(source.string() + "-journal");
        ASSERT_GE(journal.size(), 28u) << "the open transaction is in the journal";
        ASSERT_EQ(journal.substr(0, 8), std::string(8, '\0')) << "its magic not yet written";
        for (bool filesOnlyCopy : {true, false}) {
            Snapshot snapshot = filesOnlyCopy ? filesOnly() : Snapshot(services);
            const SnapshotResult result = snapshot.copyFile(source, target);
            ASSERT_EQ(result.outcome, SnapshotOutcome::Copied) << result.detail;
            EXPECT_EQ(rowsOf(target), 2) << "the rows committed, not the one in the journal";
            EXPECT_FALSE(fs::exists(target.string() + "-journal"));
            fs::remove(target);
        }
        writer->exec("COMMIT");
        writer.reset();
    }
}

TEST_F(SnapshotCopy, ACopyThatFailsSqlitesCheckIsNeverKept) {
    {
        Database db(source);
        db.exec("PRAGMA journal_mode=DELETE; PRAGMA page_size=1024; CREATE TABLE t(v TEXT);"
                "WITH RECURSIVE k(i) AS (SELECT 1 UNION ALL SELECT i + 1 FROM k WHERE i < 200) "
                "INSERT INTO t SELECT hex(randomblob(100)) FROM k");
    }
    // A page of the table damaged on the disk: the header is sound.
    std::string bytes = readFile(source);
    std::fill(bytes.begin() + 2048, bytes.begin() + 3072, '\x7f');
    writeFile(source, bytes);
    Snapshot snapshot = filesOnly();
    const SnapshotResult result = snapshot.copyFile(source, target);
    EXPECT_EQ(result.outcome, SnapshotOutcome::Unsettled);
    EXPECT_TRUE(result.detail.starts_with("its copy failed SQLite's check: ")) << result.detail;
    EXPECT_FALSE(fs::exists(target));
}

TEST_F(SnapshotCopy, ALoggedDatabaseGoesThroughSqlitesBackupAJournalsByItsFile) {
    makeLogged(6);
    Snapshot snapshot(services);
    int byFiles = 0;
    snapshot.onCopied = [&](const fs::path&, int) { ++byFiles; };
    ASSERT_EQ(snapshot.copyFile(source, target).outcome, SnapshotOutcome::Copied);
    EXPECT_EQ(byFiles, 0);
    EXPECT_EQ(rowsOf(target), 6);
    EXPECT_FALSE(fs::exists(target.string() + "-wal")) << "one file holds it all";

    // A database with a rollback journal is copied by its file under the
    // read lock, as cheaply; and so is one whose writer, in exclusive
    // locking mode, lets no reader in.
    for (const char* locking : {"NORMAL", "EXCLUSIVE"}) {
        SCOPED_TRACE(locking);
        writer.reset();
        for (const char* suffix : {"", "-wal", "-shm", "-journal"}) {
            fs::remove(source.string() + suffix);
            fs::remove(target.string() + suffix);
        }
        byFiles = 0;
        writer = std::make_unique<Database>(source);
        writer->exec(std::string("PRAGMA locking_mode=") + locking +
                     "; PRAGMA journal_mode=DELETE;"
                     "CREATE TABLE t(v INTEGER); INSERT INTO t VALUES(1)");
        ASSERT_EQ(snapshot.copyFile(source, target).outcome, SnapshotOutcome::Copied);
        EXPECT_EQ(byFiles, 1);
        writer.reset();
        EXPECT_EQ(rowsOf(target), 1);
    }
}

TEST_F(SnapshotCopy, AnyOtherFileIsCopiedAgainWhileItChanges) {
    const fs::path prefs = dir / "prefs.js";
    const fs::path copied = dir / "copy" / "prefs.js";
    writeFile(prefs, "user_pref(\"a\", 1);\n");
    Snapshot snapshot = filesOnly();
    snapshot.onCopied = [&](const fs::path&, int attempt) {
        if (attempt == 1) {
            // Rewritten the way browsers save it: a new file renamed over it.
            writeFile(dir / "prefs.js.tmp", "user_pref(\"a\", 2);\n");
            fs::rename(dir / "prefs.js.tmp", prefs);
        }
    };
    EXPECT_EQ(snapshot.copyFile(prefs, copied).outcome, SnapshotOutcome::Copied);
    EXPECT_EQ(readFile(copied), "user_pref(\"a\", 2);\n");
    EXPECT_EQ(services.pauses, std::vector<int>{25});

    services.pauses.clear();
    snapshot.onCopied = [&](const fs::path&, int attempt) {
        writeFile(prefs, "user_pref(\"a\", " + std::to_string(10 + attempt) + "0000);\n");
    };
    EXPECT_EQ(snapshot.copyFile(prefs, copied).outcome, SnapshotOutcome::Unsettled);
    EXPECT_FALSE(fs::exists(copied));
    EXPECT_EQ(services.pauses.size(), static_cast<std::size_t>(Snapshot::kTries - 1));

    EXPECT_EQ(snapshot.copyFile(dir / "gone.js", copied).outcome, SnapshotOutcome::Missing);
}

TEST_F(SnapshotCopy, ATreeIsCopiedAsTheArchiveWouldPackIt) {
    makeLogged(4);
    const fs::path profile = dir / "profile";
    fs::create_directories(profile / "storage");
    fs::rename(source, profile / "places.sqlite");
    fs::rename(source.string() + "-wal", profile / "places.sqlite-wal");
    fs::rename(source.string() + "-shm", profile / "places.sqlite-shm");
    writeFile(profile / "storage" / "ls.txt", "x");
    writeFile(profile / "parent.lock", "");
    writeFile(profile / "orphan-wal", "not a database's log");
    fs::create_symlink("/etc", profile / "elsewhere");
    fs::create_directories(dir / "outside");
    writeFile(dir / "outside" / "kept.txt", "kept");
    fs::create_symlink(dir / "outside", profile / "linked");

    Snapshot snapshot = filesOnly();
    TreeSnapshot tree(snapshot);
    tree.quietNames = {"parent.lock"};
    tree.followLink = [&](const fs::path& link) { return link.filename() == "linked"; };
    ASSERT_TRUE(tree.copy(profile, dir / "copies"));
    std::set<std::string> copied;
    for (const auto& [name, content] : test::readTree(dir / "copies")) {
        copied.insert(name);
    }
    EXPECT_EQ(copied, (std::set<std::string>{"places.sqlite", "places.sqlite-wal", "storage/ls.txt",
                                             "orphan-wal", "linked/kept.txt"}));
    EXPECT_EQ(rowsOf(dir / "copies" / "places.sqlite"), 4);
    ASSERT_EQ(tree.leftOut().size(), 1u);
    EXPECT_EQ(tree.leftOut().front().path, profile / "elsewhere");
    EXPECT_TRUE(tree.leftOut().front().link);
}

TEST_F(SnapshotCopy, AFolderPackedWhereItIsHasOnlyItsDatabasesAndLargeFilesCopiedFirst) {
    makeLogged(4);
    const fs::path profile = dir / "profile";
    const fs::path copies = dir / "copies";
    fs::create_directories(profile / "storage");
    for (const char* suffix : {"", "-wal", "-shm"}) {
        fs::rename(source.string() + suffix, profile / ("places.sqlite" + std::string(suffix)));
    }
    writeFile(profile / "storage" / "ls.txt", "x");
    writeFile(profile / "parent.lock", "");
    writeFile(profile / "orphan-wal", "not a database's log");
    writeFile(profile / "startupCache.bin", std::string(3 << 20, 'c'));
    // A damaged database fails SQLite's check: it is left out, and its log too.
    {
        Database damaged(profile / "formhistory.sqlite");
        damaged.exec("PRAGMA page_size=1024; CREATE TABLE t(v TEXT);"
                     "WITH RECURSIVE k(i) AS (SELECT 1 UNION ALL SELECT i + 1 FROM k WHERE i < 200)"
                     " INSERT INTO t SELECT hex(randomblob(100)) FROM k");
    }
    std::string bytes = readFile(profile / "formhistory.sqlite");
    std::fill(bytes.begin() + 2048, bytes.begin() + 3072, '\x7f');
    writeFile(profile / "formhistory.sqlite", bytes);
    writeFile(profile / "formhistory.sqlite-wal", "");

    Snapshot snapshot = filesOnly();
    std::atomic<int> databaseCopies = 0;
    snapshot.onCopied = [&](const fs::path& file, int) {
        databaseCopies += file.filename() == "places.sqlite" ? 1 : 0;
    };
    SnapshotSources sources(snapshot, profile, copies, 2 << 20);
    sources.quietNames = {"parent.lock"};
    // Copied ahead, while the packer asks from several threads: the
    // database (by another spelling of its path too) and its log at once.
    sources.copyAhead();
    std::optional<fs::path> database, log, respelled;
    std::thread other([&] { log = sources.choose(profile / "places.sqlite-wal"); });
    std::thread third([&] { respelled = sources.choose(profile / "." / "places.sqlite"); });
    database = sources.choose(profile / "places.sqlite");
    other.join();
    third.join();
    EXPECT_EQ(databaseCopies, 1) << "copied once, whoever asked first";
    EXPECT_EQ(respelled, database);
    EXPECT_EQ(database, copies / "places.sqlite");
    EXPECT_EQ(log, copies / "places.sqlite-wal");

    const std::map<std::string, std::optional<fs::path>> expected = {
        {"places.sqlite-shm", std::nullopt},
        {"storage/ls.txt", profile / "storage" / "ls.txt"},
        {"parent.lock", std::nullopt},
        {"orphan-wal", profile / "orphan-wal"},
        {"startupCache.bin", copies / "startupCache.bin"},
        {"formhistory.sqlite", std::nullopt},
        {"formhistory.sqlite-wal", std::nullopt},
    };
    for (const auto& [name, chosen] : expected) {
        EXPECT_EQ(sources.choose(profile / fs::path(name)), chosen) << name;
    }
    std::set<std::string> copied;
    for (const auto& [name, content] : test::readTree(copies)) {
        copied.insert(name);
    }
    EXPECT_EQ(copied, (std::set<std::string>{"places.sqlite", "places.sqlite-wal",
                                             "startupCache.bin"}))
        << "the small files are read where they are";
    EXPECT_EQ(rowsOf(copies / "places.sqlite"), 4);
    std::vector<fs::path> named;
    for (const LeftOut& left : sources.leftOut()) {
        named.push_back(left.path);
    }
    EXPECT_EQ(named, std::vector<fs::path>{profile / "formhistory.sqlite"});
}

// A big database with a rollback journal is packed where it lies, checked
// by SQLite beside the packing; one that changed meanwhile is packed again
// from a consistent copy in the same place of the archive, and one that
// fails the check is named and left out. Whatever the archive holds of it
// is a state the writer committed.
TEST_F(SnapshotCopy, ABigJournalsDatabaseIsPackedWhereItLiesUnlessItChanges) {
    struct Case {
        std::string name;
        bool change;      // a commit while the packer reads it
        bool damage;      // a page overwritten: the check fails
        long long rows;   // in the archive's copy; -1: not in the archive
        bool copied;      // a copy of it is packed (one that failed the check is gone)
    };
    const std::vector<Case> cases = {
        {"unchanged", false, false, 3000, false},
        {"a commit meanwhile", true, false, 3001, true},
        {"damaged", false, true, -1, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const fs::path profile = dir / c.name / "profile";
        const fs::path copies = dir / c.name / "copies";
        fs::create_directories(profile);
        const fs::path history = profile / "History";
        {
            Database db(history);
            db.exec("PRAGMA journal_mode=TRUNCATE; CREATE TABLE t(v BLOB);"
                    "WITH RECURSIVE k(i) AS (SELECT 1 UNION ALL SELECT i + 1 FROM k WHERE i < 3000)"
                    " INSERT INTO t SELECT randomblob(1000) FROM k");
        }
        writeFile(profile / "History-journal", ""); // kept between transactions
        writeFile(profile / "Preferences", "{}");
        if (c.damage) {
            std::string bytes = readFile(history);
            std::fill(bytes.begin() + 8192, bytes.begin() + 12288, '\x7f');
            writeFile(history, bytes);
        }
        ASSERT_GE(fs::file_size(history), TJvZlibMultiple::kRereadLimit);

        Snapshot snapshot(services);
        SnapshotSources sources(snapshot, profile, copies, TJvZlibMultiple::kRereadLimit);
        TJvZlibMultiple codec;
        codec.SourceInUse = true;
        codec.OnChooseSource = [&](const fs::path& f) { return sources.choose(f); };
        codec.OnVerifySource = [&](const fs::path& f) { return sources.verify(f); };
        codec.OnSourceChanged = [&](const fs::path& f) { return sources.readAgainFromCopy(f); };
        std::vector<std::string> skipped;
        codec.OnFileSkip = [&](TJvZlibMultiple&, const std::string& file, const std::string&,
                               const std::string&) { skipped.push_back(file); };
        codec.OnSourceRead = [&](const fs::path& f, int) {
            if (c.change && f.filename() == "History") {
                Database(f).exec("INSERT INTO t VALUES(randomblob(1000))");
            }
        };
        const fs::path archive = dir / c.name / "a.dat";
        sources.copyAhead();
        codec.CompressDirectory(pathToUtf8(profile), true, pathToUtf8(archive));
        TJvZlibMultiple reader;
        const fs::path out = dir / c.name / "out";
        reader.DecompressFile(pathToUtf8(archive), pathToUtf8(out), true, true);

        EXPECT_EQ(readFile(out / "Preferences"), "{}");
        EXPECT_FALSE(fs::exists(out / "History-journal"));
        EXPECT_TRUE(skipped.empty()) << ::testing::PrintToString(skipped);
        EXPECT_EQ(fs::exists(copies / "History"), c.copied);
        if (c.rows < 0) {
            EXPECT_FALSE(fs::exists(out / "History"));
            ASSERT_EQ(sources.leftOut().size(), 1U);
            EXPECT_EQ(sources.leftOut().front().path, history);
            continue;
        }
        EXPECT_TRUE(sources.leftOut().empty());
        Database stored(out / "History");
        EXPECT_EQ(stored.value("PRAGMA integrity_check"), "ok");
        EXPECT_EQ(stored.number("SELECT COUNT(*) FROM t"), c.rows);
    }
}

} // namespace
} // namespace vellarion
