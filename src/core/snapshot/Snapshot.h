#pragma once

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <cstdint>
#include <filesystem>
#include <functional>
#include <map>
#include <memory>
#include <mutex>
#include <optional>
#include <set>
#include <string>
#include <thread>
#include <vector>

namespace vellarion {

class SystemServices;

// What became of a file a backup asked to copy out of a profile in use.
enum class SnapshotOutcome {
    Copied,     // the copy is a state the program writing the file really had
    Missing,    // there was no file (it went meanwhile): nothing to copy
    HeldOpen,   // another program keeps it open without sharing: it cannot be read
    Unsettled,  // it changed on every try (or its copy failed the check): not copied
    Unreadable, // it could not be read (access, a link): not copied
};

struct SnapshotResult {
    SnapshotOutcome outcome = SnapshotOutcome::Copied;
    std::string detail; // the system's or SQLite's words, for a failure
};

// Copies files out of a folder another program keeps writing, each as a
// state that program really committed, or not at all.
//
// An SQLite database (known by its header, whatever its name) in
// write-ahead-log mode is copied with SQLite's own online backup where the
// system has SQLite and the writer lets readers in (not in exclusive
// locking mode); one with a rollback journal, or one the backup cannot
// read, by its file and its write-ahead log ("-wal"), the other way on the
// next try when a try does not settle: the log's header (its salts and
// checkpoint sequence) read before and after must be the same, or a
// checkpoint restarted the log meanwhile; a log that was empty or missing
// proves nothing, so then the database itself must not have changed while
// it was read. In rollback-journal mode the copy is taken under the read
// lock SQLite's readers take (where the writer lets anybody have it), and
// the file's size, time, identity and change counter must stay the same
// and no hot journal lie beside it. Every copy of a database is then opened
// where it was copied to and must pass SQLite's quick check (where the
// system has SQLite). The "-shm" index and the journal are never copied: a
// consistent copy needs neither.
//
// Any other file is copied again while its size, time or identity differ
// before and after. A file that keeps changing is tried `tries` times, with
// growing pauses between (through the services' clock), then given up:
// whatever was copied of it is removed.
class Snapshot {
public:
    static constexpr int kTries = 5;

    explicit Snapshot(SystemServices& services) : services_(services) {}

    // Copies `source` to `target` (native paths; the target's folder exists
    // and is the job's own), a database with its log beside it.
    SnapshotResult copyFile(const std::filesystem::path& source,
                            const std::filesystem::path& target);

    // What is paused before try n (2, 3, ...): growing.
    static std::chrono::milliseconds pauseBeforeTry(int attempt);

    void setTries(int tries) { tries_ = tries; }
    // Databases copied by their files alone, never through SQLite's online
    // backup (as where the system has no SQLite).
    void copyFilesOnly(bool only) { filesOnly_ = only; }

    // Called once a database's own bytes (or another file's) are copied, and
    // before its log is: where a test makes a writer change the file
    // meanwhile.
    std::function<void(const std::filesystem::path& source, int attempt)> onCopied;

private:
    SnapshotResult tryDatabase(const std::filesystem::path& source,
                               const std::filesystem::path& target, int attempt, bool& settled);
    SnapshotResult tryPlain(const std::filesystem::path& source,
                            const std::filesystem::path& target, int attempt, bool& settled);

    SystemServices& services_;
    int tries_ = kTries;
    bool filesOnly_ = false;
};

// One file or folder of a tree a TreeSnapshot did not copy.
struct LeftOut {
    std::filesystem::path path; // native
    SnapshotResult result;
    bool link = false; // a link not followed
};

// A whole folder copied file by file through a Snapshot into a folder of
// the job's own, the way the archive's codec packs one: links are not
// followed but to folders `followLink` allows (where the walk is not
// already), and entries named in `quietNames` (a running program's lock
// files) are left out without a word.
class TreeSnapshot {
public:
    explicit TreeSnapshot(Snapshot& snapshot) : snapshot_(snapshot) {}

