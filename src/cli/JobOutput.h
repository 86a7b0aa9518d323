#pragma once

#include "core/services/Error.h"
#include "core/wizards/Job.h"

#include <chrono>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace vellarion {
class PathMapper;
}

namespace vellarion::cli {

class Console;
class PasswordSource;

// How a job reaches the command line, whichever job it is (a full or a
// selective one, or a plain pack or unpack): a refusal is the command's
// error ("Please Select Backup Location"), other messages and files left
// out of an archive are warnings, the progress line shows the shared bar's
// position and the file being packed or unpacked with the share of it
// done, and Ctrl-C asks the job to stop.
class JobOutput : public JobReporter {
public:
    // Files below `folder` are named relative to it, every path as `paths`
    // shows it to the user. The folder is read as each file begins: a job
    // finds its folders as it goes.
    JobOutput(Console& console, const PathMapper& paths, const std::string& folder);

    void showMessage(const std::string& text) override;
    void refuse(const std::string& text) override;
    // Thrown as BrowserRunning.
    void browserRunning(const std::string& text) override;
    void progressShow() override;
    void progressStep(int amount) override;
    void progressSet(int position) override;
    void progressHide() override;
    void fileStarted(const std::string& path) override;
    void fileProgress(std::int32_t position, std::int32_t total) override;
    void fileSkipped(const std::string& path, const std::string& reason) override;
    bool stopRequested() const override;
    // Without --replace an archive that exists is never replaced: the
    // command ends with an error naming it.
    bool replaceArchive(const std::string& path) override;
    // A warning for each item: "nothing of cookies (Куки) was found to back up".
    void itemsWithoutData(Direction direction,
                          const std::vector<const SelectiveItem*>& items) override;
    // How many files the job named as left out (fileSkipped).
    std::size_t leftOut() const { return leftOut_; }
    void allowReplacing(bool allow) { replace_ = allow; }
    // Archives are encrypted, and encrypted ones read, with the passwords it
    // gives; without one every archive written is plain.
    void usePasswords(PasswordSource& passwords) { passwords_ = &passwords; }
    // How long to wait for the browser (none: refuse at once, offering
    // --wait), and whether another job's folder is refused (--no-wait)
    // rather than waited for.
    void useWaits(std::optional<std::chrono::milliseconds> browser, bool noWait) {
        browserWait_ = browser;
        noWait_ = noWait;
    }
    std::optional<std::chrono::milliseconds> browserHolds(std::string_view browser,
                                                          const std::string& folder) override;
    bool waitForOtherJob(const std::string& folder) override;

    std::optional<Secret> encryptionPassword() override;
    std::optional<Secret> archivePassword(const std::string& path) override;

private:
    // Redraws the line when it is due; the text is only built then.
    void draw(std::int64_t position = 0, std::int64_t total = 0);

    Console& console_;
    const PathMapper& paths_;
    const std::string& folder_;
    std::optional<int> bar_; // the shared bar, once shown
    std::string file_;       // the file being packed or unpacked
    bool replace_ = false;
    std::size_t leftOut_ = 0;
    PasswordSource* passwords_ = nullptr;
    std::optional<std::chrono::milliseconds> browserWait_;
    bool noWait_ = false;
    std::string holder_; // what the browser holds, said with its refusal
};

// A job refused because its browser runs: an error like any other refusal,
// which a scheduled run takes for a skip.
class BrowserRunning : public Error {
public:
    using Error::Error;
};

// The end of a job's command: the progress line goes; a job that did not
// finish ends the command as interrupted (Ctrl-C) or as an error. A job
// that finished is done, even when Ctrl-C came after nothing could be
// undone any more (said in a warning).
void endJob(Console& console, JobOutcome outcome);

} // namespace vellarion::cli
