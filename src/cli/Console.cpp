#include "cli/Console.h"

#include "core/text/Catalogue.h"

#include <CLI/CLI.hpp>
#include <algorithm>
#include <cctype>
#include <iostream>

#ifdef _WIN32
#include <io.h>
#include <windows.h>
// After windows.h.
#include <shellapi.h>
#else
#include <unistd.h>
#endif

namespace vellarion::cli {

namespace {

// Texts written in English elsewhere that the command line shows: the
// command-line parser's refusals, and the core's words on this machine's own
// browsers. In the catalogue so that they reach the user in the user's
// language too.
[[maybe_unused]] constexpr std::string_view kOtherTexts[] = {
    E_("%1 has no version for this machine: its data is reached in a Windows prefix (--prefix) "
       "or on a Windows disk (--windows-root)."),
    E_("The classic Opera"),
    // Where a command works (EnvironmentInfo::describe).
    E_("this Windows"),
    E_("the Windows prefix %1"),
    E_("the demo sandbox %1"),
    E_("the Windows disk %1"),
    E_("this machine's own browsers"),
    E_("this machine's own browsers (home %1)"),
    E_("No %1 data was found here; restoring into %2"),
    // A schedule's password file, as its run finds it.
    E_("cannot read the password file \"%1\""),
    E_("the password file \"%1\" is no file"),
    E_("the password file \"%1\" belongs to another user"),
    E_("the password file \"%1\" may be read by others; make it readable by its owner only "
       "(chmod 600)"),
    E_("cannot read who may read the password file \"%1\""),
    E_("cannot tell who runs the program"),
    E_("%1 is required"),
    E_("A subcommand"),
    E_("%1 requires %2"),
    E_("%1 excludes %2"),
    E_("%1: %2 not in %3"),
    E_("The following argument was not expected: %1"),
    E_("The following arguments were not expected: %1"),
    E_("%1: Value %2 not in range %3 to %4"),
    E_("%1: Value %2 could not be converted"),
    E_("%1: must not be empty"),
    E_("ARCHIVE or --all"),
};

void appendHex(std::string& out, const char* prefix, unsigned value, int digits) {
    static constexpr char kDigits[] = "0123456789abcdef";
    out += prefix;
    for (int shift = (digits - 1) * 4; shift >= 0; shift -= 4) {
        out.push_back(kDigits[(value >> shift) & 0xF]);
    }
}

// The length of the UTF-8 sequence at `at`, 0 when there is none.
std::size_t utf8Length(std::string_view text, std::size_t at) {
    const auto lead = static_cast<unsigned char>(text[at]);
    const std::size_t length = lead >= 0xC2 && lead <= 0xDF   ? 2
                               : lead >= 0xE0 && lead <= 0xEF ? 3
                               : lead >= 0xF0 && lead <= 0xF4 ? 4
                                                              : 0;
    if (length == 0 || at + length > text.size()) {
        return 0;
    }
    for (std::size_t i = 1; i < length; ++i) {
        if ((static_cast<unsigned char>(text[at + i]) & 0xC0) != 0x80) {
            return 0;
        }
    }
    return length;
}

} // namespace

std::string say(std::string_view pattern, std::initializer_list<std::string_view> values) {
    return formatText(translated(pattern), values);
}

std::string commandWord(std::string_view word) {
    const bool plain = !word.empty() && std::all_of(word.begin(), word.end(), [](char c) {
        return std::isalnum(static_cast<unsigned char>(c)) != 0 ||
               std::string_view("-_./:,+=@%").find(c) != std::string_view::npos;
    });
    if (plain) {
        return std::string(word);
    }
#ifdef _WIN32
    return "\"" + std::string(word) + "\"";
#else
    std::string quoted = "'";
    for (char c : word) {
        quoted += c == '\'' ? std::string("'\\''") : std::string(1, c);
    }
    return quoted + "'";
#endif
}

std::string terminalText(std::string_view text, bool keepLineBreaks) {
    std::string out;
    out.reserve(text.size());
    for (std::size_t i = 0; i < text.size();) {
        const auto c = static_cast<unsigned char>(text[i]);
        if (c < 0x80) {
            if (c == '\n' && keepLineBreaks) {
                out.push_back('\n');
            } else if (c == '\n') {
                out += "\\n";
            } else if (c == '\r') {
                out += "\\r";
            } else if (c == '\t') {
                out += "\\t";
            } else if (c < 0x20 || c == 0x7F) {
                appendHex(out, "\\x", c, 2);
            } else {
                out.push_back(static_cast<char>(c));
            }
            ++i;
            continue;
        }
        const std::size_t length = utf8Length(text, i);
        if (length == 0) {
            appendHex(out, "\\x", c, 2);
            ++i;
        } else if (length == 2 && c == 0xC2 && static_cast<unsigned char>(text[i + 1]) < 0xA0) {
            // U+0080 to U+009F: the C1 controls, CSI among them.
            appendHex(out, "\\u", static_cast<unsigned char>(text[i + 1]), 4);
            i += 2;
        } else {
            out.append(text.substr(i, length));
            i += length;
        }
    }
    return out;
}

Console Console::standard() {
#ifdef _WIN32
    const bool terminal = ::_isatty(2) != 0;
#else
    const bool terminal = ::isatty(2) != 0;
#endif
    return Console(std::cout, std::cerr, terminal);
}

void Console::warning(std::string_view text) {
    endProgress();
    err_ << "vellarion-cli: " << say(E_("warning: %1"), {terminalText(translated(text), true)})
         << '\n'
         << std::flush;
}

bool Console::progressDue() const {
    return progressOnErr_ && (!lineShown_ || std::chrono::steady_clock::now() - lastDrawn_ >=
                                                 std::chrono::milliseconds(100));
}

void Console::progress(std::string_view text) {
    if (!progressDue()) {
        return;
    }
    lastDrawn_ = std::chrono::steady_clock::now();
    lineShown_ = true;
    // Keep to one line of a narrow terminal: the end of the text matters most.
    constexpr std::size_t width = 78;
    std::string line = terminalText(text);
    if (line.size() > width) {
        line = "..." + line.substr(line.size() - (width - 3));
    }
    err_ << "\r\033[K" << line << std::flush;
}

void Console::endProgress() {
    if (lineShown_) {
        err_ << "\r\033[K" << std::flush;
        lineShown_ = false;
    }
}

std::vector<std::string> utf8Arguments(int argc, char** argv) {
    std::vector<std::string> arguments;
#ifdef _WIN32
    (void)argv;
    int count = 0;
    wchar_t** wide = ::CommandLineToArgvW(::GetCommandLineW(), &count);
    for (int i = 0; wide != nullptr && i < count; ++i) {
        const int n = ::WideCharToMultiByte(CP_UTF8, 0, wide[i], -1, nullptr, 0, nullptr, nullptr);
        std::string text(static_cast<std::size_t>(n > 0 ? n - 1 : 0), '\0');
        ::WideCharToMultiByte(CP_UTF8, 0, wide[i], -1, text.data(), n, nullptr, nullptr);
        arguments.push_back(std::move(text));
    }
    ::LocalFree(wide);
    (void)argc;
#else
    arguments.assign(argv, argv + argc);
#endif
    return arguments;
}

int run(CLI::App& app, const std::vector<std::string>& arguments, Console& console) {
    std::ostream& err = console.err();
    std::vector<const char*> argv;
    for (const std::string& argument : arguments) {
        argv.push_back(argument.c_str());
    }
    try {
        app.parse(static_cast<int>(argv.size()), argv.data());
        if (console.incomplete()) {
            console.endProgress();
            if (!console.incompleteSaid()) {
                err << "vellarion-cli: "
                    << translated(N_("Готово, но не полностью: названное выше не сохранено."))
                    << '\n';
            }
            return kExitIncomplete;
        }
        return 0;
    } catch (const CLI::ParseError& e) {
        if (e.get_exit_code() == static_cast<int>(CLI::ExitCodes::Success)) {
            return app.exit(e, console.out(), err);
        }
        err << "vellarion-cli: " << terminalText(translated(e.what())) << '\n'
            << say(E_("Run with --help for more information.")) << '\n';
        return 2;
    } catch (const Interrupted& e) {
        console.endProgress();
        err << "vellarion-cli: " << say(E_("interrupted")) << '\n';
        return 130;
    } catch (const std::exception& e) {
        console.endProgress();
        err << "vellarion-cli: " << terminalText(translated(e.what()), true) << '\n';
        return 1;
    }
}

} // namespace vellarion::cli
