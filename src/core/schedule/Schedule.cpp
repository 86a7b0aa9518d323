#include "core/schedule/Schedule.h"

#include "core/services/Error.h"
#include "core/services/PathMapper.h"
#include "core/services/ProgramPath.h"
#include "core/services/platform/File.h"
#include "core/text/Catalogue.h"

#include <algorithm>
#include <chrono>
#include <fstream>
#include <nlohmann/json.hpp>
#include <set>
#include <sstream>

namespace vellarion {

namespace fs = std::filesystem;
using nlohmann::json;

namespace {

constexpr std::string_view kEvery[] = {"hourly", "daily", "weekly"};

// A field of a schedule, or `fallback` where there is none; one of another
// type is named.
template <class T> T field(const json& j, const char* key, T fallback) {
    const auto found = j.find(key);
    if (found == j.end()) {
        return fallback;
    }
    try {
        return found->get<T>();
    } catch (const json::exception&) {
        throw Error(formatText(E_("a schedule says \"%1\": %2, which is not what it takes"),
                               {key, found->dump()}));
    }
}

template <class T> T required(const json& j, const char* key) {
    if (!j.contains(key)) {
        throw Error(formatText(E_("a schedule has no \"%1\""), {key}));
    }
    return field<T>(j, key, T());
}

Schedule fromJson(const json& j) {
    Schedule s;
    s.id = required<std::string>(j, "id");
    s.browser = required<std::string>(j, "browser");
    s.location = required<std::string>(j, "location");
    s.full = field(j, "full", false);
    s.profile = field<std::string>(j, "profile", "");
    s.items = field<std::string>(j, "items", "");
    s.every = field<std::string>(j, "every", "daily");
    s.keep = field(j, "keep", 0);
    s.encrypt = field(j, "encrypt", false);
    s.passwordFile = field<std::string>(j, "passwordFile", "");
    s.allowPlain = field(j, "allowPlain", false);
    s.whetherLoggedOn = field(j, "whetherLoggedOn", false);
    s.environment = field(j, "environment", std::vector<std::string>());
    s.wait = field<std::string>(j, "wait", "");
    s.language = field<std::string>(j, "language", "");
    // The field that is wrong is the one named.
    if (!isEvery(s.every)) {
        throw Error(formatText(
            E_("the schedule \"%1\" says \"every\": \"%2\"; it must be hourly, daily or weekly"),
            {s.id, s.every}));
    }
    if (s.keep < 0 || s.keep > 1000) {
        throw Error(formatText(E_("the schedule \"%1\" says \"keep\": %2; it must be a number "
                                  "from 1 to 1000, or 0 for no kept versions"),
                               {s.id, std::to_string(s.keep)}));
    }
    return s;
}

// The schedule's own keys over what the file held for it.
void toJson(const Schedule& s, json& j) {
    j["id"] = s.id;
    j["browser"] = s.browser;
    j["location"] = s.location;
    j["full"] = s.full;
    j["profile"] = s.profile;
    j["items"] = s.items;
    j["every"] = s.every;
    j["keep"] = s.keep;
    j["encrypt"] = s.encrypt;
    j["passwordFile"] = s.passwordFile;
    j["allowPlain"] = s.allowPlain;
    j["whetherLoggedOn"] = s.whetherLoggedOn;
    j["environment"] = s.environment;
    if (s.wait.empty()) {
        j.erase("wait");
    } else {
        j["wait"] = s.wait;
    }
    if (s.language.empty()) {
        j.erase("language");
    } else {
        j["language"] = s.language;
    }
}

// The file's text; "" when there is no file yet.
std::string readText(const fs::path& file) {
    std::error_code ec;
    if (!fs::exists(file, ec)) {
        return {};
    }
    std::ifstream in(file, std::ios::binary);
    std::ostringstream text;
    text << in.rdbuf();
    if (!in && !in.eof()) {
        throw Error(formatText(E_("Cannot read \"%1\""), {pathToUtf8(file)}));
    }
    return text.str();
}

json readDocument(const fs::path& file) {
    const std::string text = readText(file);
    if (text.empty()) {
        return json{{"schedules", json::array()}};
    }
    json document = json::parse(text, nullptr, false);
    if (document.is_discarded() || !document.is_object() ||
        !document.value("schedules", json::array()).is_array()) {
        throw Error(formatText(E_("\"%1\" holds no list of schedules"), {pathToUtf8(file)}));
    }
    if (!document.contains("schedules")) {
        document["schedules"] = json::array();
    }
    return document;
}

void writeDocument(const fs::path& file, const json& document) {
    std::error_code ec;
    fs::create_directories(file.parent_path(), ec);
    platform::replaceFileContent(file, document.dump(2) + "\n", ec);
    if (ec) {
        throw Error(formatText(E_("Cannot write \"%1\" (%2)"), {pathToUtf8(file), errorText(ec)}));
    }
}

// systemd's quoting of one word of a command line.
std::string unitWord(std::string_view word) {
    std::string quoted = "\"";
    for (const char c : word) {
        if (c == '"' || c == '\\') {
            quoted += '\\';
        }
        // A per cent sign starts a specifier, a dollar sign a variable.
        if (c == '%') {
            quoted += '%';
        }
        if (c == '$') {
            quoted += '$';
        }
        quoted += c;
    }
    return quoted + "\"";
}

} // namespace

bool isEvery(std::string_view every) {
    return std::find(std::begin(kEvery), std::end(kEvery), every) != std::end(kEvery);
}

std::vector<std::string> backupArguments(const Schedule& s) {
    std::vector<std::string> args{s.full ? "full-backup" : "backup", s.browser, "--to", s.location};
    args.insert(args.end(), s.environment.begin(), s.environment.end());
    if (!s.full && !s.profile.empty()) {
        args.insert(args.end(), {"--profile", s.profile});
    }
    if (!s.full && !s.items.empty()) {
        args.insert(args.end(), {"--items", s.items});
    }
    if (s.keep > 0) {
        args.insert(args.end(), {"--keep", std::to_string(s.keep)});
    } else {
        args.emplace_back("--replace");
    }
    if (s.encrypt) {
        args.insert(args.end(), {"--encrypt", "--password-file", s.passwordFile});
    }
    if (s.allowPlain) {
        args.emplace_back("--allow-plain");
    }
    if (s.wait == "forever") {
        args.emplace_back("--wait");
    } else if (!s.wait.empty()) {
        args.push_back("--wait=" + s.wait);
    }
    return args;
}

std::vector<Schedule> ScheduleStore::load() const {
    const json document = readDocument(file_);
    std::vector<Schedule> schedules;
    try {
        for (const json& each : document["schedules"]) {
            schedules.push_back(fromJson(each));
        }
    } catch (const json::exception&) {
        throw Error(
            formatText(E_("\"%1\" holds a schedule that cannot be read"), {pathToUtf8(file_)}));
    } catch (const Error& e) {
        throw Error("\"" + pathToUtf8(file_) + "\": " + e.what());
    }
    return schedules;
}

std::optional<Schedule> ScheduleStore::find(std::string_view id) const {
    for (Schedule& s : load()) {
        if (s.id == id) {
            return std::move(s);
        }
    }
    return std::nullopt;
}

Schedule ScheduleStore::add(Schedule schedule) const {
    json document = readDocument(file_);
    std::set<std::string> taken;
    for (const Schedule& s : load()) {
        taken.insert(s.id);
    }
    for (int n = 1;; ++n) {
        schedule.id = schedule.browser + "-" + std::to_string(n);
        if (taken.count(schedule.id) == 0) {
            break;
        }
    }
    json entry = json::object();
    toJson(schedule, entry);
    document["schedules"].push_back(entry);
    writeDocument(file_, document);
    return schedule;
}

bool ScheduleStore::remove(std::string_view id) const {
    json document = readDocument(file_);
    json& list = document["schedules"];
    const auto before = list.size();
    for (auto it = list.begin(); it != list.end();) {
        it = it->is_object() && it->value("id", "") == id ? list.erase(it) : it + 1;
    }
    if (list.size() == before) {
        return false;
    }
    writeDocument(file_, document);
    return true;
}

std::pair<Schedule, SchedulerResult> addSchedule(const ScheduleStore& store, Schedule schedule,
                                                 const fs::path& program) {
    if (schedule.encrypt) {
        if (const std::string problem = passwordFileProblem(pathFromUtf8(schedule.passwordFile));
            !problem.empty()) {
            throw Error(problem);
        }
    }
    if (schedule.language.empty()) {
        schedule.language = std::string(languageName(language()));
    }
    schedule = store.add(std::move(schedule));
    try {
        SchedulerResult installed = installSchedule(schedule, program);
        return {std::move(schedule), std::move(installed)};
    } catch (...) {
        store.remove(schedule.id);
        throw;
    }
}

bool removeSchedule(const ScheduleStore& store, std::string_view id) {
    const std::optional<Schedule> schedule = store.find(id);
    if (!schedule) {
        return false;
    }
    uninstallSchedule(*schedule);
    return store.remove(id);
}

std::string scheduleSummary(const Schedule& schedule) {
    std::string line = schedule.id + "\t" + schedule.every + "\t";
    bool first = true;
    for (const std::string& word : backupArguments(schedule)) {
        line += first ? "" : " ";
        first = false;
        line += word.find_first_of(" \t\"'") == std::string::npos ? word : "\"" + word + "\"";
    }
    return line;
}

std::string unitName(const Schedule& schedule) {
    return "vellarion-backup-" + schedule.id;
}

std::string serviceUnit(const Schedule& schedule, const fs::path& program) {
    return "[Unit]\n"
           "Description=Vellarion backup " +
           schedule.id + " (" + schedule.browser +
           ")\n"
           "\n"
           "[Service]\n"
           "Type=oneshot\n"
           "ExecStart=" +
           unitWord(pathToUtf8(program)) + " schedule run " + unitWord(schedule.id) + "\n";
}

std::string timerUnit(const Schedule& schedule) {
    return "[Unit]\n"
           "Description=Vellarion backup " +
           schedule.id + ", " + schedule.every +
           "\n"
           "\n"
           "[Timer]\n"
           "OnCalendar=" +
           schedule.every +
           "\n"
           // A run missed while the machine was off happens at the next start.
           "Persistent=true\n"
           "RandomizedDelaySec=60\n"
           "\n"
           "[Install]\n"
           "WantedBy=timers.target\n";
}

fs::path commandLineBeside(const fs::path& program) {
#ifdef _WIN32
    return program.parent_path() / L"vellarion-cli.exe";
#else
    return program.parent_path() / "vellarion-cli";
#endif
}

std::string taskName(const Schedule& schedule) {
    return "Vellarion\\" + schedule.id;
}

fs::path scheduleLogFolder(const Schedule& schedule, const ScheduleStore& store) {
    return isRemoteLocation(schedule.location) ? store.file().parent_path()
                                               : pathFromUtf8(schedule.location);
}

fs::path scheduleStateFile(const ScheduleStore& store, std::string_view id) {
    return store.file().parent_path() / pathFromUtf8(std::string(id) + ".state.json");
}

ScheduleState loadScheduleState(const ScheduleStore& store, std::string_view id) {
    ScheduleState state;
    try {
        const std::string text = readText(scheduleStateFile(store, id));
        if (text.empty()) {
            return state;
        }
        const json j = json::parse(text);
        state.lastRun = j.value("lastRun", "");
        state.result = j.value("result", "");
        state.reason = j.value("reason", "");
        state.lastComplete = j.value("lastComplete", "");
        state.since = j.value("since", "");
        state.lastCompleteAt = j.value("lastCompleteAt", 0LL);
        state.sinceAt = j.value("sinceAt", 0LL);
    } catch (const std::exception&) {
        return ScheduleState{}; // a damaged state is one never written
    }
    return state;
}

bool saveScheduleState(const ScheduleStore& store, std::string_view id,
                       const ScheduleState& state) {
    const json j = {{"lastRun", state.lastRun}, {"result", state.result},
                    {"reason", state.reason},   {"lastComplete", state.lastComplete},
                    {"since", state.since},     {"lastCompleteAt", state.lastCompleteAt},
                    {"sinceAt", state.sinceAt}};
    std::error_code ec;
    platform::replaceFileContent(scheduleStateFile(store, id), j.dump(2) + "\n", ec);
    return !ec;
}

Language scheduleLanguage(const Schedule& schedule, Language fallback) {
    return parseLanguage(schedule.language).value_or(fallback);
}

std::string scheduleStateSummary(const ScheduleState& state, bool overdue) {
    if (state.lastRun.empty()) {
        return translated(E_("never run"));
    }
    // The result is stored as an English word; shown in the user's language.
    const std::string_view result = state.result == "done"         ? E_("done")
                                    : state.result == "failed"     ? E_("failed")
                                    : state.result == "incomplete" ? E_("incomplete")
                                    : state.result == "interrupted"
                                        ? E_("interrupted")
                                        : std::string_view(state.result);
    std::string line = translated(formatText(E_("last run %1: %2"), {state.lastRun, result}));
    if (!state.reason.empty()) {
        line += " (" + state.reason + ")";
    }
    line += "; " + (state.lastComplete.empty()
                        ? translated(E_("no complete archive yet"))
                        : translated(formatText(E_("last complete archive %1"),
                                                {state.lastComplete})));
    if (overdue) {
        line += "; " + translated(E_("none for 3 of its periods: see the log"));
    }
    return line;
}

long long scheduleClock() {
    return std::chrono::duration_cast<std::chrono::seconds>(
               std::chrono::system_clock::now().time_since_epoch())
        .count();
}

bool scheduleOverdue(const Schedule& schedule, const ScheduleState& state, long long now) {
    const long long from = state.lastCompleteAt != 0 ? state.lastCompleteAt : state.sinceAt;
    return from != 0 && now - from >= 3 * schedulePeriodSeconds(schedule);
}

long long schedulePeriodSeconds(const Schedule& schedule) {
    constexpr long long kHour = 3600;
    return schedule.every == "hourly"   ? kHour
           : schedule.every == "weekly" ? 7 * 24 * kHour
                                        : 24 * kHour;
}

bool appendScheduleLog(const fs::path& location, std::string_view line) {
    std::error_code ec;
    const fs::path file = location / pathFromUtf8(kScheduleLog);
    if (fs::is_symlink(file, ec)) {
        return false; // never written through a link
    }
    const bool fresh = !fs::exists(file, ec);
    std::ofstream out(file, std::ios::binary | std::ios::app);
    if (fresh) {
        fs::permissions(file, fs::perms::owner_read | fs::perms::owner_write,
                        fs::perm_options::replace, ec);
    }
    out << line << '\n';
    out.flush();
    return static_cast<bool>(out);
}

} // namespace vellarion
