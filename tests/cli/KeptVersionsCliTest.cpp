// Kept versions and schedules, run as a user runs them: five backups keep
// the newest three, restores take the latest, verify --all checks a whole
// location, and a schedule's run makes its stamped archive or skips while
// the browser runs.
#include "CliRunner.h"
#include "FileTree.h"
#include "HeldLock.h"
#include "SamplePrefixFixture.h"

#include <algorithm>
#include <filesystem>
#include <gtest/gtest.h>
#include <regex>

namespace vellarion::test {
namespace {

namespace fs = std::filesystem;

// Every name matches its pattern, in order.
void expectNames(const std::vector<std::string>& names, const std::vector<std::string>& patterns) {
    ASSERT_EQ(names.size(), patterns.size()) << ::testing::PrintToString(names);
    for (size_t i = 0; i < names.size(); ++i) {
        EXPECT_TRUE(std::regex_match(names[i], std::regex(patterns[i])))
            << names[i] << " !~ " << patterns[i];
    }
}

// A gdbus in `programs` that writes down the arguments of each call, one a
// line, in the file it returns.
fs::path fakeGdbus(const fs::path& programs) {
    const fs::path called = programs / "called";
    writeFile(programs / "gdbus", "#!/bin/sh\nprintf '%s\\n' \"$@\" >> '" + s(called) + "'\n");
    fs::permissions(programs / "gdbus", fs::perms::owner_all);
    return called;
}

const std::string kStamp = " 2\\d{3}-\\d\\d-\\d\\d \\d{6}";

struct Firefox {
    SamplePrefixFixture prefix{{.browsers = {Browser::Firefox}}};
    TempDir backups;
    std::string env = "--prefix=" + s(prefix.sample().prefix);
    fs::path root = prefix.onDriveC("users/demo/AppData/Roaming/Mozilla/Firefox");
    fs::path prefs = root / "Profiles" / "abcd1234.default" / "prefs.js";
};

TEST(CliKeptVersions, FiveRunsKeepTheNewestThreeAndRestoresTakeTheLatest) {
    Firefox firefox;
    const fs::path dir = firefox.backups.path();
    // What retention did not write stays: a foreign archive, another
    // profile's version, the plain archive.
    writeFile(dir / "default old.dat", "foreign");
    writeFile(dir / "Work 2026-01-01 000000.dat", "another profile's");
    for (int n = 1; n <= 5; ++n) {
        writeFile(firefox.prefs, "run " + std::to_string(n));
        if (n >= 3) {
            const Result full =
                run({"full-backup", "firefox", firefox.env, "--to", s(dir), "--keep", "2"});
            ASSERT_EQ(full.exitCode, 0) << full.err;
        }
        const Result selective = run({"backup", "firefox", firefox.env, "--to", s(dir), "--items",
                                      "settings", "--keep", "3"});
        ASSERT_EQ(selective.exitCode, 0) << selective.err;
        EXPECT_TRUE(
            std::regex_match(selective.out, std::regex(s(dir) + "/default" + kStamp + "\\.dat\n")))
            << selective.out;
        // The fourth run is the first that has an older version to delete.
        EXPECT_EQ(selective.err.find("deleted the older version") != std::string::npos, n >= 4)
            << selective.err;
    }
    expectNames(namesIn(dir),
                {"Work 2026-01-01 000000\\.dat", "default" + kStamp + "\\.dat",
                 "default" + kStamp + "\\.dat", "default" + kStamp + "\\.dat", "default old\\.dat",
                 "fbackup_firefox" + kStamp + "\\.dat", "fbackup_firefox" + kStamp + "\\.dat"});

    // Without the plain archive a full restore takes the newest version;
    // --archive latest says so.
    for (const std::vector<std::string>& args :
         {std::vector<std::string>{"full-restore", "firefox", firefox.env, "--from", s(dir)},
          std::vector<std::string>{"full-restore", "firefox", firefox.env, "--from", s(dir),
                                   "--archive", "latest"}}) {
        writeFile(firefox.prefs, "changed");
        const Result restored = run(args);
        ASSERT_EQ(restored.exitCode, 0) << restored.err;
        EXPECT_EQ(readFile(firefox.prefs), "run 5");
    }
    // An older version by its name.
    const std::vector<std::string> names = namesIn(dir);
    const std::string oldest = *std::find_if(names.begin(), names.end(), [](const auto& n) {
        return n.starts_with("fbackup_firefox ");
    });
    ASSERT_EQ(run({"full-restore", "firefox", firefox.env, "--from", s(dir), "--archive", oldest})
                  .exitCode,
              0);
    EXPECT_EQ(readFile(firefox.prefs), "run 4");

    writeFile(firefox.prefs, "changed");
    const Result latest = run({"restore", "firefox", firefox.env, "--from", s(dir), "--items",
                               "settings", "--archive", "latest"});
    ASSERT_EQ(latest.exitCode, 0) << latest.err;
    EXPECT_EQ(readFile(firefox.prefs), "run 5");
    // Without --archive too, since the profile has no plain archive here.
    writeFile(firefox.prefs, "changed");
    ASSERT_EQ(
        run({"restore", "firefox", firefox.env, "--from", s(dir), "--items", "settings"}).exitCode,
        0);
    EXPECT_EQ(readFile(firefox.prefs), "run 5");

    TempDir empty;
    const Result none = run(
        {"full-restore", "firefox", firefox.env, "--from", s(empty.path()), "--archive", "latest"});
    EXPECT_EQ(none.exitCode, 1);
    EXPECT_EQ(none.err, "vellarion-cli: no kept version of \"fbackup_firefox.dat\" in " +
                            s(empty.path()) + "\n");
}

TEST(CliKeptVersions, ABrowserOfOneArchiveNameRestoresItsVersionsToo) {
    SamplePrefixFixture prefix({.browsers = {Browser::InternetExplorer}});
    TempDir backups;
    const std::string env = "--prefix=" + s(prefix.sample().prefix);
    const std::string version = "backup_ie 2026-12-10 100000.dat";
    const Result named =
        run({"restore", "ie", env, "--from", s(backups.path()), "--archive", version});
    EXPECT_EQ(named.err, "vellarion-cli: Backup File \"" + version + "\" Not Found\n");
    const Result latest =
        run({"restore", "ie", env, "--from", s(backups.path()), "--archive", "latest"});
    EXPECT_EQ(latest.err,
              "vellarion-cli: no kept version of \"backup_ie.dat\" in " + s(backups.path()) + "\n");
    // Without the plain archive, its newest version is the one read: a
    // damaged one fails, where the older, empty one would restore nothing.
    writeFile(backups / "backup_ie 2026-12-09 100000.dat", "");
    writeFile(backups / version, "not an archive");
    const Result unnamed = run({"restore", "ie", env, "--from", s(backups.path())});
    EXPECT_EQ(unnamed.exitCode, 1);
    EXPECT_EQ(unnamed.err, "vellarion-cli: Stream read error. Nothing was restored.\n");
}

TEST(CliKeptVersions, NamesThatAreNoVersionOfOursNeverTakeTheNewArchive) {
    Firefox firefox;
    const fs::path dir = firefox.backups.path();
    // An impossible stamp, one too far for a clock, one in the future, a
    // link and a folder named like versions.
    writeFile(dir / "fbackup_firefox 9999-99-99 999999.dat", "foreign");
    writeFile(dir / "elsewhere.bin", "the link's target");
    fs::create_symlink(dir / "elsewhere.bin", dir / "fbackup_firefox 2026-01-01 000000.dat");
    fs::create_directory(dir / "fbackup_firefox 2026-01-02 000000.dat");
    ASSERT_EQ(run({"full-backup", "firefox", firefox.env, "--to", s(dir)}).exitCode, 0);
    fs::rename(dir / "fbackup_firefox.dat", dir / "fbackup_firefox 2262-04-12 000000.dat");
    ASSERT_EQ(run({"full-backup", "firefox", firefox.env, "--to", s(dir)}).exitCode, 0);
    fs::rename(dir / "fbackup_firefox.dat", dir / "fbackup_firefox 2099-01-01 000000.dat");

    std::vector<std::string> printed;
    for (int n = 0; n < 2; ++n) {
        const Result kept =
            run({"full-backup", "firefox", firefox.env, "--to", s(dir), "--keep", "1"});
        ASSERT_EQ(kept.exitCode, 0) << kept.err;
        std::smatch into;
        ASSERT_TRUE(std::regex_search(kept.out, into, std::regex(" into (.*) \\(\\d+ bytes\\)")))
            << kept.out;
        printed.push_back(into[1]);
        // The archive it names is there, stamped with this year, not a
        // copy of a wrong stamp.
        EXPECT_TRUE(fs::is_regular_file(printed.back())) << kept.out << kept.err;
        EXPECT_TRUE(std::regex_search(printed.back(), std::regex(" 20[2-9]\\d-"))) << kept.out;
        EXPECT_EQ(printed.back().find(" 2099-"), std::string::npos);
        if (n == 0) {
            EXPECT_NE(kept.err.find("2262-04-12 000000.dat\" is stamped later than now"),
                      std::string::npos)
                << kept.err;
        }
    }
    // Both runs' archives were distinct; the second deleted the first.
    EXPECT_NE(printed[0], printed[1]);
    EXPECT_FALSE(fs::exists(printed[0]));
    EXPECT_EQ(readFile(dir / "fbackup_firefox 9999-99-99 999999.dat"), "foreign");
    EXPECT_TRUE(fs::is_symlink(dir / "fbackup_firefox 2026-01-01 000000.dat"));
    EXPECT_TRUE(fs::is_directory(dir / "fbackup_firefox 2026-01-02 000000.dat"));
    EXPECT_EQ(readFile(dir / "elsewhere.bin"), "the link's target");
}

TEST(CliKeptVersions, VerifyAllChecksEveryArchiveOfALocation) {
    Firefox firefox;
    const fs::path dir = firefox.backups.path();
    ASSERT_EQ(run({"full-backup", "firefox", firefox.env, "--to", s(dir)}).exitCode, 0);
    ASSERT_EQ(run({"backup", "firefox", firefox.env, "--to", s(dir)}).exitCode, 0);
    const Result sound = run({"verify", "--all", s(dir)});
    EXPECT_EQ(sound.exitCode, 0) << sound.err;
    EXPECT_TRUE(std::regex_match(sound.out, std::regex("default\\.dat: \\d+ records, "
                                                       "all sound\nfbackup_firefox\\.dat: \\d+ "
                                                       "records, all sound\n")))
        << sound.out;

    // The full archive cut short.
    const fs::path full = dir / "fbackup_firefox.dat";
    fs::resize_file(full, fs::file_size(full) / 2);
    const Result damaged = run({"verify", "--all", s(dir)});
    EXPECT_EQ(damaged.exitCode, 1);
    EXPECT_TRUE(std::regex_search(damaged.out,
                                  std::regex("\nfbackup_firefox\\.dat: FAILED: breaks off after")))
        << damaged.out;
    EXPECT_EQ(damaged.err, "vellarion-cli: 1 of 2 archives do not read whole\n");
}

TEST(CliSchedule, AFolderNameNeverDrivesTheTerminal) {
    Firefox firefox;
    TempDir home;
    const std::string sneaky = s(firefox.backups / "b\x1b]0;owned\x07\x1b[2J");
    const Result added =
        run({"schedule", "add", "firefox", firefox.env, "--to", sneaky, "--every", "daily"},
            home.path());
    ASSERT_EQ(added.exitCode, 0) << added.err;
    const Result listed = run({"schedule", "list"}, home.path());
    for (const Result& shown : {added, listed}) {
        EXPECT_EQ(shown.out.find('\x1b'), std::string::npos) << shown.out;
        EXPECT_EQ(shown.out.find('\x07'), std::string::npos) << shown.out;
        EXPECT_NE(shown.out.find("b\\x1b]0;owned\\x07\\x1b[2J"), std::string::npos) << shown.out;
        EXPECT_NE(shown.out.find("firefox-1\tdaily\t"), std::string::npos) << shown.out;
    }
}

TEST(CliSchedule, ARunByHandMakesItsVersionAndBacksUpARunningBrowser) {
    Firefox firefox;
    TempDir home;
    const fs::path dir = firefox.backups / "scheduled";
    const fs::path password = home / "password";
    writeFile(password, "Tr0ub4dor&3-zebra");
    fs::permissions(password, fs::perms::owner_read | fs::perms::group_read);
    const std::vector<std::string> add{
        "schedule", "add",    "firefox",   firefox.env,       "--to",     s(dir), "--keep", "2",
        "--every",  "weekly", "--encrypt", "--password-file", s(password)};
    // Others could read the password: refused, nothing stored.
    const Result refused = run(add, home.path());
    EXPECT_EQ(refused.exitCode, 1);
    EXPECT_NE(refused.err.find("may be read by others"), std::string::npos) << refused.err;
    EXPECT_FALSE(fs::exists(home / ".config" / "vellarion" / "schedules.json"));

    fs::permissions(password, fs::perms::owner_read | fs::perms::owner_write);
    const Result added = run(add, home.path());
    ASSERT_EQ(added.exitCode, 0) << added.err;
    const fs::path units = home / ".config" / "systemd" / "user";
    EXPECT_EQ(added.out, "Added schedule firefox-1\tweekly\tbackup firefox --to " + s(dir) + " " +
                             firefox.env + " --keep 2 --encrypt --password-file " + s(password) +
                             "\nWrote " + s(units / "vellarion-backup-firefox-1.service") +
                             "\nWrote " + s(units / "vellarion-backup-firefox-1.timer") + "\n");
    // No user manager here: the command to enable it is given.
    EXPECT_NE(added.err.find("run: systemctl --user enable --now vellarion-backup-firefox-1.timer"),
              std::string::npos)
        << added.err;
    EXPECT_EQ(readFile(units / "vellarion-backup-firefox-1.service").find("Tr0ub4dor"),
              std::string::npos);
    EXPECT_EQ(readFile(home / ".config" / "vellarion" / "schedules.json").find("Tr0ub4dor"),
              std::string::npos);

    const Result listed = run({"schedule", "list"}, home.path());
    EXPECT_EQ(listed.out,
              added.out.substr(std::string("Added schedule ").size(),
                               added.out.find('\n') - std::string("Added schedule ").size()) +
                  "\tnever run\n");

    for (int n = 0; n < 2; ++n) {
        const Result ran = run({"schedule", "run", "firefox-1"}, home.path());
        ASSERT_EQ(ran.exitCode, 0) << ran.err;
    }
    expectNames(namesIn(dir), {"default" + kStamp + "\\.dat", "default" + kStamp + "\\.dat",
                               "vellarion-schedule\\.log"});
    // Encrypted with the file's password.
    const Result verified = run({"verify", "--all", s(dir), "--password-file", s(password)});
    EXPECT_EQ(verified.exitCode, 0) << verified.err;
    EXPECT_EQ(run({"verify", "--all", s(dir)}).exitCode, 1);

    // The browser runs: the run backs it up all the same. The sample's
    // databases are no databases SQLite opens, so none is stored: the run
    // is done, but incomplete, and says so in its exit code and its log.
    {
        HeldLock running(firefox.prefs.parent_path() / ".parentlock");
        const Result ran = run({"schedule", "run", "firefox-1"}, home.path());
        EXPECT_EQ(ran.exitCode, 3) << ran.err;
        EXPECT_NE(ran.err.find("Firefox is running: its databases are copied as consistent "
                               "snapshots."),
                  std::string::npos)
            << ran.err;
        EXPECT_NE(ran.err.find("places.sqlite changed on every try to copy it"), std::string::npos)
            << ran.err;
        // Said once, by the backup the schedule ran.
        const std::string incomplete = "done, but incomplete: what is named above";
        EXPECT_EQ(ran.err.find(incomplete), ran.err.rfind(incomplete)) << ran.err;
    }
    EXPECT_EQ(namesIn(dir).size(), 3u) << "--keep 2";
    const std::string log = readFile(dir / "vellarion-schedule.log");
    EXPECT_TRUE(std::regex_match(
        log, std::regex("(2\\d{3}-\\d\\d-\\d\\d \\d{6} firefox-1: done: [^\n]+\n){2}"
                        "2\\d{3}-\\d\\d-\\d\\d \\d{6} firefox-1: incomplete: [^\n]+ \\(exit "
                        "status 3\\)\n")))
        << log;
    const Result stateListed = run({"schedule", "list"}, home.path());
    EXPECT_TRUE(std::regex_search(
        stateListed.out,
        std::regex("\tlast run (\\d{4}-\\d\\d-\\d\\d \\d{6}): incomplete \\([^\n]*\\(exit "
                   "status 3\\)\\); last complete archive "
                   "\\d{4}-\\d\\d-\\d\\d \\d{6}\n$")))
        << stateListed.out;
    {
        UserLocale russian("ru_RU.UTF-8");
        const Result russianList = run({"schedule", "list"}, home.path());
        EXPECT_NE(russianList.out.find("\tпоследний запуск "), std::string::npos)
            << russianList.out;
        EXPECT_NE(russianList.out.find(": не полностью ("), std::string::npos) << russianList.out;
    }

    // A password file that others may read now fails the run, writing nothing.
    fs::permissions(password, fs::perms::owner_read | fs::perms::others_read);
    const Result unsafe = run({"schedule", "run", "firefox-1"}, home.path());
    EXPECT_EQ(unsafe.exitCode, 1);
    EXPECT_EQ(namesIn(dir).size(), 3u);
    // The log is written in the schedule's language, or the one asked for.
    {
        UserLocale russian("ru_RU.UTF-8");
        EXPECT_EQ(run({"schedule", "run", "firefox-1", "--language", "ru"}, home.path()).exitCode,
                  1);
    }
    const std::string failed = readFile(dir / "vellarion-schedule.log");
    EXPECT_NE(failed.find(" firefox-1: failed: the password file \"" + s(password) +
                          "\" may be read by others; make it readable by its owner only "
                          "(chmod 600)\n"),
              std::string::npos)
        << failed;
    EXPECT_TRUE(failed.ends_with(" firefox-1: ошибка: файл пароля \"" + s(password) +
                                 "\" могут прочитать другие; сделайте его доступным для чтения "
                                 "только владельцу (chmod 600)\n"))
        << failed;

    const Result removed = run({"schedule", "remove", "firefox-1"}, home.path());
    EXPECT_EQ(removed.exitCode, 0) << removed.err;
    EXPECT_EQ(removed.out, "Removed schedule firefox-1\n");
    EXPECT_FALSE(fs::exists(units / "vellarion-backup-firefox-1.timer"));
    EXPECT_FALSE(fs::exists(units / "vellarion-backup-firefox-1.service"));
    EXPECT_EQ(run({"schedule", "list"}, home.path()).out, "");
    EXPECT_EQ(run({"schedule", "run", "firefox-1"}, home.path()).exitCode, 1);
}

// A location on a drive that is not there: nothing is made on the system
// disk, the run fails loudly and logs beside the schedules; once the drive
// is there only the location's last folder is made.
TEST(CliSchedule, ARunToAMissingDriveFailsAndMakesNothingButTheLastFolder) {
    Firefox firefox;
    TempDir home;
    const fs::path media = home / "media";
    const fs::path dir = media / "usb" / "backups";
    const Result added =
        run({"schedule", "add", "firefox", firefox.env, "--to", s(dir)}, home.path());
    ASSERT_EQ(added.exitCode, 0) << added.err;
    EXPECT_NE(added.err.find("vellarion-cli: warning: " + s(media / "usb") +
                             " does not exist: the runs will fail until it does"),
              std::string::npos)
        << added.err;
    EXPECT_EQ(added.err.find("has no data here"), std::string::npos) << added.err;
    // A browser of which nothing is found here is named.
    const Result chrome =
        run({"schedule", "add", "chrome", firefox.env, "--to", s(dir)}, home.path());
    EXPECT_NE(chrome.err.find("vellarion-cli: warning: chrome has no data here"), std::string::npos)
        << chrome.err;

    const Result missing = run({"schedule", "run", "firefox-1"}, home.path());
    EXPECT_EQ(missing.exitCode, 1);
    EXPECT_NE(missing.err.find(s(media / "usb") + " does not exist"), std::string::npos)
        << missing.err;
    EXPECT_FALSE(fs::exists(media));
    const fs::path config = home / ".config" / "vellarion";
    EXPECT_TRUE(std::regex_match(
        readFile(config / "vellarion-schedule.log"),
        std::regex("\\d{4}-\\d\\d-\\d\\d \\d{6} firefox-1: failed: the backup location " + s(dir) +
                   " is not there: " + s(media / "usb") +
                   " does not exist \\(a drive not "
                   "connected\\?\\)\n")));
    EXPECT_NE(run({"schedule", "list"}, home.path()).out.find("\tlast run "), std::string::npos);
    EXPECT_NE(run({"schedule", "list"}, home.path()).out.find("; no complete archive yet\n"),
              std::string::npos);

    fs::create_directories(media / "usb");
    const Result ran = run({"schedule", "run", "firefox-1"}, home.path());
    EXPECT_EQ(ran.exitCode, 0) << ran.err;
    EXPECT_TRUE(fs::exists(dir / "default.dat"));
    const std::string listed = run({"schedule", "list"}, home.path()).out;
    EXPECT_TRUE(
        std::regex_search(listed, std::regex("\tlast run (\\d{4}-\\d\\d-\\d\\d \\d{6}): done; "
                                             "last complete archive \\1\n")))
        << listed;
    // The state is a file of the schedule's own, beside the schedules.
    EXPECT_TRUE(fs::exists(config / "firefox-1.state.json"));
}

// A run that wrote no complete archive (here the sample's databases, which
// no copy of a running browser can prove) tells the desktop through the
// session's notification service; without a session bus the log alone tells.
TEST(CliSchedule, AFailedRunSendsADesktopNotificationWhenThereIsASessionBus) {
    Firefox firefox;
    TempDir home;
    TempDir programs;
    const fs::path called = fakeGdbus(programs.path());
    ASSERT_EQ(run({"schedule", "add", "firefox", firefox.env, "--to", s(firefox.backups.path()),
                   "--every", "hourly"},
                  home.path())
                  .exitCode,
              0);
    HeldLock running(firefox.prefs.parent_path() / ".parentlock");
    {
        // No bus: no notification.
        const Result held = run({"schedule", "run", "firefox-1"}, home.path());
        EXPECT_EQ(held.exitCode, 3);
        EXPECT_FALSE(fs::exists(called));
    }
    SessionBus bus("unix:path=/nonexistent/bus", programs.path());
    const Result held = run({"schedule", "run", "firefox-1"}, home.path());
    EXPECT_EQ(held.exitCode, 3);
    ASSERT_TRUE(fs::exists(called)) << held.err;
    const std::string args = readFile(called);
    EXPECT_TRUE(args.starts_with("call\n--session\n--dest\norg.freedesktop.Notifications\n"
                                 "--object-path\n/org/freedesktop/Notifications\n--method\n"
                                 "org.freedesktop.Notifications.Notify\n'Vellarion'\n0\n"
                                 "'dialog-warning'\n'Backup firefox-1 is incomplete'\n'done, but "
                                 "incomplete: what is named above was not backed up (exit "
                                 "status 3)'\n"))
        << args;
    EXPECT_TRUE(args.ends_with("[]\n{}\n-1\n")) << args;

    // Three of its periods without a complete archive: the notification says since when.
    const fs::path state = home / ".config" / "vellarion" / "firefox-1.state.json";
    std::string text = readFile(state);
    text = std::regex_replace(text, std::regex("\"sinceAt\": \\d+"), "\"sinceAt\": 1000");
    writeFile(state, text);
    fs::remove(called);
    EXPECT_EQ(run({"schedule", "run", "firefox-1"}, home.path()).exitCode, 3);
    EXPECT_NE(readFile(called).find("'Backup firefox-1: no complete archive since "),
              std::string::npos)
        << readFile(called);
}

// A schedule keeps the language it was added in: its runs, which the
// scheduler starts in an environment of its own (no locale, or another),
// log, state and notify in it; --language still chooses, and a schedule
// stored without one takes the environment's.
TEST(CliSchedule, ItsRunsSpeakTheLanguageItWasAddedIn) {
    Firefox firefox;
    TempDir home;
    TempDir programs;
    const fs::path called = fakeGdbus(programs.path());
    // On a drive not connected yet: its runs fail until it is.
    const fs::path usb = home / "media" / "usb";
    const fs::path dir = usb / "backups";
    const fs::path config = home / ".config" / "vellarion";
    {
        UserLocale russian("ru_RU.UTF-8");
        const Result added =
            run({"schedule", "add", "firefox", firefox.env, "--to", s(dir)}, home.path());
        ASSERT_EQ(added.exitCode, 0) << added.err;
        EXPECT_NE(added.err.find("vellarion-cli: внимание: " + s(usb) +
                                 " не существует: запуски будут завершаться ошибкой"),
                  std::string::npos)
            << added.err;
        ASSERT_EQ(
            run({"schedule", "add", "firefox", firefox.env, "--to", s(dir), "--language", "en"},
                home.path())
                .exitCode,
            0);
    }
    const std::string stored = readFile(config / "schedules.json");
    EXPECT_NE(stored.find("\"language\": \"ru\""), std::string::npos) << stored;
    EXPECT_NE(stored.find("\"language\": \"en\""), std::string::npos) << stored;

    for (const char* locale : {"", "C", "en_US.UTF-8"}) {
        SCOPED_TRACE(locale);
        UserLocale scheduler(locale);
        SessionBus bus("unix:path=/nonexistent/bus", programs.path());
        fs::remove(called);
        const Result failed = run({"schedule", "run", "firefox-1"}, home.path());
        EXPECT_EQ(failed.exitCode, 1);
        const std::string reason = "места резервных копий " + s(dir) + " нет: " + s(usb) +
                                   " не существует (диск не подключен?)";
        EXPECT_EQ(failed.err, "vellarion-cli: " + reason + "\n");
        const std::string log = readFile(config / "vellarion-schedule.log");
        EXPECT_TRUE(log.ends_with(" firefox-1: ошибка: " + reason + "\n")) << log;
        EXPECT_NE(
            readFile(called).find("\n'Резервная копия firefox-1 не создана'\n'" + reason + "'\n"),
            std::string::npos)
            << readFile(called);
        // Listed in the lister's language, the reason as the run said it.
        const std::string listed = run({"schedule", "list"}, home.path()).out;
        EXPECT_NE(listed.find(": failed (" + reason + "); no complete archive yet\n"),
                  std::string::npos)
            << listed;
        // The one added with --language en keeps to English.
        EXPECT_EQ(run({"schedule", "run", "firefox-2"}, home.path()).err,
                  "vellarion-cli: the backup location " + s(dir) + " is not there: " + s(usb) +
                      " does not exist (a drive not connected?)\n");
    }
    {
        UserLocale russian("ru_RU.UTF-8");
        const std::string listed = run({"schedule", "list"}, home.path()).out;
        EXPECT_NE(listed.find(": ошибка (места резервных копий "), std::string::npos) << listed;
    }

    // A run that is done, its log line and what the backup printed.
    fs::create_directories(usb);
    {
        UserLocale scheduler("");
        const Result done = run({"schedule", "run", "firefox-1"}, home.path());
        ASSERT_EQ(done.exitCode, 0) << done.err;
        EXPECT_EQ(englishSentence(done.out + done.err), "") << done.out << done.err;
        EXPECT_TRUE(hasCyrillic(done.err)) << done.err;
        const std::string log = readFile(dir / "vellarion-schedule.log");
        EXPECT_TRUE(std::regex_match(log, std::regex("\\d{4}-\\d\\d-\\d\\d \\d{6} firefox-1: "
                                                     "готово: [^\n]+\n")))
            << log;
        EXPECT_EQ(englishSentence(log), "") << log;
        // --language still chooses.
        ASSERT_EQ(run({"schedule", "run", "firefox-1", "--language", "en"}, home.path()).exitCode,
                  0);
        EXPECT_TRUE(std::regex_search(
            readFile(dir / "vellarion-schedule.log"),
            std::regex("\n\\d{4}-\\d\\d-\\d\\d \\d{6} firefox-1: done: [^\n]+\n$")));
    }

    // Stored before schedules had a language: the environment's.
    writeFile(config / "schedules.json",
              std::regex_replace(readFile(config / "schedules.json"),
                                 std::regex("\"language\": \"(ru|en)\",\\s*"), ""));
    ASSERT_EQ(readFile(config / "schedules.json").find("language"), std::string::npos);
    for (const auto& [locale, word] :
         {std::pair{"ru_RU.UTF-8", ": готово: "}, std::pair{"en_US.UTF-8", ": done: "}}) {
        UserLocale user(locale);
        ASSERT_EQ(run({"schedule", "run", "firefox-1"}, home.path()).exitCode, 0);
        const std::string log = readFile(dir / "vellarion-schedule.log");
        const std::string last = log.substr(log.rfind('\n', log.size() - 2) + 1);
        EXPECT_NE(last.find(word), std::string::npos) << locale << ": " << last;
    }
}

} // namespace
} // namespace vellarion::test
