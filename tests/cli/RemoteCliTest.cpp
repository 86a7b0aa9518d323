// Backups off the machine, run as a user runs them, against real servers:
// `rclone serve webdav` and `rclone serve sftp` over temporary folders on
// 127.0.0.1 (ports of their own choosing, a user and a password), the
// remotes in a temporary rclone configuration named by RCLONE_CONFIG, the
// password in it obscured as rclone keeps it.
#include "CliRunner.h"
#include "FileTree.h"
#include "SamplePrefixFixture.h"
#include "core/services/ChildProcess.h"

#include <chrono>
#include <csignal>
#include <fcntl.h>
#include <filesystem>
#include <gtest/gtest.h>
#include <regex>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>

namespace vellarion::test {
namespace {

namespace fs = std::filesystem;

const std::string kStamp = " 2\\d{3}-\\d\\d-\\d\\d \\d{6}";

void setVariable(const char* name, const std::string& value) {
    if (value.empty()) {
        ::unsetenv(name);
    } else {
        ::setenv(name, value.c_str(), 1);
    }
}

// While it lives, the variable has that value (none for "").
class Variable {
public:
    Variable(const char* name, const std::string& value) : name_(name) {
        const char* old = std::getenv(name);
        old_ = old != nullptr ? old : "";
        setVariable(name, value);
    }
    ~Variable() { setVariable(name_, old_); }
    Variable(const Variable&) = delete;
    Variable& operator=(const Variable&) = delete;

private:
    const char* name_;
    std::string old_;
};

// `rclone serve KIND FOLDER` on 127.0.0.1, on a port it chose, with user
// "bob" and password "secret"; stopped when it goes.
class Server {
public:
    Server(const std::string& kind, const fs::path& folder, const fs::path& log) {
        fs::create_directories(folder);
        pid_ = ::fork();
        if (pid_ == 0) {
            const int out = ::open(log.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
            ::dup2(out, 1);
            ::dup2(out, 2);
            ::execlp("rclone", "rclone", "serve", kind.c_str(), folder.c_str(), "--addr",
                     "127.0.0.1:0", "--user", "bob", "--pass", "secret", nullptr);
            ::_exit(127);
        }
        // "... WebDav Server started on http://127.0.0.1:38617/",
        // "... SFTP server listening on 127.0.0.1:35465"
        const std::regex address("127\\.0\\.0\\.1:(\\d+)");
        const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(20);
        while (port_.empty() && std::chrono::steady_clock::now() < deadline) {
            std::smatch match;
            const std::string text = fs::exists(log) ? readFile(log) : "";
            if (std::regex_search(text, match, address)) {
                port_ = match[1];
            }
            std::this_thread::sleep_for(std::chrono::milliseconds(20));
        }
        EXPECT_FALSE(port_.empty()) << "rclone serve " << kind << " did not start";
    }
    ~Server() { stop(SIGTERM); }
    Server(const Server&) = delete;
    Server& operator=(const Server&) = delete;

    const std::string& port() const { return port_; }
    // Ends it with that signal.
    void stop(int signal) {
        if (pid_ > 0) {
            ::kill(pid_, signal);
            ::waitpid(pid_, nullptr, 0);
            pid_ = -1;
        }
    }

private:
    pid_t pid_ = -1;
    std::string port_;
};

std::string obscured(const std::string& password) {
    ChildRequest request;
    request.program = "rclone";
    request.arguments = {"obscure", password};
    const ChildResult result = runChild(request);
    EXPECT_TRUE(result.succeeded());
    return result.output.substr(0, result.output.find('\n'));
}

// Both servers, a Firefox profile in a Windows prefix, the configuration
// with the remotes "wd" and "sf" (and "wrong", the WebDAV server with a
// wrong password), the private folders of the commands in a folder of the
// test's own.
class RemoteCli : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(findProgram("rclone")) << "rclone is missing: scripts/setup installs it";
        webdav = std::make_unique<Server>("webdav", work / "webdav", work / "webdav.log");
        sftp = std::make_unique<Server>("sftp", work / "sftp", work / "sftp.log");
        const std::string pass = obscured("secret");
        writeFile(work / "rclone.conf",
                  "[wd]\ntype = webdav\nurl = http://127.0.0.1:" + webdav->port() +
                      "/\nvendor = other\nuser = bob\npass = " + pass +
                      "\n\n[sf]\ntype = sftp\nhost = 127.0.0.1\nport = " + sftp->port() +
                      "\nuser = bob\npass = " + pass +
                      "\n\n[wrong]\ntype = webdav\nurl = http://127.0.0.1:" + webdav->port() +
                      "/\nuser = bob\npass = " + obscured("not the password") + "\n");
        fs::permissions(work / "rclone.conf", fs::perms::owner_read | fs::perms::owner_write);
    }

