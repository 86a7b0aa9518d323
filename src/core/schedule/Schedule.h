#pragma once

#include "core/text/Catalogue.h"

#include <filesystem>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace vellarion {

// A backup that runs itself: what `vellarion-cli schedule add` and the
// window's "Расписание" store, and the platform's scheduler starts as
// `vellarion-cli schedule run ID`. It keeps no password: it names the file
// that holds it.
struct Schedule {
    std::string id;       // "firefox-1": the browser and a number
    std::string browser;  // the command-line name of the browser
    std::string location; // the backup location, a whole path of this machine or rclone:REMOTE:PATH
    bool full = false;    // full-backup instead of backup
    std::string profile;  // "" for the first
    std::string items;    // "" for those the window starts with ticked
    std::string every = "daily"; // "hourly", "daily" or "weekly"
    int keep = 0;                // 0: one archive, replaced each time
    bool encrypt = false;
    std::string passwordFile;     // with `encrypt`
    bool allowPlain = false;      // a remote gets it unencrypted, passwords and cookies too
    bool whetherLoggedOn = false; // Windows: also while the user is not logged on
    // How long a run waits for the browser to let go of its data: "" not at
    // all, "forever", or a duration ("2h"): --wait[=DURATION].
    std::string wait;
    // The environment options of the command line ("--prefix=/x").
    std::vector<std::string> environment;
    // The language of its runs' log, state and notifications ("ru" or
    // "en"): the user's when it was added, whatever the scheduler's
    // environment says; "" (a schedule stored without one) for the
    // environment's.
    std::string language;
};

// The three ways to repeat a schedule.
bool isEvery(std::string_view every);

// The vellarion-cli arguments of the backup a schedule runs: `backup` or
// `full-backup` with its options (the password file, never a password).
std::vector<std::string> backupArguments(const Schedule& schedule);

// Why the password file may not serve a schedule ("" when it may): it must
// be a file readable by its owner only, the user running the program.
std::string passwordFileProblem(const std::filesystem::path& file);

// The schedules of the user, in a small file of the program's own
// (`schedules.json` in the user's configuration folder), written through a
// temporary file and renamed into place, private to the user. Keys it does
// not know are kept.
class ScheduleStore {
public:
    explicit ScheduleStore(std::filesystem::path file) : file_(std::move(file)) {}
    // The user's: $XDG_CONFIG_HOME/vellarion (~/.config/vellarion), or
    // %APPDATA%\Vellarion on Windows.
    static ScheduleStore standard();

    const std::filesystem::path& file() const { return file_; }

    // Throws Error when the file cannot be read or is no list of schedules.
    std::vector<Schedule> load() const;
    // Adds the schedule under a new id ("<browser>-<n>", the lowest free
    // number) and returns it.
    Schedule add(Schedule schedule) const;
    // False when there is no schedule of that id.
    bool remove(std::string_view id) const;
    std::optional<Schedule> find(std::string_view id) const;

private:
    void save(const std::vector<Schedule>& schedules) const;
    std::filesystem::path file_;
};

// The platform's scheduler: on Linux a systemd user service and timer, on
// Windows a Task Scheduler task of the user.
struct SchedulerResult {
    std::vector<std::filesystem::path> written; // the unit files (Linux)
    std::string note;                           // what the user must know or do ("" when nothing)
};

// Makes the schedule run: `program` is vellarion-cli, started with
// `schedule run ID`. Throws Error when the scheduler refuses.
SchedulerResult installSchedule(const Schedule& schedule, const std::filesystem::path& program);
// Takes it away again (units disabled and deleted, the task deleted).
void uninstallSchedule(const Schedule& schedule);

// Adds a schedule and makes it run, as both front ends do: its language
// the current one unless it names one, the password file checked first
// (refused with Error when others may read it), the schedule stored under a
// new id, the scheduler's units or task made (the schedule taken out again
// when that fails).
std::pair<Schedule, SchedulerResult> addSchedule(const ScheduleStore& store, Schedule schedule,
                                                 const std::filesystem::path& program);
