#pragma once

#include "core/restore/RestoreFiles.h"
#include "core/services/Error.h"
#include "core/services/RunToken.h"

#include <cstdint>
#include <filesystem>
#include <functional>
#include <map>
#include <memory>
#include <set>
#include <string>
#include <unordered_map>
#include <unordered_set>
#include <vector>

namespace vellarion {

// A restore that could not complete and was rolled back: the target is as it
// was. The text says why and that nothing was restored.
class RestoreFailed : public Error {
public:
    using Error::Error;
};

// `what` went wrong, as the end of a restore says it: "…. Nothing was
// restored." (a full stop added where `what` has none).
std::string nothingRestored(std::string_view what);

// A restore as one transaction: every file it puts into a profile or data
// root is planned first, then checked against the disk (a file where a
// folder must go, a link on the way, the free space), then written beside
// its target under a name of its own, forced onto the disk, and swapped in
// by rename with the replaced file kept aside. Only when every file is in
// place do the kept files go. A failure or a stop at any point before puts
// every replaced file back and removes what was added: the target is as it
// was, byte for byte.
//
// A journal beside the targets names what the swap touches, so that after a
// crash the next run finishes the roll-back, or the clean-up of a swap that
// had completed (recoverRestores). The journal is held while the
// transaction runs: a second run never rolls back a live one.
//
// A database's "-wal", "-shm" and "-journal" found beside a file the restore
// replaces are part of the swap: a stale log left there would be replayed
// over the restored database.
//
// What the restore creates in a browser's data is private, as the browsers
// make it (0700 folders, 0600 files): at and below every home and every
// folder named by keepPrivate. A missing folder above them (the dot folder
// of a fresh account) is made as the user's umask says. A replaced file
// keeps the mode of the file it replaces.
class RestoreTransaction {
public:
    // The journal goes into `journalFolder`; `stopRequested` is asked
    // between files (Ctrl-C, the window's Cancel).
    RestoreTransaction(RestoreFiles& files, std::filesystem::path journalFolder,
                       std::function<bool()> stopRequested = {});
    ~RestoreTransaction();
    RestoreTransaction(const RestoreTransaction&) = delete;
    RestoreTransaction& operator=(const RestoreTransaction&) = delete;

    // Plans the file `source` to be put at `home` / `relative`. The home may
    // be a link (a profile kept elsewhere); nothing below it is written
    // through one. A later plan for the same target replaces the earlier.
    void addFile(const std::filesystem::path& source, const std::filesystem::path& home,
                 const std::filesystem::path& relative);
    // Plans every file below `sourceFolder` to be put at the same place
    // below `home` / `relative`; folders are merged, other files kept.
    void addFolder(const std::filesystem::path& sourceFolder, const std::filesystem::path& home,
                   const std::filesystem::path& relative);
    // A source the transaction may take by rename instead of copying (a
    // file of an unpack folder that goes away afterwards).
    void setSourcesMovable(bool movable) { movable_ = movable; }
    // A link below a home that the restore may write through as if it were
    // the folder it leads to: the user's own profile folder kept on another
    // disk. Any other link where a folder must be refuses the restore.
    void allowLinkedFolder(const std::filesystem::path& link) {
        linkedFolders_.insert(link.lexically_normal());
    }

    // A folder (the browser's data root) at and below which everything the
    // restore creates is private, like the homes themselves.
    void keepPrivate(const std::filesystem::path& folder) {
        privateFolders_.insert(folder.lexically_normal());
    }

    std::size_t plannedFiles() const { return entries_.size(); }

    // What belongs to the restore besides files (the registry keys): run once
    // every file is in place, before the replaced files go. What it throws
    // rolls every file back; it puts back its own work before throwing.
    void setLastStep(std::function<void()> step) { lastStep_ = std::move(step); }

    // Checks, writes and swaps. True when every planned file is in place;
    // false when a stop was asked for (everything rolled back). Throws
    // RestoreFailed after rolling back when anything fails.
    bool commit();

private:
    struct Entry {
        std::filesystem::path source; // empty: a stale companion taken away
        std::filesystem::path home;
        std::filesystem::path target;
        std::uint64_t size = 0;   // the source's
        std::uint64_t device = 0; // the source's file system
        std::filesystem::perms sourcePerms = std::filesystem::perms::unknown;
        bool existed = false;
        std::filesystem::perms perms = std::filesystem::perms::unknown;
        bool placed = false;  // the new file is written beside the target
        bool inPlace = false; // ... or is the source itself, swapped in by rename
        bool keptAside = false;
        bool swapped = false;
    };

    // addFile with what the source is, known already.
    void addFile(const std::filesystem::path& source, const PathStatus& st,
                 const std::filesystem::path& home, const std::filesystem::path& relative);
    void check();
    void checkFolders(const Entry& entry);
    void addCompanions();
    void writeJournal();
    void prepare();
    void swap();
    void rollBack() noexcept;
    // Once per file system that holds one of the targets' folders.
    void syncDisks();
    void cleanUp();
    bool stopped() const { return stopRequested_ && stopRequested_(); }
    [[noreturn]] void fail(const std::string& what, const std::filesystem::path& path,
                           std::error_code ec = {});
    bool isPrivate(const std::filesystem::path& path) const;
    std::filesystem::path newName(std::size_t index) const;
    std::filesystem::path oldName(std::size_t index) const;

    RestoreFiles& files_;
    std::filesystem::path journalFolder_;
    std::function<bool()> stopRequested_;
    bool movable_ = false;
    std::string token_;
    std::vector<Entry> entries_;
    // Paths as keys by their native strings (they are normal): thousands
    // of files are looked up here.
    using PathKey = std::filesystem::path::string_type;
    std::unordered_map<PathKey, std::size_t> byTarget_;
    std::vector<std::filesystem::path> newFolders_;
    std::unordered_set<PathKey> checkedFolders_;
    // A home and a folder below it whose every step down was checked.
    std::unordered_set<PathKey> walkedFolders_;
    std::set<std::filesystem::path> linkedFolders_;
    std::set<std::filesystem::path> privateFolders_;
    std::vector<std::filesystem::path> madeFolders_;
    std::filesystem::path journal_;
    std::unique_ptr<HeldFile> held_;
    std::function<void()> lastStep_;
    bool done_ = false;
};

// The journal of a restore that ended without cleaning up (a crash, a power
// cut) found in `folder`: rolled back, or cleaned up when its swap had
// completed. Leftover unpack folders and temporary archives of the program's
// naming there, whose run has ended, are removed too. Returns what was done,
// a sentence each, for the user.
std::vector<std::string> recoverRestores(RestoreFiles& files, const std::filesystem::path& folder);

// The deepest folder all the paths lie in ("" for none): where a restore's
// journal goes, so that a recovery can hold it to what lies below it.
std::filesystem::path commonFolder(const std::vector<std::filesystem::path>& paths);

// A name for the folder a full restore unpacks into, inside the data root
// (so that its files reach their places by rename); recoverRestores removes
// one whose run has ended.
std::string unpackFolderName();

// The name of the file a staging or unpack folder's run keeps beside it,
// holding the folder's name, so that the folder of a run that ended without
// removing it is known as the program's own and removed.
std::string stagingMarkerName();

// The name prefix of everything a restore leaves beside its targets.
inline constexpr std::string_view kRestoreFilePrefix = kReservedPrefix;

} // namespace vellarion
