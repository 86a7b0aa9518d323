#pragma once

#include "core/crypto/Secret.h"

#include <chrono>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace vellarion {

struct SelectiveItem;

// A backup or a restore.
enum class Direction { Backup, Restore };

// How a job engine talks to whoever runs it: a wizard window, the command
// line, or a test's recording fake. Every call happens on the job's thread,
// inside the job. The defaults do nothing, so a front end overrides what it
// shows.
class JobReporter {
public:
    virtual ~JobReporter() = default;

    // A plain message box with an OK button ("Please Select Backup Location").
    virtual void showMessage(const std::string& text) { (void)text; }

    // The shared progress window of the selective jobs: shown (the bar goes
    // back to 0 unless the window is already showing), stepped, set, hidden.
    virtual void progressShow() {}
    virtual void progressStep(int amount) { (void)amount; }
    virtual void progressSet(int position) { (void)position; }
    virtual void progressHide() {}

    // A file about to be packed or unpacked (its full program path).
    virtual void fileStarted(const std::string& path) { (void)path; }
    // Bytes done and in total of the current file.
    virtual void fileProgress(std::int32_t position, std::int32_t total) {
        (void)position;
        (void)total;
    }

    // The hourglass cursor on / off.
    virtual void busy(bool on) { (void)on; }

    // A job unticks an item's box (a folder it needed was missing).
    virtual void untick(std::string_view checkBox) { (void)checkBox; }

    // A job refuses to start and says why ("Please Select Backup Location").
    // A window shows it in a plain message box; the command line ends with
    // it as its error.
    virtual void refuse(const std::string& text) { showMessage(text); }
    // The refusal of a job whose browser runs and holds the data
    // (closeBrowserFirst); a scheduled run skips on it.
    virtual void browserRunning(const std::string& text) { refuse(text); }
    // The browser holds `folder` (as the user reads it), which the job
    // needs: how long to wait for it to let go before refusing, none for not
    // at all (the default), milliseconds::max() for as long as it takes.
    virtual std::optional<std::chrono::milliseconds> browserHolds(std::string_view browser,
                                                                  const std::string& folder) {
        (void)browser;
        (void)folder;
        return std::nullopt;
    }
    // Another job of this program works on `folder` (as the user reads it):
    // true waits until it ends (the command line says so), false refuses;
    // the default refuses, saying why.
    virtual bool waitForOtherJob(const std::string& folder);
    // The checks passed and the work begins (the full windows clear the file
    // label and the bar); the work ended well (the windows show Finish).
    virtual void jobStarted() {}
    virtual void jobFinished() {}
    // A source file that could not be opened is left out of the archive.
    virtual void fileSkipped(const std::string& path, const std::string& reason) {
        (void)path;
        (void)reason;
    }
    // Asked between chunks of the archive codec and between a job's steps:
    // true stops the job, which removes what it made and ends without
    // finishing (the command line's Ctrl-C).
    virtual bool stopRequested() const { return false; }
    // A backup is about to pack its staging directory.
    virtual void packingStarts() {}
    // Ticked items of which the job found nothing: a backup had no file,
    // folder or key of them, a restore's archive held none. The others were
    // done. A window shows one message box naming them (the default).
    virtual void itemsWithoutData(Direction direction,
                                  const std::vector<const SelectiveItem*>& items);
    // A backup would replace the archive at `path`, which exists already
    // (another profile's or another browser's of the same name, an earlier
    // backup): true replaces it; false leaves everything as it was and the
    // job runs nothing. A window asks; the command line needs --replace.
    virtual bool replaceArchive(const std::string& path) {
        (void)path;
        return false;
    }
    // A backup's archive is about to be written: the password to encrypt
    // it with, or none for a plain archive (the default).
    virtual std::optional<Secret> encryptionPassword() { return std::nullopt; }
    // An archive to read (`path`) is encrypted: its password, or none when
    // there is none to give (the job then ends with an error, nothing
    // written). A job may ask once for each of its archives.
    virtual std::optional<Secret> archivePassword(const std::string& path) {
        (void)path;
        return std::nullopt;
    }
};

// Steps the reporter's progress by a table's amount; 0 is no step.
inline void stepProgress(JobReporter& reporter, int amount) {
    if (amount != 0) {
        reporter.progressStep(amount);
    }
}

} // namespace vellarion
