// vellarion-cli with encrypted archives, run as a user runs it: backups
// encrypted on request, every reading command taking them, and an archive
// that does not open (or opens to damage) leaving everything as it was.
#include "CliRunner.h"
#include "FileTree.h"
#include "SamplePrefixFixture.h"
#include "TempDir.h"

#include <chrono>
#include <cstdlib>
#include <fcntl.h>
#include <filesystem>
#include <gtest/gtest.h>
#include <poll.h>
#include <sys/wait.h>
#include <unistd.h>

namespace vellarion::test {
namespace {

namespace fs = std::filesystem;

constexpr const char* kPassword = "Tr0ub4dor&3-zebra";
constexpr const char* kWrongPassword = "Tr0ub4dor&3-zebrA";
const std::string kRefused = "vellarion-cli: Wrong password, or the archive is damaged\n";

// VELLARION_PASSWORD for the commands run while it lives.
class PasswordVariable {
public:
    explicit PasswordVariable(const char* value) { ::setenv("VELLARION_PASSWORD", value, 1); }
    ~PasswordVariable() { ::unsetenv("VELLARION_PASSWORD"); }
};

// vellarion-cli with standard input and error on a terminal, a user typing
// each line once the text before it has shown. Returns the exit code and
// sets `screen` to what the terminal showed.
int typeOnTerminal(std::vector<std::string> args, const std::vector<std::string>& lines,
                   std::string& screen) {
    const int master = ::posix_openpt(O_RDWR | O_NOCTTY);
    ::grantpt(master);
    ::unlockpt(master);
    const std::string slave = ::ptsname(master);
    args.insert(args.begin(), VELLARION_CLI_PATH);
    const pid_t pid = ::fork();
    if (pid == 0) {
        ::setsid();
        const int terminal = ::open(slave.c_str(), O_RDWR);
        const int null = ::open("/dev/null", O_WRONLY);
        ::dup2(terminal, 0);
        ::dup2(null, 1);
        ::dup2(terminal, 2);
        ::unsetenv("VELLARION_PASSWORD");
        std::vector<char*> argv;
        for (std::string& a : args) {
            argv.push_back(a.data());
        }
        argv.push_back(nullptr);
        ::execv(argv[0], argv.data());
        ::_exit(127);
    }
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(30);
    const auto readScreen = [&](int waitMs) {
        pollfd p{master, POLLIN, 0};
        char buffer[4096];
        ssize_t n = 0;
        while (::poll(&p, 1, waitMs) > 0 && (p.revents & POLLIN) &&
               (n = ::read(master, buffer, sizeof buffer)) > 0) {
            screen.append(buffer, static_cast<std::size_t>(n));
        }
    };
    std::size_t typed = 0;
    std::size_t prompts = 0;
    int status = 0;
    for (;;) {
        readScreen(20);
        // A line for each prompt (": " at the end of what showed).
        const std::size_t shown = screen.ends_with(": ") ? screen.size() : 0;
        if (typed < lines.size() && shown > prompts) {
            const std::string line = lines[typed++] + "\n";
            EXPECT_EQ(::write(master, line.data(), line.size()), static_cast<ssize_t>(line.size()));
            prompts = shown;
        }
        if (::waitpid(pid, &status, WNOHANG) == pid) {
            readScreen(0); // what it wrote just before it ended
            break;
        }
        if (std::chrono::steady_clock::now() > deadline) {
            ::kill(pid, SIGKILL);
            ::waitpid(pid, &status, 0);
            ADD_FAILURE() << "vellarion-cli did not finish: " << screen;
            break;
        }
    }
    ::close(master);
    return WIFEXITED(status) ? WEXITSTATUS(status) : 128;
}

class EncryptedCli : public ::testing::Test {
protected:
    EncryptedCli() {
        ::unsetenv("VELLARION_PASSWORD");
        fs::create_directories(backups);
        // As a Windows editor saves it: the line ends in CR LF, which is no
        // part of the password (the variable below opens what the file made).
        writeFile(passwordFile, std::string(kPassword) + "\r\n");
    }

