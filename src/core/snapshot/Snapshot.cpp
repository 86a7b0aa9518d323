#include "core/snapshot/Snapshot.h"

#include "core/services/PathMapper.h"
#include "core/services/ProgramPath.h"
#include "core/services/RunToken.h"
#include "core/services/SystemServices.h"
#include "core/services/SystemSqlite.h"
#include "core/services/platform/File.h"

#include <algorithm>
#include <array>
#include <cstring>
#include <future>
#include <optional>
#include <vector>

namespace vellarion {

namespace fs = std::filesystem;
using platform::File;
using platform::FileStamp;

namespace {

constexpr std::string_view kSqliteMagic{"SQLite format 3\0", 16};
constexpr std::size_t kDatabaseHeader = 100;
constexpr std::size_t kLogHeader = 32;
constexpr std::size_t kChangeCounterAt = 24;
constexpr std::size_t kWriteVersionAt = 18;
constexpr unsigned char kWalVersion = 2;
// Where SQLite's readers and writers lock a database (beyond the data of
// any database under a gigabyte, which is never read there).
constexpr std::uint64_t kPendingByte = 0x40000000;
constexpr std::uint64_t kReservedByte = kPendingByte + 1;
constexpr std::uint64_t kSharedFirst = kPendingByte + 2;
constexpr std::uint64_t kSharedSize = 510;

fs::path withSuffix(const fs::path& path, std::string_view suffix) {
    fs::path with = path;
    with += pathFromUtf8(suffix);
    return with;
}

// Up to `count` bytes from the start of the file (fewer at its end).
std::string readHead(File& file, std::size_t count, std::error_code& ec) {
    std::string head(count, '\0');
    file.seek(0, ec);
    std::size_t filled = 0;
    while (!ec && filled < count) {
        const std::size_t n = file.read(head.data() + filled, count - filled, ec);
        if (n == 0) {
            break;
        }
        filled += n;
    }
    head.resize(filled);
    return head;
}

// The first bytes of the file at `path`; "" when there is none (or it
// cannot be read, which the copy itself will say).
std::string headOf(const fs::path& path, std::size_t count) {
    std::error_code ec;
    File file = File::openEntryForReading(path, platform::ReadShare::DenyNone, ec);
    if (ec) {
        return {};
    }
    std::string head = readHead(file, count, ec);
    return ec ? std::string() : head;
}

std::optional<FileStamp> stampOf(const fs::path& path) {
    std::error_code ec;
    File file = File::openEntryForReading(path, platform::ReadShare::DenyNone, ec);
    if (ec) {
        return std::nullopt;
    }
    const FileStamp stamp = file.stamp(ec);
    return ec ? std::nullopt : std::optional<FileStamp>(stamp);
}

// Copies the whole of an open file into a new file at `target`.
void copyOpen(File& from, const fs::path& target, std::error_code& ec) {
    from.seek(0, ec);
    if (ec) {
        return;
    }
    std::error_code gone;
    fs::remove(target, gone);
    File to = File::createNew(target, ec);
    if (ec) {
        return;
    }
    from.copyRestTo(to, ec);
    std::error_code closed;
    to.close(closed);
    ec = ec ? ec : closed;
}

SnapshotResult failure(const std::error_code& ec) {
    if (platform::isSharingViolation(ec)) {
        return {SnapshotOutcome::HeldOpen, ec.message()};
    }
    if (ec == std::errc::no_such_file_or_directory) {
        return {SnapshotOutcome::Missing, ec.message()};
    }
    return {SnapshotOutcome::Unreadable, ec.message()};
}

// How long the online backup waits for a writer's commit to end.
constexpr int kBackupWaitMs = 250;

// The index SQLite made beside a copy it opened: no data.
void removeIndex(const fs::path& target) {
    std::error_code ec;
    fs::remove(withSuffix(target, "-shm"), ec);
}

void removeCopies(const fs::path& target) {
    std::error_code ec;
    for (const std::string_view suffix : {"", "-wal", "-shm", "-journal"}) {
        fs::remove(withSuffix(target, suffix), ec);
    }
}

// A journal that a writer left behind in the middle of a transaction, told
// as SQLite tells one: its first byte is not zero. A writer at work writes
// the journal's header with its magic zeroed (the rest of the header is
// not) and puts the magic in only once the journal is synced, just before
// it writes the database file; a journal kept between transactions is cut
// to nothing or has its header cleared. Until then the database file is as
// last committed.
bool journalLooksHot(const fs::path& database) {
    const std::string head = headOf(withSuffix(database, "-journal"), 1);
    return !head.empty() && head.front() != '\0';
}

// SQLite's read lock on a database, held while the object lives, where the
// writer lets anybody have it (not in exclusive locking mode). While it is
// held no writer can change the database file.
class ReadLock {
public:
    explicit ReadLock(File& file) : file_(file) {
#ifdef _WIN32
        const bool pendingShared = false;
#else
        const bool pendingShared = true;
#endif
        if (!file_.tryLockRange(kPendingByte, 1, pendingShared)) {
            return;
        }
        held_ = file_.tryLockRange(kSharedFirst, kSharedSize, true);
        file_.unlockRange(kPendingByte, 1);
    }
    ~ReadLock() {
        if (held_) {
            file_.unlockRange(kSharedFirst, kSharedSize);
        }
    }
    ReadLock(const ReadLock&) = delete;
    ReadLock& operator=(const ReadLock&) = delete;

