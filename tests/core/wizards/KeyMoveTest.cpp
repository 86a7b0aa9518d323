// The key of the Chromium family's saved passwords and cookies moved to
// another machine or account inside an encrypted archive: given to a target
// that has none, or, where the target has its own, the restored rows
// encrypted again with it. Machines here protect keys each their own way,
// so that a blob that merely travelled would not open.
#include "Base64.h"
#include "BrowserProfiles.h"
#include "FileTree.h"
#include "JobRecorder.h"
#include "TempDir.h"
#include "core/archive/JvZlibMultiple.h"
#include "core/crypto/Cipher.h"
#include "core/crypto/SystemKeys.h"
#include "core/wizards/FullJob.h"
#include "core/wizards/Messages.h"
#include "core/wizards/SelectiveJob.h"

#include <cstdio>
#include <cstdlib>
#include <gtest/gtest.h>
#include <nlohmann/json.hpp>
#include <openssl/evp.h>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>

namespace vellarion::test {
namespace {

namespace fs = std::filesystem;
using Json = nlohmann::ordered_json;

std::string s(const fs::path& p) {
    return pathToUtf8(p);
}

std::span<const unsigned char> bytes(std::string_view text) {
    return {reinterpret_cast<const unsigned char*>(text.data()), text.size()};
}

// A machine's data protection: its own mark and its own mask, so that
// nothing protected on one opens on another.
class Machine final : public crypto::DataProtector {
public:
    explicit Machine(char id) : id_(id) {}
    std::optional<Secret> unprotect(std::span<const unsigned char> blob) override {
        if (blob.size() < 2 || blob[0] != 'M' || blob[1] != static_cast<unsigned char>(id_)) {
            return std::nullopt;
        }
        std::string plain;
        for (std::size_t i = 2; i < blob.size(); ++i) {
            plain += static_cast<char>(blob[i] ^ static_cast<unsigned char>(id_ + i));
        }
        return Secret(plain);
    }
    std::vector<unsigned char> protect(std::span<const unsigned char> data) override {
        std::vector<unsigned char> blob{'M', static_cast<unsigned char>(id_)};
        for (std::size_t i = 0; i < data.size(); ++i) {
            blob.push_back(static_cast<unsigned char>(data[i] ^ (id_ + i + 2)));
        }
        return blob;
    }

private:
    char id_;
};

// The "Local State" value of a key a machine protected.
std::string protectedKey(Machine& machine, const crypto::Key& key) {
    const auto blob = machine.protect(key);
    return base64("DPAPI" + std::string(blob.begin(), blob.end()));
}

// Windows' "v10" value: nonce, AES-256-GCM, tag.
std::string sealed(const crypto::Key& key, std::string_view plain) {
    std::string out(3 + 12 + plain.size() + 16, '\0');
    out.replace(0, 3, "v10");
    auto* p = reinterpret_cast<unsigned char*>(out.data());
    crypto::randomBytes(std::span<unsigned char>(p + 3, 12));
    crypto::AesGcm(key).seal(std::span<const unsigned char, 12>(p + 3, 12), {}, bytes(plain),
                             p + 15, std::span<unsigned char, 16>(p + out.size() - 16, 16));
    return out;
}

std::optional<std::string> opened(const crypto::Key& key, std::string_view value) {
    if (value.size() < 31 || !value.starts_with("v1")) {
        return std::nullopt;
    }
    std::string plain(value.size() - 31, '\0');
    const auto b = bytes(value);
    if (!crypto::AesGcm(key).open(b.subspan<3, 12>(), {}, b.subspan(15, plain.size()), b.last<16>(),
                                  reinterpret_cast<unsigned char*>(plain.data()))) {
        return std::nullopt;
    }
    return plain;
}

crypto::Key keyOf(char fill) {
    crypto::Key key;
    for (std::size_t i = 0; i < key.size(); ++i) {
        key[i] = static_cast<unsigned char>(fill + i);
    }
    return key;
}

std::string keyText(const crypto::Key& key) {
    return {reinterpret_cast<const char*>(key.data()), key.size()};
}

// A cookie as current versions keep it: the SHA-256 of its host before the
// value.
const std::string kCookie = std::string(32, '\xA5') + "session=42";

class PasswordReporter : public RecordingReporter {
public:
    std::optional<std::string> password;
    std::optional<Secret> encryptionPassword() override {
        return password ? std::optional<Secret>(*password) : std::nullopt;
    }
    std::optional<Secret> archivePassword(const std::string&) override { return Secret("pw"); }
};

using Selective = Wizard<SelectiveJob, PasswordReporter>;

// Homes of this machine's own Chromium on machines of their own.
class WindowsKeyMove : public ::testing::Test {
protected:
    WindowsKeyMove() {
        fs::create_directories(backups);
        writeFile(oldRoot / "Local State",
                  Json{{"os_crypt", {{"encrypted_key", protectedKey(oldMachine, oldKey)}}},
                       {"profile", {{"last_used", "Default"}}}}
                      .dump());
        writeFile(oldRoot / "Default" / "Preferences", "{}");
        writeChromeLogins(oldRoot / "Default" / "Login Data",
                          {sealed(oldKey, "hunter2"), "v20 bound to the old machine"});
        writeChromeCookies(oldRoot / "Default" / "Network" / "Cookies", {sealed(oldKey, kCookie)});
    }

