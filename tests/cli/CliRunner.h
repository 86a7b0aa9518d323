#pragma once

// Runs vellarion-cli as a user runs it: a child process with its output
// captured (POSIX only).
#include "TempDir.h"

#include <cstdlib>
#include <filesystem>
#include <string>
#include <sys/types.h>
#include <vector>

namespace vellarion::test {

struct Result {
    int exitCode = -1;
    std::string out;
    std::string err; // without the first line that names the environment:
    // what that line named ("the Windows prefix /tmp/x", "this machine's own
    // browsers (home /home/bob)"), "" when there was none
    std::string environment;
};

// Starts vellarion-cli with stdout and stderr going to files, or stderr to
// a terminal when asked; no input, and nothing of the machine's user (no
// WINEPREFIX, no XDG_CONFIG_HOME, a home of its own or the one given, the
// locale LANG=en_US.UTF-8 or the one a UserLocale names).
class Cli {
public:
    explicit Cli(std::vector<std::string> args, bool stderrIsTerminal = false,
                 const std::filesystem::path& home = {});

    pid_t pid() const { return pid_; }

    // Waits for the command to end (a minute at most) and returns what it did.
    Result wait();
    // What it has written to stderr so far (not with a terminal).
    std::string errorsSoFar() const;

private:
    void drainTerminal(int timeoutMs);

    TempDir tmp_;
    std::filesystem::path outFile_;
    std::filesystem::path errFile_;
    pid_t pid_ = -1;
    int master_ = -1;
    std::string terminalText_;
};

// While it lives, the commands run as a user of that locale (LANG).
class UserLocale {
public:
    explicit UserLocale(const char* lang) { ::setenv("VELLARION_TEST_LANG", lang, 1); }
    ~UserLocale() { ::unsetenv("VELLARION_TEST_LANG"); }
    UserLocale(const UserLocale&) = delete;
    UserLocale& operator=(const UserLocale&) = delete;
};

// While it lives, the commands run with a session bus at that address and
// the programs of `programs` first on their PATH (a gdbus of the test's).
class SessionBus {
public:
    SessionBus(const char* address, const std::filesystem::path& programs)
        : path_(std::getenv("PATH") != nullptr ? std::getenv("PATH") : "") {
        ::setenv("VELLARION_TEST_BUS", address, 1);
        ::setenv("PATH", (programs.string() + ":" + path_).c_str(), 1);
    }
    ~SessionBus() {
        ::unsetenv("VELLARION_TEST_BUS");
        ::setenv("PATH", path_.c_str(), 1);
    }
    SessionBus(const SessionBus&) = delete;
    SessionBus& operator=(const SessionBus&) = delete;

private:
    std::string path_;
};

// Runs vellarion-cli with the arguments to its end (in that home folder).
Result run(std::vector<std::string> args, const std::filesystem::path& home = {});

// Bytes that do not compress: enough of them keep a pack busy for a while.
std::string incompressible(std::size_t size);

// Interrupts the command (SIGINT) once packing has begun: its temporary
// archive (".tmp") appears in the folder.
void interruptOncePacking(Cli& cli, const std::filesystem::path& folder);

// Waits (half a minute at most) until the command's stderr holds `text`;
// false when it never did.
bool waitForError(const Cli& cli, std::string_view text);
// Waits (half a minute at most) until the name of an entry of `folder`
// holds `part` (".tmp": an archive being packed); false when none did.
bool waitForEntry(const std::filesystem::path& folder, std::string_view part);

// Whether the text holds a Cyrillic letter.
bool hasCyrillic(const std::string& text);
// The first English sentence of `text` (three English words in a row), ""
// when there is none: paths, option words, quoted names and the commands
// of the program ("vellarion-cli schedule add") are no sentence.
std::string englishSentence(const std::string& text);

// A path as the command line takes it.
std::string s(const std::filesystem::path& p);

} // namespace vellarion::test
