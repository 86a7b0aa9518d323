#include "core/restore/RestoreTransaction.h"

#include "core/services/PathMapper.h"
#include "core/services/RunToken.h"
#include "core/services/platform/File.h"

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cstdio>
#include <optional>
#include <set>
#include <string_view>
#include <tuple>
#include <unordered_map>
#include <unordered_set>

namespace vellarion {

namespace fs = std::filesystem;

namespace {

constexpr std::string_view kCompanions[] = {"-wal", "-shm", "-journal"};
constexpr std::string_view kJournalHeader = "VLRJ1 ";
constexpr std::size_t kStateOffset = kJournalHeader.size();
constexpr char kPrepared = 'P';
constexpr char kCommitted = 'C';
constexpr std::string_view kJournalPrefix = ".vellarion-restore-";
constexpr std::string_view kJournalSuffix = ".journal";
constexpr std::string_view kUnpackPrefix = ".vellarion-unpack-";
constexpr std::string_view kStagingPrefix = ".vellarion-staging-";
// Room a restore leaves free beside what it writes.
constexpr std::uint64_t kSpareBytes = 1 << 20;

std::string shown(const fs::path& path) {
    return "\"" + pathToUtf8(path) + "\"";
}

std::string recordPath(char kind, std::string_view flags, const fs::path& path) {
    const std::string utf8 = pathToUtf8(path);
    return std::string(1, kind) + " " + std::string(flags) + " " + std::to_string(utf8.size()) +
           ":" + utf8 + "\n";
}

fs::path tempName(const fs::path& target, const std::string& token, std::size_t index,
                  std::string_view suffix) {
    return target.parent_path() / pathFromUtf8(std::string(kRestoreFilePrefix) + token + "-" +
                                               std::to_string(index) + std::string(suffix));
}

// A browser's own files: for its owner only.
constexpr fs::perms kPrivateFolder = fs::perms::owner_all;
constexpr fs::perms kPrivateFile = fs::perms::owner_read | fs::perms::owner_write;

// Whether `path` is `folder` or lies below it (both normal).
bool within(const fs::path& path, const fs::path& folder) {
    const fs::path relative = path.lexically_relative(folder);
    return !relative.empty() && *relative.begin() != "..";
}

// The pid of the run that made a leftover whose name is `prefix` and a
// token of this user's runs ("…-unpack-1234-…"), when that run has ended;
// nothing for any other name, a token this user's runs did not make, or a
// run still going.
std::optional<unsigned long> endedRunAfter(std::string_view name, std::string_view prefix) {
    if (!name.starts_with(prefix)) {
        return std::nullopt;
    }
    const std::optional<RunToken> token = ownRunToken(name.substr(prefix.size()));
    if (!token || platform::isProcessAlive(token->pid)) {
        return std::nullopt;
    }
    return token->pid;
}

// A temporary archive of an ended run: "name.dat.<token>.tmp".
bool isLeftoverArchive(std::string_view name) {
    constexpr std::string_view kSuffix = ".tmp";
    if (!name.ends_with(kSuffix)) {
        return false;
    }
    name.remove_suffix(kSuffix.size());
    for (std::size_t dot = name.find(".dat."); dot != std::string_view::npos;
         dot = name.find(".dat.", dot + 1)) {
        const std::string_view rest = name.substr(dot + 5);
        if (const std::optional<RunToken> token = ownRunToken(rest);
            token && token->length == rest.size()) {
            return !platform::isProcessAlive(token->pid);
        }
    }
    return false;
}

// A small file of the program's own whole; nothing when it cannot be read
// or is larger than `limit`.
std::optional<std::string> readSmall(const fs::path& path, std::size_t limit) {
    std::error_code ec;
    platform::File file = platform::File::openForReading(path, platform::ReadShare::DenyNone, ec);
    if (ec) {
        return std::nullopt;
    }
    std::string text;
    char buffer[65536];
    for (std::size_t n; (n = file.read(buffer, sizeof buffer, ec)) > 0 && !ec;) {
        text.append(buffer, n);
        if (text.size() > limit) {
            return std::nullopt;
        }
    }
    if (ec) {
        return std::nullopt;
    }
    return text;
}

} // namespace

std::string nothingRestored(std::string_view what) {
    std::string text(what);
    while (!text.empty() && (text.back() == ' ' || text.back() == '\n')) {
        text.pop_back();
    }
    if (!text.empty() && text.back() != '.') {
        text += '.';
    }
    return text + " Nothing was restored.";
}

std::string stagingMarkerName() {
    return std::string(kStagingPrefix) + newRunToken();
}

RestoreTransaction::RestoreTransaction(RestoreFiles& files, fs::path journalFolder,
                                       std::function<bool()> stopRequested)
    : files_(files), journalFolder_(std::move(journalFolder)),
      stopRequested_(std::move(stopRequested)), token_(newRunToken()) {}

RestoreTransaction::~RestoreTransaction() {
    if (!done_) {
        rollBack();
    }
}

void RestoreTransaction::addFile(const fs::path& source, const fs::path& home,
                                 const fs::path& relative) {
    addFile(source, files_.status(source), home, relative);
}

void RestoreTransaction::addFile(const fs::path& source, const PathStatus& st,
                                 const fs::path& givenHome, const fs::path& relative) {
    // "profile/" and "profile" are one folder.
    const fs::path home = givenHome.has_filename() ? givenHome.lexically_normal()
                                                   : givenHome.parent_path().lexically_normal();
    const fs::path target = (home / relative).lexically_normal();
    if (holdsReservedName(pathToUtf8(relative))) {
        // The names this program keeps for its own work are never restored:
        // a journal coming out of an archive would steer the next recovery.
        return;
    }
    const auto [it, added] = byTarget_.emplace(target.native(), entries_.size());
    if (added) {
        entries_.push_back({source, home, target});
        privateFolders_.insert(home);
    }
    Entry& entry = entries_[it->second];
    entry.source = source;
    entry.size = st.size;
    entry.device = st.device;
    entry.sourcePerms = st.perms;
}

void RestoreTransaction::addFolder(const fs::path& sourceFolder, const fs::path& home,
                                   const fs::path& relative) {
    std::error_code ec;
    const std::vector<fs::path> names = files_.list(sourceFolder, ec);
    if (ec) {
        fail("Cannot read folder", sourceFolder, ec);
    }
    for (const fs::path& name : names) {
        const fs::path source = sourceFolder / name;
        const PathStatus st = files_.status(source);
        switch (st.kind) {
        case PathStatus::Kind::File:
            addFile(source, st, home, relative / name);
            break;
        case PathStatus::Kind::Folder:
            addFolder(source, home, relative / name);
            break;
        default:
            break; // the unpack folder holds files and folders only
        }
    }
}

void RestoreTransaction::fail(const std::string& what, const fs::path& path, std::error_code ec) {
    std::string text = what + " " + shown(path);
    if (ec) {
        text += ": " + ec.message();
    }
    throw RestoreFailed(nothingRestored(text));
}

bool RestoreTransaction::isPrivate(const fs::path& path) const {
    return std::any_of(privateFolders_.begin(), privateFolders_.end(),
                       [&](const fs::path& folder) { return within(path, folder); });
}

fs::path RestoreTransaction::newName(std::size_t index) const {
    return tempName(entries_[index].target, token_, index, ".new");
}

fs::path RestoreTransaction::oldName(std::size_t index) const {
    return tempName(entries_[index].target, token_, index, ".old");
}

void RestoreTransaction::checkFolders(const Entry& entry) {
    // Each folder is judged once, however many files lie in it.
    const auto judged = [this](const fs::path& folder) {
        return !checkedFolders_.insert(folder.native()).second;
    };
    // The home itself may be a link (a profile kept on another disk); a
    // missing one is made with its missing parents.
    std::vector<fs::path> missing;
    for (fs::path up = entry.home.lexically_normal(); !judged(up); up = up.parent_path()) {
        const PathStatus st = files_.status(up);
        if (st.kind == PathStatus::Kind::Folder || st.kind == PathStatus::Kind::Link) {
            break;
        }
        if (st.kind != PathStatus::Kind::Missing) {
            fail("A file stands where the restore needs a folder:", up);
        }
        missing.push_back(up);
        if (up == up.parent_path()) {
            break;
        }
    }
    newFolders_.insert(newFolders_.end(), missing.rbegin(), missing.rend());

    fs::path folder = entry.home.lexically_normal();
    // The files of one folder take the same steps down.
    PathKey walk = folder.native();
    walk += PathKey(1, '\0');
    walk += entry.target.parent_path().native();
    if (!walkedFolders_.insert(std::move(walk)).second) {
        return;
    }
    const fs::path relative = entry.target.lexically_relative(folder).parent_path();
    for (const fs::path& part : relative) {
        folder /= part;
        if (judged(folder)) {
            continue;
        }
        switch (files_.status(folder).kind) {
        case PathStatus::Kind::Missing:
            newFolders_.push_back(folder);
            break;
        case PathStatus::Kind::Folder:
            break;
        case PathStatus::Kind::Link:
            if (linkedFolders_.contains(folder)) {
                break;
            }
            fail("A link stands where the restore needs a folder (nothing is written through a "
                 "link):",
                 folder);
        default:
            fail("A file stands where the restore needs a folder:", folder);
        }
    }
}

void RestoreTransaction::addCompanions() {
    // Each folder is listed once, and its names ending as a companion's
    // looked up, rather than three names asked for every file.
    struct Found {
        std::size_t owner;
        std::size_t suffix;
        fs::path path;
    };
    std::vector<Found> found;
    std::unordered_set<PathKey> listed;
    const std::size_t planned = entries_.size();
    for (std::size_t i = 0; i < planned; ++i) {
        const fs::path folder = entries_[i].target.parent_path();
        if (!listed.insert(folder.native()).second) {
            continue;
        }
        std::error_code ec;
        for (const fs::path& name : files_.list(folder, ec)) {
            const PathKey& text = name.native();
            for (std::size_t k = 0; k < std::size(kCompanions); ++k) {
                const PathKey suffix = pathFromUtf8(kCompanions[k]).native();
                if (text.size() <= suffix.size() || !text.ends_with(suffix)) {
                    continue;
                }
                fs::path companion = folder / name;
                const auto owner = byTarget_.find(
                    (folder / PathKey(text, 0, text.size() - suffix.size())).native());
                if (owner == byTarget_.end() || owner->second >= planned ||
                    byTarget_.contains(companion.native()) ||
                    files_.status(companion).kind != PathStatus::Kind::File) {
                    continue;
                }
                found.push_back({owner->second, k, std::move(companion)});
            }
        }
    }
    // In the order of the files they belong to.
    std::sort(found.begin(), found.end(), [](const Found& a, const Found& b) {
        return std::tie(a.owner, a.suffix) < std::tie(b.owner, b.suffix);
    });
    for (Found& each : found) {
        byTarget_.emplace(each.path.native(), entries_.size());
        Entry stale{fs::path(), entries_[each.owner].home, std::move(each.path)};
        stale.existed = true; // taken away with the swap
        entries_.push_back(std::move(stale));
    }
}

void RestoreTransaction::check() {
    for (Entry& entry : entries_) {
        checkFolders(entry);
        const PathStatus st = files_.status(entry.target);
        switch (st.kind) {
        case PathStatus::Kind::Missing:
            break;
        case PathStatus::Kind::File:
            entry.existed = true;
            entry.perms = st.perms;
            break;
        case PathStatus::Kind::Link:
            entry.existed = true; // the link itself is replaced
            break;
        case PathStatus::Kind::Folder:
            fail("A folder stands where the restore puts a file:", entry.target);
        default:
            fail("Something that is no file stands where the restore puts a file:", entry.target);
        }
    }
    addCompanions();

    // What cannot be taken by rename is copied: that much room is needed.
    std::uint64_t needed = 0;
    for (const Entry& entry : entries_) {
        if (!entry.source.empty()) {
            needed += entry.size;
        }
    }
    if (!entries_.empty() && needed > 0) {
        fs::path existing = entries_.front().home;
        while (files_.status(existing).kind == PathStatus::Kind::Missing &&
               existing != existing.parent_path()) {
            existing = existing.parent_path();
        }
        const bool sameDisk = movable_ && entries_.front().device == files_.status(existing).device;
        std::error_code ec;
        const std::uint64_t free = files_.freeSpace(existing, ec);
        if (!sameDisk && !ec && needed + kSpareBytes > free) {
            throw RestoreFailed("Not enough free space in " + shown(existing) + ": " +
                                std::to_string(needed) + " bytes needed, " + std::to_string(free) +
                                " free. Nothing was restored.");
        }
    }
}

void RestoreTransaction::writeJournal() {
    std::string text(kJournalHeader);
    text += kPrepared;
    text += "\nT 00 " + token_ + "\n";
    for (const fs::path& folder : newFolders_) {
        text += recordPath('D', "00", folder);
    }
    for (const Entry& entry : entries_) {
        const std::string flags =
            std::string(entry.existed ? "1" : "0") + (entry.source.empty() ? "0" : "1");
        text += recordPath('F', flags, entry.target);
    }
    // Beside the targets: in the folder they all lie in, or the nearest one
    // above it that is there before the restore makes it. A recovery takes
    // nothing from a journal that names a path outside its folder.
    std::vector<fs::path> places{journalFolder_};
    for (const Entry& entry : entries_) {
        places.push_back(entry.target.parent_path());
    }
    journalFolder_ = commonFolder(places);
    while (files_.status(journalFolder_).kind == PathStatus::Kind::Missing &&
           journalFolder_ != journalFolder_.parent_path()) {
        journalFolder_ = journalFolder_.parent_path();
    }
    journal_ = journalFolder_ /
               pathFromUtf8(std::string(kJournalPrefix) + token_ + std::string(kJournalSuffix));
    std::error_code ec;
    held_ = files_.createHeld(journal_, text, ec);
    if (!held_) {
        fail("Cannot write the restore's journal", journal_, ec);
    }
    files_.syncFolder(journalFolder_, ec);
    if (ec) {
        fail("Cannot write the restore's journal", journal_, ec);
    }
}

void RestoreTransaction::prepare() {
    std::error_code ec;
    for (const fs::path& folder : newFolders_) {
        files_.createFolder(folder, ec);
        if (ec) {
            fail("Cannot create folder", folder, ec);
        }
        madeFolders_.push_back(folder);
        if (isPrivate(folder)) {
            files_.setPermissions(folder, kPrivateFolder, ec);
            if (ec) {
                fail("Cannot set the permissions of", folder, ec);
            }
        }
    }
    std::unordered_map<PathKey, int> uses;
    for (const Entry& entry : entries_) {
        ++uses[entry.source.native()];
    }
    // Per target folder, once the first movable source was tried there:
    // whether a rename reaches it from the sources (the same file system,
    // no mount point between). Where it does, the other sources stay where
    // they are until the swap renames them straight into place.
    std::unordered_map<PathKey, bool> reachable;
    for (std::size_t i = 0; i < entries_.size(); ++i) {
        Entry& entry = entries_[i];
        const fs::path folder = entry.target.parent_path();
        if (entry.source.empty()) {
            continue;
        }
        if (stopped()) {
            return;
        }
        fs::path fresh = newName(i);
        bool moved = false;
        int& sourceUses = uses[entry.source.native()];
        if (movable_ && sourceUses == 1) {
            if (const auto known = reachable.find(folder.native()); known != reachable.end()) {
                if (known->second) {
                    entry.inPlace = true;
                    moved = true;
                    fresh = entry.source;
                }
            } else {
                files_.rename(entry.source, fresh, ec);
                moved = !ec;
                if (ec && ec != std::errc::cross_device_link
#ifdef _WIN32
                    && ec.value() != 17 // ERROR_NOT_SAME_DEVICE
#endif
                ) {
                    fail("Cannot write", fresh, ec);
                }
                reachable.emplace(folder.native(), moved);
            }
        }
        if (!moved) {
            files_.copyFile(entry.source, fresh, ec);
            if (ec) {
                fail("Cannot write", fresh, ec);
            }
        }
        entry.placed = true;
        // A new file is private; a replaced one keeps its mode.
        const fs::perms perms = entry.perms == fs::perms::unknown ? kPrivateFile : entry.perms;
        // A moved file brings its mode along; a copy is made afresh.
        if (!moved || perms != entry.sourcePerms) {
            files_.setPermissions(fresh, perms, ec);
            if (ec) {
                fail("Cannot set the permissions of", fresh, ec);
            }
        }
        --sourceUses;
    }
    syncDisks();
}

void RestoreTransaction::syncDisks() {
    // Once per file system: what was written there, and the entries made.
    std::unordered_set<PathKey> folders;
    std::map<std::uint64_t, fs::path> disks;
    for (const Entry& entry : entries_) {
        fs::path folder = entry.target.parent_path();
        if (folders.insert(folder.native()).second) {
            disks.emplace(files_.status(folder).device, std::move(folder));
        }
    }
    std::error_code ec;
    for (const auto& [device, folder] : disks) {
        files_.syncFileSystem(folder, ec);
        if (ec) {
            fail("Cannot write", folder, ec);
        }
    }
}

void RestoreTransaction::swap() {
    std::error_code ec;
    for (std::size_t i = 0; i < entries_.size(); ++i) {
        Entry& entry = entries_[i];
        if (entry.existed) {
            files_.rename(entry.target, oldName(i), ec);
            if (ec) {
                fail("Cannot replace", entry.target, ec);
            }
            entry.keptAside = true;
        }
        if (entry.placed) {
            files_.rename(entry.inPlace ? entry.source : newName(i), entry.target, ec);
            if (ec) {
                fail("Cannot replace", entry.target, ec);
            }
            entry.swapped = true;
        }
    }
    syncDisks();
    if (lastStep_) {
        lastStep_();
    }
    // The point of no return: from here a crash completes the restore.
    held_->overwrite(kStateOffset, std::string(1, kCommitted), ec);
    if (ec) {
        fail("Cannot write the restore's journal", journal_, ec);
    }
}

void RestoreTransaction::cleanUp() {
    std::vector<fs::path> kept;
    for (std::size_t i = 0; i < entries_.size(); ++i) {
        if (entries_[i].keptAside) {
            kept.push_back(oldName(i));
        }
    }
    const bool whole = files_.removeFiles(kept);
    held_.reset();
    std::error_code ec;
    if (whole) {
        files_.removeFile(journal_, ec); // else the next run finishes it
    }
}

void RestoreTransaction::rollBack() noexcept {
    if (entries_.empty() && madeFolders_.empty() && !held_) {
        return;
    }
    bool whole = true;
    std::error_code ec;
    for (std::size_t i = entries_.size(); i-- > 0;) {
        Entry& entry = entries_[i];
        if (entry.keptAside) {
            files_.rename(oldName(i), entry.target, ec);
            whole = whole && !ec;
        } else if (entry.swapped) {
            files_.removeFile(entry.target, ec);
            whole = whole && !ec;
        }
        if (entry.placed && !entry.swapped && !entry.inPlace) {
            files_.removeFile(newName(i), ec);
            whole = whole && !ec;
        }
        entry = Entry{};
    }
    for (auto it = madeFolders_.rbegin(); it != madeFolders_.rend(); ++it) {
        files_.removeFolder(*it, ec);
        whole = whole && !ec;
    }
    madeFolders_.clear();
    if (held_) {
        held_.reset();
        if (whole) {
            files_.removeFile(journal_, ec);
        }
    }
}

bool RestoreTransaction::commit() {
    try {
        check();
        if (entries_.empty()) {
            done_ = true;
            if (lastStep_) {
                lastStep_();
            }
            return true;
        }
        if (stopped()) {
            rollBack();
            done_ = true;
            return false;
        }
        writeJournal();
        prepare();
        if (stopped()) {
            rollBack();
            done_ = true;
            return false;
        }
        swap();
    } catch (...) {
        rollBack();
        done_ = true;
        throw;
    }
    done_ = true;
    cleanUp();
    return true;
}

namespace {

struct JournalRecord {
    bool existed = false;
    bool hasSource = false;
    fs::path path;
};

struct Journal {
    char state = 0;
    std::string token;
    std::vector<fs::path> folders;
    std::vector<JournalRecord> files;
};

std::optional<Journal> readJournal(const fs::path& path) {
    constexpr std::size_t kJournalLimit = 64 << 20;
    const std::optional<std::string> whole = readSmall(path, kJournalLimit);
    if (!whole) {
        return std::nullopt;
    }
    const std::string& text = *whole;
    if (!text.starts_with(kJournalHeader) || text.size() < kStateOffset + 2) {
        return std::nullopt;
    }
    Journal journal;
    journal.state = text[kStateOffset];
    std::size_t at = text.find('\n') + 1;
    while (at < text.size()) {
        // "K FF LEN:PATH\n"
        if (at + 5 > text.size() || text[at + 1] != ' ' || text[at + 4] != ' ') {
            return std::nullopt;
        }
        const char kind = text[at];
        const bool first = text[at + 2] == '1';
        const bool second = text[at + 3] == '1';
        const std::size_t colon = text.find(':', at + 5);
        std::size_t end = text.find('\n', at + 5);
        if (kind == 'T') {
            journal.token = text.substr(at + 5, end - at - 5);
        } else {
            if (colon == std::string::npos) {
                return std::nullopt;
            }
            const std::string digits = text.substr(at + 5, colon - at - 5);
            if (digits.empty() || digits.size() > 6 ||
                digits.find_first_not_of("0123456789") != std::string::npos) {
                return std::nullopt;
            }
            const std::size_t length = std::stoul(digits);
            if (colon + 1 + length >= text.size() || text[colon + 1 + length] != '\n') {
                return std::nullopt;
            }
            const fs::path named = pathFromUtf8(text.substr(colon + 1, length));
            if (kind == 'D') {
                journal.folders.push_back(named);
            } else if (kind == 'F') {
                journal.files.push_back({first, second, named});
            } else {
                return std::nullopt;
            }
            end = colon + 1 + length;
        }
        if (end == std::string::npos) {
            return std::nullopt;
        }
        at = end + 1;
    }
    if (journal.token.empty() || (journal.state != kPrepared && journal.state != kCommitted)) {
        return std::nullopt;
    }
    return journal;
}

// Whether every path the journal names lies below `folder`, where it was
// found: only then was it written by a restore into that folder.
bool confinedTo(const Journal& journal, const fs::path& folder) {
    fs::path base = folder.lexically_normal();
    if (!base.has_filename()) {
        base = base.parent_path();
    }
    const auto below = [&base](const fs::path& path) {
        const fs::path relative = path.lexically_normal().lexically_relative(base);
        return !relative.empty() && *relative.begin() != ".." && relative.is_relative();
    };
    return std::all_of(journal.folders.begin(), journal.folders.end(), below) &&
           std::all_of(journal.files.begin(), journal.files.end(),
                       [&below](const JournalRecord& record) { return below(record.path); });
}

// Finishes what a journal names; true when nothing of it is left.
bool finish(RestoreFiles& files, const Journal& journal) {
    bool whole = true;
    std::error_code ec;
    const auto exists = [&files](const fs::path& path) {
        return files.status(path).kind != PathStatus::Kind::Missing;
    };
    for (std::size_t i = journal.files.size(); i-- > 0;) {
        const JournalRecord& record = journal.files[i];
        const fs::path old = tempName(record.path, journal.token, i, ".old");
        const fs::path fresh = tempName(record.path, journal.token, i, ".new");
        if (journal.state == kPrepared) {
            if (exists(old)) {
                files.rename(old, record.path, ec);
                whole = whole && !ec;
            } else if (!record.existed && record.hasSource && !exists(fresh) &&
                       files.status(record.path).kind == PathStatus::Kind::File) {
                files.removeFile(record.path, ec); // it was swapped in
                whole = whole && !ec;
            }
        } else if (exists(old)) {
            files.removeFile(old, ec);
            whole = whole && !ec;
        }
        if (exists(fresh)) {
            files.removeFile(fresh, ec);
            whole = whole && !ec;
        }
    }
    if (journal.state == kPrepared) {
        for (auto it = journal.folders.rbegin(); it != journal.folders.rend(); ++it) {
            if (exists(*it)) {
                files.removeFolder(*it, ec); // only when empty
            }
        }
    }
    return whole;
}

} // namespace

std::vector<std::string> recoverRestores(RestoreFiles& files, const fs::path& folder) {
    std::vector<std::string> said;
    std::error_code ec;
    if (folder.empty() || files.status(folder).kind == PathStatus::Kind::Missing) {
        return said;
    }
    const std::vector<fs::path> names = files.list(folder, ec);
    for (const fs::path& name : names) {
        const std::string text = pathToUtf8(name);
        const fs::path path = folder / name;
        if (text.starts_with(kRestoreFilePrefix) && !files.status(path).ownedByUser) {
            continue; // another account's: never ours to remove or follow
        }
        if (text.starts_with(kJournalPrefix) && text.ends_with(kJournalSuffix)) {
            if (files.isHeld(path)) {
                continue; // a restore that runs now
            }
            const PathStatus st = files.status(path);
            using P = fs::perms;
            if (st.kind != PathStatus::Kind::File || !st.ownedByUser ||
                (st.perms != P::unknown &&
                 (st.perms & (P::group_write | P::others_write)) != P::none)) {
                continue; // not a journal this user's runs wrote: not acted on
            }
            // Its name carries the token of the run that wrote it, and so
            // does its text: else it is no journal of ours, whatever it says.
            const std::string_view named = std::string_view(text).substr(
                kJournalPrefix.size(), text.size() - kJournalPrefix.size() - kJournalSuffix.size());
            const std::optional<RunToken> token = ownRunToken(named);
            const std::optional<Journal> journal = readJournal(path);
            if (!token || token->length != named.size() || !journal || journal->token != named ||
                !confinedTo(*journal, folder)) {
                continue; // not ours to judge: kept
            }
            if (finish(files, *journal)) {
                files.removeFile(path, ec);
            }
            said.push_back(journal->state == kPrepared
                               ? "A restore into " + shown(folder) +
                                     " was interrupted; it has been rolled back: the files are "
                                     "as they were before it."
                               : "A restore into " + shown(folder) +
                                     " was interrupted after its files were in place; it has "
                                     "been completed.");
        } else if (endedRunAfter(text, kUnpackPrefix) &&
                   files.status(path).kind == PathStatus::Kind::Folder) {
            fs::remove_all(path, ec);
            if (!ec) {
                said.push_back("The unpack folder " + shown(path) +
                               " of an interrupted restore has been removed.");
            }
        } else if (endedRunAfter(text, kStagingPrefix) &&
                   files.status(path).kind == PathStatus::Kind::File) {
            // The marker names the staging or unpack folder beside it.
            const std::optional<std::string> named = readSmall(path, 4096);
            if (named && !named->empty() && named->find_first_of("/\\:") == std::string::npos &&
                *named != "." && *named != "..") {
                const fs::path staging = folder / pathFromUtf8(*named);
                if (files.status(staging).kind == PathStatus::Kind::Folder) {
                    fs::remove_all(staging, ec);
                    if (!ec) {
                        said.push_back("The folder " + shown(staging) +
                                       " an interrupted backup or restore left has been removed.");
                    }
                }
            }
            if (!ec) {
                fs::remove(path, ec);
            }
        } else if (endedRunAfter(text, kRestoreFilePrefix) && text.ends_with(".tmp") &&
                   files.status(path).kind == PathStatus::Kind::File) {
            fs::remove(path, ec); // a file an ended unpack was writing
        } else if (isLeftoverArchive(text) && files.status(path).ownedByUser) {
            fs::remove(path, ec);
            if (!ec) {
                said.push_back("The unfinished archive " + shown(path) +
                               " of an interrupted backup has been removed.");
            }
        }
    }
    return said;
}

fs::path commonFolder(const std::vector<fs::path>& paths) {
    if (paths.empty()) {
        return {};
    }
    fs::path common = paths.front().lexically_normal();
    for (const fs::path& each : paths) {
        const fs::path path = each.lexically_normal();
        fs::path shared;
        for (auto a = common.begin(), b = path.begin();
             a != common.end() && b != path.end() && *a == *b; ++a, ++b) {
            shared /= *a;
        }
        common = shared;
    }
    return common;
}

std::string unpackFolderName() {
    return std::string(kUnpackPrefix) + newRunToken();
}

} // namespace vellarion