    std::set<std::string> quietNames;
    std::function<bool(const std::filesystem::path& native)> followLink;
    // Asked between files: true stops the copy.
    std::function<bool()> stopRequested;

    // Copies the folder `source` into `target` (made, with the folders below
    // it). False on a stop; what was not copied is in leftOut().
    bool copy(const std::filesystem::path& source, const std::filesystem::path& target);

    const std::vector<LeftOut>& leftOut() const { return leftOut_; }

private:
    bool copyFolder(const std::filesystem::path& source, const std::filesystem::path& target,
                    std::vector<std::filesystem::path>& inside);

    Snapshot& snapshot_;
    std::vector<LeftOut> leftOut_;
};

// Where a packer reads each file of a folder another program keeps writing,
// when the folder is packed where it is rather than copied whole first.
// A database of `copyFrom` bytes or more with a rollback journal (no log
// beside it, no hot journal) is read where it is, as the packer reads any
// file in use, while SQLite's quick check reads the same bytes beside it:
// verify() then tells whether the file stayed as it was all along and the
// check passed; one that did not is copied as below and read again from
// the copy (readAgainFromCopy). Any other database is copied as a
// consistent snapshot into the job's own folder
// (once, by whichever thread asks first; the others wait for it) and read
// from there, its log with it; its index and journal are no data. So is a
// file of `copyFrom` bytes or more, which a packer cannot read again from
// the start once its first blocks are written. Any other file is read where
// it is (the packer reads it again while it changes). What could not be
// copied is left out and kept for leftOut(); so are files held without
// sharing, whatever their kind. Entries named in `quietNames` (a running
// program's lock files) are left out without a word. Safe to ask from
// several threads at once.
class SnapshotSources {
public:
    SnapshotSources(Snapshot& snapshot, std::filesystem::path root, std::filesystem::path copies,
                    std::uint64_t copyFrom)
        : snapshot_(snapshot), root_((root / "").lexically_normal().parent_path()),
          copies_(std::move(copies)),
          copyFrom_(copyFrom) {}
    // Ends the copying ahead, and waits for the copy under way.
    ~SnapshotSources();
    SnapshotSources(const SnapshotSources&) = delete;
    SnapshotSources& operator=(const SnapshotSources&) = delete;

    std::set<std::string> quietNames;

    // The file to read in place of `file` (a native path below the root):
    // the file itself, its copy, or none when it is left out.
    std::optional<std::filesystem::path> choose(const std::filesystem::path& file);

    // Makes, on a thread of its own, the copies choose() would make of the
    // files of `copyFrom` bytes or more below the root (links not
    // followed), the largest first: so a packer finds a big database copied
    // already wherever it comes in its own walk, rather than waiting for it
    // there with nothing else to do.
    void copyAhead();

    // Asked once the packer read a file choose() gave as itself to its end,
    // found unchanged: false when it is no state to store after all (a
    // database read where it is changed meanwhile or failed its check).
    bool verify(const std::filesystem::path& file);
    // Asked when a file read where it is changed meanwhile: true when
    // choose() now gives a consistent copy of it to read instead.
    bool readAgainFromCopy(const std::filesystem::path& file);

    // What was left out, in the order of the paths.
    std::vector<LeftOut> leftOut() const;

private:
    struct InPlace;
    // The file itself when it is a database read where it is (its check
    // started); none when it is copied.
    std::optional<std::filesystem::path> readInPlace(const std::filesystem::path& file);

    struct Copy {
        bool done = false;
        SnapshotResult result;
        std::filesystem::path target;
    };
    const Copy& copied(const std::filesystem::path& file);

    Snapshot& snapshot_;
    const std::filesystem::path root_;
    const std::filesystem::path copies_;
    const std::uint64_t copyFrom_;
    mutable std::mutex mutex_;
    std::condition_variable copiedWake_;
    std::map<std::filesystem::path, Copy> made_;
    std::map<std::filesystem::path, std::shared_ptr<InPlace>> inPlace_;
    std::vector<LeftOut> leftOut_;
    std::atomic<bool> ending_{false};
    std::thread ahead_;
};

} // namespace vellarion
