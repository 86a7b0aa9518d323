#pragma once

#include "core/browsers/DataSet.h"
#include "core/snapshot/Snapshot.h"
#include "core/wizards/Job.h"

#include <memory>
#include <string>
#include <vector>

namespace vellarion {

class JobReporter;
class PathMapper;
class RestoreFiles;
class RestoreTransaction;
class SystemServices;
struct WizardState;

// One item as a job runs it: whether its entries run (its box is ticked,
// or the job takes every item) and the job's step after them.
struct ItemRun {
    const SelectiveItem* item = nullptr;
    bool ticked = true;
    int step = 0;
};

// The copy rules, written once for both engines: runs an item's entries
// between their homes and a staging folder. A backup copies files and
// folders from their homes (the profile, the data root, the mail, cookie or
// favourites folder of the state) into the staging folder and saves registry
// keys there as hive files; a restore copies them from the unpacked archive
// back home and loads the keys. What is missing is skipped (a folder may
// untick its box); the items of which nothing was there are noted, and so
// is every file or folder a backup could not copy (unreadable, a link).
// Nothing at a target is deleted, files of the same name are replaced,
// folders merged; but a file travels with its database companions, and a
// restored file takes the place of the companions the old one had, so that
// SQLite never replays a stale log over a restored database.
//
// A restore is one transaction (RestoreTransaction): the items' files are
// planned, then put in place together once every item ran, and the
// registry keys loaded after them. A failure puts every file back and
// throws RestoreFailed; a stop puts every file back too. Steps go to the
// reporter's progress, pauses to the services' clock. What a user must hear
// of the registry is said once, after the last item: the keys a backup could
// not save, or that there was no registry to save to or load from.
class ItemRunner {
public:
    ItemRunner(SystemServices& services, const WizardState& state, JobReporter& reporter,
               Direction direction, WizardKind wizard, std::string staging);
    ~ItemRunner();

    // A backup of a profile its browser holds: every file copied through a
    // Snapshot, what could not be named with the browser's name.
    void copyAsSnapshots(std::string browser) { snapshotsOf_ = std::move(browser); }

    // The file layer a restore writes through (a test's failing one).
    void setRestoreFiles(RestoreFiles& files) { files_ = &files; }

    // Runs the items in order: a ticked item's entries (those of this job and
    // this wizard), then its step, then what it does whether ticked or not.
    // False when the reporter asked for a stop, between two items.
    bool run(const std::vector<ItemRun>& items);

    // A restore also writes `content` as the whole of the data root's file
    // `file` (the browser's list of profiles with a new one in it), with its
    // other files and all or nothing with them.
    void alsoWrite(std::string file, std::string content) {
        written_.emplace_back(std::move(file), std::move(content));
    }

    // The ticked items of which nothing at all was there to copy or save
    // (no file, folder or key), in the order they ran.
    const std::vector<const SelectiveItem*>& itemsWithoutData() const { return empty_; }
    // The notes of the items a restore put something back of, each once.
    const std::vector<std::string_view>& notes() const { return notes_; }

private:
    // Saves a key for a backup; true when there was a key to take.
    bool saveKey(const ItemEntry& entry, const std::string& staged);
    void reportRegistry();
    void runItem(const ItemRun& run);
    void runEntry(const ItemEntry& entry, const SelectiveItem& item);
    // Copies the entry; true when there was something to copy.
    bool copyEntry(const ItemEntry& entry, const SelectiveItem& item, const std::string& source,
                   const std::string& target);
    // A backup's copy of a file with its database companions ("-wal",
    // "-shm", "-journal").
    void copyFileWithCompanions(const std::string& source, const std::string& target);
    // A backup's copy of a file or folder of a profile its browser holds.
    void copySnapshot(bool file, const std::string& source, const std::string& target);
    // Plans a restored file or folder into the transaction.
    void planRestore(bool file, const std::string& source, ItemHome home,
                     const std::string& target);
    // Puts the planned files in place, then loads the keys; false on a stop.
    bool finishRestore();
    // Runs the restore's keys and pauses. The keys are saved as they are
    // first: a key the registry refuses puts back every key loaded before
    // it, and throws RestoreFailed.
    void loadKeys();
    // A copy of a backup that failed: named, never silent.
    void copyFailed(bool file, const std::string& source);
    bool runsHere(const ItemEntry& entry) const;
    // The home of an entry in the state; "" when it is not known.
    std::string homeOf(ItemHome home) const;

    SystemServices& services_;
    const WizardState& state_;
    JobReporter& reporter_;
    Direction direction_;
    WizardKind wizard_;
    std::string staging_;
    std::vector<std::pair<std::string, std::string>> written_; // file, content
    bool found_ = false;                                       // the running item found something
    std::vector<const SelectiveItem*> empty_;
    std::vector<std::string_view> notes_;
    std::vector<std::string> keysNotSaved_;
    bool registrySkipped_ = false;
    RestoreFiles* files_ = nullptr;
    std::string snapshotsOf_; // the running browser's name, for snapshots
    std::unique_ptr<RestoreTransaction> transaction_;
    // A restore's keys and pauses, run once its files are in place.
    std::vector<ItemEntry> afterFiles_;
};

// Tells the user of a file or folder a snapshot did not copy: one the
// browser (`browser`) keeps open, one that kept changing, one that could not
// be read, a link.
void reportLeftOut(JobReporter& reporter, const PathMapper& paths, const LeftOut& left,
                   std::string_view browser);

// The files SQLite keeps beside a database: its write-ahead log, the log's
// index and the rollback journal. Whoever moves a database moves these.
inline constexpr std::string_view kDatabaseCompanions[] = {"-wal", "-shm", "-journal"};

} // namespace vellarion
