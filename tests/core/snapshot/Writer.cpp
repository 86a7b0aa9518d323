// A program that keeps committing to one database as fast as it can, the
// way a running browser does, until a stop file appears beside it. Each
// transaction keeps two invariants a torn copy would break: the balances
// of the accounts sum to a constant, and the counter has no gap.
//
//   snapshot_writer DATABASE wal|journal
#include <cstdio>
#include <cstdlib>
#include <random>
#include <sqlite3.h>
#include <string>
#include <sys/stat.h>
#include <unistd.h>

namespace {

bool exec(sqlite3* db, const std::string& sql) {
    char* error = nullptr;
    if (sqlite3_exec(db, sql.c_str(), nullptr, nullptr, &error) != SQLITE_OK) {
        std::fprintf(stderr, "%s: %s\n", sql.c_str(), error != nullptr ? error : "?");
        sqlite3_free(error);
        return false;
    }
    return true;
}

bool stopAsked(const std::string& stop) {
    struct stat st {};
    return ::stat(stop.c_str(), &st) == 0;
}

} // namespace

int main(int argc, char** argv) {
    if (argc != 3) {
        std::fprintf(stderr, "usage: snapshot_writer DATABASE wal|journal\n");
        return 2;
    }
    const std::string file = argv[1];
    const bool wal = std::string(argv[2]) == "wal";
    // Below the backups in the processor's favour, as a browser in the
    // background is: it still commits whenever a processor is free.
    (void)::nice(10);
    sqlite3* db = nullptr;
    if (sqlite3_open(file.c_str(), &db) != SQLITE_OK) {
        return 1;
    }
    sqlite3_busy_timeout(db, 10000);
    // No waiting for the disk: as many commits as the processor allows.
    if (!exec(db, "PRAGMA synchronous=OFF") ||
        !exec(db, wal ? "PRAGMA journal_mode=WAL" : "PRAGMA journal_mode=DELETE") ||
        // Checkpoints and restarts of the log come often.
        (wal && !exec(db, "PRAGMA wal_autocheckpoint=16"))) {
        return 1;
    }
    std::mt19937 random(static_cast<unsigned>(std::hash<std::string>{}(file)));
    const std::string stop = file + ".stop";
    // A suite killed before it wrote the stop file leaves no writer behind
    // to take the processors: it ends once its parent is gone.
    const pid_t parent = ::getppid();
    for (long commit = 1; !stopAsked(stop) && ::getppid() == parent; ++commit) {
        const int from = static_cast<int>(random() % 10) + 1;
        const int to = static_cast<int>(random() % 10) + 1;
        const int amount = static_cast<int>(random() % 7);
        const std::string pad = std::to_string(random());
        const std::string sql =
            "BEGIN IMMEDIATE;"
            "UPDATE accounts SET balance = balance - " +
            std::to_string(amount) + ", pad = randomblob(1500) WHERE id = " + std::to_string(from) +
            ";UPDATE accounts SET balance = balance + " + std::to_string(amount) +
            ", pad = randomblob(1500) WHERE id = " + std::to_string(to) +
            ";INSERT INTO counter(n, note) VALUES((SELECT IFNULL(MAX(n), 0) + 1 FROM counter), '" +
            pad + "');COMMIT;";
        if (!exec(db, sql)) {
            exec(db, "ROLLBACK");
            continue;
        }
        if (wal && commit % 97 == 0) {
            // A log cut to nothing: the next commit starts it anew.
            exec(db, "PRAGMA wal_checkpoint(TRUNCATE)");
        }
    }
    sqlite3_close(db);
    return 0;
}
