#include "core/remote/RemoteFolder.h"

#include "core/services/PathMapper.h"
#include "core/services/ProgramPath.h"
#include "core/services/RunToken.h"
#include "core/services/SystemServices.h"
#include "core/services/Text.h"
#include "core/services/platform/File.h"
#include "core/text/Catalogue.h"

#include <algorithm>
#include <cctype>
#include <chrono>
#include <random>
#include <set>

namespace vellarion {

namespace fs = std::filesystem;

namespace {

constexpr std::string_view kFolderPrefix = "vellarion-remote-";
constexpr std::string_view kUploading = ".uploading";
// A run that left a half-sent archive has surely ended a day later.
constexpr long long kAbandonedAfter = 24 * 60 * 60;

long long secondsNow() {
    return std::chrono::duration_cast<std::chrono::seconds>(
               std::chrono::system_clock::now().time_since_epoch())
        .count();
}

bool endsWithDat(std::string_view name) {
    return name.size() > 4 && equalsIgnoreCase(name.substr(name.size() - 4), ".dat");
}

// A name that may stand in the private folder as it is: one component,
// nothing a system reads otherwise.
bool plainName(std::string_view name) {
    if (name.empty() || name == "." || name == "..") {
        return false;
    }
    return std::none_of(name.begin(), name.end(), [](char c) {
        const auto u = static_cast<unsigned char>(c);
        return u < 0x20 || c == '/' || c == '\\' || c == ':' || c == '*' || c == '?' || c == '"' ||
               c == '<' || c == '>' || c == '|';
    });
}

std::string lowerHex(std::string text) {
    std::transform(text.begin(), text.end(), text.begin(),
                   [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    return text;
}

// Eight hexadecimal digits no other run is likely to choose.
std::string randomTag() {
    static std::random_device random;
    char tag[16];
    std::snprintf(tag, sizeof tag, "%08x", static_cast<unsigned>(random()));
    return tag;
}

// The private folder of a run of this process.
fs::path makePrivateFolder() {
    std::error_code ec;
    const fs::path temporary = fs::temp_directory_path(ec);
    if (ec) {
        throw Error(formatText("The folder for temporary files is unknown (%1)", {errorText(ec)}));
    }
    for (int attempt = 0;; ++attempt) {
        const fs::path folder =
            temporary / pathFromUtf8(std::string(kFolderPrefix) + newRunToken());
        platform::createPrivateFolder(folder, ec);
        if (!ec) {
            return folder;
        }
        if (ec != std::errc::file_exists || attempt > 100) {
            throw Error(formatText("Cannot create folder \"%1\" (%2)",
                                   {pathToUtf8(folder), errorText(ec)}));
        }
    }
}

} // namespace

void removeAbandonedRemoteFolders() {
    std::error_code ec;
    const fs::path temporary = fs::temp_directory_path(ec);
    if (ec) {
        return;
    }
    for (fs::directory_iterator it(temporary, ec), end; !ec && it != end; it.increment(ec)) {
        const std::string name = pathToUtf8(it->path().filename());
        if (!name.starts_with(kFolderPrefix)) {
            continue;
        }
        // Only a folder one of this user's runs made, and that run ended.
        const std::string rest = name.substr(kFolderPrefix.size());
        const std::optional<RunToken> token = ownRunToken(rest);
        if (!token || token->length != rest.size() || platform::isProcessAlive(token->pid)) {
            continue;
        }
        std::error_code kindError;
        // Never a link someone put there.
        if (platform::entryKind(it->path(), kindError) == platform::EntryKind::Folder) {
            std::error_code removeError;
            fs::remove_all(it->path(), removeError);
        }
    }
}

RemoteFolder::RemoteFolder(Rclone& rclone, RemotePath where, TransferReport& report)
    : rclone_(rclone), where_(std::move(where)), report_(report) {
    if (!rclone_.available()) {
        throw RemoteError(rcloneMissing());
    }
    files_ = rclone_.list(where_);
    for (const RemoteFile& file : files_) {
        if (endsWithDat(file.name) && plainName(file.name)) {
            archives_.push_back(file);
        }
    }
    removeAbandonedRemoteFolders();
    folder_ = makePrivateFolder();
    location_ = pathToUtf8(folder_);
    try {
        makeStandIns();
    } catch (...) {
        std::error_code ec;
        fs::remove_all(folder_, ec);
        throw;
    }
}

RemoteFolder::~RemoteFolder() {
    std::error_code ec;
    fs::remove_all(folder_, ec);
}

void RemoteFolder::makeStandIns() {
    for (const RemoteFile& archive : archives_) {
        std::error_code ec;
        platform::File::createNew(folder_ / pathFromUtf8(archive.name), ec);
        if (ec) {
            throw Error(
                formatText("Cannot create \"%1\" (%2)",
                           {pathToUtf8(folder_ / pathFromUtf8(archive.name)), errorText(ec)}));
        }
    }
}

std::string RemoteFolder::shown(std::string text) const {
    const std::string prefix = where_.text() + (where_.folder.empty() ? "" : "/");
    for (const std::string& local : {location_ + "/", location_ + "\\", location_}) {
        const std::string replacement = local.size() > location_.size() ? prefix : where_.text();
        for (size_t at = text.find(local); at != std::string::npos;
             at = text.find(local, at + replacement.size())) {
            text.replace(at, local.size(), replacement);
        }
    }
    return text;
}

std::string RemoteFolder::remoteName(const std::string& path) const {
    return where_.shown(lastName(path));
}

std::string RemoteFolder::fetch(const std::string& name) {
    const auto listed = std::find_if(archives_.begin(), archives_.end(),
                                     [&](const RemoteFile& f) { return f.name == name; });
    if (listed == archives_.end()) {
        throw Error(formatText("no archive \"%1\" in %2", {name, where_.text()}));
    }
    const fs::path file = folder_ / pathFromUtf8(name);
    std::error_code ec;
    fs::remove(file, ec);
    report_.transferStarted(name, false);
    rclone_.download(where_, name, file, report_);
    const std::uintmax_t size = fs::file_size(file, ec);
    if (ec || size != listed->size) {
        fs::remove(file, ec);
        throw RemoteError(formatText("the archive \"%1\" did not arrive whole from %2: try again",
                                     {name, where_.text()}));
    }
    // Private, like every archive of the program's.
    fs::permissions(file, fs::perms::owner_read | fs::perms::owner_write, ec);
    return pathToUtf8(file);
}

std::string RemoteFolder::uploadName(const std::string& name, long long startedAt,
                                     std::string_view tag) {
    return "." + name + "." + std::to_string(startedAt) + "-" + std::string(tag) +
           std::string(kUploading);
}

std::optional<long long> RemoteFolder::uploadStarted(const std::string& name) {
    if (name.size() < 3 + kUploading.size() || name.front() != '.' || !name.ends_with(kUploading)) {
        return std::nullopt;
    }
    const std::string stem = name.substr(0, name.size() - kUploading.size());
    const size_t dot = stem.rfind('.');
    const size_t dash = stem.find('-', dot);
    if (dot == 0 || dash == std::string::npos) {
        return std::nullopt;
    }
    const std::string digits = stem.substr(dot + 1, dash - dot - 1);
    if (digits.empty() || digits.size() > 18 ||
        !std::all_of(digits.begin(), digits.end(),
                     [](unsigned char c) { return std::isdigit(c) != 0; })) {
        return std::nullopt;
    }
    return std::stoll(digits);
}

void RemoteFolder::removeAbandonedUploads(const std::vector<RemoteFile>& files) {
    const long long now = secondsNow();
    for (const RemoteFile& file : files) {
        const std::optional<long long> started = uploadStarted(file.name);
        if (started && now - *started >= kAbandonedAfter) {
            rclone_.remove(where_, file.name);
        }
    }
}

void RemoteFolder::sendChecked(const fs::path& file, const std::string& name,
                               const std::string& temporary) {
    report_.transferStarted(name, true);
    rclone_.upload(file, where_, temporary, report_);
    std::error_code ec;
    const std::uintmax_t size = fs::file_size(file, ec);
    const std::optional<RemoteFile> there = rclone_.stat(where_, temporary, true);
    if (ec || !there || there->size != size) {
        throw RemoteError(formatText(
            "the copy of \"%1\" on %2 is not whole; nothing there was replaced: try again",
            {name, where_.text()}));
    }
    // The strongest hash the remote offers, compared with this file's.
    std::vector<std::string> types = {"sha256", "sha1", "md5"};
    for (const auto& [type, value] : there->hashes) {
        types.push_back(type);
    }
    for (const std::string& type : types) {
        const auto hash = there->hashes.find(type);
        if (hash == there->hashes.end()) {
            continue;
        }
        if (lowerHex(rclone_.hashOf(type, file)) != lowerHex(hash->second)) {
            throw RemoteError(formatText("the copy of \"%1\" on %2 differs from the archive "
                                         "(its %3 hash); nothing there was replaced: try again",
                                         {name, where_.text(), type}));
        }
        break;
    }
}

RemoteFolder::Sent RemoteFolder::send(SystemServices& services,
                                      const std::vector<std::string>& archives, int keep,
                                      const ArchivePassword& password) {
    const PathMapper& paths = services.paths();
    for (const std::string& archive : archives) {
        if (const std::string damage = archiveDamage(paths, archive, password); !damage.empty()) {
            throw Error(
                formatText("the new archive does not read whole: %1: %2; nothing was sent to %3",
                           {remoteName(archive), damage, where_.text()}));
        }
    }
    removeAbandonedUploads(files_);
    // Every archive is there under its temporary name before one takes its
    // name: a failure on the way replaces nothing.
    std::vector<std::pair<std::string, std::string>> pending; // temporary name, name
    try {
        for (const std::string& archive : archives) {
            const std::optional<fs::path> file = paths.toNative(archive);
            if (!file) {
                throw Error(
                    formatText("\"%1\" names nothing on this machine", {paths.toDisplay(archive)}));
            }
            const std::string name = lastName(archive);
            // Named before it is sent: a copy that breaks off is deleted too.
            pending.emplace_back(uploadName(name, secondsNow(), randomTag()), name);
            sendChecked(*file, name, pending.back().first);
        }
        while (!pending.empty()) {
            rclone_.move(where_, pending.front().first, pending.front().second);
            pending.erase(pending.begin());
        }
    } catch (...) {
        for (const auto& [temporary, name] : pending) {
            try {
                rclone_.remove(where_, temporary);
            } catch (const Error&) {
                // What cannot be deleted now goes with a later backup's.
            }
        }
        throw;
    }
    Sent sent;
    std::set<std::string> fresh;
    std::vector<std::string> fixedNames;
    std::string newStamp;
    for (const std::string& archive : archives) {
        const std::string name = lastName(archive);
        sent.archives.push_back(where_.shown(name));
        fresh.insert(name);
        if (const std::optional<StampedArchive> split = splitStamped(name)) {
            fixedNames.push_back(split->fixedName);
            newStamp = split->stamp;
        }
    }
    if (keep <= 0 || fixedNames.empty()) {
        return sent;
    }
    const Retention kept = keepNewest(
        services, location_, fixedNames, keep,
        [&](const std::string& path) {
            const std::string name = lastName(path);
            if (fresh.count(name) > 0) {
                return true; // read whole before it was sent, its copy checked there
            }
            // An older version of the remote's: fetched and read whole.
            try {
                return archiveDamage(paths, fetch(name), password).empty();
            } catch (const TransferStopped&) {
                throw;
            } catch (const Error&) {
                return false;
            }
        },
        newStamp);
    for (const std::string& path : kept.deleted) {
        const std::string name = lastName(path);
        (rclone_.remove(where_, name) ? sent.retention.deleted : sent.retention.notDeleted)
            .push_back(where_.shown(name));
    }
    for (const std::string& path : kept.keptBeyondCount) {
        sent.retention.keptBeyondCount.push_back(where_.shown(lastName(path)));
    }
    for (const std::string& path : kept.notDeleted) {
        sent.retention.notDeleted.push_back(where_.shown(lastName(path)));
    }
    for (const std::string& path : kept.future) {
        sent.retention.future.push_back(where_.shown(lastName(path)));
    }
    return sent;
}

} // namespace vellarion

namespace vellarion {

std::vector<std::string> fullArchivesOfVersion(const RemoteFolder& folder,
                                               const std::string& archiveName,
                                               const std::string& stamp) {
    const std::string stem = archiveName.substr(0, archiveName.size() - 4);
    std::vector<std::string> names;
    for (const RemoteFile& archive : folder.archives()) {
        const std::optional<StampedArchive> split = splitStamped(archive.name);
        if (stamp.empty() ? split.has_value() : !split || split->stamp != stamp) {
            continue;
        }
        const std::string fixed = split ? split->fixedName : archive.name;
        const std::string number =
            fixed.size() >= archiveName.size()
                ? fixed.substr(stem.size(), fixed.size() - archiveName.size())
                : std::string("x");
        if (equalsIgnoreCase(fixed.substr(0, stem.size()), stem) && endsWithDat(fixed) &&
            std::all_of(number.begin(), number.end(),
                        [](unsigned char c) { return std::isdigit(c) != 0; })) {
            names.push_back(archive.name);
        }
    }
    return names;
}

} // namespace vellarion