// Stops the schedule and forgets it; false when there is none of that id.
bool removeSchedule(const ScheduleStore& store, std::string_view id);

// A schedule on one line: its id, how often, the command it runs
// ("firefox-1\tdaily\tbackup firefox --to /b --keep 3").
std::string scheduleSummary(const Schedule& schedule);

// The systemd units of a schedule (Linux), as written.
std::string unitName(const Schedule& schedule); // "vellarion-backup-firefox-1"
std::string serviceUnit(const Schedule& schedule, const std::filesystem::path& program);
std::string timerUnit(const Schedule& schedule);
// $XDG_CONFIG_HOME/systemd/user (~/.config/systemd/user).
std::filesystem::path userUnitFolder();

// The executable of the running process.
std::filesystem::path runningProgram();
// vellarion-cli in the folder of `program` (where the two programs are
// installed together).
std::filesystem::path commandLineBeside(const std::filesystem::path& program);

// The Task Scheduler's name of a schedule's task (Windows).
std::string taskName(const Schedule& schedule); // "Vellarion\firefox-1"
#ifdef _WIN32
// The task's definition as handed to the Task Scheduler: its trigger from
// now on, a run missed while the machine was off made up as soon as it can,
// only while the user is logged on unless the schedule asks otherwise.
std::wstring taskDefinition(const Schedule& schedule, const std::filesystem::path& program);
#endif

// What a schedule's runs came to, in a small file of its own beside the
// schedules ("<id>.state.json"), replaced whole at each run.
struct ScheduleState {
    std::string lastRun;          // the time of the last run ("" never run), as stampOf writes it
    std::string result;           // "done", "incomplete", "failed", "interrupted"
    std::string reason;           // why it was not done ("" when it was)
    std::string lastComplete;     // the time of the last complete archive ("" none yet)
    std::string since;            // the time of the first run: how long without one counts from
    long long lastCompleteAt = 0; // the same two in seconds since 1970, 0 for none
    long long sinceAt = 0;
};
std::filesystem::path scheduleStateFile(const ScheduleStore& store, std::string_view id);
// The schedule's state; an empty one when it never ran (or its file is unreadable).
ScheduleState loadScheduleState(const ScheduleStore& store, std::string_view id);
// Writes it through a temporary file renamed into place; false when it
// could not be written.
bool saveScheduleState(const ScheduleStore& store, std::string_view id, const ScheduleState& state);
// The last run, its result and the last complete archive on one line, as
// both front ends show them ("last run 2026-12-11 09:00:00: failed; last
// complete archive 2026-12-10 09:00:00").
// `overdue` adds that the schedule has gone 3 of its periods without one.
std::string scheduleStateSummary(const ScheduleState& state, bool overdue = false);
// Whether the schedule has gone 3 of its periods without a complete archive
// at `now` (seconds since 1970): counted from its last complete archive, or
// from its first run when it never made one. One that never ran is not.
bool scheduleOverdue(const Schedule& schedule, const ScheduleState& state, long long now);
// The clock as the state counts it: seconds since 1970.
long long scheduleClock();
// The language a schedule's runs speak: its own, else `fallback` (the
// environment's, for a schedule stored without one).
Language scheduleLanguage(const Schedule& schedule, Language fallback);
// How long one period of the schedule lasts, in seconds.
long long schedulePeriodSeconds(const Schedule& schedule);

// The log of scheduled runs beside the archives.
inline constexpr std::string_view kScheduleLog = "vellarion-schedule.log";
// The folder of a schedule's log: its backup location, or for a remote one
// (rclone:REMOTE:PATH), which takes archives only, the folder of `store`
// (where a run also logs when its backup location is missing).
std::filesystem::path scheduleLogFolder(const Schedule& schedule, const ScheduleStore& store);
// Appends a line to the log in the folder `location`, private to the user;
// false when it could not be written (a missing folder is not made).
bool appendScheduleLog(const std::filesystem::path& location, std::string_view line);

} // namespace vellarion
