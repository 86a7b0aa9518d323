#include "cli/FullCommands.h"

#include "cli/CommonOptions.h"
#include "cli/Console.h"
#include "cli/Interrupt.h"
#include "cli/JobOutput.h"
#include "core/wizards/FullJob.h"

#include <CLI/CLI.hpp>
#include <filesystem>
#include <memory>

namespace vellarion::cli {

namespace {

struct Arguments {
    EnvironmentOptions environment;
    std::string browser;
    std::string location;
    bool replace = false;
    std::string installFolder;
};

void run(Console& console, const Arguments& args, Direction direction) {
    const std::unique_ptr<SystemServices> services = makeServices(args.environment, console);
    WizardState state;
    // Files are named below the data root.
    JobOutput output(console, services->paths(), state.ffpath);
    output.allowReplacing(args.replace);
    // A named installation folder is the classic Opera's.
    const BrowserDataSet& data = args.installFolder.empty()
                                     ? browserDataSet(args.browser, *services)
                                     : browserDataSet(args.browser);
    if (!args.installFolder.empty() && data.full.installFolderPrompt.empty()) {
        throw CLI::ValidationError("--install-folder",
                                   std::string(data.name) + " has no installation folder to name");
    }
    // The name the windows ask for once the data is not found.
    state.customdir = args.installFolder;
    FullJob job(*services, data, state, output);
    StopOnInterrupt interrupt;
    // The data root not found: the job refuses with the window's message.
    job.locate();
    endJob(console,
           direction == Direction::Backup ? job.backup(args.location) : job.restore(args.location));
    for (const FullArchive& archive : job.archives()) {
        // Both as this machine names them.
        const std::string file = services->paths().toDisplay(archive.archive);
        std::error_code ec;
        const std::uintmax_t size = std::filesystem::file_size(pathFromUtf8(file), ec);
        const std::string bytes = " (" + std::to_string(ec ? 0 : size) + " bytes)";
        // Staged items come from many places; their staging folder is gone.
        const std::string what = data.full.staged.items.empty()
                                     ? services->paths().toDisplay(archive.folder)
                                     : "the " + std::string(data.name) + " items";
        if (direction == Direction::Backup) {
            console.out() << "Packed " << what << " into " << file << bytes << '\n';
        } else {
            console.out() << "Unpacked " << file << bytes << " into " << what << '\n';
        }
    }
    console.out() << std::flush;
}

void addCommand(CLI::App& app, Console& console, Direction direction) {
    const bool backup = direction == Direction::Backup;
    auto args = std::make_shared<Arguments>();
    CLI::App* command = app.add_subcommand(
        backup ? "full-backup" : "full-restore",
        backup ? "Pack the browser's whole data folder into its archive in DIR "
                 "(fbackup_firefox.dat and its sisters)"
               : "Unpack the browser's archive in DIR over its data folder, replacing files of "
                 "the same names and keeping the others");
    addBrowserArgument(*command, args->browser);
    command
        ->add_option(backup ? "--to" : "--from", args->location,
                     backup ? "The backup location: the folder to write the archive to"
                            : "The backup location: the folder holding the archive")
        ->type_name("DIR")
        ->required();
    addEnvironmentOptions(*command, args->environment);
    command
        ->add_option("--install-folder", args->installFolder,
                     "Opera: the installation folder to find the data through (\"Opera 10\" "
                     "for C:\\Program Files\\Opera 10), where the window asks for it")
        ->type_name("NAME");
    if (backup) {
        addReplaceOption(*command, args->replace);
    }
    command->callback([&console, args, direction] { run(console, *args, direction); });
}

} // namespace

void addFullCommands(CLI::App& app, Console& console) {
    addCommand(app, console, Direction::Backup);
    addCommand(app, console, Direction::Restore);
}

} // namespace vellarion::cli
