#include "cli/CommonOptions.h"

#include "cli/Console.h"
#include "cli/SystemReason.h"
#include "core/services/Error.h"
#include "core/services/PathMapper.h"
#include "core/services/ProgramPath.h"
#include "core/services/Text.h"
#include "core/text/Catalogue.h"
#include "core/wizards/DataRoot.h"
#include "core/wizards/Job.h"

#include <CLI/CLI.hpp>
#include <algorithm>
#include <filesystem>
#include <stdexcept>

namespace vellarion::cli {

void addEnvironmentOptions(CLI::App& command, EnvironmentOptions& options) {
    command.add_flag("--native", options.native,
                     E_("Work on the browsers of this machine itself (the default when no Windows "
                        "prefix is named or found)"));
    command.add_flag("--demo", options.demo,
                     E_("Work on the demo sandbox: sample data of every browser"));
    command.add_option("--prefix", options.prefix, E_("Work on the Windows prefix in DIR"))
        ->type_name("DIR");
    command
        .add_option("--windows-root", options.windowsRoot,
                    E_("Work on the Windows disk mounted at DIR (its drive C:)"))
        ->type_name("DIR");
    command.add_option("--user", options.user, E_("The Windows user whose data to use"))
        ->type_name("NAME");
    command
        .add_option("--windows-version", options.windowsVersion,
                    E_("The Windows major version to assume (5: 2000/XP, 6: Vista and later)"))
        ->type_name("N")
        ->check(CLI::PositiveNumber);
}

std::unique_ptr<SystemServices> makeServices(const EnvironmentOptions& options, Console& console) {
    std::unique_ptr<SystemServices> services = makeSystemServices(options);
    // Which data the command works on is the first thing it says: a
    // command run without a prefix may meet this machine's own browsers.
    if (const EnvironmentInfo info = services->environmentInfo();
        info.kind != EnvironmentInfo::Kind::Windows) {
        console.err() << "vellarion-cli: "
                      << terminalText(say(E_("using %1"), {translated(info.describe())})) << '\n'
                      << std::flush;
    }
    return services;
}

namespace {

std::vector<std::string> browserNames() {
    std::vector<std::string> names;
    for (const BrowserDataSet* data : allDataSets()) {
        for (const std::string_view name : {data->cliName(), data->ownCliName()}) {
            if (std::find(names.begin(), names.end(), name) == names.end()) {
                names.emplace_back(name);
            }
        }
    }
    return names;
}

} // namespace

std::string browserNamesHelp() {
    std::string help = say(E_("The browser: %1"), {joinStrings(browserNames(), ", ")});
    for (const std::string& name : browserNames()) {
        const std::vector<const BrowserDataSet*> named = dataSetsNamed(name);
        if (named.size() < 2) {
            continue;
        }
        std::vector<std::string> shown;
        for (const BrowserDataSet* data : named) {
            shown.emplace_back(data->shownName());
        }
        help += ". " + say(E_("%1: the first of %2 whose data is found here (none found: the "
                              "first this system has a version of)"),
                           {name, joinStrings(shown, ", ")});
    }
    return help;
}

void addBrowserArgument(CLI::App& command, std::string& browser) {
    command.add_option("BROWSER", browser, browserNamesHelp())
        ->required()
        ->check(CLI::IsMember(browserNames(), CLI::ignore_case));
}

const BrowserDataSet& browserDataSet(const std::string& browser) {
    const std::vector<const BrowserDataSet*> named = dataSetsNamed(browser);
    if (named.empty()) {
        // addBrowserArgument checks the name before any command runs.
        throw std::logic_error("unknown browser " + browser);
    }
    return *named.front();
}

bool dataFound(const SystemServices& services, const BrowserDataSet& data) {
    if (services.isNative() && !data.native.unavailable.empty()) {
        return false;
    }
    WizardState state;
    return locateDataRoot(services, data, data.full.rootTails, state) &&
           !state.fullFilePath.empty();
}

const BrowserDataSet& browserDataSet(const std::string& browser, const SystemServices& services) {
    const std::vector<const BrowserDataSet*> named = dataSetsNamed(browser);
    if (named.size() > 1) {
        for (const BrowserDataSet* data : named) {
            if (dataFound(services, *data)) {
                return *data;
            }
        }
        // Nothing found: the one whose windows tell the user what to do here.
        for (const BrowserDataSet* data : named) {
            if (!services.isNative() || data->native.unavailable.empty()) {
                return *data;
            }
        }
    }
    return browserDataSet(browser);
}

void recoverFirst(Console& console, SystemServices& services, const BrowserDataSet& data) {
    for (const std::string& sentence : recoverBrowserData(services, data)) {
        console.warning(sentence);
    }
}

const CLI::Validator& notBlank() {
    static const CLI::Validator validator(
        [](const std::string& value) {
            return value.find_first_not_of(" \t") == std::string::npos
                       ? std::string("must not be empty")
                       : std::string();
        },
        "NOT BLANK");
    return validator;
}

std::string browsersFoundHint(const SystemServices& services) {
    std::vector<std::string> found;
    for (const BrowserDataSet* data : allDataSets()) {
        if (dataFound(services, *data)) {
            found.emplace_back(data->ownCliName());
        }
    }
    if (found.empty()) {
        return say(E_("No browser's data is found here (see vellarion-cli browsers)."));
    }
    return say(E_("The browsers whose data is found here: %1 (see vellarion-cli browsers)."),
               {joinStrings(found, ", ")});
}

void makeTypedFolder(const std::string& typed) {
    // A Windows path and a remote are the job's to make.
    if (!backupLocationGiven(typed) || hasDriveLetter(typed) || isRemoteLocation(typed)) {
        return;
    }
    const std::filesystem::path folder = pathFromUtf8(typed);
    std::error_code ec;
    if (std::filesystem::is_directory(folder, ec)) {
        return;
    }
    std::filesystem::create_directories(folder, ec);
    if (ec) {
        throw Error(say(E_("Cannot make the folder %1: %2"), {typed, systemReason(ec)}));
    }
}

void addReplaceOption(CLI::App& command, bool& replace) {
    command.add_flag("--replace", replace,
                     E_("Replace an archive of the same name in the backup location (without it, "
                        "such an archive is left as it is and the command fails)"));
}

void addWaitOptions(CLI::App& command, WaitOptions& options) {
    // A flag, so that "--wait firefox" never takes the browser for a
    // duration: a duration comes as --wait=DURATION.
    command
        .add_flag(
            "--wait{forever}", options.wait,
            E_("When the browser holds its data, wait until it lets go (at most DURATION, "
               "as in 90s, 10m, 2h, when one is given as --wait=DURATION) instead of refusing"))
        ->type_name("DURATION")
        ->check([](const std::string& value) {
            try {
                waitDuration(value);
                return std::string();
            } catch (const Error& e) {
                return std::string(e.what());
            }
        });
    command.add_flag("--no-wait", options.noWait,
                     E_("When another job of this program works on the same data folder, refuse at "
                        "once instead of waiting for it to end"));
}

std::optional<std::chrono::milliseconds> waitDuration(const std::string& value) {
    if (value.empty()) {
        return std::nullopt;
    }
    if (value == "forever") {
        return std::chrono::milliseconds::max();
    }
    const std::size_t digits = value.find_first_not_of("0123456789");
    const std::string unit = digits == std::string::npos ? "s" : value.substr(digits);
    const std::string number = value.substr(0, digits);
    static const std::pair<const char*, long long> kUnits[] = {
        {"s", 1}, {"m", 60}, {"h", 3600}, {"d", 86400}};
    for (const auto& [name, seconds] : kUnits) {
        if (unit == name && !number.empty() && number.size() <= 6) {
            return std::chrono::seconds(std::stoll(number) * seconds);
        }
    }
    throw Error(say(E_("\"%1\" is no duration (as in 90s, 10m, 2h, 1d)"), {value}));
}

} // namespace vellarion::cli
