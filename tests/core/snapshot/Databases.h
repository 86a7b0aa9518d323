#pragma once

// The database the snapshot suites' writer program keeps (accounts whose
// balances sum to a constant, a counter without gaps), made and read back.
#include "SqliteDatabase.h"

#include <cstddef>
#include <filesystem>
#include <string>

namespace vellarion::test {

// The writer's database, made before it starts: ten accounts of 100, and
// about `filler` bytes of rows nobody changes (a big history's old pages).
inline void makeLedger(const std::filesystem::path& file, bool wal, std::size_t filler = 0) {
    Database db(file);
    db.exec(wal ? "PRAGMA journal_mode=WAL" : "PRAGMA journal_mode=DELETE");
    db.exec("CREATE TABLE accounts(id INTEGER PRIMARY KEY, balance INTEGER, pad BLOB);"
            "CREATE TABLE counter(n INTEGER PRIMARY KEY, note TEXT);"
            "CREATE TABLE filler(b BLOB);"
            "WITH RECURSIVE k(i) AS (SELECT 1 UNION ALL SELECT i + 1 FROM k WHERE i < 10) "
            "INSERT INTO accounts SELECT i, 100, randomblob(1500) FROM k;");
    db.exec("WITH RECURSIVE k(i) AS (SELECT 1 UNION ALL SELECT i + 1 FROM k WHERE i < " +
            std::to_string(filler / 4000) + ") INSERT INTO filler SELECT randomblob(4000) FROM k");
}

// What a copy of the writer's database holds, read as SQLite opens it.
struct Ledger {
    std::string integrity;
    long long total = -1;   // the balances' sum: 1000 in every committed state
    long long count = -1;   // the counter's rows
    long long highest = -1; // its highest value: `count` when there is no gap
};

inline Ledger readLedger(const std::filesystem::path& file) {
    Database db(file);
    return {db.value("PRAGMA integrity_check"), db.number("SELECT SUM(balance) FROM accounts"),
            db.number("SELECT COUNT(*) FROM counter"),
            db.number("SELECT IFNULL(MAX(n), 0) FROM counter")};
}

} // namespace vellarion::test
