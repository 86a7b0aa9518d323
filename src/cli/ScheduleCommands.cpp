#include "cli/ScheduleCommands.h"

#include "cli/CommonOptions.h"
#include "cli/Console.h"
#include "cli/JobOutput.h"
#include "cli/RemoteLocation.h"
#include "core/remote/Rclone.h"
#include "core/schedule/KeptVersions.h"
#include "core/schedule/Schedule.h"
#include "core/services/Error.h"
#include "core/services/PathMapper.h"
#include "core/services/Text.h"

#include <CLI/CLI.hpp>
#include <cstdlib>
#include <filesystem>
#include <sstream>
#include <tuple>

namespace vellarion::cli {

namespace {

// A schedule's line, its columns apart by tabs: the texts in them are the
// user's, so control characters reach the terminal escaped, as list shows
// stored names.
std::string shownSummary(const Schedule& s) {
    const std::string summary = scheduleSummary(s);
    std::string shown;
    for (std::size_t at = 0;;) {
        const std::size_t tab = summary.find('\t', at);
        shown += terminalText(std::string_view(summary).substr(at, tab - at));
        if (tab == std::string::npos) {
            return shown;
        }
        shown += '\t';
        at = tab + 1;
    }
}

namespace fs = std::filesystem;

struct Arguments {
    Schedule schedule;
    EnvironmentOptions environment;
    std::string id;
};

std::string wholePath(const std::string& typed) {
    std::error_code ec;
    const fs::path whole = fs::absolute(pathFromUtf8(typed), ec);
    return ec ? typed : pathToUtf8(whole.lexically_normal());
}

// The environment options as the scheduled run is to get them; without
// any, the prefix $WINEPREFIX names now (the scheduler's runs have no
// $WINEPREFIX).
std::vector<std::string> environmentArguments(const EnvironmentOptions& o) {
    std::vector<std::string> args;
    if (o.native) {
        args.emplace_back("--native");
    }
    if (o.demo) {
        args.emplace_back("--demo");
    }
    if (!o.prefix.empty()) {
        args.push_back("--prefix=" + wholePath(o.prefix));
    }
    if (!o.windowsRoot.empty()) {
        args.push_back("--windows-root=" + wholePath(o.windowsRoot));
    }
    if (!o.user.empty()) {
        args.push_back("--user=" + o.user);
    }
    if (o.windowsVersion) {
        args.push_back("--windows-version=" + std::to_string(*o.windowsVersion));
    }
#ifndef _WIN32
    // On Windows the system itself is asked, whatever the environment says.
    const char* prefix = std::getenv("WINEPREFIX");
    if (!o.native && !o.demo && o.prefix.empty() && o.windowsRoot.empty() && prefix != nullptr &&
        *prefix != '\0') {
        args.push_back("--prefix=" + wholePath(prefix));
    }
#endif
    return args;
}

Schedule scheduleOf(const std::string& id) {
    std::optional<Schedule> found = ScheduleStore::standard().find(id);
    if (!found) {
        throw Error("no schedule \"" + id + "\" (see schedule list)");
    }
    return *found;
}

void add(Console& console, Arguments& args) {
    Schedule s = args.schedule;
    if (s.full && (!s.profile.empty() || !s.items.empty())) {
        throw CLI::ValidationError("--full", "a full backup takes the whole data folder: no "
                                             "--profile or --items");
    }
    if (isRemoteLocation(s.location)) {
        parseRemotePath(s.location); // refused here rather than at every run
        if (s.full) {
            refusePlainSecretsOffMachine(s.location, s.encrypt, s.allowPlain);
        }
    } else {
        s.location = wholePath(s.location);
    }
    s.environment = environmentArguments(args.environment);
    if (s.encrypt) {
        s.passwordFile = wholePath(s.passwordFile);
    }
    SchedulerResult installed;
    std::tie(s, installed) = addSchedule(ScheduleStore::standard(), s, runningProgram());
    console.out() << "Added schedule " << shownSummary(s) << '\n';
    for (const fs::path& file : installed.written) {
        console.out() << "Wrote " << terminalText(pathToUtf8(file)) << '\n';
    }
    console.out() << std::flush;
    if (!installed.note.empty()) {
        console.warning(installed.note);
    }
}

void list(Console& console) {
    for (const Schedule& s : ScheduleStore::standard().load()) {
        console.out() << shownSummary(s) << '\n';
    }
    console.out() << std::flush;
}

void remove(Console& console, const std::string& id) {
    if (!removeSchedule(ScheduleStore::standard(), id)) {
        throw Error("no schedule \"" + id + "\" (see schedule list)");
    }
    console.out() << "Removed schedule " << terminalText(id) << '\n' << std::flush;
}

// The scheduler's run: the backup as `backup` or `full-backup` runs it, its
// output on this console and its end in the log beside the archives. A
// browser that runs skips the run, which is no failure; a failed run has
// left the previous archives as they were.
void runSchedule(Console& console, const std::string& id, const AddJobCommands& addJobCommands) {
    const Schedule s = scheduleOf(id);
    // A remote's runs are logged here, each naming the remote.
    const fs::path location = scheduleLogFolder(s, ScheduleStore::standard());
    const std::string remote = isRemoteLocation(s.location) ? " to " + s.location : "";
    const auto log = [&](const std::string& what) {
        const std::string line =
            stampOf(std::chrono::system_clock::now()) + " " + s.id + remote + ": " + what;
        if (!appendScheduleLog(location, line)) {
            console.warning("cannot write the log \"" + pathToUtf8(location / kScheduleLog) + "\"");
        }
    };
    if (s.encrypt) {
        if (const std::string problem = passwordFileProblem(pathFromUtf8(s.passwordFile));
            !problem.empty()) {
            log("failed: " + problem);
            throw Error(problem);
        }
    }
    std::ostringstream out;
    std::ostringstream err;
    Console captured(out, err, false);
    CLI::App app;
    app.require_subcommand(1);
    addJobCommands(app, captured);
    std::vector<std::string> arguments = backupArguments(s);
    arguments.insert(arguments.begin(), "vellarion-cli");
    std::vector<const char*> argv;
    for (const std::string& a : arguments) {
        argv.push_back(a.c_str());
    }
    std::string failure;
    bool skipped = false;
    try {
        app.parse(static_cast<int>(argv.size()), argv.data());
    } catch (const BrowserRunning& e) {
        skipped = true;
        failure = e.what();
    } catch (const CLI::ParseError& e) {
        failure = e.what();
    } catch (const Interrupted&) {
        throw;
    } catch (const std::exception& e) {
        failure = e.what();
    }
    console.out() << out.str() << std::flush;
    console.err() << err.str() << std::flush;
    if (skipped) {
        log("skipped, the browser runs: " + failure);
        console.out() << "Skipped: " << failure << '\n' << std::flush;
        return;
    }
    if (!failure.empty()) {
        log("failed: " + failure);
        throw Error(failure);
    }
    std::string written = out.str();
    while (!written.empty() && written.back() == '\n') {
        written.pop_back();
    }
    if (captured.incomplete()) {
        // The archive was written, but without what the backup named.
        console.markIncomplete();
    }
    log(std::string(captured.incomplete() ? "done, but incomplete: " : "done: ") +
        (written.find('\n') == std::string::npos ? written : "\n" + written));
}

} // namespace

void addScheduleCommands(CLI::App& app, Console& console, AddJobCommands addJobCommands) {
    auto args = std::make_shared<Arguments>();
    CLI::App* schedule = app.add_subcommand(
        "schedule", "Backups that run themselves: a systemd user timer (Linux) or a Task "
                    "Scheduler task (Windows) that runs \"schedule run ID\"");
    schedule->require_subcommand(1);

    CLI::App* addCommand = schedule->add_subcommand(
        "add", "Add a schedule: a backup of BROWSER into DIR, hourly, daily or weekly");
    Schedule& s = args->schedule;
    addBrowserArgument(*addCommand, s.browser);
    addCommand
        ->add_option("--to", s.location,
                     "The backup location: a folder, or rclone:REMOTE:PATH (the runs' log is then "
                     "kept beside the schedules)")
        ->type_name("DIR")
        ->required();
    addCommand->add_flag("--full", s.full, "A full backup (full-backup) instead of the items");
    addCommand->add_option("--profile", s.profile, "The profile (default: the first)")
        ->type_name("NAME");
    addCommand
        ->add_option("--items", s.items,
                     "The items, separated by commas (default: those the window starts with "
                     "ticked)")
        ->type_name("KEYS");
    addCommand->add_option("--every", s.every, "How often (default: daily)")
        ->type_name("hourly|daily|weekly")
        ->check(CLI::IsMember({"hourly", "daily", "weekly"}));
    addCommand
        ->add_option("--keep", s.keep,
                     "Keep the newest N versions, each with the time in its name (default: one "
                     "archive, replaced)")
        ->type_name("N")
        ->check(CLI::Range(1, 1000));
    CLI::Option* passwordFile =
        addCommand
            ->add_option("--password-file", s.passwordFile,
                         "The file the password is read from at each run (readable by its owner "
                         "only; the schedule keeps its name, never the password)")
            ->type_name("FILE");
    addCommand->add_flag("--encrypt", s.encrypt, "Encrypt the archives")->needs(passwordFile);
    addAllowPlainOption(*addCommand, s.allowPlain);
    passwordFile->needs("--encrypt");
#ifdef _WIN32
    addCommand->add_flag("--whether-logged-on", s.whetherLoggedOn,
                         "Run whether the user is logged on or not (no password is stored; "
                         "only local resources)");
#endif
    addEnvironmentOptions(*addCommand, args->environment);
    addCommand->callback([&console, args] { add(console, *args); });

    CLI::App* listCommand =
        schedule->add_subcommand("list", "List the schedules: id, how often, the backup each runs");
    listCommand->callback([&console] { list(console); });

    CLI::App* removeCommand =
        schedule->add_subcommand("remove", "Remove the schedule ID and its timer or task");
    removeCommand->add_option("ID", args->id, "The schedule")->required();
    removeCommand->callback([&console, args] { remove(console, args->id); });

    CLI::App* runCommand = schedule->add_subcommand(
        "run", "Run the schedule ID now, as the scheduler does (the log: " +
                   std::string(kScheduleLog) + " beside the archives)");
    runCommand->add_option("ID", args->id, "The schedule")->required();
    runCommand->callback(
        [&console, args, addJobCommands] { runSchedule(console, args->id, addJobCommands); });
}

} // namespace vellarion::cli
