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
#include "core/text/Catalogue.h"

#include <CLI/CLI.hpp>

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
    Console console = Console::standard();
    CLI::App app{"Back up and restore web browsers' settings and data.", "vellarion-cli"};
    app.set_version_flag("--version", std::string("vellarion-cli ") + vellarion::config::kVersion);
    app.require_subcommand(1);
    // Messages in the user's language: the environment's, or the one asked
    // for, before or after the command.
    vellarion::setLanguage(vellarion::languageOfEnvironment());
    app.add_option("--language", "Show messages in LANG (ru or en) instead of the environment's")
        ->type_name("LANG")
        ->check(CLI::IsMember({"ru", "en"}))
        ->each([](const std::string& name) {
            vellarion::setLanguage(vellarion::parseLanguage(name).value());
        });
    app.fallthrough();
    addJobCommands(app, console);
    addScheduleCommands(app, console);
    return run(app, utf8Arguments(argc, argv), console);
}
