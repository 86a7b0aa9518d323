#include "cli/ScheduleCommands.h"

#include "cli/CommonOptions.h"
#include "cli/Console.h"
#include "cli/CoreTexts.h"
#include "cli/Interrupt.h"
#include "cli/JobOutput.h"
#include "cli/RemoteLocation.h"
#include "cli/SystemReason.h"
#include "core/Config.h"
#include "core/remote/Rclone.h"
#include "core/schedule/KeptVersions.h"
#include "core/schedule/Schedule.h"
#include "core/services/ChildProcess.h"
#include "core/services/Error.h"
#include "core/services/PathMapper.h"
#include "core/services/Text.h"
#include "core/text/Catalogue.h"

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
        throw Error(say(E_("no schedule \"%1\" (see schedule list)"), {id}));
    }
    return *found;
}

void add(Console& console, Arguments& args) {
    Schedule s = args.schedule;
    if (s.full && (!s.profile.empty() || !s.items.empty())) {
        throw CLI::ValidationError(
            "--full", say(E_("a full backup takes the whole data folder: no --profile or --items")));
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
    waitDuration(s.wait);
    SchedulerResult installed;
    std::tie(s, installed) = addSchedule(ScheduleStore::standard(), s, runningProgram());
    console.out() << say(E_("Added schedule %1"), {shownSummary(s)}) << '\n';
    for (const fs::path& file : installed.written) {
        console.out() << terminalText(say(E_("Wrote %1"), {pathToUtf8(file)})) << '\n';
    }
    console.out() << std::flush;
    if (!installed.note.empty()) {
        console.warning(installed.note);
    }
    // Said now rather than found out at the first run.
    try {
        const std::unique_ptr<SystemServices> services = makeServices(args.environment, console);
        if (!dataFound(*services, browserDataSet(s.browser, *services))) {
            console.warning(
                say(E_("%1 has no data here: its runs will fail until it has"), {s.browser}));
        }
    } catch (const Error& e) {
        console.warning(e.what());
    }
    if (!isRemoteLocation(s.location)) {
        const fs::path parent = pathFromUtf8(s.location).parent_path();
        std::error_code ec;
        if (!fs::is_directory(parent, ec)) {
            console.warning(say(E_("%1 does not exist: the runs will fail until it does (a drive "
                                   "to connect?)"),
                                {pathToUtf8(parent)}));
        }
    }
}

void list(Console& console) {
    const ScheduleStore store = ScheduleStore::standard();
    // The state in the user's language; why a run failed as the run said it,
    // in the schedule's.
    const long long now = scheduleClock();
    for (const Schedule& s : store.load()) {
        const ScheduleState state = loadScheduleState(store, s.id);
        console.out() << shownSummary(s) << '\t'
                      << terminalText(scheduleStateSummary(state, scheduleOverdue(s, state, now)))
                      << '\n';
    }
    console.out() << std::flush;
}

void remove(Console& console, const std::string& id) {
    if (!removeSchedule(ScheduleStore::standard(), id)) {
        throw Error(say(E_("no schedule \"%1\" (see schedule list)"), {id}));
    }
    console.out() << terminalText(say(E_("Removed schedule %1"), {id})) << '\n' << std::flush;
}

// The exit status of a backup that ended, but without something it named:
// its archive is no complete one.
constexpr int kIncompleteStatus = 3;

#ifndef _WIN32
// A text as a GVariant string literal, which gdbus reads its arguments as.
std::string variantString(std::string_view text) {
    std::string quoted = "'";
    for (const char c : text) {
        if (c == '\\' || c == '\'') {
            quoted += '\\';
        }
        quoted += c;
    }
    return quoted + "'";
}
#endif

// A desktop notification through the session's notification service, where
// there is a session bus and gdbus to reach it; otherwise the log alone
// tells. Windows: the log alone.
void notifyDesktop(const std::string& summary, const std::string& body) {
#ifndef _WIN32
    const char* address = std::getenv("DBUS_SESSION_BUS_ADDRESS");
    const char* runtime = std::getenv("XDG_RUNTIME_DIR");
    std::error_code ec;
    const bool bus =
        (address != nullptr && *address != '\0') ||
        (runtime != nullptr && *runtime == '/' && fs::exists(fs::path(runtime) / "bus", ec));
    const std::optional<fs::path> gdbus = bus ? findProgram("gdbus") : std::nullopt;
    if (!gdbus) {
        return;
    }
    ChildRequest request;
    request.program = *gdbus;
    request.arguments = {"call",
                         "--session",
                         "--dest",
                         "org.freedesktop.Notifications",
                         "--object-path",
                         "/org/freedesktop/Notifications",
                         "--method",
                         "org.freedesktop.Notifications.Notify",
                         variantString(config::kApplicationTitle),
                         "0",
                         variantString("dialog-warning"),
                         variantString(summary),
                         variantString(body),
                         "[]",
                         "{}",
                         "-1"};
    request.discardOutput = true;
    request.errorLine = [](std::string_view) {};
    runChild(request);
#else
    (void)summary;
    (void)body;
#endif
}

long long secondsOf(std::chrono::system_clock::time_point when) {
    return std::chrono::duration_cast<std::chrono::seconds>(when.time_since_epoch()).count();
}

// The scheduler's run: the backup as `backup` or `full-backup` runs it, in
// a child process of its own, its output on this console and its end in the
// log beside the archives and in the schedule's state. A run that did not
// write a complete archive (the backup ended with any status but 0, the
// browser held the data, the location's drive is not there) fails: the
// command exits non-zero, the earlier archives stay, and on Linux the
// desktop is told.
void runSchedule(Console& console, const std::string& id) {
    const ScheduleStore store = ScheduleStore::standard();
    const Schedule s = scheduleOf(id);
    // The run speaks the language the schedule was added in, whatever the
    // scheduler's environment says; --language still chooses.
    if (!languageAsked()) {
        setLanguage(scheduleLanguage(s, language()));
    }
    const auto now = std::chrono::system_clock::now();
    const bool remote = isRemoteLocation(s.location);
    // A remote's runs, and a run whose location is missing, are logged
    // beside the schedules, each naming where it went.
    fs::path logFolder = scheduleLogFolder(s, store);
    const std::string toRemote = remote ? " " + say(E_("to %1"), {s.location}) : "";
    const auto log = [&](const std::string& what) {
        const std::string line = stampOf(now) + " " + s.id + toRemote + ": " + what;
        if (!appendScheduleLog(logFolder, line)) {
            console.warning(say(E_("cannot write the log \"%1\""),
                                {pathToUtf8(logFolder / kScheduleLog)}));
        }
    };
    ScheduleState state = loadScheduleState(store, s.id);
    state.lastRun = stampOf(now);
    if (state.since.empty()) {
        state.since = state.lastRun;
        state.sinceAt = secondsOf(now);
    }
    const auto save = [&] {
        if (!saveScheduleState(store, s.id, state)) {
            console.warning(
                say(E_("cannot write \"%1\""), {pathToUtf8(scheduleStateFile(store, s.id))}));
        }
    };
    // Ends the run as not complete: said in the state, the log and, unless
    // the user stopped it, on the desktop.
    const auto notComplete = [&](const std::string& result, const std::string& reason) {
        state.result = result;
        state.reason = reason;
        save();
        log(say(result == "failed"       ? E_("failed: %1")
                : result == "incomplete" ? E_("incomplete: %1")
                                         : E_("interrupted: %1"),
                {reason}));
        if (result == "interrupted") {
            throw Interrupted();
        }
        const bool overdue = scheduleOverdue(s, state, secondsOf(now));
        notifyDesktop(overdue ? say(E_("Backup %1: no complete archive since %2"),
                                    {s.id, state.lastComplete.empty() ? state.since
                                                                      : state.lastComplete})
                      : result == "incomplete" ? say(E_("Backup %1 is incomplete"), {s.id})
                                               : say(E_("Backup %1 failed"), {s.id}),
                      reason);
        if (result != "incomplete") {
            throw Error(reason);
        }
    };

    if (!remote) {
        // Of a location whose drive is not there, nothing is made: only its
        // last folder, when what holds it is there.
        const fs::path folder = pathFromUtf8(s.location);
        std::error_code ec;
        if (!fs::is_directory(folder, ec)) {
            if (!fs::is_directory(folder.parent_path(), ec)) {
                logFolder = store.file().parent_path();
                notComplete("failed", say(E_("the backup location %1 is not there: %2 does not "
                                             "exist (a drive not connected?)"),
                                          {s.location, pathToUtf8(folder.parent_path())}));
            }
            if (!fs::create_directory(folder, ec) && !fs::is_directory(folder, ec)) {
                logFolder = store.file().parent_path();
                notComplete("failed", say(E_("Cannot make the folder %1: %2"),
                                          {s.location, systemReason(ec)}));
            }
        }
    }
    if (s.encrypt) {
        if (const std::string problem = passwordFileProblem(pathFromUtf8(s.passwordFile));
            !problem.empty()) {
            notComplete("failed", translated(problem));
        }
    }

    ChildRequest request;
    request.program = runningProgram();
    request.arguments = backupArguments(s);
    request.arguments.push_back("--language=" + std::string(languageName(language())));
    std::string lastLine;
    request.errorLine = [&](std::string_view line) {
        console.err() << line << '\n' << std::flush;
        if (!line.empty()) {
            lastLine = line;
        }
    };
    StopOnInterrupt interrupt;
    request.stopRequested = [] { return StopOnInterrupt::interrupted(); };
    const ChildResult ran = runChild(request);
    console.out() << ran.output << std::flush;
    // Its last line says why it ended ("vellarion-cli: Close Firefox …").
    for (const std::string_view prefix : {"vellarion-cli: ", "warning: "}) {
        if (lastLine.starts_with(prefix)) {
            lastLine.erase(0, prefix.size());
        }
    }
    if (ran.end == ChildResult::End::Stopped ||
        (ran.end == ChildResult::End::Exited && ran.exitCode == 130)) {
        notComplete("interrupted", say(E_("interrupted")));
    }
    if (ran.end == ChildResult::End::NotStarted) {
        notComplete("failed",
                    say(E_("the backup could not be started: %1"), {userText(ran.notStarted)}));
    }
    if (ran.end == ChildResult::End::Killed) {
        notComplete("failed", say(E_("the backup was killed")));
    }
    if (ran.exitCode != 0) {
        const bool incomplete = ran.exitCode == kIncompleteStatus;
        notComplete(incomplete ? "incomplete" : "failed",
                    (lastLine.empty() ? say(E_("the backup failed")) : lastLine) + " (" +
                        say(E_("exit status %1"), {std::to_string(ran.exitCode)}) + ")");
        // The archive is there, without what the backup named: the run ends
        // with the backup's own status, which the backup has said.
        console.markIncomplete(true);
        return;
    }
    state.result = "done";
    state.reason.clear();
    state.lastComplete = state.lastRun;
    state.lastCompleteAt = secondsOf(now);
    save();
    std::string written = ran.output;
    while (!written.empty() && written.back() == '\n') {
        written.pop_back();
    }
    log(say(E_("done: %1"), {written.find('\n') == std::string::npos ? written : "\n" + written}));
}

} // namespace