    Result onSample(std::vector<std::string> args) {
        args.insert(args.end(), {"--prefix", s(fx.sample().prefix), "--user", "demo"});
        return run(std::move(args));
    }

    fs::path profile(std::string_view name) const {
        return fx.onDriveC("users/demo/AppData/Roaming/Mozilla/Firefox/Profiles") /
               std::string(name);
    }
    fs::path dataRoot() const { return fx.onDriveC("users/demo/AppData/Roaming/Mozilla/Firefox"); }

    SamplePrefixFixture fx;
    TempDir dir;
    fs::path backups = dir / "backups";
    fs::path passwordFile = dir / "password";
};

TEST_F(EncryptedCli, SelectiveAndFullBackupsRoundTripWithListAndVerify) {
    const Result packed =
        onSample({"backup", "firefox", "--to", s(backups), "--encrypt", "--password-file",
                  s(passwordFile), "--items", "passwords,cookies,bookmarks"});
    ASSERT_EQ(packed.exitCode, 0) << packed.err;
    // Encrypted: no word about readable passwords.
    EXPECT_EQ(packed.err, "");
    const fs::path archive = backups / "default.dat";
    const std::string bytes = readFile(archive);
    EXPECT_EQ(bytes.substr(0, 16), std::string("\0\0VellarionCrypt", 16));
    EXPECT_EQ(bytes.find("signons"), std::string::npos);
    EXPECT_EQ(bytes.find(kPassword), std::string::npos);

    PasswordVariable variable(kPassword);
    const Result listed = run({"list", s(archive)});
    ASSERT_EQ(listed.exitCode, 0) << listed.err;
    EXPECT_NE(listed.out.find("key3.db\n"), std::string::npos);
    EXPECT_NE(listed.out.find("cookies.sqlite\n"), std::string::npos);
    const Result verified = run({"verify", s(archive)});
    EXPECT_EQ(verified.exitCode, 0) << verified.err;
    EXPECT_EQ(verified.out, s(archive) + ": 8 records, all sound\n");

    const fs::path target = profile("wxyz9876.work");
    fs::remove(target / "key3.db");
    fs::remove(target / "cookies.sqlite");
    const Result restored =
        onSample({"restore", "firefox", "--from", s(backups), "--archive", "default.dat",
                  "--profile", "wxyz9876.work", "--items", "passwords,cookies"});
    ASSERT_EQ(restored.exitCode, 0) << restored.err;
    EXPECT_EQ(readFile(target / "key3.db"), readFile(profile("abcd1234.default") / "key3.db"));
    EXPECT_EQ(readFile(target / "cookies.sqlite"),
              readFile(profile("abcd1234.default") / "cookies.sqlite"));

    // The whole data root, with the password from the environment.
    const auto saved = readTree(dataRoot());
    const Result full = onSample({"full-backup", "firefox", "--to", s(backups), "--encrypt"});
    ASSERT_EQ(full.exitCode, 0) << full.err;
    EXPECT_EQ(full.err, "");
    writeFile(dataRoot() / "profiles.ini", "changed");
    const Result fullRestored = onSample({"full-restore", "firefox", "--from", s(backups)});
    ASSERT_EQ(fullRestored.exitCode, 0) << fullRestored.err;
    EXPECT_EQ(readTree(dataRoot()), saved);

    const Result unpacked = run({"unpack", s(backups / "fbackup_firefox.dat"), s(dir / "out")});
    ASSERT_EQ(unpacked.exitCode, 0) << unpacked.err;
    EXPECT_EQ(readTree(dir / "out"), saved);
}

// Wrong password, a cut, a reorder, a flipped bit: the same words, and
// nothing written, for each command. A plain archive that is damaged is
// still named as damaged.
TEST_F(EncryptedCli, ArchivesThatDoNotOpenWriteNothing) {
    // Chunks enough to reorder.
    writeFile(profile("abcd1234.default") / "cache2" / "entry", noise(700 * 1024));
    ASSERT_EQ(onSample({"full-backup", "firefox", "--to", s(backups), "--encrypt",
                        "--password-file", s(passwordFile)})
                  .exitCode,
              0);
    const fs::path archive = backups / "fbackup_firefox.dat";
    const std::string good = readFile(archive);
    ASSERT_GT(good.size(), 44u + 2 * (256 * 1024 + 28)) << "too small to reorder";
    const std::size_t sealed = 256 * 1024 + 28;
    std::string reordered = good.substr(0, 44) + good.substr(44 + sealed, sealed) +
                            good.substr(44, sealed) + good.substr(44 + 2 * sealed);
    std::string flipped = good;
    flipped[good.size() / 3] = static_cast<char>(flipped[good.size() / 3] ^ 0x04);
    const struct {
        const char* what;
        std::string bytes;
        const char* password;
    } cases[] = {
        {"wrong password", good, kWrongPassword},
        {"truncated", good.substr(0, good.size() - 100), kPassword},
        {"reordered", reordered, kPassword},
        {"bit flipped", flipped, kPassword},
    };
    writeFile(dataRoot() / "profiles.ini", "changed since");
    const auto before = readTree(dataRoot());
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        writeFile(archive, c.bytes);
        PasswordVariable variable(c.password);
        const Result restore = onSample({"full-restore", "firefox", "--from", s(backups)});
        EXPECT_EQ(restore.exitCode, 1);
        EXPECT_EQ(restore.err, kRefused);
        EXPECT_EQ(readTree(dataRoot()), before);
        // Nothing of the job's own beside the data either.
        EXPECT_EQ(entriesOf(dataRoot().parent_path()), std::set<std::string>{"Firefox"});

        const Result unpack = run({"unpack", s(archive), s(dir / "out")});
        EXPECT_EQ(unpack.exitCode, 1);
        EXPECT_EQ(unpack.err, kRefused);
        EXPECT_FALSE(fs::exists(dir / "out"));
        for (const char* command : {"verify", "list"}) {
            const Result r = run({command, s(archive)});
            EXPECT_EQ(r.exitCode, 1) << command;
            EXPECT_EQ(r.err, kRefused) << command;
            EXPECT_EQ(r.out, "") << command;
        }
    }

