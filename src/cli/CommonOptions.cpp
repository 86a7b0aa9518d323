#include "cli/CommonOptions.h"

#include "cli/Console.h"
#include "core/services/Text.h"

#include <CLI/CLI.hpp>
#include <stdexcept>

namespace vellarion::cli {

void addEnvironmentOptions(CLI::App& command, EnvironmentOptions& options) {
    command.add_flag("--native", options.native,
                     "Work on the browsers of this machine itself (the default when no Windows "
                     "prefix is named or found)");
    command.add_flag("--demo", options.demo,
                     "Work on the demo sandbox: sample data of all six browsers");
    command.add_option("--prefix", options.prefix, "Work on the Windows prefix in DIR")
        ->type_name("DIR");
    command
        .add_option("--windows-root", options.windowsRoot,
                    "Work on the Windows disk mounted at DIR (its drive C:)")
        ->type_name("DIR");
    command.add_option("--user", options.user, "The Windows user whose data to use")
        ->type_name("NAME");
    command
        .add_option("--windows-version", options.windowsVersion,
                    "The Windows major version to assume (5: 2000/XP, 6: Vista and later)")
        ->type_name("N")
        ->check(CLI::PositiveNumber);
}

std::unique_ptr<SystemServices> makeServices(const EnvironmentOptions& options, Console& console) {
    std::unique_ptr<SystemServices> services = makeSystemServices(options);
    // Which data the command works on is the first thing it says: a
    // command run without a prefix may meet this machine's own browsers.
    if (const EnvironmentInfo info = services->environmentInfo();
        info.kind != EnvironmentInfo::Kind::Windows) {
        console.err() << "vellarion-cli: using " << info.describe() << '\n' << std::flush;
    }
    return services;
}

void addBrowserArgument(CLI::App& command, std::string& browser) {
    std::vector<std::string> ids;
    for (const BrowserDataSet* data : allDataSets()) {
        ids.emplace_back(data->id);
    }
    command.add_option("BROWSER", browser, "The browser: " + joinStrings(ids, ", "))
        ->required()
        ->check(CLI::IsMember(ids, CLI::ignore_case));
}

const BrowserDataSet& browserDataSet(const std::string& browser) {
    const BrowserDataSet* data = findDataSet(browser);
    if (data == nullptr) {
        // addBrowserArgument checks the name before any command runs.
        throw std::logic_error("unknown browser " + browser);
    }
    return *data;
}

void addReplaceOption(CLI::App& command, bool& replace) {
    command.add_flag("--replace", replace,
                     "Replace an archive of the same name in the backup location (without it, "
                     "such an archive is left as it is and the command fails)");
}

} // namespace vellarion::cli