    SelectiveChoices choices() const {
        SelectiveChoices c;
        c.backupLocation = s(backups);
        c.customLocation = std::string(kCustomProfilePlaceholder);
        c.ticked = [](std::string_view box) { return box == "CheckBox16" || box == "CheckBox3"; };
        return c;
    }
    std::unique_ptr<SystemServices> home(const fs::path& folder) {
        return makeSystemServices({}, {.home = s(folder), .login = "bob"});
    }
    // A selective job of that home on that machine, its "Default" chosen.
    void run(const fs::path& folder, Machine& machine, bool backup,
             std::optional<std::string> password, std::vector<std::string>* said = nullptr) {
        const auto services = home(folder);
        Selective w(*services, chromiumDataSet());
        w.job.setKeyStores({&machine, nullptr});
        w.reporter.password = std::move(password);
        ASSERT_TRUE(w.job.activate());
        const auto& entries = w.job.profiles.entries;
        w.job.profiles.selected = static_cast<int>(
            std::find(entries.begin(), entries.end(), "Default") - entries.begin());
        if (backup) {
            ASSERT_EQ(w.job.backup(choices()), JobOutcome::Done);
        } else {
            w.job.listArchives(s(backups));
            ASSERT_EQ(w.job.restore(choices()), JobOutcome::Done);
        }
        if (said != nullptr) {
            *said = w.reporter.messages;
        }
    }