    bool held() const {
        return held_;
    }

private:
    File& file_;
    bool held_ = false;
};

} // namespace

std::chrono::milliseconds Snapshot::pauseBeforeTry(int attempt) {
    return std::chrono::milliseconds(25 << std::min(std::max(attempt - 2, 0), 8));
}

SnapshotResult Snapshot::copyFile(const fs::path& source, const fs::path& target) {
    SnapshotResult last{SnapshotOutcome::Unsettled, {}};
    const bool database = headOf(source, kSqliteMagic.size()) == kSqliteMagic;
    for (int attempt = 1; attempt <= std::max(tries_, 1); ++attempt) {
        if (attempt > 1) {
            services_.pause(pauseBeforeTry(attempt));
        }
        bool settled = false;
        last = database ? tryDatabase(source, target, attempt, settled)
                        : tryPlain(source, target, attempt, settled);
        if (settled) {
            return last;
        }
        removeCopies(target);
    }
    if (last.outcome == SnapshotOutcome::Copied) {
        last.outcome = SnapshotOutcome::Unsettled;
    }
    return last;
}

SnapshotResult Snapshot::tryPlain(const fs::path& source, const fs::path& target, int attempt,
                                  bool& settled) {
    std::error_code ec;
    File file = File::openEntryForReading(source, platform::ReadShare::DenyNone, ec);
    if (ec) {
        settled = true; // trying again changes nothing
        return failure(ec);
    }
    const FileStamp before = file.stamp(ec);
    if (!ec) {
        copyOpen(file, target, ec);
    }
    if (ec) {
        return failure(ec);
    }
    if (onCopied) {
        onCopied(source, attempt);
    }
    const FileStamp after = file.stamp(ec);
    // The name may lead to another file now (one renamed over it).
    settled = !ec && after == before && stampOf(source) == before;
    return {settled ? SnapshotOutcome::Copied : SnapshotOutcome::Unsettled, "it kept changing"};
}

SnapshotResult Snapshot::tryDatabase(const fs::path& source, const fs::path& target, int attempt,
                                     bool& settled) {
    const SystemSqlite* sql = filesOnly_ ? nullptr : SystemSqlite::get();
    // A database in write-ahead-log mode goes through SQLite's backup first,
    // which reads it and its log as one; one with a rollback journal by its
    // file first, under the same read lock SQLite's backup would take, at a
    // fraction of the cost. A try that did not settle tries the other way.
    const std::string head = headOf(source, kDatabaseHeader);
    const bool logged = head.size() > kWriteVersionAt &&
                        static_cast<unsigned char>(head[kWriteVersionAt]) == kWalVersion;
    const bool backupFirst = logged == (attempt % 2 == 1);
    if (std::string said; sql != nullptr && backupFirst) {
        // No handle of ours is open on the database meanwhile: closing one
        // would drop SQLite's own locks of this process on it.
        if (sql->backup(source, target, kBackupWaitMs, said)) {
            said = sql->quickCheck(target);
            removeIndex(target);
            settled = said.empty();
            return settled ? SnapshotResult{SnapshotOutcome::Copied, {}}
                           : SnapshotResult{SnapshotOutcome::Unsettled,
                                            "its copy failed SQLite's check: " + said};
        }
        removeCopies(target);
    }
    std::error_code ec;
    File file = File::openEntryForReading(source, platform::ReadShare::DenyNone, ec);
    if (ec) {
        settled = true;
        return failure(ec);
    }
    const fs::path log = withSuffix(source, "-wal");
    const std::string logBefore = headOf(log, kLogHeader);
    const FileStamp before = file.stamp(ec);
    const std::string header = ec ? std::string() : readHead(file, kDatabaseHeader, ec);
    if (ec) {
        return failure(ec);
    }
    const bool walMode = (header.size() > kWriteVersionAt &&
                          static_cast<unsigned char>(header[kWriteVersionAt]) == kWalVersion) ||
                         logBefore.size() == kLogHeader;
    std::optional<ReadLock> lock;
    if (!walMode) {
        lock.emplace(file);
        // A journal of a writer that is still at work (it holds its
        // reserved lock) is no hot one: the database file stays as it was
        // committed while the read lock is held.
        const bool writerAtWork = lock->held() && file.rangeLockedByOther(kReservedByte, 1);
        if (!writerAtWork && journalLooksHot(source)) {
            return {SnapshotOutcome::Unsettled, "a hot journal lies beside it"};
        }
    }
    copyOpen(file, target, ec);
    if (ec) {
        return failure(ec);
    }
    if (onCopied) {
        onCopied(source, attempt);
    }
    bool same = true;
    if (walMode && logBefore.size() == kLogHeader) {
        // The log goes with it, torn last frame and all: SQLite ignores a
        // frame whose checksum fails. Only a restarted log breaks the pair.
        File logFile = File::openEntryForReading(log, platform::ReadShare::DenyNone, ec);
        if (!ec) {
            copyOpen(logFile, withSuffix(target, "-wal"), ec);
        }
        if (ec) {
            return failure(ec);
        }
        same = headOf(log, kLogHeader) == logBefore;
    } else {
        if (walMode) {
            // New frames written meanwhile belong to the database as it was
            // copied, which did not change: they go with it.
            if (File logFile = File::openEntryForReading(log, platform::ReadShare::DenyNone, ec);
                !ec) {
                copyOpen(logFile, withSuffix(target, "-wal"), ec);
                if (ec) {
                    return failure(ec);
                }
            }
            ec.clear();
        }
        const FileStamp after = file.stamp(ec);
        const std::string headerAfter = ec ? std::string() : readHead(file, kDatabaseHeader, ec);
        same =
            !ec && after == before && stampOf(source) == before &&
            headerAfter.substr(0, kChangeCounterAt + 4) == header.substr(0, kChangeCounterAt + 4) &&
            (walMode || (lock && lock->held()) || !journalLooksHot(source));
    }
    lock.reset();
    file = File();
    if (!same) {
        return {SnapshotOutcome::Unsettled, "it kept changing"};
    }
    if (const SystemSqlite* check = SystemSqlite::get()) {
        const std::string said = check->quickCheck(target);
        removeIndex(target);
        if (!said.empty()) {
            return {SnapshotOutcome::Unsettled, "its copy failed SQLite's check: " + said};
        }
    }
    settled = true;
    return {SnapshotOutcome::Copied, {}};
}

bool TreeSnapshot::copy(const fs::path& source, const fs::path& target) {
    std::vector<fs::path> inside;
    return copyFolder(source, target, inside);
}

bool TreeSnapshot::copyFolder(const fs::path& source, const fs::path& target,
                              std::vector<fs::path>& inside) {
    std::error_code ec;
    fs::create_directories(target, ec);
    if (ec) {
        leftOut_.push_back({source, {SnapshotOutcome::Unreadable, ec.message()}});
        return true;
    }
    inside.push_back(source);
    platform::DirectoryListing listing = platform::DirectoryListing::open(source, ec);
    if (ec) {
        leftOut_.push_back({source, failure(ec)});
        inside.pop_back();
        return true;
    }
    platform::DirectoryEntry entry;
    while (listing.next(entry, ec)) {
        if (stopRequested && stopRequested()) {
            return false;
        }
        const std::string name = pathToUtf8(entry.name);
        const fs::path from = source / entry.name;
        if (isReservedName(name) || quietNames.contains(name)) {
            continue;
        }
        if (entry.isLink) {
            std::error_code kind;
            const bool circle = std::any_of(inside.begin(), inside.end(), [&](const fs::path& p) {
                std::error_code same;
                return fs::equivalent(from, p, same);
            });
            if (!circle && followLink && fs::is_directory(from, kind) && followLink(from)) {
                if (!copyFolder(from, target / entry.name, inside)) {
                    return false;
                }
                continue;
            }
            leftOut_.push_back({from, {SnapshotOutcome::Unreadable, "a link"}, true});
            continue;
        }
        if (entry.isFolder) {
            if (!copyFolder(from, target / entry.name, inside)) {
                return false;
            }
            continue;
        }
        // A database's companions come with it (or are of no use alone).
        if (name.ends_with("-wal") || name.ends_with("-shm") || name.ends_with("-journal")) {
            const std::string owner =
                name.substr(0, name.size() - (name.ends_with("-journal") ? 8 : 4));
            std::error_code exists;
            if (fs::is_regular_file(source / pathFromUtf8(owner), exists) &&
                headOf(source / pathFromUtf8(owner), kSqliteMagic.size()) == kSqliteMagic) {
                continue;
            }
        }
        const SnapshotResult result = snapshot_.copyFile(from, target / entry.name);
        if (result.outcome != SnapshotOutcome::Copied &&
            result.outcome != SnapshotOutcome::Missing) {
            leftOut_.push_back({from, result});
        }
    }
    inside.pop_back();
    return true;
}

} // namespace vellarion

