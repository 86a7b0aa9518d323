#include "core/services/SystemSqlite.h"

#include "core/services/PathMapper.h"

#include <algorithm>

#ifdef _WIN32
#include <windows.h>
#else
#include <dlfcn.h>
#endif

namespace vellarion {

namespace {

template <class F> bool bind(void* handle, F& f, const char* name) {
#ifdef _WIN32
    f = reinterpret_cast<F>(
        reinterpret_cast<void*>(GetProcAddress(static_cast<HMODULE>(handle), name)));
#else
    f = reinterpret_cast<F>(dlsym(handle, name));
#endif
    return f != nullptr;
}

} // namespace

const SystemSqlite* SystemSqlite::get() {
    static const SystemSqlite* loaded = [] {
        static SystemSqlite lib;
        return lib.load() ? &lib : nullptr;
    }();
    return loaded;
}

bool SystemSqlite::load() {
#ifdef _WIN32
    // Windows 10 and later carry SQLite themselves.
    HMODULE module = LoadLibraryW(L"winsqlite3.dll");
    if (module == nullptr) {
        module = LoadLibraryW(L"sqlite3.dll");
    }
    void* handle = module;
#else
    void* handle = dlopen("libsqlite3.so.0", RTLD_NOW | RTLD_LOCAL);
#endif
    return handle != nullptr && bind(handle, open, "sqlite3_open_v2") &&
           bind(handle, close, "sqlite3_close") && bind(handle, prepare, "sqlite3_prepare_v2") &&
           bind(handle, step, "sqlite3_step") && bind(handle, columnBlob, "sqlite3_column_blob") &&
           bind(handle, columnBytes, "sqlite3_column_bytes") &&
           bind(handle, columnInt64, "sqlite3_column_int64") &&
           bind(handle, columnText, "sqlite3_column_text") &&
           bind(handle, bindBlob, "sqlite3_bind_blob") &&
           bind(handle, bindInt64, "sqlite3_bind_int64") && bind(handle, reset, "sqlite3_reset") &&
           bind(handle, finalize, "sqlite3_finalize") && bind(handle, exec, "sqlite3_exec") &&
           bind(handle, busyTimeout, "sqlite3_busy_timeout") &&
           bind(handle, backupInit, "sqlite3_backup_init") &&
           bind(handle, backupStep, "sqlite3_backup_step") &&
           bind(handle, backupFinish, "sqlite3_backup_finish");
}

namespace {

// A file: URI of the path, with what a URI reserves escaped.
std::string fileUri(const std::filesystem::path& path) {
    std::string text = pathToUtf8(path);
#ifdef _WIN32
    std::replace(text.begin(), text.end(), '\\', '/');
#endif
    std::string uri = "file:";
    if (!text.empty() && text.front() != '/') {
        uri += "///"; // a drive: file:///C:/...
    } else {
        uri += "//";
    }
    constexpr char kHex[] = "0123456789ABCDEF";
    for (const char c : text) {
        const auto byte = static_cast<unsigned char>(c);
        if (c == '%' || c == '?' || c == '#' || byte < 0x20 || byte == 0x7F) {
            uri += '%';
            uri += kHex[byte >> 4];
            uri += kHex[byte & 0x0F];
        } else {
            uri += c;
        }
    }
    return uri;
}

} // namespace

std::string SystemSqlite::quickCheck(const std::filesystem::path& database) const {
    return check(pathToUtf8(database), kOpenReadOnly);
}

std::string SystemSqlite::quickCheckInPlace(const std::filesystem::path& database) const {
    constexpr int kOpenUri = 0x40;
    return check(fileUri(database) + "?immutable=1&mode=ro", kOpenReadOnly | kOpenUri);
}

std::string SystemSqlite::check(const std::string& name, int flags) const {
    sqlite3* db = nullptr;
    if (open(name.c_str(), &db, flags, nullptr) != 0) {
        close(db);
        return "cannot be opened";
    }
    std::string said = "cannot be checked";
    sqlite3_stmt* check = nullptr;
    if (prepare(db, "PRAGMA quick_check", -1, &check, nullptr) == 0 && step(check) == kRow) {
        const unsigned char* text = columnText(check, 0);
        said = text == nullptr ? std::string("no answer") : reinterpret_cast<const char*>(text);
        if (said == "ok") {
            said.clear();
        }
    }
    finalize(check);
    close(db);
    return said;
}

bool SystemSqlite::backup(const std::filesystem::path& source, const std::filesystem::path& target,
                          int waitMs, std::string& said) const {
    constexpr int kOpenCreate = 0x4;
    // A name swapped for a link meanwhile is not followed (older SQLite
    // ignores the flag; the copy's own checks refuse links before).
    constexpr int kOpenNoFollow = 0x01000000;
    sqlite3* from = nullptr;
    sqlite3* to = nullptr;
    bool done = false;
    said = "cannot be opened";
    if (open(pathToUtf8(source).c_str(), &from, kOpenReadOnly | kOpenNoFollow, nullptr) == 0 &&
        open(pathToUtf8(target).c_str(), &to, kOpenReadWrite | kOpenCreate, nullptr) == 0) {
        busyTimeout(from, waitMs);
        said = "cannot be read now";
        if (sqlite3_backup* copy = backupInit(to, "main", from, "main")) {
            done = backupStep(copy, -1) == kDone;
            done = backupFinish(copy) == 0 && done;
        }
    }
    close(to);
    close(from);
    if (done) {
        said.clear();
    }
    return done;
}

} // namespace vellarion
