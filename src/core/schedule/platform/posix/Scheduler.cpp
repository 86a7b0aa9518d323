// Schedules on Linux: systemd user units, and the user's files.
#include "core/schedule/Schedule.h"
#include "core/services/ChildProcess.h"
#include "core/services/Error.h"
#include "core/services/PathMapper.h"
#include "core/services/platform/File.h"
#include "core/text/Catalogue.h"

#include <cstdlib>
#include <sys/stat.h>
#include <unistd.h>

namespace vellarion {

namespace fs = std::filesystem;

namespace {

fs::path configHome() {
    if (const char* config = std::getenv("XDG_CONFIG_HOME"); config != nullptr && *config == '/') {
        return config;
    }
    const char* home = std::getenv("HOME");
    return fs::path(home != nullptr ? home : "") / ".config";
}

// Runs a program found on PATH with its output thrown away; its exit code,
// -1 when it could not be started or did not end by itself.
int runQuietly(std::vector<std::string> args) {
    ChildRequest request;
    request.program = args.front();
    request.arguments.assign(args.begin() + 1, args.end());
    request.discardOutput = true;
    const ChildResult result = runChild(request);
    return result.end == ChildResult::End::Exited ? result.exitCode : -1;
}

void writeUnit(const fs::path& file, const std::string& text) {
    std::error_code ec;
    platform::replaceFileContent(file, text, ec);
    if (ec) {
        throw Error(formatText(E_("Cannot write \"%1\" (%2)"), {pathToUtf8(file), errorText(ec)}));
    }
}

} // namespace

fs::path runningProgram() {
    return currentProgram();
}

ScheduleStore ScheduleStore::standard() {
    return ScheduleStore(configHome() / "vellarion" / "schedules.json");
}

fs::path userUnitFolder() {
    return configHome() / "systemd" / "user";
}

std::string passwordFileProblem(const fs::path& file) {
    struct stat st {};
    if (::stat(file.c_str(), &st) != 0) {
        return "cannot read the password file \"" + pathToUtf8(file) + "\"";
    }
    if (!S_ISREG(st.st_mode)) {
        return "the password file \"" + pathToUtf8(file) + "\" is no file";
    }
    if (st.st_uid != ::geteuid()) {
        return "the password file \"" + pathToUtf8(file) + "\" belongs to another user";
    }
    if ((st.st_mode & (S_IRWXG | S_IRWXO)) != 0) {
        return "the password file \"" + pathToUtf8(file) +
               "\" may be read by others; make it readable by its owner only (chmod 600)";
    }
    return {};
}

SchedulerResult installSchedule(const Schedule& schedule, const fs::path& program) {
    const fs::path folder = userUnitFolder();
    std::error_code ec;
    fs::create_directories(folder, ec);
    if (ec) {
        throw Error(formatText(E_("Cannot create folder \"%1\" (%2)"),
                               {pathToUtf8(folder), errorText(ec)}));
    }
    const std::string name = unitName(schedule);
    SchedulerResult result;
    result.written = {folder / (name + ".service"), folder / (name + ".timer")};
    writeUnit(result.written[0], serviceUnit(schedule, program));
    writeUnit(result.written[1], timerUnit(schedule));
    // Only a running user manager can enable it; otherwise the user can.
    const std::string enable = "systemctl --user enable --now " + name + ".timer";
    if (runQuietly({"systemctl", "--user", "daemon-reload"}) != 0) {
        result.note = formatText(
            E_("no systemd user manager answers; to start the schedule, run: %1"), {enable});
    } else if (runQuietly({"systemctl", "--user", "enable", "--now", name + ".timer"}) != 0) {
        result.note =
            formatText(E_("systemd did not enable %1; run: %2"), {name + ".timer", enable});
    }
    return result;
}

void uninstallSchedule(const Schedule& schedule) {
    const std::string name = unitName(schedule);
    runQuietly({"systemctl", "--user", "disable", "--now", name + ".timer"});
    std::error_code ec;
    for (const char* kind : {".timer", ".service"}) {
        const fs::path file = userUnitFolder() / (name + kind);
        if (!fs::remove(file, ec) && ec) {
            throw Error(
                formatText(E_("Cannot delete \"%1\" (%2)"), {pathToUtf8(file), errorText(ec)}));
        }
    }
    runQuietly({"systemctl", "--user", "daemon-reload"});
}

} // namespace vellarion