    // Runs the command on the prefix, as the user.
    Result onPrefix(std::vector<std::string> args) {
        args.push_back(env);
        return run(args);
    }
    // What the commands left in the folder for temporary files (the
    // test's own temporary folders aside).
    std::vector<std::string> leftBehind() const {
        std::vector<std::string> left;
        for (const std::string& name : namesIn(temporary)) {
            if (!name.starts_with("vellarion-test-")) {
                left.push_back(name);
            }
        }
        return left;
    }

    static std::string made(const fs::path& folder) {
        fs::create_directories(folder);
        return s(folder);
    }

    TempDir work;
    SamplePrefixFixture prefix{{.browsers = {Browser::Firefox}}};
    fs::path temporary = work / "tmp";
    Variable config{"RCLONE_CONFIG", s(work / "rclone.conf")};
    Variable tmpdir{"TMPDIR", made(temporary)};
    std::unique_ptr<Server> webdav;
    std::unique_ptr<Server> sftp;
    std::string env = "--prefix=" + s(prefix.sample().prefix);
    fs::path root = prefix.onDriveC("users/demo/AppData/Roaming/Mozilla/Firefox");
    fs::path prefs = root / "Profiles" / "abcd1234.default" / "prefs.js";
};

// Names that match their patterns, in order.
void expectNames(const std::vector<std::string>& names, const std::vector<std::string>& patterns) {
    ASSERT_EQ(names.size(), patterns.size()) << ::testing::PrintToString(names);
    for (size_t i = 0; i < names.size(); ++i) {
        EXPECT_TRUE(std::regex_match(names[i], std::regex(patterns[i])))
            << names[i] << " !~ " << patterns[i];
    }
}

TEST_F(RemoteCli, FiveBackupsKeepThreeThereAndTheLatestComesBack) {
    for (const char* remote : {"wd", "sf"}) {
        SCOPED_TRACE(remote);
        const std::string where = std::string("rclone:") + remote + ":backups/firefox";
        const fs::path folder =
            work / (std::string(remote) == "wd" ? "webdav" : "sftp") / "backups" / "firefox";
        for (int n = 1; n <= 5; ++n) {
            writeFile(prefs, "run " + std::to_string(n));
            const Result backup = onPrefix(
                {"backup", "firefox", "--to", where, "--items", "settings", "--keep", "3"});
            ASSERT_EQ(backup.exitCode, 0) << backup.err;
            // The archive as the user names it: on the remote.
            EXPECT_TRUE(std::regex_match(backup.out, std::regex("rclone:" + std::string(remote) +
                                                                ":backups/firefox/default" +
                                                                kStamp + "\\.dat\n")))
                << backup.out;
            EXPECT_EQ(backup.err.find("deleted the older version rclone:") != std::string::npos,
                      n >= 4)
                << backup.err;
            EXPECT_TRUE(leftBehind().empty()) << ::testing::PrintToString(leftBehind());
        }
        // Three versions, nothing half sent.
        expectNames(namesIn(folder), {"default" + kStamp + "\\.dat", "default" + kStamp + "\\.dat",
                                      "default" + kStamp + "\\.dat"});

        writeFile(prefs, "changed");
        const Result restored = onPrefix(
            {"restore", "firefox", "--from", where, "--items", "settings", "--archive", "latest"});
        ASSERT_EQ(restored.exitCode, 0) << restored.err;
        EXPECT_EQ(readFile(prefs), "run 5");

        const Result verified = run({"verify", "--all", where});
        EXPECT_EQ(verified.exitCode, 0) << verified.err;
        EXPECT_TRUE(std::regex_match(
            verified.out,
            std::regex("(default" + kStamp + "\\.dat: \\d+ records, all sound\n){3}")))
            << verified.out;
        // One damaged there (its size kept, as the server knows it): its line
        // says so, and the command fails.
        const std::string oldest = namesIn(folder).front();
        std::string bytes = readFile(folder / oldest);
        for (size_t i = bytes.size() / 2; i < bytes.size(); ++i) {
            bytes[i] = static_cast<char>(bytes[i] ^ 0x5a);
        }
        writeFile(folder / oldest, bytes);
        const Result damaged = run({"verify", "--all", where});
        EXPECT_EQ(damaged.exitCode, 1);
        EXPECT_NE(damaged.out.find(oldest + ": FAILED"), std::string::npos)
            << damaged.out << damaged.err;
        EXPECT_TRUE(leftBehind().empty());
    }
}

TEST_F(RemoteCli, PasswordsAndCookiesLeaveTheMachineEncryptedOrByRequest) {
    const fs::path password = work / "password";
    writeFile(password, "correct horse battery staple");
    fs::permissions(password, fs::perms::owner_read | fs::perms::owner_write);
    writeFile(prefs, "user_pref(\"marker.before\", 1);");

    // A whole data folder holds them: refused, saying why, nothing sent.
    const Result plain = onPrefix({"full-backup", "firefox", "--to", "rclone:sf:full"});
    EXPECT_EQ(plain.exitCode, 1);
    EXPECT_EQ(plain.err,
              "vellarion-cli: the archive would hold passwords and cookies readable by anyone who "
              "gets the file, and it would leave this machine for rclone:sf:full; give --encrypt "
              "(the password from --password-file or VELLARION_PASSWORD), or --allow-plain to send "
              "it as it is\n");
    EXPECT_FALSE(fs::exists(work / "sftp" / "full"));
    // So are the selective items that hold them.
    const Result cookies =
        onPrefix({"backup", "firefox", "--to", "rclone:sf:full", "--items", "settings,cookies"});
    EXPECT_EQ(cookies.exitCode, 1);
    EXPECT_NE(cookies.err.find("--allow-plain"), std::string::npos) << cookies.err;

    const Result encrypted = onPrefix({"full-backup", "firefox", "--to", "rclone:sf:full",
                                       "--encrypt", "--password-file", s(password)});
    ASSERT_EQ(encrypted.exitCode, 0) << encrypted.err;
    const std::string archive = readFile(work / "sftp" / "full" / "fbackup_firefox.dat");
    EXPECT_EQ(archive.find("marker.before"), std::string::npos);
    EXPECT_EQ(archive.find("prefs.js"), std::string::npos);

    writeFile(prefs, "changed");
    const Result restored = onPrefix(
        {"full-restore", "firefox", "--from", "rclone:sf:full", "--password-file", s(password)});
    ASSERT_EQ(restored.exitCode, 0) << restored.err;
    EXPECT_EQ(readFile(prefs), "user_pref(\"marker.before\", 1);");

    // Plain, when the user says so.
    const Result allowed =
        onPrefix({"full-backup", "firefox", "--to", "rclone:wd:full", "--allow-plain"});
    ASSERT_EQ(allowed.exitCode, 0) << allowed.err;
    EXPECT_NE(readFile(work / "webdav" / "full" / "fbackup_firefox.dat").find("prefs.js"),
              std::string::npos);
    EXPECT_TRUE(leftBehind().empty());
}

// The server dies while the archive is on its way: the command fails in
// one line, the versions there before are whole, no half archive has an
// archive's name, nothing stays on this machine.
TEST_F(RemoteCli, AServerKilledDuringTheUploadLeavesTheEarlierVersions) {
    for (const char* remote : {"wd", "sf"}) {
        SCOPED_TRACE(remote);
        Server& server = std::string(remote) == "wd" ? *webdav : *sftp;
        const fs::path folder = work / (std::string(remote) == "wd" ? "webdav" : "sftp") / "kill";
        const std::string where = std::string("rclone:") + remote + ":kill";
        writeFile(prefs, "earlier");
        ASSERT_EQ(
            onPrefix({"full-backup", "firefox", "--to", where, "--keep", "3", "--allow-plain"})
                .exitCode,
            0);
        const std::vector<std::string> before = namesIn(folder);
        ASSERT_EQ(before.size(), 1u);
        const std::string earlier = readFile(folder / before.front());

        // An archive of some 30 MB, sent at 2 MB a second.
        writeFile(root / "big.bin", incompressible(30 << 20));
        Variable slow("RCLONE_BWLIMIT", "2M");
        Cli cli({"full-backup", "firefox", "--to", where, "--keep", "3", "--allow-plain", env});
        const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(60);
        bool sending = false;
        while (!sending && std::chrono::steady_clock::now() < deadline) {
            for (const std::string& name : namesIn(folder)) {
                std::error_code ec;
                sending = sending ||
                          (name != before.front() && fs::file_size(folder / name, ec) > (1 << 20));
            }
            std::this_thread::sleep_for(std::chrono::milliseconds(20));
        }
        ASSERT_TRUE(sending) << "the upload did not begin";
        server.stop(SIGKILL);
        const Result failed = cli.wait();
        EXPECT_EQ(failed.exitCode, 1);
        EXPECT_TRUE(std::regex_match(failed.err,
                                     std::regex("vellarion-cli: cannot reach the remote \"" +
                                                std::string(remote) +
                                                "\" \\([^\n]*\\): check the network and that the "
                                                "server is up, then try again\n")))
            << failed.err;
        // The archives' names are those of before, with their bytes.
        std::vector<std::string> archives;
        for (const std::string& name : namesIn(folder)) {
            if (!name.ends_with(".uploading")) {
                archives.push_back(name);
            }
        }
        EXPECT_EQ(archives, before);
        EXPECT_EQ(readFile(folder / before.front()), earlier);
        EXPECT_TRUE(leftBehind().empty()) << ::testing::PrintToString(leftBehind());
        fs::remove(root / "big.bin");
    }
}

// On a terminal the transfer has the progress line: its archive, how much
// of it went.
TEST_F(RemoteCli, TheUploadAndDownloadShowOnTheProgressLine) {
    writeFile(root / "big.bin", incompressible(6 << 20));
    Variable slow("RCLONE_BWLIMIT", "2M");
    Result sent =
        Cli({"full-backup", "firefox", "--to", "rclone:wd:progress", "--allow-plain", env}, true)
            .wait();
    ASSERT_EQ(sent.exitCode, 0) << sent.err;
    EXPECT_TRUE(std::regex_search(
        sent.err, std::regex("sending fbackup_firefox\\.dat \\d+% \\([0-9.]+ of 6\\.\\d MiB\\)")))
        << sent.err;
    Result fetched =
        Cli({"full-restore", "firefox", "--from", "rclone:wd:progress", env}, true).wait();
    ASSERT_EQ(fetched.exitCode, 0) << fetched.err;
    EXPECT_NE(fetched.err.find("fetching fbackup_firefox.dat"), std::string::npos) << fetched.err;
}

TEST_F(RemoteCli, WhatGoesWrongWithRcloneIsOneLine) {
    struct Case {
        const char* what;
        std::vector<std::string> args;
        std::string path; // PATH for the command; "" keeps it
        std::string line;
    };
    const std::vector<Case> cases = {
        {"a wrong password",
         {"backup", "firefox", "--to", "rclone:wrong:x", "--items", "settings"},
         "",
         "vellarion-cli: the remote \"wrong\" refused the login (401 Unauthorized): check its "
         "user and password (or token) with \"rclone config\"\n"},
        {"an unknown remote",
         {"full-restore", "firefox", "--from", "rclone:nowhere:x"},
         "",
         "vellarion-cli: rclone knows no remote \"nowhere\": make it with \"rclone config\" "
         "(\"rclone listremotes\" names those it knows)\n"},
        {"rclone missing from the PATH",
         {"backup", "firefox", "--to", "rclone:wd:x", "--items", "settings"},
         s(work / "empty"),
         "vellarion-cli: rclone is not installed (or not on the PATH): it carries the backups off "
         "this machine. Install it (Debian, Ubuntu: sudo apt install rclone), make the remote "
         "with \"rclone config\", then try again\n"},
        {"no folder of a remote",
         {"verify", "--all", "rclone:wd"},
         "",
         "vellarion-cli: \"rclone:wd\" names no remote folder: write rclone:REMOTE:PATH "
         "(rclone:nas:backups), REMOTE one that \"rclone listremotes\" names\n"},
    };
    fs::create_directories(work / "empty");
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        Variable path("PATH", c.path.empty() ? std::string(std::getenv("PATH")) : c.path);
        std::vector<std::string> args = c.args;
        if (args.front() != "verify") {
            args.push_back(env);
        }
        const Result result = run(args);
        EXPECT_EQ(result.exitCode, 1);
        EXPECT_EQ(result.err, c.line);
        EXPECT_TRUE(leftBehind().empty());
    }
    EXPECT_EQ(namesIn(work / "webdav"), std::vector<std::string>{});
}

