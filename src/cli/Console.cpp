#include "cli/Console.h"

#include "cli/CoreTexts.h"
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
    // The parser's own words in --help.
    E_("Options"),
    E_("Subcommands"),
};

// The parser's labels in --help, each with its text in the catalogue.
constexpr std::string_view kHelpLabels[] = {
    E_("Usage"),    E_("OPTIONS"), E_("SUBCOMMAND"), E_("SUBCOMMANDS"), E_("Positionals"),
    E_("REQUIRED"), E_("Env"),     E_("Needs"),      E_("Excludes"),    E_("TEXT"),
    E_("INT"),      E_("UINT"),    E_("FLOAT"),      E_("POSITIVE"),    E_("NOT BLANK"),
};

// A type's words in --help: "INT in [1 - 1000]" is the parser's own.
[[maybe_unused]] constexpr std::string_view kHelpTypes[] = {
    E_("INT in [%1 - %2]"),
};

bool languageChosen = false;

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

// How many columns a text of UTF-8 takes on a terminal (one per character).
std::size_t columns(std::string_view text) {
    return static_cast<std::size_t>(std::count_if(text.begin(), text.end(), [](char c) {
        return (static_cast<unsigned char>(c) & 0xC0) != 0x80;
    }));
}

// The help's texts translated as the help is printed. Its two columns are
// padded by characters, not bytes, so that Russian labels line up.
class TranslatedHelp : public CLI::Formatter {
public:
    TranslatedHelp() {
        for (const std::string_view key : kHelpLabels) {
            label(std::string(key), translated(key));
        }
    }

    std::string make_group(std::string group, bool isPositional,
                           std::vector<const CLI::Option*> options) const override {
        return CLI::Formatter::make_group(translated(group), isPositional, std::move(options));
    }

    std::string make_subcommands(const CLI::App* app, CLI::AppFormatMode mode) const override {
        std::string made = CLI::Formatter::make_subcommands(app, mode);
        const std::string group = "\nSubcommands:\n";
        if (const std::size_t at = made.find(group); at != std::string::npos) {
            made.replace(at, group.size(), "\n" + translated(E_("Subcommands")) + ":\n");
        }
        return made;
    }

    std::string make_subcommand(const CLI::App* sub) const override {
        return line(sub->get_display_name(true), translated(sub->get_description()));
    }

    std::string make_description(const CLI::App* app) const override {
        std::string made = CLI::Formatter::make_description(app);
        const std::string& own = app->get_description();
        if (!own.empty() && made.starts_with(own)) {
            made = translated(own) + made.substr(own.size());
        }
        return made;
    }

    std::string make_option(const CLI::Option* option, bool isPositional) const override {
        return line(make_option_name(option, isPositional) + make_option_opts(option),
                    make_option_desc(option));
    }

    std::string make_option_opts(const CLI::Option* option) const override {
        std::string made = CLI::Formatter::make_option_opts(option);
        // The type's words, and those of the checks on it ("TEXT:{ru,en}",
        // "INT in [1 - 1000]"), are the parser's: translated each.
        const std::string type = option->get_type_name();
        if (const std::size_t at = made.find(" " + type);
            !type.empty() && at != std::string::npos) {
            std::string shown;
            for (std::size_t start = 0; start <= type.size();) {
                const std::size_t colon = std::min(type.find(':', start), type.size());
                shown += (start == 0 ? "" : ":") + translated(type.substr(start, colon - start));
                start = colon + 1;
            }
            made.replace(at + 1, type.size(), shown);
        }
        return made;
    }

    std::string make_option_desc(const CLI::Option* option) const override {
        return translated(option->get_description());
    }

private:
    // One entry: its name, then its description from the column on (on a
    // line of its own when the name reaches the column).
    std::string line(const std::string& name, const std::string& description) const {
        std::string out = "  " + name;
        const std::size_t width = get_column_width();
        if (!description.empty()) {
            const std::size_t used = columns(out);
            out += used >= width ? "\n" + std::string(width, ' ') : std::string(width - used, ' ');
            for (const char c : description) {
                out += c;
                if (c == '\n') {
                    out += std::string(width, ' ');
                }
            }
        }
        return out + "\n";
    }
};

} // namespace

void chooseLanguage(const std::vector<std::string>& arguments) {
    setLanguage(languageOfEnvironment());
    languageChosen = false;
    for (std::size_t i = 1; i < arguments.size(); ++i) {
        const std::string& argument = arguments[i];
        if (argument == "--") {
            break;
        }
        std::optional<Language> asked;
        if (argument == "--language" && i + 1 < arguments.size()) {
            asked = parseLanguage(arguments[++i]);
        } else if (argument.starts_with("--language=")) {
            asked = parseLanguage(std::string_view(argument).substr(11));
        }
        // A name the option refuses is the parser's to say.
        if (asked) {
            setLanguage(*asked);
            languageChosen = true;
        }
    }
}

bool languageAsked() {
    return languageChosen;
}

std::shared_ptr<CLI::FormatterBase> helpFormatter() {
    return std::make_shared<TranslatedHelp>();
}

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
    err_ << "vellarion-cli: " << say(E_("warning: %1"), {terminalText(userText(text), true)})
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
        err << "vellarion-cli: " << terminalText(userText(e.what())) << '\n'
            << say(E_("Run with --help for more information.")) << '\n';
        return 2;
    } catch (const Interrupted& e) {
        console.endProgress();
        err << "vellarion-cli: " << say(E_("interrupted")) << '\n';
        return 130;
    } catch (const std::exception& e) {
        console.endProgress();
        err << "vellarion-cli: " << terminalText(userText(e.what()), true) << '\n';
        return 1;
    }
}

} // namespace vellarion::cli
