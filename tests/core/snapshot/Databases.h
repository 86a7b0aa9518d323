#pragma once

// The databases the snapshot suites write and read with SQLite: one kept
// by the writer program (accounts whose balances sum to a constant, a
// counter without gaps), and a handle for a test's own statements.
#include <filesystem>
#include <sqlite3.h>
#include <stdexcept>
#include <string>

namespace vellarion::test {

class Database {
public:
    explicit Database(const std::filesystem::path& file) {
        if (sqlite3_open(file.c_str(), &db_) != SQLITE_OK) {
            throw std::runtime_error("cannot open " + file.string());
        }
        sqlite3_busy_timeout(db_, 10000);
    }
    ~Database() { sqlite3_close(db_); }
    Database(const Database&) = delete;
    Database& operator=(const Database&) = delete;

    void exec(const std::string& sql) {
        char* error = nullptr;
        if (sqlite3_exec(db_, sql.c_str(), nullptr, nullptr, &error) != SQLITE_OK) {
            const std::string said = error != nullptr ? error : "?";
            sqlite3_free(error);
            throw std::runtime_error(sql + ": " + said);
        }
    }
    // The first column of the first row, as text ("" for none).
    std::string text(const std::string& sql) {
        sqlite3_stmt* statement = nullptr;
        std::string value;
        if (sqlite3_prepare_v2(db_, sql.c_str(), -1, &statement, nullptr) == SQLITE_OK &&
            sqlite3_step(statement) == SQLITE_ROW && sqlite3_column_text(statement, 0) != nullptr) {
            value = reinterpret_cast<const char*>(sqlite3_column_text(statement, 0));
        } else if (statement == nullptr) {
            value = std::string("error: ") + sqlite3_errmsg(db_);
        }
        sqlite3_finalize(statement);
        return value;
    }
    long long number(const std::string& sql) {
        const std::string value = text(sql);
        return value.empty() || value.starts_with("error") ? -1 : std::stoll(value);
    }

private:
    sqlite3* db_ = nullptr;
};

// The writer's database, made before it starts: ten accounts of 100.
inline void makeLedger(const std::filesystem::path& file, bool wal) {
    Database db(file);
    db.exec(wal ? "PRAGMA journal_mode=WAL" : "PRAGMA journal_mode=DELETE");
    db.exec("CREATE TABLE accounts(id INTEGER PRIMARY KEY, balance INTEGER, pad BLOB);"
            "CREATE TABLE counter(n INTEGER PRIMARY KEY, note TEXT);"
            "WITH RECURSIVE k(i) AS (SELECT 1 UNION ALL SELECT i + 1 FROM k WHERE i < 10) "
            "INSERT INTO accounts SELECT i, 100, randomblob(1500) FROM k;");
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
    return {db.text("PRAGMA integrity_check"), db.number("SELECT SUM(balance) FROM accounts"),
            db.number("SELECT COUNT(*) FROM counter"),
            db.number("SELECT IFNULL(MAX(n), 0) FROM counter")};
}

} // namespace vellarion::test