    TempDir dir;
    fs::path backups = dir / "backups";
    fs::path oldRoot = dir / "old" / ".config" / "chromium";
    Machine oldMachine{'a'};
    Machine newMachine{'b'};
    crypto::Key oldKey = keyOf('k');
    crypto::Key newKey = keyOf('n');
};

TEST_F(WindowsKeyMove, ATargetWithoutAKeyGetsTheOldKeyProtectedAnew) {
    run(dir / "old", oldMachine, true, "pw");
    const fs::path newRoot = dir / "new" / ".config" / "chromium";
    writeFile(newRoot / "Default" / "Preferences", "{}");
    std::vector<std::string> said;
    run(dir / "new", newMachine, false, std::nullopt, &said);

    const Json state = Json::parse(readFile(newRoot / "Local State"));
    EXPECT_EQ(state["profile"]["last_used"], "Default") << "the archive's other keys kept";
    const std::string blob = unbase64(state["os_crypt"]["encrypted_key"].get<std::string>());
    ASSERT_TRUE(blob.starts_with("DPAPI"));
    const auto protectedBlob = bytes(blob).subspan(5);
    EXPECT_FALSE(oldMachine.unprotect(protectedBlob)) << "a new blob, not the old one";
    const std::optional<Secret> key = newMachine.unprotect(protectedBlob);
    ASSERT_TRUE(key);
    EXPECT_EQ(key->view(), keyText(oldKey));

    const auto logins = columnOf(newRoot / "Default" / "Login Data", "logins", "password_value");
    ASSERT_EQ(logins.size(), 2u);
    EXPECT_EQ(opened(oldKey, logins[0]), "hunter2");
    const auto cookies =
        columnOf(newRoot / "Default" / "Network" / "Cookies", "cookies", "encrypted_value");
    ASSERT_EQ(cookies.size(), 1u);
    EXPECT_EQ(opened(oldKey, cookies[0]), kCookie);
    EXPECT_EQ(std::count_if(said.begin(), said.end(),
                            [](const std::string& m) { return m.find("\"v20\"") != m.npos; }),
              1)
        << ::testing::PrintToString(said);
}

// A profile list made before the browser ever ran there: no key yet. The
// selective restore keeps the file, and only the key is added to it.
TEST_F(WindowsKeyMove, ALocalStateWithoutAKeyGetsOnlyTheKeyAdded) {
    run(dir / "old", oldMachine, true, "pw");
    const fs::path newRoot = dir / "new" / ".config" / "chromium";
    writeFile(newRoot / "Local State",
              R"({"profile":{"info_cache":{"Default":{"name":"Work"}}},"browser":{"x":1}})");
    writeFile(newRoot / "Default" / "Preferences", "{}");
    run(dir / "new", newMachine, false, std::nullopt);

    const Json state = Json::parse(readFile(newRoot / "Local State"));
    const std::string blob = unbase64(state["os_crypt"]["encrypted_key"].get<std::string>());
    const std::optional<Secret> key = newMachine.unprotect(bytes(blob).subspan(5));
    ASSERT_TRUE(key);
    EXPECT_EQ(key->view(), keyText(oldKey));
    Json rest = state;
    rest.erase("os_crypt");
    EXPECT_EQ(rest.dump(),
              R"({"profile":{"info_cache":{"Default":{"name":"Work"}}},"browser":{"x":1}})");
}

TEST_F(WindowsKeyMove, ATargetWithItsOwnKeyKeepsItAndTheRowsOpenWithIt) {
    run(dir / "old", oldMachine, true, "pw");
    const fs::path newRoot = dir / "new" / ".config" / "chromium";
    const std::string ownState =
        Json{{"browser", {{"enabled_labs_experiments", Json::array()}}},
             {"os_crypt", {{"encrypted_key", protectedKey(newMachine, newKey)}}}}
            .dump();
    writeFile(newRoot / "Local State", ownState);
    writeFile(newRoot / "Default" / "Preferences", "{}");
    writeFile(newRoot / "Profile 1" / "Preferences", "{}");
    writeChromeLogins(newRoot / "Profile 1" / "Login Data", {sealed(newKey, "own")});
    run(dir / "new", newMachine, false, std::nullopt);

    EXPECT_EQ(readFile(newRoot / "Local State"), ownState);
    const auto logins = columnOf(newRoot / "Default" / "Login Data", "logins", "password_value");
    ASSERT_EQ(logins.size(), 2u);
    EXPECT_EQ(opened(newKey, logins[0]), "hunter2");
    EXPECT_EQ(logins[1], "v20 bound to the old machine") << "what cannot move is left as it was";
    const auto cookies =
        columnOf(newRoot / "Default" / "Network" / "Cookies", "cookies", "encrypted_value");
    ASSERT_EQ(cookies.size(), 1u);
    EXPECT_EQ(opened(newKey, cookies[0]), kCookie) << "the bytes exactly, host hash and all";
    EXPECT_EQ(
        opened(newKey,
               columnOf(newRoot / "Profile 1" / "Login Data", "logins", "password_value").at(0)),
        "own");
}

TEST_F(WindowsKeyMove, TheFullJobMovesTheKeyAndKeepsATargetsOwn) {
    const auto oldHome = home(dir / "old");
    Wizard<FullJob, PasswordReporter> backup(*oldHome, chromiumDataSet());
    backup.job.setKeyStores({&oldMachine, nullptr});
    backup.reporter.password = "pw";
    ASSERT_TRUE(backup.job.activate());
    ASSERT_EQ(backup.job.backup(s(backups)), JobOutcome::Done);

    const fs::path newRoot = dir / "new" / ".config" / "chromium";
    const std::string own = protectedKey(newMachine, newKey);
    writeFile(newRoot / "Local State", Json{{"os_crypt", {{"encrypted_key", own}}}}.dump());
    writeFile(newRoot / "Default" / "Preferences", "{\"mine\":1}");
    const auto newHome = home(dir / "new");
    Wizard<FullJob, PasswordReporter> restore(*newHome, chromiumDataSet());
    restore.job.setKeyStores({&newMachine, nullptr});
    ASSERT_TRUE(restore.job.activate());
    ASSERT_EQ(restore.job.restore(s(backups)), JobOutcome::Done);

    const Json state = Json::parse(readFile(newRoot / "Local State"));
    EXPECT_EQ(state["os_crypt"]["encrypted_key"], own);
    EXPECT_EQ(state["profile"]["last_used"], "Default");
    EXPECT_EQ(
        opened(newKey,
               columnOf(newRoot / "Default" / "Login Data", "logins", "password_value").at(0)),
        "hunter2");
}

TEST_F(WindowsKeyMove, OnlyAnEncryptedArchiveCarriesTheKey) {
    run(dir / "old", oldMachine, true, std::nullopt);
    const std::string plain = readFile(backups / "Default.dat");
    EXPECT_EQ(plain.find(".vellarion-keys"), std::string::npos);
    EXPECT_EQ(plain.find(keyText(oldKey)), std::string::npos);
    std::vector<std::string> names;
    TJvZlibMultiple().ListStoredFiles(s(backups / "Default.dat"), names);
    EXPECT_EQ(std::count(names.begin(), names.end(), "Login Data"), 1);

    // The backup says how many will open only here, and why.
    {
        const auto services = home(dir / "old");
        Selective w(*services, chromiumDataSet());
        w.job.setKeyStores({&oldMachine, nullptr});
        ASSERT_TRUE(w.job.activate());
        const std::string note = w.job.plainSecretsNote(s(oldRoot / "Default"));
        EXPECT_NE(note.find("Chromium: сохранённые пароли (2) и куки (1) в этом архиве откроются "
                            "только на этом компьютере"),
                  std::string::npos)
            << note;
        EXPECT_NE(note.find("--encrypt"), std::string::npos) << note;
        EXPECT_NE(note.find("Из них 1 привязаны к этой установке браузера"), std::string::npos)
            << note;
        EXPECT_EQ(note.find("прочтёт любой"), std::string::npos) << note;
    }

    // Restored on the same machine, they open: nothing to say.
    std::vector<std::string> same;
    writeFile(oldRoot / "Default" / "Preferences", "{}");
    run(dir / "old", oldMachine, false, std::nullopt, &same);
    for (const std::string& message : same) {
        EXPECT_EQ(message.find("не откроются"), std::string::npos) << message;
    }

    // Restored on the new machine, a plain archive's rows stay with the old
    // key, and the user is told how many will not open and why.
    const fs::path newRoot = dir / "new" / ".config" / "chromium";
    writeFile(newRoot / "Default" / "Preferences", "{}");
    std::vector<std::string> said;
    run(dir / "new", newMachine, false, std::nullopt, &said);
    const Json state = Json::parse(readFile(newRoot / "Local State"));
    EXPECT_EQ(state["os_crypt"]["encrypted_key"],
              Json::parse(readFile(oldRoot / "Local State"))["os_crypt"]["encrypted_key"]);
    EXPECT_EQ(std::count_if(said.begin(), said.end(),
                            [](const std::string& m) {
                                return m.starts_with("Chromium: сохранённые пароли (2) и куки "
                                                     "(1) из архива здесь не откроются") &&
                                       m.find("--encrypt") != m.npos &&
                                       m.find("Из них 1 привязаны") != m.npos;
                            }),
              1)
        << ::testing::PrintToString(said);
}

// --- Linux: the Secret Service of each home's own session. ---

// The key of Linux "v11" values, straight from OpenSSL.
std::array<unsigned char, 16> linuxKey(std::string_view password) {
    std::array<unsigned char, 16> key{};
    PKCS5_PBKDF2_HMAC_SHA1(password.data(), static_cast<int>(password.size()),
                           reinterpret_cast<const unsigned char*>("saltysalt"), 9, 1, 16,
                           key.data());
    return key;
}

std::string cbc(bool encrypt, std::string_view password, std::string_view in) {
    const auto key = linuxKey(password);
    const std::string iv(16, ' ');
    EVP_CIPHER_CTX* ctx = EVP_CIPHER_CTX_new();
    std::string out(in.size() + 16, '\0');
    int n = 0;
    int last = 0;
    EVP_CipherInit_ex(ctx, EVP_aes_128_cbc(), nullptr, key.data(),
                      reinterpret_cast<const unsigned char*>(iv.data()), encrypt ? 1 : 0);
    EVP_CipherUpdate(ctx, reinterpret_cast<unsigned char*>(out.data()), &n,
                     reinterpret_cast<const unsigned char*>(in.data()),
                     static_cast<int>(in.size()));
    const bool ok =
        EVP_CipherFinal_ex(ctx, reinterpret_cast<unsigned char*>(out.data()) + n, &last) == 1;
    EVP_CIPHER_CTX_free(ctx);
    return ok ? out.substr(0, static_cast<std::size_t>(n + last)) : "(does not open)";
}

std::string v11(std::string_view password, std::string_view plain) {
    return "v11" + cbc(true, password, plain);
}
std::string openedV11(std::string_view password, std::string_view value) {
    return value.starts_with("v11") ? cbc(false, password, value.substr(3)) : "(not v11)";
}

// Runs `body` in a process of its own on the session bus at `address`
// (libsecret keeps one connection for a process's life); true when it
// passed.
bool inProcess(const std::string& address, const std::function<void()>& body) {
    std::fflush(nullptr);
    const pid_t child = fork();
    if (child == 0) {
        setenv("DBUS_SESSION_BUS_ADDRESS", address.c_str(), 1);
        body();
        std::fflush(nullptr);
        _exit(::testing::Test::HasFailure() ? 1 : 0);
    }
    int status = 0;
    return child > 0 && waitpid(child, &status, 0) == child && WIFEXITED(status) &&
           WEXITSTATUS(status) == 0;
}

// A home with a keyring of its own: a private D-Bus session with a Secret
// Service unlocked for it, running while the object lives.
class KeyringHome {
public:
    explicit KeyringHome(const fs::path& home) : home_(home) {
        const fs::path run = home / "run";
        fs::create_directories(run);
        fs::permissions(run, fs::perms::owner_all, fs::perm_options::replace);
        const fs::path bus = home / "bus";
        const char* path = std::getenv("PATH");
        const std::string command =
            "env -i PATH='" + std::string(path != nullptr ? path : "/usr/bin:/bin") + "' HOME='" +
            s(home) + "' XDG_DATA_HOME='" + s(home / "data") + "' XDG_CONFIG_HOME='" +
            s(home / "cfg") + "' XDG_RUNTIME_DIR='" + s(run) +
            "' dbus-run-session -- sh -c 'printf %s test | gnome-keyring-daemon --unlock "
            "--components=secrets >/dev/null 2>&1 && printf %s \"$DBUS_SESSION_BUS_ADDRESS\" > "
            "\"$0.new\" && mv \"$0.new\" \"$0\"; cat >/dev/null' '" +
            s(bus) + "' 2>/dev/null";
        session_ = popen(command.c_str(), "w");
        for (int i = 0; session_ != nullptr && i < 200 && !fs::exists(bus); ++i) {
            std::this_thread::sleep_for(std::chrono::milliseconds(50));
        }
        if (fs::exists(bus)) {
            address_ = readFile(bus);
        }
    }
    ~KeyringHome() {
        if (session_ != nullptr) {
            pclose(session_); // its end of input ends the session and its services
        }
    }
    KeyringHome(const KeyringHome&) = delete;
    KeyringHome& operator=(const KeyringHome&) = delete;