// The same failures reach a Russian user in Russian; what rclone itself
// said stays in its words, quoted.
TEST_F(RemoteCli, WhatGoesWrongWithRcloneReachesARussianUserInRussian) {
    struct Case {
        std::vector<std::string> args;
        std::string path; // PATH for the command; "" keeps it
        std::string line;
    };
    const std::vector<Case> cases = {
        {{"backup", "firefox", "--to", "rclone:wrong:x", "--items", "settings", env},
         "",
         "vellarion-cli: хранилище \"wrong\" не принимает вход (ответ rclone: \"401 "
         "Unauthorized\"): проверьте пользователя и пароль (или токен) командой \"rclone "
         "config\"\n"},
        {{"full-restore", "firefox", "--from", "rclone:nowhere:x", env},
         "",
         "vellarion-cli: rclone не знает хранилища \"nowhere\": создайте его командой \"rclone "
         "config\" (\"rclone listremotes\" перечисляет известные)\n"},
        {{"verify", "--all", "rclone:nowhere:x"},
         "",
         "vellarion-cli: rclone не знает хранилища \"nowhere\": создайте его командой \"rclone "
         "config\" (\"rclone listremotes\" перечисляет известные)\n"},
        {{"backup", "firefox", "--to", "rclone:wd:x", "--items", "settings", env},
         s(work / "empty"),
         "vellarion-cli: rclone не установлен (или его нет в PATH): он переносит резервные копии "
         "с этого компьютера. Установите его (Debian, Ubuntu: \"sudo apt install rclone\"), "
         "создайте "
         "хранилище командой \"rclone config\" и попробуйте еще раз\n"},
        {{"verify", "--all", "rclone:wd"},
         "",
         "vellarion-cli: \"rclone:wd\" не указывает папку хранилища: пишите rclone:REMOTE:PATH "
         "(rclone:nas:backups), где REMOTE — одно из тех, что перечисляет \"rclone "
         "listremotes\"\n"},
    };
    fs::create_directories(work / "empty");
    UserLocale russian("ru_RU.UTF-8");
    for (const Case& c : cases) {
        SCOPED_TRACE(c.args[2]);
        Variable path("PATH", c.path.empty() ? std::string(std::getenv("PATH")) : c.path);
        const Result result = run(c.args);
        EXPECT_EQ(result.exitCode, 1);
        EXPECT_EQ(result.err, c.line);
        EXPECT_EQ(englishSentence(result.err), "") << result.err;
    }
}

