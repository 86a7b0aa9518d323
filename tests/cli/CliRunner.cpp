#include "CliRunner.h"

#include <chrono>
#include <csignal>
#include <cstring>
#include <fcntl.h>
#include <gtest/gtest.h>
#include <poll.h>
#include <regex>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>

namespace vellarion::test {

namespace fs = std::filesystem;

Cli::Cli(std::vector<std::string> args, bool stderrIsTerminal, const fs::path& homeFolder) {
    outFile_ = tmp_ / "stdout";
    errFile_ = tmp_ / "stderr";
    const fs::path home = homeFolder.empty() ? tmp_ / "home" : homeFolder;
    fs::create_directories(home);
    int terminal = -1;
    std::string slaveName;
    if (stderrIsTerminal) {
        terminal = ::posix_openpt(O_RDWR | O_NOCTTY);
        ::grantpt(terminal);
        ::unlockpt(terminal);
        slaveName = ::ptsname(terminal);
        master_ = terminal;
    }
    args.insert(args.begin(), VELLARION_CLI_PATH);
    pid_ = ::fork();
    if (pid_ == 0) {
        const int out = ::open(outFile_.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
        const int err = stderrIsTerminal
                            ? ::open(slaveName.c_str(), O_RDWR)
                            : ::open(errFile_.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
        const int in = ::open("/dev/null", O_RDONLY);
        ::dup2(in, 0);
        ::dup2(out, 1);
        ::dup2(err, 2);
        ::unsetenv("WINEPREFIX");
        ::unsetenv("XDG_CONFIG_HOME");
        // No user manager of the machine's user is ever reached.
        ::unsetenv("XDG_RUNTIME_DIR");
        ::unsetenv("DBUS_SESSION_BUS_ADDRESS");
        // A session bus when the test is about one (SessionBus).
        if (const char* bus = ::getenv("VELLARION_TEST_BUS")) {
            ::setenv("DBUS_SESSION_BUS_ADDRESS", bus, 1);
        }
        ::setenv("HOME", home.c_str(), 1);
        // A user of an English locale, unless the test is about another:
        // the suites assert the command line's messages in English.
        const char* locale = ::getenv("VELLARION_TEST_LANG");
        for (const char* name : {"LANGUAGE", "LC_ALL", "LC_MESSAGES"}) {
            ::unsetenv(name);
        }
        ::setenv("LANG", locale != nullptr ? locale : "en_US.UTF-8", 1);
        std::vector<char*> argv;
        for (std::string& a : args) {
            argv.push_back(a.data());
        }
        argv.push_back(nullptr);
        ::execv(argv[0], argv.data());
        ::_exit(127);
    }
}

Result Cli::wait() {
    Result result;
    int status = 0;
    // A command that hangs fails the test instead of holding it forever.
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(60);
    for (;;) {
        if (master_ >= 0) {
            drainTerminal(10);
        } else {
            std::this_thread::sleep_for(std::chrono::milliseconds(2));
        }
        if (::waitpid(pid_, &status, WNOHANG) == pid_) {
            break;
        }
        if (std::chrono::steady_clock::now() > deadline) {
            ::kill(pid_, SIGKILL);
            ::waitpid(pid_, &status, 0);
            ADD_FAILURE() << "vellarion-cli did not finish within a minute";
            break;
        }
    }
    if (master_ >= 0) {
        drainTerminal(50);
        ::close(master_);
    }
    result.exitCode = WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
    result.out = readFile(outFile_);
    result.err = master_ >= 0 ? terminalText_ : readFile(errFile_);
    // The line naming the environment comes first; the rest is the command's.
    for (const std::string_view using_ : {"vellarion-cli: using ", "vellarion-cli: работаю с: "}) {
        if (result.err.starts_with(using_)) {
            const size_t end = result.err.find('\n');
            result.environment = result.err.substr(using_.size(), end - using_.size());
            result.err.erase(0, end == std::string::npos ? std::string::npos : end + 1);
        }
    }
    return result;
}

void Cli::drainTerminal(int timeoutMs) {
    pollfd p{master_, POLLIN, 0};
    while (::poll(&p, 1, timeoutMs) > 0 && (p.revents & POLLIN)) {
        char buffer[4096];
        const ssize_t n = ::read(master_, buffer, sizeof buffer);
        if (n <= 0) {
            break;
        }
        terminalText_.append(buffer, static_cast<std::size_t>(n));
    }
}

Result run(std::vector<std::string> args, const fs::path& home) {
    return Cli(std::move(args), false, home).wait();
}

std::string incompressible(std::size_t size) {
    std::string data(size / 8 * 8, '\0');
    std::uint64_t x = 88172645463325252ull;
    for (std::size_t i = 0; i < data.size(); i += 8) {
        x ^= x << 13;
        x ^= x >> 7;
        x ^= x << 17;
        std::memcpy(&data[i], &x, 8);
    }
    return data;
}

void interruptOncePacking(Cli& cli, const fs::path& folder) {
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(30);
    for (bool started = false; !started && std::chrono::steady_clock::now() < deadline;) {
        for (const auto& entry : fs::directory_iterator(folder)) {
            started = started || entry.path().extension() == ".tmp";
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(2));
    }
    ::kill(cli.pid(), SIGINT);
}

std::string Cli::errorsSoFar() const {
    std::error_code ec;
    return fs::exists(errFile_, ec) ? readFile(errFile_) : std::string();
}

bool waitForError(const Cli& cli, std::string_view text) {
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(30);
    while (cli.errorsSoFar().find(text) == std::string::npos) {
        if (std::chrono::steady_clock::now() > deadline) {
            return false;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
    }
    return true;
}

bool waitForEntry(const fs::path& folder, std::string_view part) {
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(30);
    while (std::chrono::steady_clock::now() < deadline) {
        std::error_code ec;
        for (fs::directory_iterator it(folder, ec), end; !ec && it != end; it.increment(ec)) {
            const std::string name = it->path().filename().string();
            if (name.find(part) != std::string::npos) {
                return true;
            }
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(2));
    }
    return false;
}

bool hasCyrillic(const std::string& text) {
    // U+0400…U+04FF are the bytes D0 and D1 followed by a continuation byte.
    for (std::size_t i = 0; i + 1 < text.size(); ++i) {
        const auto lead = static_cast<unsigned char>(text[i]);
        if ((lead == 0xD0 || lead == 0xD1) &&
            (static_cast<unsigned char>(text[i + 1]) & 0xC0) == 0x80) {
            return true;
        }
    }
    return false;
}

std::string englishSentence(const std::string& text) {
    static const std::regex quoted("\"[^\"\n]*\"");
    static const std::regex tokens("[^\\s]*[/\\\\][^\\s]*|(^|\\s)--?[A-Za-z][^\\s]*|"
                                   "vellarion-cli( [a-z][a-z-]*)*");
    static const std::regex sentence("[A-Za-z]{2,}( [A-Za-z]{2,}){2,}");
    const std::string plain =
        std::regex_replace(std::regex_replace(text, quoted, " "), tokens, " ");
    std::smatch found;
    return std::regex_search(plain, found, sentence) ? found.str() : std::string();
}

std::string s(const fs::path& p) {
    return p.string();
}

} // namespace vellarion::test