namespace vellarion {

std::optional<fs::path> SnapshotSources::choose(const fs::path& file) {
    const std::string name = pathToUtf8(file.filename());
    if (quietNames.contains(name)) {
        return std::nullopt;
    }
    // A database's companions follow what became of it.
    for (const std::string_view suffix : {"-wal", "-shm", "-journal"}) {
        if (!name.ends_with(suffix)) {
            continue;
        }
        fs::path owner = file;
        owner.replace_filename(pathFromUtf8(name.substr(0, name.size() - suffix.size())));
        if (headOf(owner, kSqliteMagic.size()) != kSqliteMagic) {
            break;
        }
        if (suffix != "-wal") {
            return std::nullopt; // no data, whatever became of the database
        }
        const Copy& made = copied(owner);
        if (made.result.outcome != SnapshotOutcome::Copied) {
            return std::nullopt;
        }
        const fs::path log = withSuffix(made.target, "-wal");
        std::error_code ec;
        return fs::is_regular_file(log, ec) ? std::optional<fs::path>(log) : std::nullopt;
    }
    std::error_code ec;
    File opened = File::openEntryForReading(file, platform::ReadShare::DenyNone, ec);
    std::string head;
    std::uint64_t size = 0;
    if (!ec) {
        head = readHead(opened, kSqliteMagic.size(), ec);
        size = ec ? 0 : opened.size(ec);
    }
    opened = File();
    if (ec && !platform::isSharingViolation(ec)) {
        return file; // the packer names why it cannot be read
    }
    if (!ec && head != kSqliteMagic && size < copyFrom_) {
        return file;
    }
    if (!ec && size >= copyFrom_) {
        if (std::optional<fs::path> itself = readInPlace(file)) {
            return itself;
        }
    }
    const Copy& made = copied(file);
    if (made.result.outcome != SnapshotOutcome::Copied) {
        return std::nullopt;
    }
    return made.target;
}

const SnapshotSources::Copy& SnapshotSources::copied(const fs::path& asked) {
    // One copy of a file however its path is spelled: two at once would
    // write one target.
    const fs::path file = asked.lexically_normal();
    std::unique_lock lock(mutex_);
    if (const auto found = made_.find(file); found != made_.end()) {
        copiedWake_.wait(lock, [&] { return found->second.done; });
        return found->second;
    }
    Copy& copy = made_[file]; // a map's elements stay where they are
    const fs::path relative = file.lexically_relative(root_);
    const bool inside = !relative.empty() && *relative.begin() != "..";
    copy.target = copies_ / relative;
    lock.unlock();
    std::error_code ec;
    if (inside) {
        fs::create_directories(copy.target.parent_path(), ec);
    }
    SnapshotResult result;
    std::exception_ptr failed;
    try {
        result = !inside ? SnapshotResult{SnapshotOutcome::Unreadable, "not below the folder"}
                 : ec    ? SnapshotResult{SnapshotOutcome::Unreadable, ec.message()}
                         : snapshot_.copyFile(file, copy.target);
    } catch (const std::exception& e) {
        // Those waiting for it must not wait for ever.
        result = {SnapshotOutcome::Unreadable, e.what()};
        failed = std::current_exception();
    }
    lock.lock();
    copy.result = std::move(result);
    copy.done = true;
    if (copy.result.outcome != SnapshotOutcome::Copied &&
        copy.result.outcome != SnapshotOutcome::Missing) {
        leftOut_.push_back({file, copy.result});
    }
    copiedWake_.notify_all();
    if (failed) {
        std::rethrow_exception(failed);
    }
    return copy;
}

struct SnapshotSources::InPlace {
    FileStamp before;
    std::string header;
    std::shared_future<std::string> check; // what SQLite's quick check said
    bool failed = false;                   // read from a copy since
};

std::optional<fs::path> SnapshotSources::readInPlace(const fs::path& asked) {
    const fs::path file = asked.lexically_normal();
    std::lock_guard lock(mutex_);
    if (const auto found = inPlace_.find(file); found != inPlace_.end()) {
        return found->second->failed ? std::nullopt : std::optional<fs::path>(asked);
    }
    if (made_.contains(file)) {
        return std::nullopt; // copied already
    }
    // Only a database with a rollback journal is read where it is: one with
    // a log is two files to keep together, which its snapshot does.
    const SystemSqlite* sql = SystemSqlite::get();
    const std::string header = headOf(file, kDatabaseHeader);
    const std::optional<FileStamp> stamp = stampOf(file);
    std::error_code ec;
    if (sql == nullptr || !stamp || header.size() < kDatabaseHeader ||
        header.substr(0, kSqliteMagic.size()) != kSqliteMagic ||
        static_cast<unsigned char>(header[kWriteVersionAt]) != 1 ||
        fs::exists(withSuffix(file, "-wal"), ec) || journalLooksHot(file)) {
        return std::nullopt;
    }
    auto record = std::make_shared<InPlace>();
    record->before = *stamp;
    record->header = header;
    record->check =
        std::async(std::launch::async, [sql, file] { return sql->quickCheckInPlace(file); })
            .share();
    inPlace_.emplace(file, std::move(record));
    return asked;
}

bool SnapshotSources::verify(const fs::path& asked) {
    const fs::path file = asked.lexically_normal();
    std::shared_ptr<InPlace> record;
    {
        std::lock_guard lock(mutex_);
        const auto found = inPlace_.find(file);
        if (found == inPlace_.end()) {
            return true; // read as any file in use: its stamps said enough
        }
        record = found->second;
    }
    // The check read the file between the two stamps: if nothing of it
    // changed from the first to the last, the packer and the check read one
    // state, the one the writer last committed.
    const bool passed = record->check.get().empty();
    const std::string header = headOf(file, kDatabaseHeader);
    std::error_code ec;
    return passed && stampOf(file) == record->before &&
           header.substr(0, kChangeCounterAt + 4) ==
               record->header.substr(0, kChangeCounterAt + 4) &&
           !fs::exists(withSuffix(file, "-wal"), ec) && !journalLooksHot(file);
}

bool SnapshotSources::readAgainFromCopy(const fs::path& asked) {
    const fs::path file = asked.lexically_normal();
    std::lock_guard lock(mutex_);
    const auto found = inPlace_.find(file);
    if (found == inPlace_.end() || found->second->failed) {
        return false;
    }
    found->second->failed = true;
    return true;
}

SnapshotSources::~SnapshotSources() {
    ending_ = true;
    if (ahead_.joinable()) {
        ahead_.join();
    }
}

void SnapshotSources::copyAhead() {
    ahead_ = std::thread([this] {
        try {
            // The largest first: what would keep a packer waiting longest
            // (a history database of hundreds of megabytes) is ready first.
            std::vector<std::pair<std::uintmax_t, fs::path>> files;
            std::error_code ec;
            fs::recursive_directory_iterator walk(
                root_, fs::directory_options::skip_permission_denied, ec);
            for (; !ec && walk != fs::recursive_directory_iterator() && !ending_;
                 walk.increment(ec)) {
                const fs::directory_entry& entry = *walk;
                std::error_code kind;
                if (isReservedName(pathToUtf8(entry.path().filename()))) {
                    walk.disable_recursion_pending(); // the program's own work
                    continue;
                }
                // A smaller file (a small database among them) is copied
                // quickly where the packer comes to it: asking for it here
                // would only open every file of the folder once more.
                if (!entry.is_symlink(kind) && entry.is_regular_file(kind)) {
                    const std::uintmax_t size = entry.file_size(kind);
                    if (!kind && size >= copyFrom_) {
                        files.emplace_back(size, entry.path());
                    }
                }
            }
            std::stable_sort(files.begin(), files.end(),
                             [](const auto& a, const auto& b) { return a.first > b.first; });
            for (const auto& [size, file] : files) {
                if (ending_) {
                    break;
                }
                choose(file);
            }
        } catch (...) {
            // What could not be copied ahead is copied when it is asked for.
        }
    });
}

std::vector<LeftOut> SnapshotSources::leftOut() const {
    std::lock_guard lock(mutex_);
    std::vector<LeftOut> sorted = leftOut_;
    std::sort(sorted.begin(), sorted.end(),
              [](const LeftOut& a, const LeftOut& b) { return a.path < b.path; });
    return sorted;
}

} // namespace vellarion
