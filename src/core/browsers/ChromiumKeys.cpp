#include "core/browsers/ChromiumKeys.h"

#include "core/browsers/JsonText.h"
#include "core/crypto/Cipher.h"
#include "core/crypto/SystemKeys.h"
#include "core/services/Error.h"
#include "core/services/ProgramPath.h"
#include "core/services/SystemServices.h"
#include "core/services/SystemSqlite.h"
#include "core/text/Catalogue.h"

#include <algorithm>
#include <array>
#include <cstdint>
#include <nlohmann/json.hpp>
#include <set>

namespace vellarion {

namespace fs = std::filesystem;
using Json = nlohmann::ordered_json;

KeyStores systemKeyStores() {
    return {crypto::systemDataProtector(), crypto::systemSecretStore()};
}

namespace {

constexpr std::string_view kLocalState = "Local State";
constexpr std::string_view kDpapiPrefix = "DPAPI";

// --- Base64, as "Local State" and the carried record hold keys. ---

constexpr std::string_view kAlphabet =
    "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789+/";

std::string toBase64(std::string_view bytes) {
    std::string out;
    std::uint32_t bits = 0;
    int count = 0;
    for (const unsigned char c : bytes) {
        bits = (bits << 8) | c;
        count += 8;
        while (count >= 6) {
            count -= 6;
            out += kAlphabet[(bits >> count) & 0x3F];
        }
    }
    if (count > 0) {
        out += kAlphabet[(bits << (6 - count)) & 0x3F];
    }
    while (out.size() % 4 != 0) {
        out += '=';
    }
    return out;
}

std::optional<std::string> fromBase64(std::string_view text) {
    std::string out;
    std::uint32_t bits = 0;
    int count = 0;
    for (const char c : text) {
        if (c == '=') {
            break;
        }
        const std::size_t value = kAlphabet.find(c);
        if (value == std::string_view::npos) {
            return std::nullopt;
        }
        bits = (bits << 6) | static_cast<std::uint32_t>(value);
        count += 6;
        if (count >= 8) {
            count -= 8;
            out += static_cast<char>((bits >> count) & 0xFF);
        }
    }
    return out;
}

std::span<const unsigned char> bytesOf(std::string_view text) {
    return {reinterpret_cast<const unsigned char*>(text.data()), text.size()};
}

// --- The rows: SQLite, loaded where the system has it. ---

using Sqlite = SystemSqlite;
constexpr int kOpenReadWrite = SystemSqlite::kOpenReadWrite;
constexpr int kRow = SystemSqlite::kRow;
constexpr int kDone = SystemSqlite::kDone;

// A value changed, or none to leave it as it is.
using Recrypt = std::function<std::optional<std::string>(std::string_view value)>;

// The encrypted column of every row of one table, changed in one SQLite
// transaction. A database without the table is left alone.
void recryptColumn(const fs::path& database, std::string_view table, std::string_view column,
                   const Recrypt& recrypt, bool required) {
    const Sqlite* sql = Sqlite::get();
    if (sql == nullptr && !required) {
        return;
    }
    if (sql == nullptr) {
        throw Error("SQLite is not available on this system, so the restored passwords "
                    "and cookies cannot be encrypted with this system's key. Nothing "
                    "was restored.");
    }
    sqlite3* db = nullptr;
    const std::string shown = pathToUtf8(database);
    if (sql->open(shown.c_str(), &db, kOpenReadWrite, nullptr) != 0) {
        sql->close(db);
        if (!required) {
            return;
        }
        throw Error("Cannot open \"" + shown +
                    "\" to encrypt it with this system's key. "
                    "Nothing was restored.");
    }
    std::vector<std::pair<std::int64_t, std::string>> changed;
    sqlite3_stmt* select = nullptr;
    const std::string query =
        "SELECT rowid, " + std::string(column) + " FROM " + std::string(table);
    if (sql->prepare(db, query.c_str(), -1, &select, nullptr) == 0) {
        while (sql->step(select) == kRow) {
            const auto* blob = static_cast<const char*>(sql->columnBlob(select, 1));
            const std::string_view value(blob,
                                         static_cast<std::size_t>(sql->columnBytes(select, 1)));
            if (auto again = recrypt(value)) {
                changed.emplace_back(sql->columnInt64(select, 0), std::move(*again));
            }
        }
    }
    sql->finalize(select);
    bool ok = true;
    if (!changed.empty()) {
        const std::string update =
            "UPDATE " + std::string(table) + " SET " + std::string(column) + " = ? WHERE rowid = ?";
        sqlite3_stmt* put = nullptr;
        ok = sql->exec(db, "BEGIN", nullptr, nullptr, nullptr) == 0 &&
             sql->prepare(db, update.c_str(), -1, &put, nullptr) == 0;
        for (auto& [row, value] : changed) {
            if (!ok) {
                break;
            }
            ok = sql->bindBlob(put, 1, value.data(), static_cast<int>(value.size()),
                               reinterpret_cast<void (*)(void*)>(-1)) == 0 &&
                 sql->bindInt64(put, 2, row) == 0 && sql->step(put) == kDone &&
                 sql->reset(put) == 0;
        }
        sql->finalize(put);
        ok = ok && sql->exec(db, "COMMIT", nullptr, nullptr, nullptr) == 0;
    }
    sql->close(db);
    if (!ok) {
        throw Error("Cannot write \"" + shown +
                    "\" encrypted with this system's key. "
                    "Nothing was restored.");
    }
}

// A database of encrypted passwords or cookies, and where their values are.
struct KeyedDatabase {
    fs::path file;
    const char* table;
    const char* column;
    bool passwords;
};

// The databases of encrypted values below the folder: in it and in each
// folder of it, each once (a profile's "Network" is one of its folders too).
std::vector<KeyedDatabase> keyedDatabases(const fs::path& folder) {
    std::vector<fs::path> folders{folder};
    std::error_code ec;
    for (fs::directory_iterator it(folder, ec), end; !ec && it != end; it.increment(ec)) {
        if (it->is_directory(ec) && !it->is_symlink(ec)) {
            folders.push_back(it->path());
        }
    }
    const struct {
        const char* file;
        const char* table;
        const char* column;
        bool passwords;
    } kinds[] = {{"Login Data", "logins", "password_value", true},
                 {"Login Data For Account", "logins", "password_value", true},
                 {"Cookies", "cookies", "encrypted_value", false},
                 {"Network/Cookies", "cookies", "encrypted_value", false}};
    std::vector<KeyedDatabase> found;
    std::set<fs::path> seen;
    for (const fs::path& each : folders) {
        for (const auto& kind : kinds) {
            fs::path database = (each / fs::path(kind.file)).lexically_normal();
            if (fs::is_regular_file(fs::symlink_status(database, ec)) &&
                seen.insert(database).second) {
                found.push_back({std::move(database), kind.table, kind.column, kind.passwords});
            }
        }
    }
    return found;
}

// The saved passwords and cookies below an unpacked folder (a selective
// archive holds one profile, a full one a data root's profiles) encrypted
// again. Only looked through (not `required`), a database that cannot be
// read is passed over.
void recryptUnpacked(const fs::path& unpacked, const Recrypt& recrypt, bool required = true) {
    for (const KeyedDatabase& database : keyedDatabases(unpacked)) {
        recryptColumn(database.file, database.table, database.column, recrypt, required);
    }
}

// Every encrypted value of the saved passwords and cookies below the folder
// (itself and its folders: a data root's profiles, or one profile), read
// only: `password` says which kind a value is.
void forEachKeyed(const fs::path& folder,
                  const std::function<void(bool password, std::string_view value)>& visit) {
    const Sqlite* sql = Sqlite::get();
    if (sql == nullptr) {
        return;
    }
    constexpr int kOpenReadOnly = SystemSqlite::kOpenReadOnly;
    for (const KeyedDatabase& database : keyedDatabases(folder)) {
        sqlite3* db = nullptr;
        if (sql->open(pathToUtf8(database.file).c_str(), &db, kOpenReadOnly, nullptr) == 0) {
            const std::string query =
                "SELECT " + std::string(database.column) + " FROM " + std::string(database.table);
            sqlite3_stmt* select = nullptr;
            if (sql->prepare(db, query.c_str(), -1, &select, nullptr) == 0) {
                while (sql->step(select) == kRow) {
                    const auto* blob = static_cast<const char*>(sql->columnBlob(select, 0));
                    visit(database.passwords,
                          std::string_view(blob,
                                           static_cast<std::size_t>(sql->columnBytes(select, 0))));
                }
            }
            sql->finalize(select);
        }
        sql->close(db);
    }
}

// How many saved passwords and cookies: those a key of one computer and
// account locks, those the built-in password opens anywhere, those bound to
// the browser's own installation ("v20").
struct KeyedCount {
    int passwords = 0;
    int cookies = 0;
    int appBound = 0;
    void add(bool password) { ++(password ? passwords : cookies); }
    bool any() const { return passwords + cookies > 0; }
};

// "saved passwords (12) and cookies (340)", of those there are.
std::string countedText(const KeyedCount& count) {
    if (count.passwords > 0 && count.cookies > 0) {
        return formatText(N_("сохранённые пароли (%1) и куки (%2)"),
                          {std::to_string(count.passwords), std::to_string(count.cookies)});
    }
    return count.passwords > 0
               ? formatText(N_("сохранённые пароли (%1)"), {std::to_string(count.passwords)})
               : formatText(N_("куки (%1)"), {std::to_string(count.cookies)});
}

// --- The values, as the browsers write them. ---

// Windows: "v10" or "v11", a 12-byte nonce, AES-256-GCM, a 16-byte tag.
Recrypt windowsRecrypt(const crypto::Key& from, const crypto::Key& to, bool& appBound) {
    auto opener = std::make_shared<crypto::AesGcm>(from);
    auto sealer = std::make_shared<crypto::AesGcm>(to);
    return [opener, sealer, &appBound](std::string_view value) -> std::optional<std::string> {
        if (value.starts_with("v20")) {
            appBound = true;
            return std::nullopt;
        }
        constexpr std::size_t kOverhead = 3 + crypto::kNonceSize + crypto::kTagSize;
        if (!(value.starts_with("v10") || value.starts_with("v11")) || value.size() < kOverhead) {
            return std::nullopt;
        }
        const auto bytes = bytesOf(value);
        const auto sealed = bytes.subspan(3 + crypto::kNonceSize, value.size() - kOverhead);
        std::string plain(sealed.size(), '\0');
        auto* out = reinterpret_cast<unsigned char*>(plain.data());
        if (!opener->open(bytes.subspan<3, crypto::kNonceSize>(), {}, sealed,
                          bytes.last<crypto::kTagSize>(), out)) {
            return std::nullopt; // not of the carried key: left as it was
        }
        std::string again(value.size(), '\0');
        std::copy_n(value.begin(), 3, again.begin());
        auto* target = reinterpret_cast<unsigned char*>(again.data());
        const std::span<unsigned char, crypto::kNonceSize> nonce(target + 3, crypto::kNonceSize);
        crypto::randomBytes(nonce);
        sealer->seal(nonce, {}, bytesOf(plain), target + 3 + crypto::kNonceSize,
                     std::span<unsigned char, crypto::kTagSize>(
                         target + again.size() - crypto::kTagSize, crypto::kTagSize));
        wipeMemory(plain.data(), plain.size());
        return again;
    };
}

using LinuxKey = std::array<unsigned char, 16>;

// Linux: the key of "v11" values from the Secret Service's password.
LinuxKey linuxKey(std::string_view password) {
    LinuxKey key{};
    constexpr std::string_view kSalt = "saltysalt";
    crypto::deriveKeySha1(password, bytesOf(kSalt), 1, key);
    return key;
}

// Linux: "v11", then AES-128-CBC under 16 spaces. "v10" values use the
// built-in password on every machine and stay as they are.
Recrypt linuxRecrypt(const LinuxKey& from, const LinuxKey& to) {
    return [from, to](std::string_view value) -> std::optional<std::string> {
        if (!value.starts_with("v11")) {
            return std::nullopt;
        }
        LinuxKey iv;
        iv.fill(' ');
        const auto plain = crypto::aes128Cbc(false, from, iv, bytesOf(value).subspan(3));
        if (!plain) {
            return std::nullopt;
        }
        const std::vector<unsigned char> sealed = *crypto::aes128Cbc(true, to, iv, *plain);
        return "v11" + std::string(sealed.begin(), sealed.end());
    };
}

// --- "Local State". ---

std::optional<std::string> encryptedKeyOf(std::string_view localState) {
    const Json json = Json::parse(localState, nullptr, false);
    if (json.is_discarded() || !json.is_object()) {
        return std::nullopt;
    }
    const auto crypt = json.find("os_crypt");
    if (crypt == json.end() || !crypt->is_object()) {
        return std::nullopt;
    }
    const auto key = crypt->find("encrypted_key");
    if (key == crypt->end() || !key->is_string()) {
        return std::nullopt;
    }
    return key->get<std::string>();
}

// The key a "Local State" value opens to here; none when it does not.
std::optional<Secret> openedKey(crypto::DataProtector& protector, std::string_view value) {
    const std::optional<std::string> decoded = fromBase64(value);
    if (!decoded || !decoded->starts_with(kDpapiPrefix)) {
        return std::nullopt;
    }
    std::optional<Secret> key = protector.unprotect(bytesOf(*decoded).subspan(kDpapiPrefix.size()));
    if (key && key->view().size() != crypto::kKeySize) {
        return std::nullopt;
    }
    return key;
}

crypto::Key keyOf(const Secret& secret) {
    crypto::Key key{};
    std::copy_n(secret.view().begin(), key.size(), key.begin());
    return key;
}

std::string cannotMove(std::string_view browser) {
    return std::string(browser) +
           ": the key of the saved passwords and cookies in the archive cannot be given to this "
           "system; they will not open here.";
}

std::function<void()> adoptWindowsKey(const KeyContext& ctx, const SafeStorageName& name,
                                      const Secret& key, const fs::path& unpacked) {
    if (ctx.stores.protector == nullptr || key.view().size() != crypto::kKeySize ||
        ctx.dataRoot.empty()) {
        sayOnce(ctx.said, cannotMove(name.browser));
        return {};
    }
    crypto::DataProtector& protector = *ctx.stores.protector;
    const std::string target = joinPath(ctx.dataRoot, kLocalState);
    const std::optional<std::string> targetText = ctx.services.readSmallFile(target);
    const std::optional<std::string> own = targetText ? encryptedKeyOf(*targetText) : std::nullopt;
    std::optional<Secret> ownKey = own ? openedKey(protector, *own) : std::nullopt;

    std::string wanted;
    bool appBound = false;
    if (ownKey && *ownKey == key) {
        return {}; // the same system: nothing moves
    }
    if (ownKey) {
        // The target's key stays: its own passwords and cookies keep opening.
        wanted = *own;
        recryptUnpacked(unpacked, windowsRecrypt(keyOf(key), keyOf(*ownKey), appBound));
    } else {
        const std::vector<unsigned char> blob = protector.protect(bytesOf(key.view()));
        wanted = toBase64(std::string(kDpapiPrefix) + std::string(blob.begin(), blob.end()));
        // Only looked through: the values keep the carried key.
        recryptUnpacked(
            unpacked,
            [&appBound](std::string_view value) -> std::optional<std::string> {
                appBound = appBound || value.starts_with("v20");
                return std::nullopt;
            },
            false);
    }
    if (appBound) {
        sayOnce(ctx.said, std::string(name.browser) +
                              " protected some passwords or cookies with app-bound encryption "
                              "(\"v20\"): those cannot move to another machine or account and "
                              "will not open here.");
    }
    // A "Local State" of the archive that takes the target's place carries
    // the key the target is to have.
    const fs::path restored = unpacked / fs::path(kLocalState);
    std::error_code ec;
    if (fs::is_regular_file(fs::symlink_status(restored, ec))) {
        const auto text = ctx.services.readSmallFile(ctx.services.paths().fromNative(restored));
        if (!text || (encryptedKeyOf(*text) != wanted &&
                      !ctx.services.replaceFileContent(ctx.services.paths().fromNative(restored),
                                                       withEncryptedKey(*text, wanted)))) {
            throw Error("Cannot write the key into the restored \"Local State\". "
                        "Nothing was restored.");
        }
    }
    // One the restore kept gets it once the files are in place.
    return [ctx, target, wanted, browser = name.browser] {
        const std::optional<std::string> text = ctx.services.readSmallFile(target);
        if (text && encryptedKeyOf(*text) == wanted) {
            return;
        }
        // One that is there but cannot be read is never replaced by a new one.
        const bool unreadable = !text && ctx.services.fileExists(target);
        try {
            if (!unreadable && ctx.services.replaceFileContent(
                                   target, withEncryptedKey(text.value_or(""), wanted))) {
                return;
            }
        } catch (const Error&) {
            // Not JSON: left as it is, and the user told.
        }
        sayOnce(ctx.said, cannotMove(browser));
    };
}

std::function<void()> adoptSecretServiceKey(const KeyContext& ctx, const SafeStorageName& name,
                                            const Secret& password, const fs::path& unpacked) {
    if (ctx.stores.secrets == nullptr || !ctx.services.isNative()) {
        sayOnce(ctx.said, cannotMove(name.browser));
        return {};
    }
    crypto::SecretStore::Lookup own = ctx.stores.secrets->lookup(name.application);
    if (!own.error.empty()) {
        sayOnce(ctx.said, std::string(name.browser) +
                              ": the Secret Service could not be asked for this account's key (" +
                              own.error +
                              "); the restored passwords and cookies will not open "
                              "here.");
        return {};
    }
    if (own.password && *own.password == password) {
        return {};
    }
    if (own.password) {
        recryptUnpacked(unpacked,
                        linuxRecrypt(linuxKey(password.view()), linuxKey(own.password->view())));
        return {};
    }
    // The browser makes a key of its own at its first start when it finds
    // none: the carried one must be there before.
    return [ctx, name, carried = std::make_shared<Secret>(password.copy())] {
        if (const std::string refused =
                ctx.stores.secrets->store(name.application, name.label, *carried);
            !refused.empty()) {
            sayOnce(ctx.said, std::string(name.browser) +
                                  ": the key of the restored passwords and cookies could not be "
                                  "stored in the Secret Service (" +
                                  refused + "); they will not open here.");
        }
    };
}

// Whether the data root keeps its key in "Local State" (Windows' way)
// rather than in the Secret Service.
bool keyInLocalState(const KeyContext& ctx, const fs::path& unpacked = {}) {
    std::error_code ec;
    const fs::path restored = unpacked.empty() ? fs::path() : unpacked / fs::path(kLocalState);
    std::optional<std::string> text;
    if (!restored.empty() && fs::is_regular_file(fs::symlink_status(restored, ec))) {
        text = ctx.services.readSmallFile(ctx.services.paths().fromNative(restored));
    } else if (!ctx.dataRoot.empty()) {
        text = ctx.services.readSmallFile(joinPath(ctx.dataRoot, kLocalState));
    }
    return text && encryptedKeyOf(*text);
}

std::string plainBackupNote(const KeyContext& ctx, const SafeStorageName& name,
                            const std::string& folder) {
    const std::optional<fs::path> native = ctx.services.paths().toNative(folder);
    if (!native) {
        return {};
    }
    const bool windowsKey = keyInLocalState(ctx);
    KeyedCount locked;
    KeyedCount anywhere;
    forEachKeyed(*native, [&](bool password, std::string_view value) {
        if (value.starts_with("v20")) {
            ++locked.appBound;
            locked.add(password);
        } else if (value.starts_with("v11") || (windowsKey && value.starts_with("v10"))) {
            locked.add(password);
        } else if (value.starts_with("v10")) {
            anywhere.add(password); // the built-in password of every machine
        }
    });
    std::string note;
    if (locked.any()) {
        note = formatText(N_("%1: %2 в этом архиве откроются только на этом компьютере в этой "
                             "учётной записи; на другой компьютер или в другую учётную запись "
                             "они переходят только в зашифрованном архиве (--encrypt)."),
                          {name.browser, countedText(locked)});
        if (locked.appBound > 0) {
            note += " " + formatText(N_("Из них %1 привязаны к этой установке браузера (\"v20\"): "
                                        "их не переносит никакой архив."),
                                     {std::to_string(locked.appBound)});
        }
    }
    if (anywhere.any()) {
        note += (note.empty() ? "" : " ") +
                formatText(N_("%1: %2 в архиве прочтёт любой, у кого окажется файл (--encrypt их "
                              "защищает)."),
                           {name.browser, countedText(anywhere)});
    }
    return note;
}

void sayWithoutKey(const KeyContext& ctx, const SafeStorageName& name, const fs::path& unpacked) {
    // The key the restored values will meet here.
    std::function<bool(std::string_view)> opens;
    if (keyInLocalState(ctx, unpacked)) {
        std::error_code ec;
        const fs::path restored = unpacked / fs::path(kLocalState);
        const std::optional<std::string> text =
            fs::is_regular_file(fs::symlink_status(restored, ec))
                ? ctx.services.readSmallFile(ctx.services.paths().fromNative(restored))
                : ctx.services.readSmallFile(joinPath(ctx.dataRoot, kLocalState));
        const std::optional<std::string> value = text ? encryptedKeyOf(*text) : std::nullopt;
        const std::optional<Secret> key = value && ctx.stores.protector != nullptr
                                              ? openedKey(*ctx.stores.protector, *value)
                                              : std::nullopt;
        auto opener = key ? std::make_shared<crypto::AesGcm>(keyOf(*key)) : nullptr;
        opens = [opener](std::string_view value) {
            constexpr std::size_t kOverhead = 3 + crypto::kNonceSize + crypto::kTagSize;
            if (!opener || value.size() < kOverhead) {
                return false;
            }
            const auto bytes = bytesOf(value);
            const auto sealed = bytes.subspan(3 + crypto::kNonceSize, value.size() - kOverhead);
            std::vector<unsigned char> plain(sealed.size());
            const bool opened = opener->open(bytes.subspan<3, crypto::kNonceSize>(), {}, sealed,
                                             bytes.last<crypto::kTagSize>(), plain.data());
            wipeMemory(plain.data(), plain.size());
            return opened;
        };
    } else {
        std::optional<LinuxKey> key;
        if (ctx.stores.secrets != nullptr && ctx.services.isNative() && !name.application.empty()) {
            const crypto::SecretStore::Lookup own = ctx.stores.secrets->lookup(name.application);
            if (own.password) {
                key = linuxKey(own.password->view());
            }
        }
        opens = [key](std::string_view value) {
            if (value.starts_with("v10")) {
                return true; // the built-in password opens it anywhere
            }
            LinuxKey iv;
            iv.fill(' ');
            return key && crypto::aes128Cbc(false, *key, iv, bytesOf(value).subspan(3));
        };
    }
    KeyedCount closed;
    KeyedCount bound;
    int opened = 0;
    forEachKeyed(unpacked, [&](bool password, std::string_view value) {
        if (value.starts_with("v20")) {
            ++bound.appBound;
            bound.add(password);
        } else if (value.starts_with("v10") || value.starts_with("v11")) {
            if (opens(value)) {
                ++opened;
            } else {
                closed.add(password);
            }
        }
    });
    // Where every other row opens, this is the computer and account they were
    // saved on: the browser's own installation opens its bound ones too.
    if (closed.any() || opened == 0) {
        closed.passwords += bound.passwords;
        closed.cookies += bound.cookies;
        closed.appBound = bound.appBound;
    }
    if (!closed.any()) {
        return;
    }
    std::string said = formatText(
        N_("%1: %2 из архива здесь не откроются: они зашифрованы ключом компьютера и учётной "
           "записи, где сделана копия, а обычный архив этот ключ не переносит (архив, сделанный с "
           "--encrypt, переносит)."),
        {name.browser, countedText(closed)});
    if (closed.appBound > 0) {
        said += " " + formatText(N_("Из них %1 привязаны к установке браузера (\"v20\") и "
                                    "открываются только там, где сохранены."),
                                 {std::to_string(closed.appBound)});
    }
    sayOnce(ctx.said, said);
}

} // namespace

std::string withEncryptedKey(std::string_view localState, std::string_view value) {
    try {
        // Only the key changes: every other byte stays as the browser wrote it.
        return withJsonMember(localState, {"os_crypt", "encrypted_key"},
                              Json(std::string(value)).dump());
    } catch (const Error&) {
        throw Error("\"Local State\" is no JSON object: the key cannot be written into it.");
    }
}

CarriedKeyHooks chromiumKeyHooks(SafeStorageName name) {
    CarriedKeyHooks hooks;
    hooks.carry = [name](const KeyContext& ctx) -> std::optional<Secret> {
        const std::optional<std::string> localState =
            ctx.dataRoot.empty() ? std::nullopt
                                 : ctx.services.readSmallFile(joinPath(ctx.dataRoot, kLocalState));
        if (const auto value = localState ? encryptedKeyOf(*localState) : std::nullopt) {
            std::optional<Secret> key = ctx.stores.protector != nullptr
                                            ? openedKey(*ctx.stores.protector, *value)
                                            : std::nullopt;
            if (!key) {
                sayOnce(ctx.said, std::string(name.browser) +
                                      ": the key of the saved passwords and cookies cannot be "
                                      "read on this system, so the archive cannot carry it; they "
                                      "will open only where they were saved.");
                return std::nullopt;
            }
            Json record{{"format", 1}, {"kind", "windows"}, {"key", toBase64(key->view())}};
            return Secret(record.dump());
        }
        if (ctx.stores.secrets == nullptr || !ctx.services.isNative() || name.application.empty()) {
            return std::nullopt;
        }
        crypto::SecretStore::Lookup found = ctx.stores.secrets->lookup(name.application);
        if (!found.error.empty()) {
            sayOnce(ctx.said, std::string(name.browser) +
                                  ": the Secret Service could not be asked for the key of the "
                                  "saved passwords and cookies (" +
                                  found.error +
                                  "), so the archive cannot carry it; those it encrypted will "
                                  "open only on this account.");
            return std::nullopt;
        }
        if (!found.password) {
            return std::nullopt; // the built-in password only: nothing to carry
        }
        Json record{{"format", 1},
                    {"kind", "secret-service"},
                    {"application", name.application},
                    {"password", std::string(found.password->view())}};
        Secret carried(record.dump());
        return carried;
    };
    hooks.adopt = [name](const KeyContext& ctx, const Secret& carried,
                         const fs::path& unpacked) -> std::function<void()> {
        const Json record = Json::parse(carried.view(), nullptr, false);
        if (record.is_discarded() || !record.is_object() || record.value("format", 0) != 1) {
            sayOnce(ctx.said, cannotMove(name.browser));
            return {};
        }
        const std::string kind = record.value("kind", "");
        if (kind == "windows") {
            const std::optional<std::string> key = fromBase64(record.value("key", ""));
            return adoptWindowsKey(ctx, name, Secret(key.value_or("")), unpacked);
        }
        if (kind == "secret-service" && record.value("application", "") == name.application) {
            return adoptSecretServiceKey(ctx, name, Secret(record.value("password", "")), unpacked);
        }
        sayOnce(ctx.said, cannotMove(name.browser));
        return {};
    };
    hooks.plainBackupNote = [name](const KeyContext& ctx, const std::string& folder) {
        return plainBackupNote(ctx, name, folder);
    };
    hooks.withoutKey = [name](const KeyContext& ctx, const fs::path& unpacked) {
        sayWithoutKey(ctx, name, unpacked);
    };
    return hooks;
}

} // namespace vellarion
