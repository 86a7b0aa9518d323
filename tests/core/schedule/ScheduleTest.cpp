// Schedules: the user's file of them, the backup each runs, the password
// file it may name, and the systemd units that start it.
#include "core/schedule/Schedule.h"

#include "FileTree.h"
#include "TempDir.h"
#include "core/services/Error.h"
#include "core/services/PathMapper.h"
#include "core/text/Catalogue.h"

#include <cstdlib>
#include <gtest/gtest.h>
#ifdef _WIN32
#include <windows.h>
#endif
#include <nlohmann/json.hpp>

namespace vellarion {
namespace {

namespace fs = std::filesystem;
using test::TempDir;

TEST(Schedules, TheStoreNumbersThemAndKeepsWhatItDoesNotKnow) {
    TempDir dir;
    const fs::path file = dir / "vellarion" / "schedules.json";
    const ScheduleStore store(file);
    EXPECT_TRUE(store.load().empty());

    Schedule firefox{.browser = "firefox", .location = "/b", .keep = 3};
    EXPECT_EQ(store.add(firefox).id, "firefox-1");
    EXPECT_EQ(store.add(firefox).id, "firefox-2");
    EXPECT_EQ(store.add(Schedule{.browser = "chrome", .location = "/c", .full = true}).id,
              "chrome-1");
    // What a later version wrote stays as it was.
    nlohmann::json document = nlohmann::json::parse(test::readFile(file));
    document["written by"] = "a later version";
    document["schedules"][0]["retries"] = 2;
    test::writeFile(file, document.dump());

    EXPECT_TRUE(store.remove("firefox-1"));
    EXPECT_FALSE(store.remove("firefox-1"));
    EXPECT_EQ(store.add(firefox).id, "firefox-1"); // the lowest free number again
    document = nlohmann::json::parse(test::readFile(file));
    EXPECT_EQ(document["written by"], "a later version");
    ASSERT_EQ(store.load().size(), 3u);
    EXPECT_EQ(store.find("chrome-1")->location, "/c");
    EXPECT_TRUE(store.find("chrome-1")->full);
    EXPECT_FALSE(store.find("opera-1"));
#ifndef _WIN32
    EXPECT_EQ(fs::status(file).permissions() & fs::perms::all,
              fs::perms::owner_read | fs::perms::owner_write);
#endif

    test::writeFile(file, "[1, 2");
    EXPECT_THROW(store.load(), Error);
    EXPECT_EQ(test::readFile(file), "[1, 2"); // a file it cannot read is never replaced
    EXPECT_THROW(store.add(firefox), Error);
    EXPECT_EQ(test::readFile(file), "[1, 2");
}

// A schedule keeps the language it was added in; one stored before
// schedules had a language, or with one the program does not speak, takes
// whatever the environment says.
TEST(Schedules, TheLanguageItWasAddedInIsKept) {
    TempDir dir;
    const fs::path file = dir / "schedules.json";
    const ScheduleStore store(file);
    Schedule russian =
        store.add(Schedule{.browser = "firefox", .location = "/b", .language = "ru"});
    store.add(Schedule{.browser = "chrome", .location = "/c"});
    EXPECT_EQ(scheduleLanguage(*store.find(russian.id), Language::English), Language::Russian);
    EXPECT_EQ(scheduleLanguage(*store.find("chrome-1"), Language::Russian), Language::Russian);
    EXPECT_EQ(scheduleLanguage(*store.find("chrome-1"), Language::English), Language::English);
    const nlohmann::json document = nlohmann::json::parse(test::readFile(file));
    EXPECT_EQ(document["schedules"][0]["language"], "ru");
    EXPECT_FALSE(document["schedules"][1].contains("language"));

    test::writeFile(file, R"({"schedules":[{"id":"opera-1","browser":"opera","location":"/o",)"
                          R"("language":"de"}]})");
    EXPECT_EQ(scheduleLanguage(*store.find("opera-1"), Language::English), Language::English);
}

TEST(Schedules, AFieldThatIsWrongIsTheOneNamed) {
    TempDir dir;
    const fs::path file = dir / "schedules.json";
    const ScheduleStore store(file);
    const std::string head = R"({"schedules":[{"id":"firefox-1","browser":"firefox",)"
                             R"("location":"/b",)";
    const std::vector<std::pair<std::string, std::string>> wrong = {
        {R"("keep":-2})", "says \"keep\": -2; it must be a number from 1 to 1000"},
        {R"("keep":5000})", "says \"keep\": 5000"},
        {R"("keep":"three"})", "keep"},
        {R"("every":"monthly"})", "says \"every\": \"monthly\"; it must be hourly"},
    };
    for (const auto& [fields, named] : wrong) {
        SCOPED_TRACE(fields);
        test::writeFile(file, head + fields + "]}");
        try {
            store.load();
            ADD_FAILURE() << "loaded";
        } catch (const Error& e) {
            EXPECT_NE(std::string(e.what()).find(named), std::string::npos) << e.what();
            EXPECT_EQ(std::string(e.what()).find("every") != std::string::npos,
                      named.find("every") != std::string::npos)
                << e.what();
        }
    }
}

TEST(Schedules, ABackupNamesThePasswordFileNeverThePassword) {
    const Schedule selective{.id = "firefox-1",
                             .browser = "firefox",
                             .location = "/b",
                             .profile = "Work",
                             .items = "bookmarks,history",
                             .keep = 3,
                             .encrypt = true,
                             .passwordFile = "/p/pw",
                             .environment = {"--prefix=/w"}};
    EXPECT_EQ(backupArguments(selective),
              (std::vector<std::string>{"backup", "firefox", "--to", "/b", "--prefix=/w",
                                        "--profile", "Work", "--items", "bookmarks,history",
                                        "--keep", "3", "--encrypt", "--password-file", "/p/pw"}));
    // Without versions, one archive replaced each time.
    const Schedule full{.browser = "chrome", .location = "/c", .full = true};
    EXPECT_EQ(backupArguments(full),
              (std::vector<std::string>{"full-backup", "chrome", "--to", "/c", "--replace"}));
}

// A run's wait for the browser is kept with the schedule and given to the
// backup; what the runs came to is kept beside the schedules, whole or not at
// all, and no log is written into a folder that is not there.
TEST(Schedules, AWaitIsKeptAndTheRunsStateLiesBesideTheSchedules) {
    setLanguage(Language::English);
    TempDir dir;
    const ScheduleStore store(dir / "vellarion" / "schedules.json");
    const Schedule bounded = store.add({.browser = "firefox", .location = "/b", .wait = "2h"});
    const Schedule forever = store.add({.browser = "chrome", .location = "/c", .wait = "forever"});
    EXPECT_EQ(backupArguments(*store.find(bounded.id)).back(), "--wait=2h");
    EXPECT_EQ(backupArguments(*store.find(forever.id)).back(), "--wait");
    EXPECT_EQ(schedulePeriodSeconds(bounded), 24 * 3600);

    EXPECT_EQ(scheduleStateSummary(loadScheduleState(store, bounded.id)), "never run");
    ScheduleState state{.lastRun = "2026-12-11 090000",
                        .result = "failed",
                        .reason = "Close Firefox and try again.",
                        .lastComplete = "2026-12-10 090000",
                        .since = "2026-12-01 090000",
                        .lastCompleteAt = 1796893200,
                        .sinceAt = 1796115600};
    ASSERT_TRUE(saveScheduleState(store, bounded.id, state));
    EXPECT_EQ(scheduleStateFile(store, bounded.id), dir / "vellarion" / "firefox-1.state.json");
    const ScheduleState read = loadScheduleState(store, bounded.id);
    EXPECT_EQ(read.lastCompleteAt, 1796893200);
    EXPECT_EQ(read.sinceAt, 1796115600);
    EXPECT_EQ(scheduleStateSummary(read),
              "last run 2026-12-11 090000: failed (Close Firefox and try again.); last complete "
              "archive 2026-12-10 090000");
    // Only the file itself is left: its temporary copy went.
    EXPECT_EQ(test::namesIn(dir / "vellarion"),
              (std::vector<std::string>{"firefox-1.state.json", "schedules.json"}));
    // A damaged one is one never written.
    test::writeFile(scheduleStateFile(store, bounded.id), "{\"lastRun\": ");
    EXPECT_EQ(scheduleStateSummary(loadScheduleState(store, bounded.id)), "never run");

    EXPECT_FALSE(appendScheduleLog(dir / "media" / "usb", "a line"));
    EXPECT_FALSE(fs::exists(dir / "media"));
    EXPECT_TRUE(appendScheduleLog(dir / "vellarion", "a line"));
    EXPECT_EQ(test::readFile(dir / "vellarion" / std::string(kScheduleLog)), "a line\n");
    // The same state in Russian, the result word translated with the rest.
    setLanguage(Language::Russian);
    EXPECT_EQ(scheduleStateSummary(read),
              "последний запуск 2026-12-11 090000: ошибка (Close Firefox and try again.); "
              "последний полный архив 2026-12-10 090000");
}

// A schedule that has gone 3 of its periods without a complete archive is
// said to be so where its state is shown, counted from its last complete
// archive, or from its first run when it never made one.
TEST(Schedules, ThreePeriodsWithoutACompleteArchiveAreSaid) {
    constexpr long long kDay = 24 * 3600;
    constexpr long long kAt = 1796893200;
    struct Case {
        const char* every;
        ScheduleState state;
        long long after; // seconds after kAt
        bool overdue;
    };
    const ScheduleState completed{.lastCompleteAt = kAt, .sinceAt = kAt - 30 * kDay};
    const ScheduleState neverComplete{.sinceAt = kAt};
    const Case cases[] = {
        {"daily", completed, 3 * kDay - 1, false},
        {"daily", completed, 3 * kDay, true},
        {"daily", neverComplete, 3 * kDay - 1, false},
        {"daily", neverComplete, 3 * kDay, true},
        {"hourly", completed, 3 * 3600, true},
        {"hourly", completed, 2 * 3600, false},
        {"weekly", completed, 20 * kDay, false},
        {"weekly", completed, 21 * kDay, true},
        {"daily", ScheduleState{}, 400 * kDay, false}, // never ran: nothing to count from
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(c.every) + " +" + std::to_string(c.after));
        const Schedule schedule{.browser = "firefox", .location = "/b", .every = c.every};
        EXPECT_EQ(scheduleOverdue(schedule, c.state, kAt + c.after), c.overdue);
    }
    const ScheduleState failing{.lastRun = "2026-12-14 090000",
                                .result = "failed",
                                .lastComplete = "2026-12-10 090000",
                                .lastCompleteAt = kAt};
    setLanguage(Language::English);
    EXPECT_EQ(scheduleStateSummary(failing, true),
              "last run 2026-12-14 090000: failed; last complete archive 2026-12-10 090000; "
              "none for 3 of its periods: see the log");
    setLanguage(Language::Russian);
    EXPECT_TRUE(scheduleStateSummary(failing, true).ends_with("; нет ни одного за 3 периода: см. журнал"))
        << scheduleStateSummary(failing, true);
    setLanguage(Language::English);
}

// A remote location: plain passwords and cookies go there only as the
// schedule says, and its runs are logged beside the schedules.
TEST(Schedules, ARemoteLocationKeepsItsPermissionAndLogsHere) {
    TempDir dir;
    const ScheduleStore store(dir / "vellarion" / "schedules.json");
    const Schedule remote = store.add(
        {.browser = "chrome", .location = "rclone:nas:b", .full = true, .allowPlain = true});
    EXPECT_EQ(backupArguments(*store.find(remote.id)),
              (std::vector<std::string>{"full-backup", "chrome", "--to", "rclone:nas:b",
                                        "--replace", "--allow-plain"}));
    EXPECT_EQ(scheduleLogFolder(remote, store), dir / "vellarion");
    EXPECT_EQ(scheduleLogFolder({.location = "/b"}, store), fs::path("/b"));
}

#ifndef _WIN32
TEST(Schedules, APasswordFileServesOnlyWhenItsOwnerAloneMayReadIt) {
    TempDir dir;
    const fs::path file = dir / "password";
    test::writeFile(file, "secret");
    fs::permissions(file, fs::perms::owner_read | fs::perms::owner_write);
    EXPECT_EQ(passwordFileProblem(file), "");
    fs::permissions(file, fs::perms::owner_read | fs::perms::group_read);
    EXPECT_NE(passwordFileProblem(file).find("may be read by others"), std::string::npos);
    fs::permissions(file, fs::perms::owner_read | fs::perms::others_read);
    EXPECT_NE(passwordFileProblem(file).find("may be read by others"), std::string::npos);
    EXPECT_NE(passwordFileProblem(dir / "missing"), "");
    EXPECT_NE(passwordFileProblem(dir.path()), "");
}

// Runs a command line; its exit status.
int shell(const std::string& command) {
    const int status = std::system(command.c_str());
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

TEST(Schedules, TheUnitsPassSystemdsOwnCheck) {
    if (shell("command -v systemd-analyze >/dev/null 2>&1") != 0) {
        GTEST_SKIP() << "systemd-analyze is not installed";
    }
    TempDir dir;
    // A program path with a space and a per cent sign, as a user's may have.
    const fs::path program = dir / "my tools" / "vellarion-cli 100%";
    test::writeFile(program, "#!/bin/sh\n");
    fs::permissions(program, fs::perms::owner_all);
    const fs::path units = dir / "units";
    fs::create_directories(units);
    // One check of all three: systemd-analyze is slow to start.
    std::string files;
    int n = 0;
    for (const char* every : {"hourly", "daily", "weekly"}) {
        const Schedule s{
            .id = "firefox-" + std::to_string(++n), .browser = "firefox", .every = every};
        const std::string name = unitName(s);
        EXPECT_EQ(name, "vellarion-backup-firefox-" + std::to_string(n));
        test::writeFile(units / (name + ".service"), serviceUnit(s, program));
        test::writeFile(units / (name + ".timer"), timerUnit(s));
        EXPECT_NE(timerUnit(s).find("OnCalendar=" + std::string(every) + "\n"), std::string::npos);
        EXPECT_NE(timerUnit(s).find("Persistent=true\n"), std::string::npos);
        files += " '" + pathToUtf8(units / (name + ".service")) + "' '" +
                 pathToUtf8(units / (name + ".timer")) + "'";
    }
    // Hermetic: no user manager, the units of a folder of the test's own.
    EXPECT_EQ(shell("env -u DBUS_SESSION_BUS_ADDRESS XDG_RUNTIME_DIR=" + pathToUtf8(dir.path()) +
                    " systemd-analyze verify --man=no" + files + " 2>&1"),
              0);
    // The program as systemd reads the line back: quoted, the % doubled.
    const Schedule s{.id = "firefox-1", .browser = "firefox"};
    EXPECT_NE(serviceUnit(s, program)
                  .find("ExecStart=\"" + pathToUtf8(dir / "my tools") +
                        "/vellarion-cli 100%%\" schedule run \"firefox-1\"\n"),
              std::string::npos);
    // A program that is not there fails the check: it is a real one.
    test::writeFile(units / "vellarion-backup-firefox-1.service",
                    serviceUnit(s, dir / "missing" / "vellarion-cli"));
    EXPECT_NE(shell("systemd-analyze verify --man=no '" +
                    pathToUtf8(units / "vellarion-backup-firefox-1.service") + "' '" +
                    pathToUtf8(units / "vellarion-backup-firefox-1.timer") + "' >/dev/null 2>&1"),
              0);
}
#endif

#ifdef _WIN32
// The task as the Task Scheduler keeps it: a file of the system's Tasks
// folder (readable by the user under Wine, an administrator elsewhere).
std::filesystem::path taskFile(const Schedule& s) {
    wchar_t system[MAX_PATH];
    ::GetSystemDirectoryW(system, MAX_PATH);
    return fs::path(system) / L"Tasks" / pathFromUtf8(taskName(s));
}

TEST(Schedules, TheTaskIsMadeForTheUserAndDeletedAgain) {
    wchar_t system[MAX_PATH];
    ::GetSystemDirectoryW(system, MAX_PATH);
    std::error_code ec;
    if (!fs::is_directory(fs::path(system) / L"Tasks", ec)) {
        GTEST_SKIP() << "the Tasks folder cannot be read here";
    }
    TempDir dir;
    const fs::path program = dir / "my tools" / "vellarion-cli.exe";
    const Schedule s{.id = "firefox-7", .browser = "firefox", .every = "weekly"};
    // The definition handed over says everything, whatever the scheduler keeps.
    const std::wstring xml = taskDefinition(s, program);
    for (const wchar_t* part :
         {L"<Arguments>schedule run firefox-7</Arguments>",
          L"my tools\\vellarion-cli.exe</Command>", L"<WeeksInterval>1</WeeksInterval>",
          L"<LogonType>InteractiveToken</LogonType>"}) {
        EXPECT_NE(xml.find(part), std::wstring::npos) << pathToUtf8(part);
    }
    installSchedule(s, program);
    // Windows keeps the definition as given (UTF-16); Wine 8 writes its own
    // (UTF-8), without the trigger, the logon type or the command.
    const std::string task = test::readFile(taskFile(s));
    const auto holds = [&](std::string_view ascii) {
        std::string wide;
        for (const char c : ascii) {
            wide += c;
            wide += '\0';
        }
        return task.find(ascii) != std::string::npos || task.find(wide) != std::string::npos;
    };
    EXPECT_TRUE(holds("<Description>Vellarion backup firefox-7</Description>"));
    EXPECT_TRUE(holds("<StartWhenAvailable>true</StartWhenAvailable>"));
    EXPECT_TRUE(holds("<MultipleInstancesPolicy>IgnoreNew</MultipleInstancesPolicy>"));
    uninstallSchedule(s);
    EXPECT_FALSE(fs::exists(taskFile(s), ec));
}
#endif

} // namespace
} // namespace vellarion