void addScheduleCommands(CLI::App& app, Console& console) {
    auto args = std::make_shared<Arguments>();
    CLI::App* schedule = app.add_subcommand(
        "schedule", E_("Backups that run themselves: a systemd user timer (Linux) or a Task "
                       "Scheduler task (Windows) that runs \"schedule run ID\""));
    schedule->require_subcommand(1);

    CLI::App* addCommand = schedule->add_subcommand(
        "add", E_("Add a schedule: a backup of BROWSER into DIR, hourly, daily or weekly"));
    Schedule& s = args->schedule;
    addBrowserArgument(*addCommand, s.browser);
    addCommand
        ->add_option(
            "--to", s.location,
            E_("The backup location: a folder, or rclone:REMOTE:PATH (the runs' log is then "
               "kept beside the schedules)"))
        ->type_name("DIR")
        ->required();
    addCommand->add_flag("--full", s.full, E_("A full backup (full-backup) instead of the items"));
    addCommand->add_option("--profile", s.profile, E_("The profile (default: the first)"))
        ->type_name("NAME");
    addCommand
        ->add_option("--items", s.items,
                     E_("The items, separated by commas (default: those the window starts with "
                        "ticked)"))
        ->type_name("KEYS");
    addCommand->add_option("--every", s.every, E_("How often (default: daily)"))
        ->type_name("hourly|daily|weekly")
        ->check(CLI::IsMember({"hourly", "daily", "weekly"}));
    addCommand
        ->add_option("--keep", s.keep,
                     E_("Keep the newest N versions, each with the time in its name (default: one "
                        "archive, replaced)"))
        ->type_name("N")
        ->check(CLI::Range(1, 1000));
    CLI::Option* passwordFile =
        addCommand
            ->add_option("--password-file", s.passwordFile,
                         E_("The file the password is read from at each run (readable by its owner "
                            "only; the schedule keeps its name, never the password)"))
            ->type_name("FILE");
    addCommand->add_flag("--encrypt", s.encrypt, E_("Encrypt the archives"))->needs(passwordFile);
    addAllowPlainOption(*addCommand, s.allowPlain);
    passwordFile->needs("--encrypt");
    addCommand
        ->add_flag("--wait{forever}", s.wait,
                   E_("When the browser holds its data, each run waits until it lets go (at most "
                      "DURATION, as in 30m or 2h, given as --wait=DURATION) instead of failing"))
        ->type_name("DURATION");
#ifdef _WIN32
    addCommand->add_flag("--whether-logged-on", s.whetherLoggedOn,
                         E_("Run whether the user is logged on or not (no password is stored; "
                            "only local resources)"));
#endif
    addEnvironmentOptions(*addCommand, args->environment);
    addCommand->callback([&console, args] { add(console, *args); });

    CLI::App* listCommand = schedule->add_subcommand(
        "list", E_("List the schedules: id, how often, the backup each runs, its last run with its "
                   "result, and its last complete archive"));
    listCommand->callback([&console] { list(console); });

    CLI::App* removeCommand =
        schedule->add_subcommand("remove", E_("Remove the schedule ID and its timer or task"));
    removeCommand->add_option("ID", args->id, E_("The schedule"))->required();
    removeCommand->callback([&console, args] { remove(console, args->id); });

    CLI::App* runCommand = schedule->add_subcommand(
        "run", formatText(E_("Run the schedule ID now, as the scheduler does (the log: %1 beside "
                             "the archives)"),
                          {kScheduleLog}));
    runCommand->add_option("ID", args->id, E_("The schedule"))->required();
    runCommand->callback([&console, args] { runSchedule(console, args->id); });
}

} // namespace vellarion::cli