    // No way to give a password: said, nothing written.
    writeFile(archive, good);
    const Result none = onSample({"full-restore", "firefox", "--from", s(backups)});
    EXPECT_EQ(none.exitCode, 1);
    EXPECT_EQ(none.err,
              "vellarion-cli: \"" + s(archive) +
                  "\" is encrypted: give its password with --password-file FILE or "
                  "VELLARION_PASSWORD, or type it on a terminal. Nothing was restored.\n");
    EXPECT_EQ(readTree(dataRoot()), before);

    // A plain archive with a flipped bit is damage, not a password matter.
    fs::remove(archive);
    ASSERT_EQ(onSample({"full-backup", "firefox", "--to", s(backups)}).exitCode, 0);
    std::string plain = readFile(archive);
    plain[plain.size() - 3] = static_cast<char>(plain[plain.size() - 3] ^ 0x04);
    writeFile(archive, plain);
    PasswordVariable variable(kPassword);
    const Result damaged = onSample({"full-restore", "firefox", "--from", s(backups)});
    EXPECT_EQ(damaged.exitCode, 1);
    EXPECT_TRUE(damaged.err.starts_with("vellarion-cli: Backup File \"fbackup_firefox.dat\" Is "
                                        "Damaged ("))
        << damaged.err;
    EXPECT_EQ(readTree(dataRoot()), before);
}

TEST_F(EncryptedCli, PasswordsNeverShowAndNeverComeFromArguments) {
    const std::vector<std::vector<std::string>> commands = {
        {"backup", "firefox", "--to", s(backups), "--encrypt", "--password-file", s(passwordFile)},
        {"verify", s(backups / "default.dat"), "--password-file", s(passwordFile)},
        {"list", s(backups / "default.dat"), "--password-file", s(passwordFile)},
    };
    for (const auto& command : commands) {
        const Result r = command.front() == "backup" ? onSample(command) : run(command);
        EXPECT_EQ(r.exitCode, 0) << r.err;
        EXPECT_EQ(r.out.find(kPassword), std::string::npos);
        EXPECT_EQ(r.err.find(kPassword), std::string::npos);
    }
    {
        PasswordVariable variable(kWrongPassword);
        const Result wrong = run({"verify", s(backups / "default.dat")});
        EXPECT_EQ(wrong.err, kRefused);
        EXPECT_EQ(wrong.out, "");
    }
    // No option takes a password itself.
    const Result asArgument = run({"verify", s(backups / "default.dat"), "--password", kPassword});
    EXPECT_EQ(asArgument.exitCode, 2);
    // A password file that is empty is refused before anything is written.
    writeFile(passwordFile, "\n");
    const Result empty = onSample({"backup", "firefox", "--to", s(dir / "elsewhere"), "--encrypt",
                                   "--password-file", s(passwordFile)});
    EXPECT_EQ(empty.exitCode, 1);
    EXPECT_EQ(empty.err,
              "vellarion-cli: The password file \"" + s(passwordFile) + "\" holds no password\n");
    EXPECT_FALSE(fs::exists(dir / "elsewhere"));
}

TEST_F(EncryptedCli, APasswordTypedOnTheTerminalIsNotShown) {
    writeFile(dir / "in" / "a.txt", "typed");
    std::string screen;
    EXPECT_EQ(typeOnTerminal({"pack", "--encrypt", s(dir / "in"), s(dir / "a.dat")},
                             {"typed-secret", "typed-secret"}, screen),
              0)
        << screen;
    EXPECT_NE(screen.find("Password for the archive: "), std::string::npos) << screen;
    EXPECT_NE(screen.find("The same password again: "), std::string::npos) << screen;
    EXPECT_EQ(screen.find("typed-secret"), std::string::npos) << screen;

    screen.clear();
    EXPECT_EQ(
        typeOnTerminal({"unpack", s(dir / "a.dat"), s(dir / "out")}, {"typed-secret"}, screen), 0)
        << screen;
    EXPECT_EQ(readFile(dir / "out" / "a.txt"), "typed");
    EXPECT_EQ(screen.find("typed-secret"), std::string::npos) << screen;

    // Two that differ: nothing written.
    screen.clear();
    EXPECT_EQ(typeOnTerminal({"pack", "--encrypt", s(dir / "in"), s(dir / "b.dat")}, {"one", "two"},
                             screen),
              1);
    EXPECT_NE(screen.find("vellarion-cli: The two passwords differ"), std::string::npos) << screen;
    EXPECT_FALSE(fs::exists(dir / "b.dat"));
}

TEST_F(EncryptedCli, APlainBackupOfPasswordsOrCookiesSaysSoOnce) {
    const std::string warning =
        "vellarion-cli: warning: the archive holds passwords and cookies readable by anyone "
        "who gets the file (--encrypt protects them)\n";
    const Result secrets =
        onSample({"backup", "firefox", "--to", s(backups), "--items", "passwords,cookies"});
    EXPECT_EQ(secrets.exitCode, 0) << secrets.err;
    EXPECT_EQ(secrets.err, warning);
    const Result bookmarks =
        onSample({"backup", "firefox", "--to", s(backups), "--items", "bookmarks", "--replace"});
    EXPECT_EQ(bookmarks.exitCode, 0) << bookmarks.err;
    EXPECT_EQ(bookmarks.err, "");
    const Result full = onSample({"full-backup", "firefox", "--to", s(backups)});
    EXPECT_EQ(full.exitCode, 0) << full.err;
    EXPECT_EQ(full.err, warning);
    // Still a plain archive, as before.
    EXPECT_NE(readFile(backups / "default.dat").find("bookmarks.html"), std::string::npos);
}

} // namespace
} // namespace vellarion::test
