#pragma once

#include "core/browsers/CarriedKeys.h"
#include "core/schedule/KeptVersions.h"
#include "core/services/FolderLock.h"
#include "core/services/ProgramPath.h"
#include "core/wizards/JobReporter.h"

#include <filesystem>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace vellarion {

class PendingArchive;
class RestoreFiles;
class SystemServices;
class TJvZlibMultiple;
struct BrowserDataSet;
struct WizardState;

// What the jobs of both wizard families share: what an engine is, the two
// directions, how a job ends, the location test, the hourglass, and how a
// job's codec reports.

enum class JobOutcome {
    Done,    // the job ran to its end; Finish may be shown
    Refused, // a check failed and the user was told why; nothing was touched
    Stopped, // the reporter asked the job to stop; it cleaned up and did not finish
};

// What every job engine is: one browser's data set worked on one window's
// state, reporting to that window (or the command line, or a test).
class WizardJob {
public:
    WizardJob(SystemServices& services, const BrowserDataSet& data, WizardState& state,
              JobReporter& reporter)
        : services_(services), data_(data), state_(state), reporter_(reporter) {}
    virtual ~WizardJob() = default;
    WizardJob(const WizardJob&) = delete;
    WizardJob& operator=(const WizardJob&) = delete;

    // The activation, each time the window becomes active: the browser's
    // data searched again. When it is not found the user is told so
    // (notFoundMessage) and the result is false. A browser that searches
    // when the job starts searches nothing here.
    bool activate();
    // False for a browser whose data is searched when the job starts.
    virtual bool searchesAtActivation() const { return true; }
    // What the user is told of a browser this machine has no version of, in
    // the native environment ("" when it has one, or elsewhere).
    virtual std::string unavailableHere() const;
    // Tells the user so, when the browser has no version here; true then.
    bool refuseWhenUnavailable();
    // The same search without telling anybody.
    virtual bool locate() = 0;
    // The search of a browser that searches when the job starts: found anew
    // for every job, silently, a data root from before forgotten.
    void locateAnew();
    // What the user is told when the data is not found.
    virtual std::string notFoundMessage() const = 0;

    // True, and the user told to close the browser, when the browser holds
    // the lock of one of the folders, or of a folder up to `depth` levels
    // below one (the profiles of a data root). Nothing may be copied from or
    // written into a profile a running browser is using.
    bool refuseWhileRunning(const std::vector<std::string>& folders, int depth = 0);
    // A backup's check of the same locks: a backup of a profile its browser
    // holds runs, its files copied as consistent snapshots (browserRuns()),
    // and the user is told so once. True when the browser holds one.
    bool noteWhileRunning(const std::vector<std::string>& folders, int depth = 0);
    bool browserRuns() const { return browserRuns_; }

    // Where a job starts: it takes the locks of the folders it works on
    // (program paths), so that no other job of this program reads or writes
    // them meanwhile. Another job's folder is waited for (waitForOtherJob)
    // or refused. False when the job refused, or was stopped while it
    // waited. The locks go with releaseFolders, the job object, or the
    // process, however it ends.
    bool holdFolders(const std::vector<std::string>& folders);
    void releaseFolders() { held_.clear(); }

    // Finishes what a crash left before the job touches anything: a restore
    // into the homes (program paths: profile, data root...) that was
    // interrupted is rolled back (or completed, when its files were all in
    // place); leftover unpack and staging folders and temporary archives of
    // ended runs in the homes and the backup location are removed. The user
    // is told of each.
    void recoverInterrupted(const std::vector<std::string>& homes, const std::string& location);

    // Backups write kept versions: their archives' names stamped with the
    // clock's time ("default 2026-12-09 221700.dat"), a stamp no version
    // there has yet.
    void keepVersions(Clock clock) { clock_ = std::move(clock); }
    // A full restore reads the version of that stamp ("" for the plain
    // names, the default).
    void stampArchives(std::string stamp) { stamp_ = std::move(stamp); }
    const std::string& archiveStamp() const { return stamp_; }
    // Gives a packed archive the name `path`. A kept version takes its name
    // only while the name is free: when another backup took it meanwhile
    // (two in one second), the version takes the next free stamp. Returns
    // the name the archive took.
    std::string commitArchive(PendingArchive& archive, const std::string& path);

