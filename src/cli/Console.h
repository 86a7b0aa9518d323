#pragma once

#include "core/text/Catalogue.h"

#include <chrono>
#include <cstdint>
#include <initializer_list>
#include <iosfwd>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

namespace CLI {
class App;
class FormatterBase;
} // namespace CLI

namespace vellarion::cli {

// Where the commands write: results on out; errors, warnings and progress
// on err. Progress is drawn only when err is a terminal.
class Console {
public:
    Console(std::ostream& out, std::ostream& err, bool progressOnErr)
        : out_(out), err_(err), progressOnErr_(progressOnErr) {}

    // Standard output and standard error, progress when stderr is a terminal.
    static Console standard();

    std::ostream& out() { return out_; }
    std::ostream& err() { return err_; }
    // Whether a user reads err on a terminal (no script, no scheduler): the
    // place for hints on what to do next.
    bool interactive() const { return progressOnErr_; }

    // "vellarion-cli: warning: <text>" on err.
    void warning(std::string_view text);

    // Whether a progress line drawn now would show: err is a terminal and the
    // last one is a tenth of a second old.
    bool progressDue() const;
    // Redraws the progress line when it is due.
    void progress(std::string_view text);
    // Removes the progress line.
    void endProgress();

    // A backup finished but left something out, which it named: the
    // command ends with exit code 3 (done, but incomplete), saying so unless
    // that was said already (by the backup a schedule ran).
    void markIncomplete(bool said = false) {
        incomplete_ = true;
        incompleteSaid_ = said;
    }
    bool incomplete() const { return incomplete_; }
    bool incompleteSaid() const { return incompleteSaid_; }

private:
    std::ostream& out_;
    std::ostream& err_;
    bool progressOnErr_;
    bool lineShown_ = false;
    bool incomplete_ = false;
    bool incompleteSaid_ = false;
    std::chrono::steady_clock::time_point lastDrawn_{};
};

// A text of the command line in the user's language: `pattern`, written in
// English and marked E_("…"), translated, then its %1 … %9 filled with the
// values (names, paths, numbers: shown as they are).
std::string say(std::string_view pattern, std::initializer_list<std::string_view> values = {});

// A word of a command for the user to type again: as it is, or quoted where
// the shell would read a space or a sign in it.
std::string commandWord(std::string_view word);

// Text as the terminal shows it: control characters (C0, DEL and the C1
// range) written C-style ("\x1b", "\r", "\u009b"), bytes that are no UTF-8
// as "\xNN", so that a stored name can neither move the cursor, rewrite the
// line nor set the window title. Line breaks stay when `keepLineBreaks`
// (the program's own messages of several lines).
std::string terminalText(std::string_view text, bool keepLineBreaks = false);

// The thrown text of a command that ended because the user interrupted it.
class Interrupted : public std::exception {
public:
    const char* what() const noexcept override { return "interrupted"; }
};

// Chooses the language of the program's texts before its commands are
// made: the one --language asks for (the last given, before the command or
// after it), else the environment's.
void chooseLanguage(const std::vector<std::string>& arguments);
// Whether --language chose it: a schedule's run then keeps to it rather
// than to the schedule's own.
bool languageAsked();

// What --help prints, in the user's language: the descriptions of the
// program, its commands and their options, and the parser's own words
// ("Usage", "OPTIONS", "REQUIRED", "TEXT"). Set on the program before its
// commands are added (they take it over).
std::shared_ptr<CLI::FormatterBase> helpFormatter();

// The program's arguments as UTF-8 text (on Windows from the wide command
// line, elsewhere as they are).
std::vector<std::string> utf8Arguments(int argc, char** argv);

// Parses the arguments and runs the chosen command. Exit codes: 0 done,
// 1 the command failed ("vellarion-cli: <text>" on stderr), 2 the command
// line was wrong, 3 a backup was done but left out what it named,
// 130 interrupted.
inline constexpr int kExitIncomplete = 3;
int run(CLI::App& app, const std::vector<std::string>& arguments, Console& console);

} // namespace vellarion::cli
