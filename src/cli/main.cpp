// vellarion-cli: Vellarion's jobs from the command line. Each group of
// commands lives in a file of its own and registers itself here.
#include "cli/ArchiveCommands.h"
#include "cli/BrowserCommands.h"
#include "cli/Console.h"
#include "cli/ConvertCommands.h"
#include "cli/FullCommands.h"
#include "cli/ScheduleCommands.h"
#include "cli/SelectiveCommands.h"
#include "core/Config.h"
#include "core/services/Memory.h"
#include "core/text/Catalogue.h"

#include <CLI/CLI.hpp>

namespace vellarion::cli {
namespace {

// The program's own words in --help.
constexpr const char* kDescription = E_("Back up and restore web browsers' settings and data.");
constexpr const char* kHelpHelp = E_("Print this help message and exit");
constexpr const char* kVersionHelp = E_("Display program version information and exit");
constexpr const char* kLanguageHelp =
    E_("Show messages in LANG (ru or en) instead of the environment's");

} // namespace
} // namespace vellarion::cli

namespace {

// The commands that run jobs, which a scheduled run runs too.
void addJobCommands(CLI::App& app, vellarion::cli::Console& console) {
    using namespace vellarion::cli;
    addArchiveCommands(app, console);
    addFullCommands(app, console);
    addSelectiveCommands(app, console);
    addConvertCommands(app, console);
    addBrowserCommands(app, console);
}

} // namespace

int main(int argc, char** argv) {
    using namespace vellarion::cli;
    vellarion::keepFreedMemoryForReuse();
    // Messages in the user's language: the environment's, or the one asked
    // for, before or after the command; known before any text is made.
    const std::vector<std::string> arguments = utf8Arguments(argc, argv);
    chooseLanguage(arguments);
    Console console = Console::standard();
    CLI::App app{kDescription, "vellarion-cli"};
    app.formatter(helpFormatter());
    app.set_help_flag("-h,--help", kHelpHelp);
    app.set_version_flag("--version", std::string("vellarion-cli ") + vellarion::config::kVersion,
                         kVersionHelp);
    app.require_subcommand(1);
    app.add_option("--language", kLanguageHelp)
        ->type_name("LANG")
        ->check(CLI::IsMember({"ru", "en"}));
    app.fallthrough();
    addJobCommands(app, console);
    addScheduleCommands(app, console);
    return run(app, arguments, console);
}
