#include "core/remote/Rclone.h"

#include "core/services/ChildProcess.h"
#include "core/services/PathMapper.h"
#include "core/services/Text.h"
#include "core/text/Catalogue.h"

#include <algorithm>
#include <cctype>
#include <cstdlib>
#include <nlohmann/json.hpp>

namespace vellarion {

namespace fs = std::filesystem;
using nlohmann::json;

namespace {

// What every run of ours tells rclone: its log as JSON lines (errors and
// the statistics of a transfer read from them), no question on a terminal
// (an encrypted configuration's password comes from RCLONE_CONFIG_PASS).
const std::vector<std::string> kCommon = {"--use-json-log", "--ask-password=false"};

std::vector<std::string> withCommon(std::vector<std::string> arguments) {
    arguments.insert(arguments.end(), kCommon.begin(), kCommon.end());
    return arguments;
}

// The characters rclone takes in a remote's name.
bool remoteNameCharacter(char c) {
    const auto u = static_cast<unsigned char>(c);
    return std::isalnum(u) != 0 || u >= 0x80 || c == '_' || c == '-' || c == '.' || c == '+' ||
           c == '@' || c == ' ';
}

std::string lower(std::string_view text) {
    std::string result(text);
    std::transform(result.begin(), result.end(), result.begin(),
                   [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    return result;
}

// Whether the text holds one of the needles. A needle of digits (an HTTP
// status) counts only as a number of its own, never inside a longer one
// (the port of "127.0.0.1:40353").
bool containsAny(const std::string& text, const std::vector<std::string_view>& needles) {
    const auto digit = [](char c) { return c >= '0' && c <= '9'; };
    return std::any_of(needles.begin(), needles.end(), [&](std::string_view needle) {
        const bool number = std::all_of(needle.begin(), needle.end(), digit);
        for (std::size_t at = text.find(needle); at != std::string::npos;
             at = text.find(needle, at + 1)) {
            const std::size_t end = at + needle.size();
            if (!number || ((at == 0 || !digit(text[at - 1])) &&
                            (end == text.size() || !digit(text[end])))) {
                return true;
            }
        }
        return false;
    });
}

// The innermost cause of a message of rclone's: what its last ": " leaves
// ("... dial tcp 127.0.0.1:80: connect: connection refused").
std::string innermost(const std::string& message) {
    const size_t colon = message.rfind(": ");
    std::string cause = colon == std::string::npos ? message : message.substr(colon + 2);
    while (!cause.empty() && (cause.back() == '.' || cause.back() == ' ')) {
        cause.pop_back();
    }
    return cause.empty() ? message : cause;
}

RemoteFile fileOf(const json& entry) {
    RemoteFile file;
    file.name = entry.at("Name").get<std::string>();
    file.size = entry.value("Size", std::int64_t{0}) < 0
                    ? 0
                    : static_cast<std::uint64_t>(entry.value("Size", std::int64_t{0}));
    if (const auto hashes = entry.find("Hashes"); hashes != entry.end() && hashes->is_object()) {
        for (const auto& [type, value] : hashes->items()) {
            if (value.is_string() && !value.get<std::string>().empty()) {
                file.hashes[type] = value.get<std::string>();
            }
        }
    }
    return file;
}

json parsed(std::string_view text) {
    json value = json::parse(text, nullptr, false);
    if (value.is_discarded()) {
        throw RemoteError("rclone's listing could not be read");
    }
    return value;
}

// A variable of rclone's that the user did not set: ours then.
void defaultVariable(std::vector<std::pair<std::string, std::string>>& environment,
                     const char* name, const char* value) {
    const char* set = std::getenv(name);
    if (set == nullptr || *set == '\0') {
        environment.emplace_back(name, value);
    }
}

} // namespace

std::string RemotePath::text() const {
    return std::string(kRemotePrefix) + remote + ":" + folder;
}

std::string RemotePath::target(std::string_view name) const {
    std::string path = remote + ":" + folder;
    if (!name.empty()) {
        if (!folder.empty()) {
            path += '/';
        }
        path += name;
    }
    return path;
}

std::string RemotePath::shown(std::string_view name) const {
    return std::string(kRemotePrefix) + target(name);
}

RemotePath parseRemotePath(std::string_view text) {
    const std::string typed(text);
    if (!isRemoteLocation(text)) {
        throw Error(formatText("\"%1\" names no remote: write rclone:REMOTE:PATH", {typed}));
    }
    const std::string_view rest = text.substr(kRemotePrefix.size());
    if (!rest.empty() && rest.front() == ':') {
        throw Error(formatText(
            "\"%1\": a remote made on the command line would carry its settings, a password "
            "too, where others may read them; make it with \"rclone config\" and name it: "
            "rclone:REMOTE:PATH",
            {typed}));
    }
    const size_t colon = rest.find(':');
    if (colon == std::string_view::npos || colon == 0) {
        throw Error(formatText("\"%1\" names no remote folder: write rclone:REMOTE:PATH "
                               "(rclone:nas:backups), REMOTE one that \"rclone listremotes\" names",
                               {typed}));
    }
    RemotePath path;
    path.remote = std::string(rest.substr(0, colon));
    path.folder = std::string(rest.substr(colon + 1));
    const bool nameValid =
        std::all_of(path.remote.begin(), path.remote.end(), remoteNameCharacter) &&
        path.remote.front() != '-' && path.remote.front() != ' ' && path.remote.back() != ' ';
    if (!nameValid) {
        throw Error(formatText("\"%1\" is no name of an rclone remote (letters, digits and "
                               "_ - . + @ or spaces within)",
                               {path.remote}));
    }
    if (std::any_of(path.folder.begin(), path.folder.end(),
                    [](char c) { return static_cast<unsigned char>(c) < 0x20; })) {
        throw Error(formatText("the remote folder of \"%1\" holds a control character", {typed}));
    }
    while (!path.folder.empty() && path.folder.back() == '/') {
        path.folder.pop_back();
    }
    return path;
}

std::vector<RemoteFile> parseListing(std::string_view text) {
    const json listing = parsed(text);
    if (!listing.is_array()) {
        throw RemoteError("rclone's listing could not be read");
    }
    std::vector<RemoteFile> files;
    try {
        for (const json& entry : listing) {
            if (!entry.value("IsDir", false)) {
                files.push_back(fileOf(entry));
            }
        }
    } catch (const json::exception&) {
        throw RemoteError("rclone's listing could not be read");
    }
    return files;
}

RemoteFile parseStat(std::string_view text) {
    const json entry = parsed(text);
    try {
        if (entry.is_object() && !entry.value("IsDir", false)) {
            return fileOf(entry);
        }
    } catch (const json::exception&) {
    }
    throw RemoteError("rclone's listing could not be read");
}

std::optional<TransferStats> statsInLine(std::string_view line) {
    if (line.empty() || line.front() != '{') {
        return std::nullopt;
    }
    const json entry = json::parse(line, nullptr, false);
    if (!entry.is_object()) {
        return std::nullopt;
    }
    const auto stats = entry.find("stats");
    if (stats == entry.end() || !stats->is_object()) {
        return std::nullopt;
    }
    const auto number = [&](const char* key) -> std::uint64_t {
        const auto value = stats->find(key);
        return value != stats->end() && value->is_number() && value->get<double>() > 0
                   ? value->get<std::uint64_t>()
                   : 0;
    };
    return TransferStats{number("bytes"), number("totalBytes")};
}

std::optional<std::string> errorInLine(std::string_view line) {
    if (!line.empty() && line.front() == '{') {
        const json entry = json::parse(line, nullptr, false);
        if (!entry.is_object()) {
            return std::nullopt;
        }
        const std::string level = entry.value("level", "");
        const auto message = entry.find("msg");
        if ((level == "error" || level == "critical" || level == "fatal") &&
            message != entry.end() && message->is_string()) {
            return message->get<std::string>();
        }
        return std::nullopt;
    }
    // "2026/12/10 17:22:34 Failed to ...", "... ERROR : ...", "... CRITICAL: ..."
    std::string_view text = line;
    if (text.size() > 20 && text[4] == '/' && text[7] == '/' && text[13] == ':' &&
        text[19] == ' ') {
        text.remove_prefix(20);
    }
    for (std::string_view level : {"ERROR : ", "CRITICAL: ", "Fatal error: ", "Error: "}) {
        if (text.substr(0, level.size()) == level) {
            return std::string(text.substr(level.size()));
        }
    }
    if (text.substr(0, 10) == "Failed to " || text.substr(0, 14) == "Invalid value ") {
        return std::string(text);
    }
    return std::nullopt;
}

std::string explainFailure(std::string_view remote, const std::vector<std::string>& errors,
                           int exitCode) {
    const std::string name = "\"" + std::string(remote) + "\"";
    if (errors.empty()) {
        return formatText("rclone ended with exit code %1 on the remote %2 without saying why",
                          {std::to_string(exitCode), name});
    }
    // rclone's last word is its summary: the cause is sought there first.
    std::vector<std::string> newestFirst(errors.rbegin(), errors.rend());
    struct Kind {
        std::vector<std::string_view> signs;
        // What happened, the cause in brackets (%2, rclone's own words;
        // none for rclone's configuration), what to do; %1 the remote.
        std::string_view text;
    };
    const std::vector<Kind> kinds = {
        {{"didn't find section in config file"},
         "rclone knows no remote %1: make it with \"rclone config\" (\"rclone listremotes\" "
         "names those it knows)"},
        {{"unable to decrypt configuration", "not allowed to ask for password",
          "rclone_config_pass"},
         "rclone's configuration is encrypted: give its password in the variable "
         "RCLONE_CONFIG_PASS (or a command that prints it in RCLONE_PASSWORD_COMMAND)"},
        {{"401", "unauthorized", "unable to authenticate", "authentication fail", "invalid_grant",
          "invalidaccesskeyid", "signaturedoesnotmatch", "token expired", "couldn't fetch token"},
         "the remote %1 refused the login (%2): check its user and password (or token) with "
         "\"rclone config\""},
        {{"403", "forbidden", "access denied", "accessdenied", "permission denied"},
         "the remote %1 refused access (%2): check that its user may read and write that "
         "folder (\"rclone config\" shows the user)"},
        {{"quota", "insufficient storage", "507", "no space left", "storage full", "disk full"},
         "the remote %1 has no room left (%2): make room there, or keep fewer versions "
         "(--keep)"},
        {{"connection refused", "no such host", "i/o timeout", "network is unreachable",
          "connection reset", "broken pipe", "tls handshake", "deadline exceeded",
          "closed network connection", "no route to host", "connection timed out", "eof",
          "dial tcp", "server misbehaving", "temporary failure in name resolution"},
         "cannot reach the remote %1 (%2): check the network and that the server is up, then "
         "try again"},
        {{"directory not found", "object not found", "file not found", "doesn't exist",
          "not found"},
         "the remote %1 has no such file or folder (%2): check the path after the remote's "
         "name"},
    };
    for (const std::string& message : newestFirst) {
        const std::string text = lower(message);
        for (const Kind& kind : kinds) {
            if (containsAny(text, kind.signs)) {
                return formatText(kind.text, {name, innermost(message)});
            }
        }
    }
    return formatText("rclone failed on the remote %1: %2 (exit code %3)",
                      {name, innermost(newestFirst.front()), std::to_string(exitCode)});
}

std::string rcloneMissing() {
#ifdef _WIN32
    return "rclone is not installed: it carries the backups off this machine. Put rclone.exe "
           "(rclone.org/downloads, or: winget install Rclone.Rclone) on the PATH or beside "
           "this program, make the remote with \"rclone config\", then try again";
#else
    return "rclone is not installed (or not on the PATH): it carries the backups off this "
           "machine. Install it (Debian, Ubuntu: sudo apt install rclone), make the remote "
           "with \"rclone config\", then try again";
#endif
}

namespace rclone_args {

std::vector<std::string> listRemotes() {
    return withCommon({"listremotes"});
}

std::vector<std::string> list(const RemotePath& folder) {
    return withCommon({"lsjson", "--files-only", "--no-mimetype", "--no-modtime", folder.target()});
}

std::vector<std::string> stat(const RemotePath& folder, std::string_view name, bool hashes) {
    std::vector<std::string> arguments = {"lsjson", "--stat", "--no-mimetype", "--no-modtime"};
    if (hashes) {
        arguments.emplace_back("--hash");
    }
    arguments.push_back(folder.target(name));
    return withCommon(arguments);
}

std::vector<std::string> copy(const std::string& from, const std::string& to) {
    // Statistics every second, at a level the log shows without -v.
    return withCommon(
        {"copyto", from, to, "--stats", "1s", "--stats-log-level", "NOTICE", "--stats-one-line"});
}

std::vector<std::string> move(const RemotePath& folder, std::string_view from,
                              std::string_view to) {
    return withCommon({"moveto", folder.target(from), folder.target(to)});
}

std::vector<std::string> deleteFile(const RemotePath& folder, std::string_view name) {
    return withCommon({"deletefile", folder.target(name)});
}

std::vector<std::string> hashFile(std::string_view type, const fs::path& file) {
    return withCommon({"hashsum", std::string(type), pathToUtf8(file)});
}

} // namespace rclone_args

Rclone::Rclone(fs::path program) : program_(std::move(program)) {
    std::error_code ec;
    if (program_.empty()) {
        program_ = findProgram("rclone").value_or(fs::path());
    } else if (!fs::is_regular_file(program_, ec)) {
        program_.clear();
    }
}

Rclone::Run Rclone::run(const std::vector<std::string>& arguments, std::string_view remote,
                        TransferReport* report, bool failureIsAnswer) {
    if (program_.empty()) {
        throw RemoteError(rcloneMissing());
    }
    Run result;
    ChildRequest request;
    request.program = program_;
    request.arguments = arguments;
    // A dead server fails the command in seconds rather than minutes of
    // retries; the user's own RCLONE_RETRIES and the like win.
    defaultVariable(request.environment, "RCLONE_RETRIES", "2");
    defaultVariable(request.environment, "RCLONE_LOW_LEVEL_RETRIES", "3");
    request.errorLine = [&](std::string_view line) {
        if (report != nullptr) {
            if (const std::optional<TransferStats> stats = statsInLine(line)) {
                report->transferProgress(stats->bytes, stats->total);
                return;
            }
        }
        if (std::optional<std::string> message = errorInLine(line)) {
            result.errors.push_back(std::move(*message));
        }
    };
    if (report != nullptr) {
        request.stopRequested = [report] { return report->stopRequested(); };
    }
    ChildResult child = runChild(request);
    switch (child.end) {
    case ChildResult::End::NotStarted:
        throw RemoteError(formatText("rclone (%1) could not be started: %2",
                                     {pathToUtf8(program_), child.notStarted}));
    case ChildResult::End::Stopped:
        throw TransferStopped();
    case ChildResult::End::Killed:
        throw RemoteError(
            formatText("rclone was ended by a signal on the remote \"%1\"", {remote}));
    case ChildResult::End::Exited:
        break;
    }
    result.exitCode = child.exitCode;
    result.output = std::move(child.output);
    if (result.exitCode != 0 && !failureIsAnswer) {
        throw RemoteError(explainFailure(remote, result.errors, result.exitCode));
    }
    return result;
}

std::vector<std::string> Rclone::remotes() {
    const Run listed = run(rclone_args::listRemotes(), "");
    std::vector<std::string> names;
    size_t begin = 0;
    while (begin < listed.output.size()) {
        size_t end = listed.output.find('\n', begin);
        if (end == std::string::npos) {
            end = listed.output.size();
        }
        std::string line = listed.output.substr(begin, end - begin);
        while (!line.empty() && (line.back() == '\r' || line.back() == ':')) {
            line.pop_back();
        }
        if (!line.empty()) {
            names.push_back(line);
        }
        begin = end + 1;
    }
    return names;
}

std::vector<RemoteFile> Rclone::list(const RemotePath& folder) {
    const Run listed = run(rclone_args::list(folder), folder.remote, nullptr, true);
    if (listed.exitCode == 3) {
        return {}; // rclone: "directory not found"
    }
    if (listed.exitCode != 0) {
        throw RemoteError(explainFailure(folder.remote, listed.errors, listed.exitCode));
    }
    return parseListing(listed.output);
}

std::optional<RemoteFile> Rclone::stat(const RemotePath& folder, std::string_view name,
                                       bool hashes) {
    const Run listed = run(rclone_args::stat(folder, name, hashes), folder.remote, nullptr, true);
    if (listed.exitCode == 3 || listed.exitCode == 4) {
        return std::nullopt; // no such folder, no such file
    }
    if (listed.exitCode != 0) {
        throw RemoteError(explainFailure(folder.remote, listed.errors, listed.exitCode));
    }
    return parseStat(listed.output);
}

void Rclone::upload(const fs::path& file, const RemotePath& folder, std::string_view name,
                    TransferReport& report) {
    run(rclone_args::copy(pathToUtf8(file), folder.target(name)), folder.remote, &report);
}

void Rclone::download(const RemotePath& folder, std::string_view name, const fs::path& file,
                      TransferReport& report) {
    run(rclone_args::copy(folder.target(name), pathToUtf8(file)), folder.remote, &report);
}

void Rclone::move(const RemotePath& folder, std::string_view from, std::string_view to) {
    run(rclone_args::move(folder, from, to), folder.remote);
}

bool Rclone::remove(const RemotePath& folder, std::string_view name) {
    return run(rclone_args::deleteFile(folder, name), folder.remote, nullptr, true).exitCode == 0;
}

std::string Rclone::hashOf(std::string_view type, const fs::path& file) {
    const Run hashed = run(rclone_args::hashFile(type, file), "");
    const size_t end = hashed.output.find_first_of(" \t\r\n");
    return hashed.output.substr(0, end);
}

} // namespace vellarion
