#include "BrowserProfiles.h"

#include "SqliteDatabase.h"

#include "TempDir.h"

#include <gtest/gtest.h>
#include <sqlite3.h>
#include <stdexcept>

namespace vellarion::test {

namespace fs = std::filesystem;

namespace {

void removeDatabase(const fs::path& file) {
    for (const char* suffix : {"", "-wal", "-shm", "-journal"}) {
        fs::remove(fs::path(file.string() + suffix));
    }
}

} // namespace

void writeDatabaseWithLog(const fs::path& file, const DatabaseContent& content) {
    removeDatabase(file);
    fs::create_directories(file.parent_path());
    Database db(file);
    db.exec("PRAGMA journal_mode=WAL");
    db.exec(content.schema);
    if (!content.rows.empty()) {
        db.exec(content.rows.front());
    }
    db.exec("PRAGMA wal_checkpoint(TRUNCATE)");
    // The rest stays in the log, as when the browser is killed: neither an
    // automatic checkpoint nor the one on close folds it into the file.
    db.exec("PRAGMA wal_autocheckpoint=0");
    int done = 0;
    sqlite3_db_config(db.handle(), SQLITE_DBCONFIG_NO_CKPT_ON_CLOSE, 1, &done);
    for (std::size_t i = 1; i < content.rows.size(); ++i) {
        db.exec(content.rows[i]);
    }
}

void writeDatabase(const fs::path& file, const DatabaseContent& content, bool journal) {
    removeDatabase(file);
    fs::create_directories(file.parent_path());
    {
        Database db(file);
        db.exec("PRAGMA journal_mode=DELETE");
        db.exec(content.schema);
        for (const std::string& row : content.rows) {
            db.exec(row);
        }
    }
    if (journal) {
        writeFile(fs::path(file.string() + "-journal"), "");
    }
}

std::string integrityOf(const fs::path& file) {
    if (!fs::exists(file)) {
        return "missing";
    }
    try {
        // As the browser opens it: a log beside the file is replayed.
        Database db(file, SQLITE_OPEN_READWRITE);
        return db.value("PRAGMA integrity_check");
    } catch (const std::exception& e) {
        return e.what();
    }
}

long long rowsIn(const fs::path& file, std::string_view table) {
    try {
        Database db(file, SQLITE_OPEN_READWRITE);
        const std::string count = db.value("SELECT count(*) FROM " + std::string(table));
        return count.empty() || count.starts_with("error") ? -1 : std::stoll(count);
    } catch (const std::exception&) {
        return -1;
    }
}

namespace {

DatabaseContent places() {
    DatabaseContent c{"moz_places",
                      "CREATE TABLE moz_places (id INTEGER PRIMARY KEY, url LONGVARCHAR, title "
                      "LONGVARCHAR, rev_host LONGVARCHAR, visit_count INTEGER DEFAULT 0, hidden "
                      "INTEGER DEFAULT 0 NOT NULL, typed INTEGER DEFAULT 0 NOT NULL, frecency "
                      "INTEGER DEFAULT -1 NOT NULL, last_visit_date INTEGER, guid TEXT);"
                      "CREATE TABLE moz_bookmarks (id INTEGER PRIMARY KEY, type INTEGER, fk "
                      "INTEGER DEFAULT NULL, parent INTEGER, position INTEGER, title LONGVARCHAR, "
                      "guid TEXT);",
                      {}};
    for (int i = 1; i <= 40; ++i) {
        const std::string n = std::to_string(i);
        c.rows.push_back("INSERT INTO moz_places (url, title, rev_host, visit_count, guid) VALUES "
                         "('https://www.example.org/page" +
                         n + "', 'Page " + n + "', 'gro.elpmaxe.www.', " + n + ", 'guid" + n +
                         "')");
    }
    return c;
}

DatabaseContent simple(std::string table, std::string columns, int rows) {
    DatabaseContent c{
        table, "CREATE TABLE " + table + " (id INTEGER PRIMARY KEY, " + columns + ")", {}};
    for (int i = 1; i <= rows; ++i) {
        c.rows.push_back("INSERT INTO " + table + " VALUES (" + std::to_string(i) + ", 'value " +
                         std::to_string(i) + "')");
    }
    return c;
}

} // namespace

std::vector<std::pair<std::string, std::string>> currentFirefoxDatabases() {
    return {{"places.sqlite", "moz_places"},     {"favicons.sqlite", "moz_icons"},
            {"cookies.sqlite", "moz_cookies"},   {"formhistory.sqlite", "moz_formhistory"},
            {"permissions.sqlite", "moz_perms"}, {"key4.db", "metadata"},
            {"content-prefs.sqlite", "prefs"}};
}

void writeCurrentFirefoxProfile(const fs::path& p) {
    // Databases the browser had open: rows still in their logs.
    writeDatabaseWithLog(p / "places.sqlite", places());
    writeDatabaseWithLog(p / "favicons.sqlite", simple("moz_icons", "icon_url TEXT", 6));
    writeDatabaseWithLog(p / "cookies.sqlite", simple("moz_cookies", "value TEXT", 12));
    // Databases written and closed: journal mode, sometimes an empty journal.
    writeDatabase(p / "formhistory.sqlite", simple("moz_formhistory", "value TEXT", 5));
    writeDatabase(p / "permissions.sqlite", simple("moz_perms", "origin TEXT", 3), true);
    writeDatabase(p / "key4.db", simple("metadata", "item1 TEXT", 2));
    writeDatabase(p / "content-prefs.sqlite", simple("prefs", "name TEXT", 2));

    writeFile(p / "prefs.js",
              "// Mozilla User Preferences\nuser_pref(\"browser.startup.page\", 3);\n");
    writeFile(p / "logins.json",
              "{\"nextId\":2,\"logins\":[{\"id\":1,\"hostname\":\"https://mail.example.org\","
              "\"encryptedUsername\":\"MDIEEPgAAAAA\",\"encryptedPassword\":\"MDoEEPgAAAAA\"}],"
              "\"version\":3}");
    writeFile(p / "logins-backup.json", "{\"nextId\":1,\"logins\":[],\"version\":3}");
    writeFile(p / "sessionstore.jsonlz4", std::string("mozLz40\0\x20\x01\0\0session", 20));
    writeFile(p / "sessionstore-backups" / "recovery.jsonlz4",
              std::string("mozLz40\0\x18\x01\0\0recovery", 21));
    writeFile(p / "sessionstore-backups" / "previous.jsonlz4",
              std::string("mozLz40\0\x18\x01\0\0previous", 21));
    writeFile(p / "search.json.mozlz4", std::string("mozLz40\0\x40\x02\0\0engines", 19));
    writeFile(p / "xulstore.json", "{\"chrome://browser/content/browser.xhtml\":{}}");
    writeFile(p / "handlers.json", "{\"defaultHandlersVersion\":{},\"mimeTypes\":{}}");
    writeFile(p / "extensions.json", "{\"schemaVersion\":36,\"addons\":[]}");
    writeFile(p / "addons.json", "{\"schema\":6,\"addons\":[]}");
    writeFile(p / "extensions" / "reader@example.org.xpi", std::string("PK\x03\x04xpi", 7));
    // A download paused when the browser ended; finished ones are in places.sqlite.
    writeFile(p / "downloads.json",
              "{\"list\":[{\"source\":\"https://dl.example.org/big.iso\","
              "\"target\":{\"path\":\"/home/demo/Downloads/big.iso\"},\"canceled\":true}]}");
    writeFile(p / "containers.json", "{\"version\":5,\"identities\":[]}");
    writeFile(p / "persdict.dat", "vellarion\n");
    writeFile(p / "chrome" / "userChrome.css", "#nav-bar { color: navy; }\n");
    writeFile(p / "bookmarkbackups" / "bookmarks-2026-12-01_40_abc.jsonlz4",
              std::string("mozLz40\0\x10\0\0\0marks", 17));
    // Left by the last run; no browser holds it.
    writeFile(p / ".parentlock", "");
    writeFile(p / "parent.lock", "");
    // Not the user's data: no item takes these.
    writeFile(p / "times.json", "{\"created\":1765000000000}");
    writeFile(p / "cache2" / "entries" / "0A1B", "cached");
}

std::vector<std::pair<std::string, std::string>> currentChromeDatabases() {
    return {{"History", "urls"},        {"Cookies", "cookies"},
            {"Login Data", "logins"},   {"Login Data For Account", "logins"},
            {"Web Data", "autofill"},   {"Favicons", "favicons"},
            {"Top Sites", "top_sites"}, {"Shortcuts", "omni_box_shortcuts"}};
}

void writeCurrentChromeUserData(const fs::path& userData) {
    const fs::path p = userData / "Default";
    // Chrome keeps most databases in rollback-journal mode with an empty
    // journal beside them; the history was open when the browser was killed.
    writeDatabaseWithLog(p / "History", simple("urls", "url TEXT", 25));
    for (const auto& [name, table] : currentChromeDatabases()) {
        if (name != "History") {
            writeDatabase(p / name, simple(table, "value TEXT", 4), true);
        }
    }
    writeFile(p / "Bookmarks",
              "{\"checksum\":\"0f1e\",\"roots\":{\"bookmark_bar\":{\"children\":[{"
              "\"name\":\"Example\",\"type\":\"url\",\"url\":\"https://www.example.org/\"}]}},"
              "\"version\":1}");
    writeFile(p / "Preferences", "{\"profile\":{\"name\":\"Person 1\"}}");
    writeFile(p / "Secure Preferences", "{\"protection\":{\"macs\":{}}}");
    writeFile(p / "Visited Links", std::string("VLnk\0\0\0\0links", 13));
    writeFile(p / "Sessions" / "Session_13441306414361615", std::string("SNSS\x03\0\0\0tabs", 12));
    writeFile(p / "Sessions" / "Tabs_13441306414361615", std::string("SNSS\x03\0\0\0open", 12));
    writeFile(p / "Extensions" / "aapocclcgogkmnckokdopfmhonfmgoek" / "1.2_0" / "manifest.json",
              "{\"manifest_version\":3,\"name\":\"Reader\"}");
    writeFile(p / "Local Extension Settings" / "aapocclcgogkmnckokdopfmhonfmgoek" / "000003.log",
              "settings of the extension");
    writeFile(userData / "Local State",
              "{\"os_crypt\":{\"encrypted_key\":\"RFBBUEkBAAAA0Iyd3wEV0RGM\"},"
              "\"profile\":{\"last_used\":\"Default\"}}");
    // Not the user's data.
    writeFile(p / "Cache" / "Cache_Data" / "data_0", "cached");
    writeFile(p / "GPUCache" / "index", "gpu");
#ifndef _WIN32
    // Left by a Chrome that ended: its process is long gone.
    fs::create_symlink("ended-host-4194303", userData / "SingletonLock");
#endif
}

namespace {

std::string hex(std::string_view bytes) {
    static constexpr char digits[] = "0123456789ABCDEF";
    std::string out = "X'";
    for (const unsigned char c : bytes) {
        out += digits[c >> 4];
        out += digits[c & 0xF];
    }
    return out + "'";
}

} // namespace

void writeChromeLogins(const fs::path& file, const std::vector<std::string>& passwordValues) {
    DatabaseContent c{
        "logins",
        "CREATE TABLE meta(key LONGVARCHAR NOT NULL UNIQUE PRIMARY KEY, value LONGVARCHAR);"
        "INSERT INTO meta VALUES('version','43'),('last_compatible_version','40');"
        "CREATE TABLE logins (origin_url VARCHAR NOT NULL, action_url VARCHAR, username_element "
        "VARCHAR, username_value VARCHAR, password_element VARCHAR, password_value BLOB, "
        "submit_element VARCHAR, signon_realm VARCHAR NOT NULL, date_created INTEGER NOT NULL, "
        "blacklisted_by_user INTEGER NOT NULL, scheme INTEGER NOT NULL, password_type INTEGER, "
        "times_used INTEGER, form_data BLOB, display_name VARCHAR, icon_url VARCHAR, "
        "federation_url VARCHAR, skip_zero_click INTEGER, generation_upload_status INTEGER, "
        "possible_username_pairs BLOB, id INTEGER PRIMARY KEY AUTOINCREMENT, date_last_used "
        "INTEGER NOT NULL DEFAULT 0, moving_blocked_for BLOB, date_password_modified INTEGER NOT "
        "NULL DEFAULT 0, sender_email VARCHAR, sender_name VARCHAR, date_received INTEGER, "
        "sharing_notification_displayed INTEGER NOT NULL DEFAULT 0, keychain_identifier BLOB, "
        "sender_profile_image_url VARCHAR, date_last_filled INTEGER NOT NULL DEFAULT 0, "
        "UNIQUE (origin_url, username_element, username_value, password_element, "
        "signon_realm));",
        {}};
    for (std::size_t i = 0; i < passwordValues.size(); ++i) {
        const std::string site = "'https://site" + std::to_string(i) + ".example.org/'";
        c.rows.push_back("INSERT INTO logins (origin_url, action_url, username_element, "
                         "username_value, password_element, password_value, signon_realm, "
                         "date_created, blacklisted_by_user, scheme, password_type, times_used) "
                         "VALUES (" +
                         site + ", " + site + ", 'user', 'demo', 'pass', " +
                         hex(passwordValues[i]) + ", " + site + ", 13441306414361615, 0, 0, 0, 1)");
    }
    writeDatabase(file, c, true);
}

void writeChromeCookies(const fs::path& file, const std::vector<std::string>& encryptedValues) {
    DatabaseContent c{
        "cookies",
        "CREATE TABLE meta(key LONGVARCHAR NOT NULL UNIQUE PRIMARY KEY, value LONGVARCHAR);"
        "INSERT INTO meta VALUES('version','24'),('last_compatible_version','24');"
        "CREATE TABLE cookies(creation_utc INTEGER NOT NULL,host_key TEXT NOT NULL,"
        "top_frame_site_key TEXT NOT NULL,name TEXT NOT NULL,value TEXT NOT NULL,encrypted_value "
        "BLOB NOT NULL,path TEXT NOT NULL,expires_utc INTEGER NOT NULL,is_secure INTEGER NOT "
        "NULL,is_httponly INTEGER NOT NULL,last_access_utc INTEGER NOT NULL,has_expires INTEGER "
        "NOT NULL,is_persistent INTEGER NOT NULL,priority INTEGER NOT NULL,samesite INTEGER NOT "
        "NULL,source_scheme INTEGER NOT NULL,source_port INTEGER NOT NULL,last_update_utc "
        "INTEGER NOT NULL,source_type INTEGER NOT NULL,has_cross_site_ancestor INTEGER NOT "
        "NULL);"
        "CREATE UNIQUE INDEX cookies_unique_index ON cookies(host_key, top_frame_site_key, "
        "has_cross_site_ancestor, name, path, source_scheme, source_port);",
        {}};
    for (std::size_t i = 0; i < encryptedValues.size(); ++i) {
        c.rows.push_back("INSERT INTO cookies VALUES (13441306414361615, '.site" +
                         std::to_string(i) + ".example.org', '', 'sid', '', " +
                         hex(encryptedValues[i]) +
                         ", '/', 13472842414361615, 1, 1, 13441306414361615, 1, 1, 1, 0, 2, "
                         "443, 13441306414361615, 0, 0)");
    }
    writeDatabase(file, c, true);
}

std::vector<std::string> columnOf(const fs::path& file, std::string_view table,
                                  std::string_view column) {
    std::vector<std::string> values;
    try {
        Database db(file, SQLITE_OPEN_READONLY);
        sqlite3_stmt* statement = nullptr;
        const std::string sql =
            "SELECT " + std::string(column) + " FROM " + std::string(table) + " ORDER BY rowid";
        if (sqlite3_prepare_v2(db.handle(), sql.c_str(), -1, &statement, nullptr) != SQLITE_OK) {
            return values;
        }
        while (sqlite3_step(statement) == SQLITE_ROW) {
            const auto* blob = static_cast<const char*>(sqlite3_column_blob(statement, 0));
            values.emplace_back(blob == nullptr
                                    ? ""
                                    : std::string(blob, static_cast<std::size_t>(
                                                            sqlite3_column_bytes(statement, 0))));
        }
        sqlite3_finalize(statement);
    } catch (const std::exception&) {
    }
    return values;
}

} // namespace vellarion::test
