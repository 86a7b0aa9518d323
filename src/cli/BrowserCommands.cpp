#include "cli/BrowserCommands.h"

#include "cli/CommonOptions.h"
#include "cli/Console.h"
#include "core/services/SystemServices.h"
#include "core/wizards/DataRoot.h"
#include "core/wizards/SelectiveJob.h"

#include <CLI/CLI.hpp>
#include <memory>
#include <nlohmann/json.hpp>
#include <optional>

namespace vellarion::cli {

namespace {

struct Arguments {
    EnvironmentOptions environment;
    bool json = false;
};

// What the list says of one browser.
struct Found {
    const BrowserDataSet* data = nullptr;
    std::string root;               // as this machine names it; "" when not found
    std::optional<size_t> profiles; // none for a browser without profiles
};

Found look(SystemServices& services, const BrowserDataSet& data) {
    Found found{&data, {}, std::nullopt};
    if (!dataFound(services, data)) {
        return found;
    }
    WizardState state;
    JobReporter quiet;
    SelectiveJob job(services, data, state, quiet);
    if (data.selective.listsProfiles && job.locate()) {
        found.profiles = job.profiles.entries.size();
    }
    WizardState full;
    locateDataRoot(services, data, data.full.rootTails, full);
    found.root = services.paths().toDisplay(full.ffpath);
    return found;
}

void browsers(Console& console, const Arguments& args) {
    const std::unique_ptr<SystemServices> services = makeServices(args.environment, console);
    std::vector<Found> list;
    for (const BrowserDataSet* data : allDataSets()) {
        recoverFirst(console, *services, *data);
        list.push_back(look(*services, *data));
    }
    if (args.json) {
        nlohmann::ordered_json out = nlohmann::ordered_json::array();
        for (const Found& each : list) {
            nlohmann::ordered_json entry;
            entry["browser"] = std::string(each.data->ownCliName());
            entry["name"] = std::string(each.data->shownName());
            entry["found"] = !each.root.empty();
            entry["dataRoot"] =
                each.root.empty() ? nlohmann::ordered_json() : nlohmann::ordered_json(each.root);
            entry["profiles"] =
                each.profiles ? nlohmann::ordered_json(*each.profiles) : nlohmann::ordered_json();
            out.push_back(std::move(entry));
        }
        console.out() << out.dump(2, ' ', false, nlohmann::json::error_handler_t::replace) << '\n'
                      << std::flush;
        return;
    }
    for (const Found& each : list) {
        console.out() << each.data->ownCliName() << '\t' << each.data->shownName() << '\t'
                      << (each.root.empty() ? say(E_("not found")) : say(E_("found"))) << '\t'
                      << (each.profiles ? std::to_string(*each.profiles) : std::string("-")) << '\t'
                      << terminalText(each.root) << '\n';
    }
    console.out() << std::flush;
}

} // namespace

void addBrowserCommands(CLI::App& app, Console& console) {
    auto args = std::make_shared<Arguments>();
    CLI::App* command = app.add_subcommand(
        "browsers", E_("List every browser the program knows: its name on the command line, "
                       "whether its data is found here, its number of profiles and its data root"));
    addEnvironmentOptions(*command, args->environment);
    command->add_flag("--json", args->json, E_("Print the list as JSON"));
    command->callback([&console, args] { browsers(console, *args); });
}

} // namespace vellarion::cli
