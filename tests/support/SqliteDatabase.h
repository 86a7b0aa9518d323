#pragma once

// A test's handle on an SQLite database: its statements run, a value read.
#include <filesystem>
#include <sqlite3.h>
#include <stdexcept>
#include <string>

namespace vellarion::test {

class Database {
public:
    explicit Database(const std::filesystem::path& file,
                      int flags = SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE) {
        if (sqlite3_open_v2(file.c_str(), &db_, flags, nullptr) != SQLITE_OK) {
            const std::string error = db_ != nullptr ? sqlite3_errmsg(db_) : "out of memory";
            sqlite3_close(db_);
            throw std::runtime_error(file.string() + ": " + error);
        }
        // Other processes may be writing it (the snapshot suites' writers).
        sqlite3_busy_timeout(db_, 10000);
    }
    ~Database() { sqlite3_close(db_); }
    Database(const Database&) = delete;
    Database& operator=(const Database&) = delete;

    void exec(const std::string& sql) {
        char* error = nullptr;
        if (sqlite3_exec(db_, sql.c_str(), nullptr, nullptr, &error) != SQLITE_OK) {
            const std::string text = error != nullptr ? error : "?";
            sqlite3_free(error);
            throw std::runtime_error(sql + ": " + text);
        }
    }
    // The first column of the first row, as text ("" when none).
    std::string value(const std::string& sql) {
        sqlite3_stmt* statement = nullptr;
        if (sqlite3_prepare_v2(db_, sql.c_str(), -1, &statement, nullptr) != SQLITE_OK) {
            return std::string("error: ") + sqlite3_errmsg(db_);
        }
        std::string out;
        const int rc = sqlite3_step(statement);
        if (rc == SQLITE_ROW) {
            const unsigned char* text = sqlite3_column_text(statement, 0);
            out = text != nullptr ? reinterpret_cast<const char*>(text) : "";
        } else if (rc != SQLITE_DONE) {
            out = std::string("error: ") + sqlite3_errmsg(db_);
        }
        sqlite3_finalize(statement);
        return out;
    }
    // The same as a number (-1 when none, or an error).
    long long number(const std::string& sql) {
        const std::string text = value(sql);
        return text.empty() || text.starts_with("error") ? -1 : std::stoll(text);
    }
    sqlite3* handle() { return db_; }

private:
    sqlite3* db_ = nullptr;
};

} // namespace vellarion::test