    bool ready() const { return !address_.empty(); }
    const fs::path& path() const { return home_; }

    // Runs `body` in a process of this session; true when it passed.
    bool run(const std::function<void()>& body) const { return inProcess(address_, body); }

private:
    fs::path home_;
    FILE* session_ = nullptr;
    std::string address_;
};

TEST(SecretServiceKeyMove, TheOldHomesSecretReachesAKeyringWithoutOneOrItsRowsTakeTheTargetsKey) {
    if (std::system("command -v dbus-run-session gnome-keyring-daemon >/dev/null 2>&1") != 0) {
        GTEST_SKIP() << "dbus-run-session or gnome-keyring-daemon is not installed";
    }
    TempDir dir;
    const fs::path backups = dir / "backups";
    fs::create_directories(backups);
    const std::string oldSecret = "b2xkIGhvbWUncyBzZWNyZXQ=";
    const std::string ownSecret = "dGFyZ2V0J3Mgb3duIGtleQ==";
    const auto chromium = [](const fs::path& home) { return home / ".config" / "chromium"; };
    SelectiveChoices c;
    c.backupLocation = s(backups);
    c.customLocation = std::string(kCustomProfilePlaceholder);
    c.ticked = [](std::string_view box) { return box == "CheckBox16" || box == "CheckBox3"; };
    const auto job = [&](const fs::path& home, bool backup) {
        const auto services = makeSystemServices({}, {.home = s(home), .login = "bob"});
        Selective w(*services, chromiumDataSet());
        w.reporter.password = "pw";
        ASSERT_TRUE(w.job.activate());
        w.job.profiles.selected = 0; // "Default", the only one or the first
        if (backup) {
            ASSERT_EQ(w.job.backup(c), JobOutcome::Done);
        } else {
            w.job.listArchives(s(backups));
            ASSERT_EQ(w.job.restore(c), JobOutcome::Done);
        }
        EXPECT_TRUE(w.reporter.messages.empty()) << ::testing::PrintToString(w.reporter.messages);
    };
    const auto secretOf = [] {
        auto found = crypto::systemSecretStore()->lookup("chromium");
        EXPECT_EQ(found.error, "");
        return found.password ? std::string(found.password->view()) : std::string("(none)");
    };

    // The old home: rows of its own secret, and one of the built-in password.
    const KeyringHome old(dir / "old");
    if (!old.ready()) {
        GTEST_SKIP() << "no Secret Service could be started in a private D-Bus session";
    }
    writeFile(chromium(old.path()) / "Local State", "{\"profile\":{\"last_used\":\"Default\"}}");
    writeFile(chromium(old.path()) / "Default" / "Preferences", "{}");
    const std::string builtIn = "v10" + cbc(true, "peanuts", "built in");
    writeChromeLogins(chromium(old.path()) / "Default" / "Login Data",
                      {v11(oldSecret, "hunter2"), builtIn});
    writeChromeCookies(chromium(old.path()) / "Default" / "Cookies", {v11(oldSecret, kCookie)});
    ASSERT_TRUE(old.run([&] {
        const Secret secret(oldSecret);
        ASSERT_EQ(crypto::systemSecretStore()->store("chromium", "Chromium Safe Storage", secret),
                  "");
        job(old.path(), true);
    }));

    // A new home whose keyring holds nothing of Chromium's.
    {
        const KeyringHome fresh(dir / "fresh");
        ASSERT_TRUE(fresh.ready());
        writeFile(chromium(fresh.path()) / "Default" / "Preferences", "{}");
        ASSERT_TRUE(fresh.run([&] {
            job(fresh.path(), false);
            EXPECT_EQ(secretOf(), oldSecret);
        }));
        const auto logins =
            columnOf(chromium(fresh.path()) / "Default" / "Login Data", "logins", "password_value");
        ASSERT_EQ(logins.size(), 2u);
        EXPECT_EQ(openedV11(oldSecret, logins[0]), "hunter2");
        EXPECT_EQ(logins[1], builtIn);
    }

    // A home whose keyring has Chromium's own secret: it stays, and the
    // restored rows take it.
    const KeyringHome own(dir / "own");
    ASSERT_TRUE(own.ready());
    writeFile(chromium(own.path()) / "Local State", "{}");
    writeFile(chromium(own.path()) / "Default" / "Preferences", "{}");
    writeFile(chromium(own.path()) / "Profile 1" / "Preferences", "{}");
    writeChromeLogins(chromium(own.path()) / "Profile 1" / "Login Data", {v11(ownSecret, "own")});
    ASSERT_TRUE(own.run([&] {
        ASSERT_EQ(crypto::systemSecretStore()->store("chromium", "Chromium Safe Storage",
                                                     Secret(ownSecret)),
                  "");
        job(own.path(), false);
        EXPECT_EQ(secretOf(), ownSecret);
    }));
    const fs::path root = chromium(own.path());
    const auto logins = columnOf(root / "Default" / "Login Data", "logins", "password_value");
    ASSERT_EQ(logins.size(), 2u);
    EXPECT_EQ(openedV11(ownSecret, logins[0]), "hunter2");
    EXPECT_EQ(logins[1], builtIn);
    EXPECT_EQ(openedV11(ownSecret,
                        columnOf(root / "Default" / "Cookies", "cookies", "encrypted_value").at(0)),
              kCookie);
    EXPECT_EQ(
        openedV11(ownSecret,
                  columnOf(root / "Profile 1" / "Login Data", "logins", "password_value").at(0)),
        "own");
}

// A plain archive of this machine's own Chromium: a keyring's rows open only
// on this account, the built-in password's anywhere; restored where the
// keyring has no key for them, the user learns how many will not open.
TEST(SecretServiceKeyMove, APlainArchiveSaysWhereItsRowsOpen) {
    TempDir dir;
    const fs::path root = dir / "home" / ".config" / "chromium";
    writeFile(root / "Local State", "{\"profile\":{\"last_used\":\"Default\"}}");
    writeFile(root / "Default" / "Preferences", "{}");
    writeChromeLogins(root / "Default" / "Login Data",
                      {v11("secret", "hunter2"), "v10" + cbc(true, "peanuts", "built in")});
    writeChromeCookies(root / "Default" / "Cookies", {v11("secret", kCookie)});
    fs::create_directories(dir / "backups");
    EXPECT_TRUE(inProcess("unix:path=" + s(dir / "no-bus"), [&] {
        const auto services = makeSystemServices({}, {.home = s(dir / "home"), .login = "bob"});
        SelectiveChoices c;
        c.backupLocation = s(dir / "backups");
        c.customLocation = std::string(kCustomProfilePlaceholder);
        c.ticked = [](std::string_view box) { return box == "CheckBox16" || box == "CheckBox3"; };
        Selective backup(*services, chromiumDataSet());
        ASSERT_TRUE(backup.job.activate());
        ASSERT_EQ(backup.job.backup(c), JobOutcome::Done);
        const std::string note = backup.job.plainSecretsNote(s(root / "Default"));
        EXPECT_NE(note.find("Chromium: сохранённые пароли (1) и куки (1) в этом архиве откроются "
                            "только на этом компьютере"),
                  std::string::npos)
            << note;
        EXPECT_NE(note.find("Chromium: сохранённые пароли (1) в архиве прочтёт любой"),
                  std::string::npos)
            << note;

        Selective restore(*services, chromiumDataSet());
        ASSERT_TRUE(restore.job.activate());
        restore.job.listArchives(s(dir / "backups"));
        ASSERT_EQ(restore.job.restore(c), JobOutcome::Done);
        const auto& said = restore.reporter.messages;
        EXPECT_EQ(std::count_if(said.begin(), said.end(),
                                [](const std::string& m) {
                                    return m.starts_with("Chromium: сохранённые пароли (1) и "
                                                         "куки (1) из архива здесь не откроются");
                                }),
                  1)
            << ::testing::PrintToString(said);
    }));
}

TEST(SecretServiceKeyMove, WithoutASecretServiceTheJobsSaySoAndGoOn) {
    TempDir dir;
    const fs::path root = dir / "home" / ".config" / "chromium";
    writeFile(root / "Default" / "Preferences", "{}");
    writeChromeLogins(root / "Default" / "Login Data", {"v11 of a keyring"});
    fs::create_directories(dir / "backups");
    EXPECT_TRUE(inProcess("unix:path=" + s(dir / "no-bus"), [&] {
        const auto services = makeSystemServices({}, {.home = s(dir / "home"), .login = "bob"});
        Selective w(*services, chromiumDataSet());
        w.reporter.password = "pw";
        ASSERT_TRUE(w.job.activate());
        SelectiveChoices c;
        c.backupLocation = s(dir / "backups");
        c.customLocation = std::string(kCustomProfilePlaceholder);
        c.ticked = [](std::string_view box) { return box == "CheckBox16"; };
        ASSERT_EQ(w.job.backup(c), JobOutcome::Done);
        ASSERT_EQ(w.reporter.messages.size(), 1u);
        EXPECT_TRUE(w.reporter.messages[0].starts_with(
            "Chromium: the Secret Service could not be asked for the key"))
            << w.reporter.messages[0];
    }));
}

} // namespace
} // namespace vellarion::test
