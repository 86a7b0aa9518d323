#pragma once

#include <cstdint>
#include <filesystem>
#include <optional>
#include <string>

struct sqlite3;
struct sqlite3_stmt;

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

private:
    bool load();
};

} // namespace vellarion
