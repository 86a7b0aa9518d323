#pragma once

#include <cstdint>
#include <filesystem>
#include <optional>
#include <string>

struct sqlite3;
struct sqlite3_stmt;
struct sqlite3_backup;

namespace vellarion {

// SQLite as the system carries it, loaded when first needed (libsqlite3 on
// Linux; on Windows the system's winsqlite3.dll, else an sqlite3.dll beside
// the program), so that the program needs no SQLite of its own to start.
// Every caller goes through this one loader.
class SystemSqlite {
public:
    int (*open)(const char*, sqlite3**, int, const char*) = nullptr;
    int (*close)(sqlite3*) = nullptr;
    int (*prepare)(sqlite3*, const char*, int, sqlite3_stmt**, const char**) = nullptr;
    int (*step)(sqlite3_stmt*) = nullptr;
    const void* (*columnBlob)(sqlite3_stmt*, int) = nullptr;
    int (*columnBytes)(sqlite3_stmt*, int) = nullptr;
    std::int64_t (*columnInt64)(sqlite3_stmt*, int) = nullptr;
    const unsigned char* (*columnText)(sqlite3_stmt*, int) = nullptr;
    int (*bindBlob)(sqlite3_stmt*, int, const void*, int, void (*)(void*)) = nullptr;
    int (*bindInt64)(sqlite3_stmt*, int, std::int64_t) = nullptr;
    int (*reset)(sqlite3_stmt*) = nullptr;
    int (*finalize)(sqlite3_stmt*) = nullptr;
    int (*exec)(sqlite3*, const char*, void*, void*, char**) = nullptr;
    int (*busyTimeout)(sqlite3*, int) = nullptr;
    sqlite3_backup* (*backupInit)(sqlite3*, const char*, sqlite3*, const char*) = nullptr;
    int (*backupStep)(sqlite3_backup*, int) = nullptr;
    int (*backupFinish)(sqlite3_backup*) = nullptr;

    static constexpr int kOpenReadOnly = 0x1;
    static constexpr int kOpenReadWrite = 0x2;
    static constexpr int kRow = 100;
    static constexpr int kDone = 101;

    // The system's SQLite, or nothing when the system has none.
    static const SystemSqlite* get();

    // Opens the database read only and runs its quick check: "" when SQLite
    // finds it sound, else what SQLite said (the first line of it). Nothing
    // when the system has no SQLite to ask.
    std::string quickCheck(const std::filesystem::path& database) const;
    // The same check of a database another program may be writing, read as
    // its bytes lie now: opened as immutable, so that SQLite takes no lock,
    // reads no journal or log and makes no file beside it. What it says
    // holds only if the file did not change meanwhile, which the caller
    // proves.
    std::string quickCheckInPlace(const std::filesystem::path& database) const;

    // Copies the database at `source` into a new database at `target` with
    // SQLite's online backup, all of it under one read transaction, so that
    // the copy is one state a writer committed: true once done. False when
    // SQLite cannot read it now (a writer keeps it locked, in exclusive
    // locking mode or a commit longer than `waitMs`); `said` says why.
    bool backup(const std::filesystem::path& source, const std::filesystem::path& target,
                int waitMs, std::string& said) const;

private:
    bool load();
    std::string check(const std::string& name, int flags) const;
};

} // namespace vellarion
