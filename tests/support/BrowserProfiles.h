#pragma once

// Browser data as the current browsers write it, for the suites of the
// engines and the command line: real SQLite databases in write-ahead-log
// mode, some rows still only in the log, and the files beside them.
// (POSIX builds only: the Windows cross build has no SQLite library.)

#include <filesystem>
#include <string>
#include <string_view>
#include <vector>

namespace vellarion::test {

// One table and the rows a database holds: `schema` creates the table,
// each of `rows` inserts one row.
struct DatabaseContent {
    std::string table;
    std::string schema;
    std::vector<std::string> rows;
};

// Writes a database as a running (or crashed) browser leaves it: journal
// mode WAL, the schema and the first row checkpointed into the main file,
// the other rows only in its "-wal" log (with the "-shm" index beside it).
// Opened with its log, it holds every row; the main file alone holds one.
void writeDatabaseWithLog(const std::filesystem::path& file, const DatabaseContent& content);

// Writes a database in rollback-journal mode, every row in the main file
// (as a browser leaves it after a clean exit), with an empty "-journal"
// beside it when `journal` is set.
void writeDatabase(const std::filesystem::path& file, const DatabaseContent& content,
                   bool journal = false);

// Opens the database as the browser would (replaying a log beside it) and
// returns "ok" when PRAGMA integrity_check passes, else what it or the open
// reported.
std::string integrityOf(const std::filesystem::path& file);

// The rows of the table, as SQLite reads the database with its log (-1 when
// it cannot be read).
long long rowsIn(const std::filesystem::path& file, std::string_view table);

// A current Firefox profile (the names Firefox 150 and later keep, as on
// Linux and Windows) with data for every item: places.sqlite with rows still
// in its log, favicons, cookies, passwords (logins.json with key4.db), form
// history, permissions, the session and its backups, search engines,
// toolbars, handlers, extensions, containers, a paused download, a personal dictionary, user
// styles, and a leftover .parentlock that no browser holds.
void writeCurrentFirefoxProfile(const std::filesystem::path& profile);

// The databases of that profile and the table each one's rows are in.
std::vector<std::pair<std::string, std::string>> currentFirefoxDatabases();

// A current Chrome "User Data" folder (the names Chrome 120 and later keep)
// with the profile "Default": bookmarks, cookies, history with favicons and
// shortcuts, saved passwords of both kinds, web data, sessions, extensions
// with their settings, preferences; "Local State" beside the profile, and a
// SingletonLock left behind by a Chrome that has ended.
void writeCurrentChromeUserData(const std::filesystem::path& userData);

// The databases of that profile and the table each one's rows are in.
std::vector<std::pair<std::string, std::string>> currentChromeDatabases();

// "Login Data" as current Chrome writes it (its `meta` and `logins` tables
// with their columns), a saved login per value of `password_value`, and
// "Cookies" (`meta` and `cookies`), a cookie per value of `encrypted_value`.
void writeChromeLogins(const std::filesystem::path& file,
                       const std::vector<std::string>& passwordValues);
void writeChromeCookies(const std::filesystem::path& file,
                        const std::vector<std::string>& encryptedValues);

// A blob column of every row, in the order of the rows' ids (empty when it
// cannot be read).
std::vector<std::string> columnOf(const std::filesystem::path& file, std::string_view table,
                                  std::string_view column);

} // namespace vellarion::test