TEST_F(RemoteCli, ASchedulesRunsGoToTheRemoteAndItsLogNamesIt) {
    TempDir home;
    const Result added = run({"schedule", "add", "firefox", env, "--to", "rclone:wd:scheduled",
                              "--items", "settings", "--keep", "2"},
                             home.path());
    ASSERT_EQ(added.exitCode, 0) << added.err;
    const std::string summary = "firefox-1\tdaily\tbackup firefox --to rclone:wd:scheduled " + env +
                                " --items settings --keep 2\n";
    EXPECT_TRUE(added.out.starts_with("Added schedule " + summary)) << added.out;
    EXPECT_EQ(run({"schedule", "list"}, home.path()).out,
              summary.substr(0, summary.size() - 1) + "\tnever run\n");
    // A full schedule to a remote says at once what it needs.
    const Result full = run(
        {"schedule", "add", "firefox", env, "--to", "rclone:wd:scheduled", "--full"}, home.path());
    EXPECT_EQ(full.exitCode, 1);
    EXPECT_NE(full.err.find("--allow-plain"), std::string::npos) << full.err;

    for (int n = 0; n < 3; ++n) {
        const Result ran = run({"schedule", "run", "firefox-1"}, home.path());
        ASSERT_EQ(ran.exitCode, 0) << ran.err;
    }
    expectNames(namesIn(work / "webdav" / "scheduled"),
                {"default" + kStamp + "\\.dat", "default" + kStamp + "\\.dat"});
    // The log stays here, beside the schedules, each line naming the remote.
    const std::string log = readFile(home / ".config" / "vellarion" / "vellarion-schedule.log");
    EXPECT_TRUE(std::regex_match(
        log, std::regex("(\\d{4}-\\d\\d-\\d\\d \\d{6} firefox-1 to rclone:wd:scheduled: done: "
                        "rclone:wd:scheduled/default" +
                        kStamp + "\\.dat\n){3}")))
        << log;
}

} // namespace
} // namespace vellarion::test
