#pragma once

#include <filesystem>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace vellarion {

// Another program run as a child of this one: its arguments as a list,
// never through a shell, so that no text of the user's or of a remote is
// ever read as a command. On POSIX posix_spawn, on Windows CreateProcessW
// with a command line quoted as the C runtime reads it back. The child's
// standard input is empty; its output is collected, its errors are handed
// over line by line as they come (its progress), and a stop asked for ends
// it.

struct ChildRequest {
    std::filesystem::path program;      // a whole path, or a name found as findProgram finds it
    std::vector<std::string> arguments; // UTF-8, without the program's own name
    // Variables added to (or replacing those of) this process's environment.
    std::vector<std::pair<std::string, std::string>> environment;
    // Each line the child writes to its standard error, without the line end.
    std::function<void(std::string_view line)> errorLine;
    // Asked about ten times a second; true ends the child (and the result
    // says Stopped).
    std::function<bool()> stopRequested;
    // Ignore the child's standard output rather than collect it.
    bool discardOutput = false;
};

struct ChildResult {
    enum class End {
        Exited,     // it ended by itself; `exitCode` says how
        NotStarted, // no such program, or the system would not start it
        Stopped,    // stopRequested ended it
        Killed,     // a signal (POSIX) ended it
    };
    End end = End::NotStarted;
    int exitCode = -1;
    std::string output; // its standard output, unless discarded
    // Why it did not start (the system's text), with End::NotStarted.
    std::string notStarted;

    bool succeeded() const { return end == End::Exited && exitCode == 0; }
};

// Runs the program and waits for its end.
ChildResult runChild(const ChildRequest& request);

// Where a program called `name` lies ("rclone"; on Windows ".exe" is added
// when the name has no extension): beside the running program first, then
// in the folders of PATH. Nothing when it is in neither.
std::optional<std::filesystem::path> findProgram(std::string_view name);

// The program a request starts: a whole path as it is, a bare name where
// findProgram finds it; nothing when it is not there.
std::optional<std::filesystem::path> programToStart(const std::filesystem::path& program);

// The executable of the running process.
std::filesystem::path currentProgram();

// The command line CreateProcessW is given for these arguments (the
// program's name first): each argument quoted so that the C runtime's
// parser (CommandLineToArgvW) gives it back unchanged.
std::wstring windowsCommandLine(const std::vector<std::wstring>& arguments);

// The lines of a child's standard error, from the pieces its pipe gives:
// each whole line goes to `line` (a "\r\n" end too), the rest waits for
// the next piece; finish() hands over a last line without an end.
class LineSplitter {
public:
    explicit LineSplitter(std::function<void(std::string_view)> line) : line_(std::move(line)) {}
    void add(std::string_view piece);
    void finish();

private:
    std::function<void(std::string_view)> line_;
    std::string pending_;
};

} // namespace vellarion