    // The file layer a restore writes through: the system's, or a test's
    // that fails on purpose.
    void setRestoreFiles(RestoreFiles& files) { files_ = &files; }
    RestoreFiles& restoreFiles() const;
    // Where the system's keys are found: the system's, or a test's machine.
    void setKeyStores(KeyStores stores) { keyStores_ = stores; }

    // The key of the browser's saved passwords and cookies in the data root
    // (a program path) goes into the archive the codec writes, when it is
    // an encrypted one.
    void carryKeys(TJvZlibMultiple& codec, const std::string& dataRoot);
    // The key an encrypted archive the codec reads carries is kept for
    // adoptKeys.
    void receiveKeys(TJvZlibMultiple& codec);
    // The kept key given to the data root (a program path) whose files were
    // unpacked below `unpacked`, before they are put in place; what is to
    // run once they are (nothing to run: empty).
    std::function<void()> adoptKeys(const std::string& dataRoot,
                                    const std::filesystem::path& unpacked);
    // What a user is to know of the passwords and cookies of `folder` (a
    // data root or a profile) just packed into a plain archive: how many, and
    // where they will open; "" when there is nothing to say.
    std::string plainSecretsNote(const std::string& folder);
    // Tells the user, once each, what the keys' moves had to say.
    void tellOfKeys();
    // The last restore gave the carried key to its target without a word
    // to say: the passwords and cookies open there.
    bool keysMoved() const { return keysAdopted_ && keysSaid_.empty(); }

    SystemServices& services() const { return services_; }
    const BrowserDataSet& data() const { return data_; }
    WizardState& state() const { return state_; }
    JobReporter& reporter() const { return reporter_; }

protected:
    SystemServices& services_;
    const BrowserDataSet& data_;
    WizardState& state_;
    JobReporter& reporter_;
    RestoreFiles* files_ = nullptr;
    KeyStores keyStores_ = systemKeyStores();
    std::optional<Secret> carriedKey_;
    std::vector<std::string> keysSaid_;
    bool keysAdopted_ = false;
    bool browserRuns_ = false;
    Clock clock_;
    std::string stamp_;
    std::vector<FolderLock> held_;
};

// Lets go of the job's folders when a job's function returns, however.
class FoldersHeldForJob {
public:
    explicit FoldersHeldForJob(WizardJob& job) : job_(job) {}
    ~FoldersHeldForJob() { job_.releaseFolders(); }
    FoldersHeldForJob(const FoldersHeldForJob&) = delete;
    FoldersHeldForJob& operator=(const FoldersHeldForJob&) = delete;

private:
    WizardJob& job_;
};

// Finishes what a crash left in the browser's data before anything reads it:
// a restore of its data root or of one of its profiles that was interrupted
// is rolled back (or completed); leftovers of the program's own work there
// are removed. Nothing is done while the browser holds its data. Returns
// what was done, a sentence each, for the user. Run by every command and at
// the window program's start, so that whatever the user runs next mends it.
std::vector<std::string> recoverBrowserData(SystemServices& services, const BrowserDataSet& data);

// Nothing but spaces and tabs, or nothing at all: an edit the user emptied.
inline bool isBlank(std::string_view text) {
    return text.find_first_not_of(" \t") == std::string_view::npos;
}

// The backup location edit's text names a location: it is neither the
// placeholder nor blank (an emptied edit would put the archive or the
// staging folder at the root of the current drive).
bool backupLocationGiven(std::string_view location);

// Makes a backup location that is missing, with every missing folder above
// it (as `mkdir -p`), so that a backup can go to a folder not made yet.
// Throws "Cannot create folder "…"" naming the first one that could not be
// made.
void makeBackupLocation(SystemServices& services, std::string_view location);

// The hourglass for the life of the object, whatever ends the job.
class BusyCursor {
public:
    explicit BusyCursor(JobReporter& reporter, bool on = true);
    ~BusyCursor();
    BusyCursor(const BusyCursor&) = delete;
    BusyCursor& operator=(const BusyCursor&) = delete;

private:
    JobReporter& reporter_;
    bool on_;
};

// Hands the codec's events to the reporter (the file about to be packed or
// unpacked, its bytes, a file left out) and stops the codec at its next
// chunk once the reporter asks for a stop. Every stored file is written: the
// codec's WriteFile flag stays as the codec set it.
void reportCodecEvents(TJvZlibMultiple& codec, JobReporter& reporter);

} // namespace vellarion
