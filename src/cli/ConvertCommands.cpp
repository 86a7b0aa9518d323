#include "cli/ConvertCommands.h"

#include "cli/CommonOptions.h"
#include "cli/Console.h"
#include "cli/JobOutput.h"
#include "core/converter/OperaConverter.h"
#include "core/services/Error.h"
#include "core/text/Catalogue.h"

#include <CLI/CLI.hpp>
#include <memory>
#include <optional>

namespace vellarion::cli {

namespace {

struct Arguments {
    EnvironmentOptions environment;
    std::optional<int> conversion;
    bool list = false;
    std::string oldUser;
    std::string oldDrive;
    bool dryRun = false;
};

void list(Console& console) {
    int index = 0;
    for (std::string_view caption : conversionCaptions()) {
        console.out() << index++ << '\t' << translated(caption) << '\n';
    }
    console.out() << std::flush;
}

void convert(Console& console, const Arguments& args) {
    if (args.list) {
        list(console);
        return;
    }
    if (!args.conversion) {
        throw CLI::RequiredError(say(E_("N (the conversion; see --list)")));
    }
    const std::unique_ptr<SystemServices> services = makeServices(args.environment, console);
    ConverterState state;
    OperaConverter converter(*services, state);
    if (!converter.locate()) {
        throw Error(std::string(kPrefsNotFound));
    }
    const ConversionReport report =
        converter.convert(*args.conversion, args.oldUser, args.oldDrive, args.dryRun);
    if (report.outcome == ConversionReport::Outcome::Refused) {
        throw Error(report.refusal);
    }
    console.out() << services->paths().toDisplay(report.file) << '\n';
    for (const ReplacementCount& each : report.counts) {
        console.out() << translated(describe(each.replacement)) << ": " << each.changed << '\n';
    }
    switch (report.outcome) {
    case ConversionReport::Outcome::Unchanged:
        console.out() << say(E_("Nothing to change; the file is left as it was.")) << '\n';
        break;
    case ConversionReport::Outcome::DryRun:
        console.out() << say(E_("Dry run; nothing written.")) << '\n';
        break;
    default:
        break;
    }
    console.out() << std::flush;
}

} // namespace

void addConvertCommands(CLI::App& app, Console& console) {
    auto args = std::make_shared<Arguments>();
    CLI::App* command = app.add_subcommand(
        "convert-opera",
        E_("Rewrite the paths in Opera's operaprefs.ini for another Windows, program folder, drive "
           "or user name (conversion N, see --list); prints the file and how many places each "
           "replacement changed"));
    CLI::Option* number =
        command->add_option("N", args->conversion, E_("The conversion (0 to 11, see --list)"))
            ->check(CLI::Range(0, kConversionCount - 1));
    command->add_flag("--list", args->list, E_("List the conversions and their numbers"))
        ->excludes(number);
    command
        ->add_option("--old-user", args->oldUser,
                     E_("Conversion 11: the user name the paths hold now (the folder below "
                        "\"Users\\\" or \"Documents and Settings\\\")"))
        ->type_name("NAME");
    command
        ->add_option("--old-drive", args->oldDrive,
                     E_("Conversion 10: the drive the paths hold now, such as D:\\"))
        ->type_name("DRIVE");
    command->add_flag("--dry-run", args->dryRun, E_("Count the changes but write nothing"));
    addEnvironmentOptions(*command, args->environment);
    command->callback([&console, args] { convert(console, *args); });
}

} // namespace vellarion::cli
